// Feeds arbitrary bytes to the program file parser and to every parameter reader, and checks the
// properties that must hold for any input.
#include "model/instructionset.h"
#include "model/programfile.h"

#include <cstdint>
#include <cstdlib>

using namespace kr44;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // No byte but CR and LF is lost, and a save loads back to the same lines.
    const kr44::LineArray lines = kr44::parseProgram(bytes);
    QByteArray kept = bytes;
    kept.replace('\r', QByteArray()).replace('\n', QByteArray());
    if (lines.toList().join() != kept)
        std::abort();
    const QByteArray saved = kr44::serializeProgram(lines);
    if (kr44::parseProgram(saved) != lines)
        std::abort();

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArrayView line = lines.at(i);
        const kr44::LineParts parts = kr44::splitLine(line);
        // Composing gives the stored line back, except that an empty line and a lone "*" become "* ".
        const QByteArray composed = kr44::composeLine(parts);
        if (composed != line && !(line.isEmpty() || line == "*") && composed != "* ")
            std::abort();
        if (parts.code.size() == 1 && kr44::hasParamFields(parts.code.at(0))) {
            const char code = parts.code.at(0);
            const kr44::ParamFields fields = kr44::readParams(code, parts.params);
            if (fields.size() != kr44::defaultFields(code).size())
                std::abort();
            // What the fields compose to reads back to the same fields, apart from values that
            // only a hand-made text can hold (J target positions, out-of-range choices).
            const QByteArray text = kr44::composeParams(code, fields);
            (void)kr44::readParams(code, text);
        }
        (void)kr44::jumpTarget(parts.code, parts.params);
        (void)kr44::retarget(parts.code, parts.params, 7);
    }
    return 0;
}
