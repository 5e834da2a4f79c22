#pragma once

#include "model/linearray.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The program check: what a unit would refuse on download, or trip over while running, found
// before anything is sent. It never changes the program and never refuses to send it; the
// findings are advice.
//
// Lines are numbered as the editor's "Line no." column numbers them (1-based, comment lines
// counted), and jump targets are read in that numbering too, as the jump dialogs write them.
// The unit numbers only the lines it is sent, so a jump whose target has a comment line above
// it lands elsewhere on the unit: the check reports that as its own finding (JumpNumbering),
// naming the line where the unit lands. The flow findings (loops crossed by jumps, unreachable
// lines, cycles) follow the editor's numbering.
//
// Cost: a few passes over the lines with no allocation per line. Parameter text already in the
// form the dialogs write is read directly; any other text goes through readParams and
// composeParams, which decide. A 100,000-line program checks in a few milliseconds in an
// optimised build (bench/bench_check measures it against loading the same program).
//
// checkProgram() reads nothing but the lines it is given, so it may run on any thread. The editor
// runs it on a worker after every change and marks each finding's row; the command line prints
// formatFinding() for each.

namespace kr44 {

enum class Severity {
    Error,   // the unit refuses the download, or the run fails whenever it gets there
    Warning, // the program runs, but probably not as meant
};

enum class Problem {
    UnknownInstruction,  // the first character is no instruction code
    MalformedParameters, // the parameter text does not read back to itself
    OutOfRange,          // a value outside its range (or the mask 0 of I)
    BadJumpTarget,       // 0 or less, beyond the last line, a comment line or a j line
    JumpNumbering,       // comment lines above the target shift it on the unit
    LoopEndWithoutStart,
    LoopStartWithoutEnd,
    LoopTooDeep,   // more loops open at once than a unit keeps
    JumpIntoLoop,  // a jump lands inside a loop from outside it
    JumpOutOfLoop, // a jump leaves a loop before its end
    Unreachable,   // no path from the first line leads here
    IdleCycle,     // a loop or jump cycle with no wait, move or delay in it
};

// One finding keeps what its sentence names rather than the sentence: a program full of faults
// has hundreds of thousands of findings, and their sentences would outweigh the program. The
// sentence is built when it is shown, always the same for the same finding.
struct Finding
{
    int line = 0; // 1-based, comment lines counted
    Severity severity = Severity::Error;
    Problem problem = Problem::UnknownInstruction;
    // Which of the problem's wordings applies, and the numbers it names (line numbers, counts,
    // an instruction code), as sentence() reads them for each problem.
    int form = 0;
    std::array<int, 3> numbers = {};
    // The bytes of a line the sentence quotes: the whole line where the sentence is worked out
    // from it, otherwise only as much as a quotation shows.
    QByteArray text;

    // One plain sentence, ending with a full stop.
    [[nodiscard]] QString sentence() const;

    friend bool operator==(const Finding &a, const Finding &b)
    {
        return a.line == b.line && a.severity == b.severity && a.problem == b.problem
                && a.form == b.form && a.numbers == b.numbers && a.text == b.text;
    }
    friend bool operator!=(const Finding &a, const Finding &b) { return !(a == b); }
};

// Loops a unit keeps open at once; one more stops the run with a loop error.
inline constexpr int kMaxOpenLoops = 8;

// Every finding, ordered by line; on one line, errors first. A clean program gives none.
[[nodiscard]] QList<Finding> checkProgram(const LineArray &lines);

[[nodiscard]] bool hasErrors(const QList<Finding> &findings);

// "error" or "warning".
[[nodiscard]] QString severityText(Severity severity);

// FILE:LINE: severity: sentence, without a line end.
[[nodiscard]] QString formatFinding(const QString &fileName, const Finding &finding);

// The unit counts only the lines it receives: not comment lines, and not empty lines, which
// it ignores. These translate between its count and the editor's.
[[nodiscard]] std::optional<int> unitLineOf(const LineArray &lines, int editorLine);
[[nodiscard]] std::optional<int> editorLineOf(const LineArray &lines, int unitLine);
// editorLineOf() of every unit line, in one pass: entry n - 1 is the editor line of unit line n.
[[nodiscard]] QList<int> editorLinesOfUnit(const LineArray &lines);

} // namespace kr44
