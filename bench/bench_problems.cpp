// Editing a 100,000-line program with its check running after every edit: an insert at line 1
// (with its renumbering of jump targets, its history step and its write-back) until the check
// that follows it has run and the list and the problems panel have repainted, against the check
// alone, measured in the same run. Also opening the program until its first check is shown.
// Two programs: one as a user writes it with a delay of 0 every 200 lines (about 500 findings),
// and one with jumps to anywhere (tens of thousands of findings to mark and list). Two inserts:
// a delay, and a comment, which shifts the unit's numbering of every jump target below it (a
// finding at every jump).
// Target: an insert plus its check well under 50 ms.
// Run it from a release build (RelWithDebInfo).
#include "benchsupport.h"
#include "model/programdocument.h"
#include "view/lineeditor.h"
#include "view/problemlistmodel.h"
#include "view/problemspanel.h"
#include "view/programchecker.h"
#include "view/programtablemodel.h"
#include "view/programview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace kr44;

namespace {

using kr44bench::ms;

constexpr int kLines = 100000;

// Loops of moves and waits with a jump back into the loop, as bench_check writes them, with a
// delay of 0 every 200 lines.
QByteArray makeTidyProgram(int lines)
{
    QRandomGenerator rng(44);
    QByteArray out;
    out.reserve(qsizetype(lines) * 10);
    int written = 0;
    const auto line = [&](const QByteArray &text) {
        out += (written % 200 == 199) ? QByteArray("D0") : text;
        out += "\r\n";
        ++written;
    };
    while (written < lines - 14) {
        const int start = written + 1;
        line("L0");
        line('+' + QByteArray::number(rng.bounded(1, 50000)));
        line("W" + QByteArray::number(rng.bounded(1, 4)) + (rng.bounded(2) ? 'H' : 'L'));
        line('G' + QByteArray::number(rng.bounded(-8388608, 8388607)));
        line("J" + QByteArray::number(rng.bounded(1, 4)) + "H," + QByteArray::number(start + 1));
        line('D' + QByteArray::number(rng.bounded(1, 65536)));
        line('L' + QByteArray::number(rng.bounded(1, 256)));
    }
    while (written < lines)
        line("K");
    return out;
}

struct Stats
{
    double median = 0;
    double worst = 0;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

// Runs the event loop until `view` has checked more than `checks` times, sleeping while it has
// nothing to do so as not to take the worker's processor.
void waitForCheck(ProgramView *view, int checks)
{
    while (view->programChecker()->checkCount() <= checks || view->programChecker()->isPending())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

struct Window
{
    explicit Window(ProgramDocument *doc)
    {
        frame.resize(1000, 800);
        view = new ProgramView(doc, &frame);
        view->setDialogRunner([](QWidget *, const QByteArray &code, QByteArray &params,
                                 const kr44::ProgramCodes &, int) {
            params = code.isEmpty() ? QByteArray("bench") : QByteArray("500");
            return kr44::DialogResult::Accepted;
        });
        frame.setCentralWidget(view);
        panel = new kr44::ProblemsPanel(&frame);
        frame.addDockWidget(Qt::BottomDockWidgetArea, panel);
        panel->setView(view);
        frame.show();
        // Not QTest::qWaitForWindowExposed, which sleeps 10 ms whenever the window is not
        // exposed at once.
        while (!frame.windowHandle() || !frame.windowHandle()->isExposed())
            QCoreApplication::processEvents();
    }
    void paint()
    {
        view->list()->viewport()->repaint();
        panel->list()->viewport()->repaint();
    }

    QMainWindow frame;
    ProgramView *view = nullptr;
    kr44::ProblemsPanel *panel = nullptr;
};

bool run(const char *name, const QByteArray &bytes, const QString &path)
{
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
    }
    double load = 1e300;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        ProgramDocument doc;
        (void)doc.load(path);
        load = std::min(load, ms(t));
    }
    ProgramDocument doc;
    if (!doc.load(path).ok())
        return false;
    double check = 1e300;
    qsizetype findings = 0;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        findings = kr44::checkProgram(doc.lines()).size();
        check = std::min(check, ms(t));
    }

    // Opening: loaded, shown, painted, then checked with the markers and the panel painted.
    double shown = 1e300;
    double checkedShown = 1e300;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer t;
        t.start();
        ProgramDocument opened;
        (void)opened.load(path);
        Window w(&opened);
        w.paint();
        shown = std::min(shown, ms(t));
        waitForCheck(w.view, 0);
        w.paint();
        checkedShown = std::min(checkedShown, ms(t));
    }

    Window w(&doc);
    waitForCheck(w.view, 0);
    w.paint();
    std::printf("%s program: %d lines, %lld findings\n", name, kLines, (long long)findings);
    std::printf("  load %.2f ms, check alone %.2f ms (%.2fx the load)\n", load, check, check / load);
    std::printf("  open and show %.2f ms, until the first check is shown %.2f ms\n", shown,
                checkedShown);
    int mismatches = 0;
    const auto measure = [&](const char *what, const std::function<void()> &insert) {
        std::vector<double> edits, checks, paints, totals;
        qsizetype after = 0;
        for (int i = 0; i < 15; ++i) {
            w.view->selectRow(0);
            const int before = w.view->programChecker()->checkCount();
            QElapsedTimer t;
            t.start();
            insert();
            const double edit = ms(t);
            waitForCheck(w.view, before);
            const double checked = ms(t);
            w.paint();
            const double total = ms(t);
            edits.push_back(edit);
            checks.push_back(checked - edit);
            paints.push_back(total - checked);
            totals.push_back(total);
            // The panel lists what the document now holds.
            if (w.panel->problemModel()->findings().findings() != kr44::checkProgram(doc.lines())
                || doc.lines().size() != kLines + 1)
                ++mismatches;
            after = w.view->findings().size();
            w.view->undo();
            waitForCheck(w.view, before + 1);
        }
        const Stats e = stats(edits);
        const Stats c = stats(checks);
        const Stats p = stats(paints);
        const Stats all = stats(totals);
        std::printf("  %s at line 1 (%lld findings after it), medians (worst): edit %.2f ms "
                    "(%.2f), check with the markers and the panel updated %.2f ms (%.2f), "
                    "repaint of the list and the panel %.2f ms (%.2f)\n",
                    what, (long long)after, e.median, e.worst, c.median, c.worst, p.median,
                    p.worst);
        std::printf("    edit plus check: median %.2f ms, worst %.2f ms; target under 50 ms: %s\n",
                    all.median, all.worst, all.worst < 50 ? "met" : "MISSED");
    };
    measure("insert a delay", [&] { w.view->chooseInstruction('D'); });
    measure("insert a comment", [&] { w.view->addComment(); });
    if (mismatches > 0)
        std::printf("  %d checks did not match the document\n", mismatches);
    return mismatches == 0 && doc.lines().size() == kLines;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const bool tidy = run("tidy", makeTidyProgram(kLines), dir.filePath(QStringLiteral("a.krp")));
    const bool tangled = run("tangled", kr44bench::makeJumpyProgram(kLines),
                             dir.filePath(QStringLiteral("b.krp")));
    return tidy && tangled ? 0 : 1;
}
