#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace kr44 {

// An instruction's code and the name shown for it (marked for translation, in the context
// "kr44::Instruction"; instructionName() gives it translated).
struct InstructionEntry
{
    char code;
    const char *name;
};

// The instructions in the order the instruction menu lists them.
inline constexpr int kInstructionCount = 23;
extern const InstructionEntry kInstructionTable[kInstructionCount];

// Index of the first table entry whose code is `code`, or -1.
[[nodiscard]] int instructionIndex(char code);
[[nodiscard]] char instructionCode(int index);
// The shown name of a code ("Move CW" for '+'); empty for a comment or a code that has no entry.
[[nodiscard]] QString instructionName(QByteArrayView code);

// A program line held as its two parts while it is edited.
struct LineParts
{
    QByteArray code;   // one character; empty for a comment
    QByteArray params; // parameter text, or the comment text

    friend bool operator==(const LineParts &a, const LineParts &b)
    {
        return a.code == b.code && a.params == b.params;
    }
};

// A stored line that starts with '*' but not with "* " (written by other means) is split with
// the pseudo-code "*" so that composing it gives every byte back.
inline constexpr char kRawCommentCode = '*';

[[nodiscard]] bool isCommentLine(QByteArrayView line);
// True for the code of a comment row: empty, or the raw-comment pseudo-code.
[[nodiscard]] bool isCommentCode(QByteArrayView code);
[[nodiscard]] LineParts splitLine(QByteArrayView line);
[[nodiscard]] QByteArray composeLine(QByteArrayView code, QByteArrayView params);
inline QByteArray composeLine(const LineParts &p) { return composeLine(p.code, p.params); }

// Leading-integer rule: blanks skipped, optional sign, digits up to the first other character;
// no digits gives 0. Values beyond int saturate instead of overflowing.
[[nodiscard]] int leadingInt(QByteArrayView text);

// ---- parameter fields ------------------------------------------------------------------------
// Each instruction with a dialog reads its parameter text into a short list of int fields, in the
// order its dialog shows them. Choices are 0-based indexes, check boxes 0 or 1.
//   + - D f G T j : [value]           A B C V : [choice index]       H : [0 EOT+, 1 EOT-]
//   g : [0 CW/1 CCW, input, 0 low/1 high]   h : [time, multiplier]   I : [clear position, clear
//   outputs] J : [input, 0 low/1 high, target]       L : [count, 0 = loop start] M : [eighth,
//   quarter, half]             X : [start, slew, ramp]  U W : [input, 0 low/1 high]
using ParamFields = QList<int>;

enum class FieldKind { Number, Choice, Check };

struct FieldSpec
{
    FieldKind kind = FieldKind::Number;
    int defaultValue = 0;
    int minimum = 0; // checked range, for numbers
    int maximum = 0;
};

[[nodiscard]] bool hasParamFields(char code);
[[nodiscard]] QList<FieldSpec> fieldSpecs(char code);
[[nodiscard]] ParamFields defaultFields(char code);
// Empty text leaves every field at its default.
[[nodiscard]] ParamFields readParams(char code, QByteArrayView text);
[[nodiscard]] QByteArray composeParams(char code, const ParamFields &fields);

// ---- jump targets ---------------------------------------------------------------------------
// The target line number held by a j or J line, if it has one.
[[nodiscard]] std::optional<int> jumpTarget(QByteArrayView code, QByteArrayView params);
// The parameter text of a jump line rewritten to target `target`; other lines unchanged.
[[nodiscard]] QByteArray retarget(QByteArrayView code, QByteArrayView params, int target);

// The two facts about a program that target checks need: its size and the code of each line.
class ProgramCodes
{
public:
    virtual ~ProgramCodes() = default;
    [[nodiscard]] virtual int lineCount() const = 0;
    // Code of line index i (0-based); empty for a comment.
    [[nodiscard]] virtual QByteArray codeAt(int index) const = 0;
};

// A ProgramCodes over a plain list of codes.
class CodeList final : public ProgramCodes
{
public:
    explicit CodeList(QList<QByteArray> codes) : m_codes(std::move(codes)) {}
    [[nodiscard]] int lineCount() const override { return int(m_codes.size()); }
    [[nodiscard]] QByteArray codeAt(int index) const override { return m_codes.at(index); }

private:
    QList<QByteArray> m_codes;
};

// 1 <= t <= n, and line t is an instruction line whose code is not "j".
[[nodiscard]] bool isValidTarget(const ProgramCodes &program, int target);
// Lowest-numbered instruction line whose code is neither "j" nor "J", or nothing.
[[nodiscard]] std::optional<int> defaultTarget(const ProgramCodes &program);

} // namespace kr44
