#pragma once

#include "model/linearray.h"

#include <QByteArray>

// One program download as the ordered writes that put it on the wire:
//   "P" CR, each non-comment line with its CR, "P" CR, then "E" CR to run it.
// Transfer marks and run/stop commands are written one character per write, a program line
// and its CR as one write. A line whose first byte is '*' is a comment and never leaves the
// application; an empty line goes out as a lone CR.
//
// The writes are taken one at a time with next(), so the caller can hand them to the port as
// it drains and the download can still be cut short at a line boundary.

namespace kr44 {

class Download
{
public:
    enum class Kind { Send, SendAndRun };

    struct Write
    {
        enum class Type { Char, Line };
        Type type = Type::Char;
        QByteArray bytes;
    };

    Download(LineArray lines, Kind kind);

    [[nodiscard]] bool atEnd() const;
    // The next write. Only call it when !atEnd().
    [[nodiscard]] Write next();
    // The next write is a program line.
    [[nodiscard]] bool nextIsLine() const;

    // Lines not taken yet are dropped and the program is not started; the closing "P" CR
    // still follows the last line taken.
    void cancel();
    // Like cancel(), then "K" CR so that a program the unit is already running stops.
    void stop();

    [[nodiscard]] qsizetype linesToSend() const { return m_linesToSend; }
    [[nodiscard]] qsizetype linesSent() const { return m_linesSent; }
    // All bytes the download will write if it runs to its end.
    [[nodiscard]] qint64 totalBytes() const { return m_totalBytes; }
    [[nodiscard]] bool wasCut() const { return m_cut; }

private:
    enum class Phase { OpenP, OpenCr, Lines, CloseP, CloseCr, RunE, RunCr, StopK, StopCr, Done };

    void skipComments();
    [[nodiscard]] Phase phaseAfter(Phase p) const;

    LineArray m_lines;
    Kind m_kind;
    Phase m_phase = Phase::OpenP;
    qsizetype m_index = 0;
    qsizetype m_linesToSend = 0;
    qsizetype m_linesSent = 0;
    qint64 m_totalBytes = 0;
    bool m_cut = false;
    bool m_stop = false;
};

// A line whose first byte is '*' is a comment and stays here; an empty line is sent (a lone CR).
[[nodiscard]] inline bool isKeptFromUnit(QByteArrayView line)
{
    return !line.isEmpty() && line.front() == '*';
}

} // namespace kr44
