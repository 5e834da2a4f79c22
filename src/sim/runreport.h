#pragma once

#include "model/linearray.h"
#include "sim/virtualunit.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QList>
#include <QStringList>

namespace kr44 {

// What one program run did, told with the editor's line numbers: how it ended, the figures of
// the unit's RunStats and how often each loop ran. It is fed the lines the unit fetches and the
// replies it sends; the unit counts only the lines it was sent, so comment lines are mapped
// around.
class RunReport
{
    Q_DECLARE_TR_FUNCTIONS(kr44::RunReport)

public:
    enum class Outcome { Ready, Error, TimeLimit };

    struct LoopPasses
    {
        int editorLine = 0; // of the loop's end line
        qint64 passes = 0;
    };

    // `lines`: the program as the editor holds it, comment lines included.
    explicit RunReport(const LineArray &lines);

    void lineFetched(int unitLine);
    // Bytes the unit sent, in any split; returns the replies they complete, without their CR.
    // `downloadLine` is the unit line being downloaded when they came, 0 during a run.
    QList<QByteArray> received(QByteArrayView bytes, int downloadLine = 0);

    [[nodiscard]] int editorLine(int unitLine) const;
    [[nodiscard]] int unitLineCount() const { return int(m_editorLines.size()); }
    [[nodiscard]] int executingLine() const { return m_executingLine; } // the unit's; 0 none
    // The first error reply, and the unit line it concerns; 0 when it names none.
    [[nodiscard]] QByteArray errorReply() const { return m_error; }
    [[nodiscard]] int errorUnitLine() const { return m_errorUnitLine; }
    [[nodiscard]] int errorEditorLine() const { return editorLine(m_errorUnitLine); }
    [[nodiscard]] QList<LoopPasses> loopPasses() const;
    // How it ended and the figures of the run, one finding a line.
    [[nodiscard]] QStringList summary(Outcome outcome, const RunStats &stats,
                                      qint64 runTimeUs) const;

private:
    void replied(const QByteArray &reply, int downloadLine);

    QByteArray m_pending;       // a reply still without its CR
    QList<int> m_editorLines;   // by unit line - 1
    QList<qint64> m_loopPasses; // by unit line - 1; -1 for a line that ends no loop
    QByteArray m_error;
    int m_errorUnitLine = 0;
    int m_executingLine = 0;
};

} // namespace kr44
