// The program list at 100,000 and 1,000,000 lines in a main window with the problems panel:
// - open and show: loading the document, building the view and painting the list once, against
//   loading the document alone (same run); the check is not waited for;
// - open until the first check's findings are shown: the markers and the panel painted;
// - the longest lateness of a 10 ms heartbeat timer while the program opens and is first checked,
//   and while an insert at line 1 is made and checked: how long the event loop stood still;
// - an insert and a delete at line 1 including the renumbering of jump targets and the
//   write-back (through the shown widget), and resident memory once the first check is shown.
// Targets: show within 3x of the load; no stall over 100 ms; insert and delete under 50 ms at
// 100,000 lines and the 1,000,000-line time within 12x of it; under 200 MB resident for
// 1,000,000 lines. Figures only: nothing here asserts a time.
// Run it from a release build (RelWithDebInfo).
#include "benchsupport.h"
#include "model/programdocument.h"
#include "model/programfile.h"
#include "view/problemlistmodel.h"
#include "view/problemspanel.h"
#include "view/programchecker.h"
#include "view/programtablemodel.h"
#include "view/programview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <memory>
#include <unistd.h>

using namespace kr44;

namespace {

using kr44bench::ms;

double residentMB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1
            ? double(fields[1].toLong()) * double(sysconf(_SC_PAGESIZE)) / 1048576.0
            : -1;
}

// Bytes handed out by malloc: unlike the resident size, it does not depend on which freed
// memory the allocator kept from earlier runs.
double allocatedMB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / 1048576.0;
}

// A timer that should fire every 10 ms: how much later than that it fired at worst is the
// longest time the event loop could not run.
class Heartbeat
{
public:
    Heartbeat()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            m_worst = std::max(m_worst, ms(m_since) - 10.0);
            m_since.restart();
        });
    }
    void start()
    {
        m_worst = 0;
        m_since.start();
        m_timer.start();
    }
    // The worst lateness so far, counting the time since the last beat as well.
    [[nodiscard]] double worst() const { return std::max(m_worst, ms(m_since) - 10.0); }
    void stop() { m_timer.stop(); }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    double m_worst = 0;
};

// Runs the event loop, sleeping while it has nothing to do, until `done`.
void runUntil(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// A main window with one program window's view and the problems panel, as the application has.
struct Window
{
    explicit Window(ProgramDocument *doc)
    {
        frame.resize(1000, 800);
        view = new ProgramView(doc, &frame);
        frame.setCentralWidget(view);
        panel = new kr44::ProblemsPanel(&frame);
        frame.addDockWidget(Qt::BottomDockWidgetArea, panel);
        panel->setView(view);
        frame.show();
        // Not QTest::qWaitForWindowExposed, which sleeps 10 ms whenever the window is not
        // exposed at once.
        while (!frame.windowHandle() || !frame.windowHandle()->isExposed())
            QCoreApplication::processEvents();
        paint();
    }
    void paint()
    {
        view->list()->viewport()->repaint();
        panel->list()->viewport()->repaint();
    }
    [[nodiscard]] int checks() const { return view->programChecker()->checkCount(); }

    QMainWindow frame;
    ProgramView *view = nullptr;
    kr44::ProblemsPanel *panel = nullptr;
};

struct Figures
{
    double load = 0;
    double show = 0;        // open to the first painted list
    double firstCheck = 0;  // open to the first check's findings painted
    double openStall = 0;   // worst heartbeat lateness while opening and first checking
    double editStall = 0;   // worst heartbeat lateness while inserting at line 1 and checking
    double editChecked = 0; // insert at line 1 until its check is painted
    qsizetype findings = 0;
    double insert = 0;
    double remove = 0;
    double writeBack = 0;
    double documentMB = 0; // held by the loaded document alone
    double programMB = 0;  // held by the document, its shown view and the findings
    double residentMB = 0; // a process that opened the program, once its first check is shown
};

Figures measure(int lines, const QString &path)
{
    Figures f;
    f.load = kr44bench::bestOfMs(5, [&] {
        ProgramDocument doc;
        (void)doc.load(path);
    });

    f.show = f.firstCheck = 1e300;
    Heartbeat beat;
    // As many runs as the load has: the first runs of either pay for fresh memory.
    for (int i = 0; i < 5; ++i) {
        beat.start();
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        ProgramDocument doc;
        (void)doc.load(path);
        Window w(&doc);
        f.show = std::min(f.show, ms(t));
        runUntil([&] { return w.checks() > 0; });
        w.paint();
        f.firstCheck = std::min(f.firstCheck, ms(t));
        f.openStall = std::max(f.openStall, beat.worst());
        beat.stop();
    }

    const double before = allocatedMB();
    auto doc = std::make_unique<ProgramDocument>();
    (void)doc->load(path);
    f.documentMB = allocatedMB() - before;
    auto w = std::make_unique<Window>(doc.get());
    runUntil([&] { return w->checks() > 0; });
    w->paint();
    f.programMB = allocatedMB() - before;
    f.findings = w->view->findings().size();

    ProgramView *view = w->view;
    view->setDialogRunner(
            [](QWidget *, const QByteArray &, QByteArray &params, const kr44::ProgramCodes &, int) {
                params = "bench";
                return kr44::DialogResult::Accepted;
            });
    // Insert: a comment before line 1 (an instruction line), with renumbering and write-back.
    // Delete: that comment again. Each is timed alone, then its check is let run out.
    double insertBest = 1e300;
    double removeBest = 1e300;
    for (int i = 0; i < 7; ++i) {
        if (view->rows().kind(0) != kr44::RowKind::Instruction)
            std::fprintf(stderr, "line 1 is not an instruction line\n");
        view->selectRow(0);
        QElapsedTimer t;
        t.start();
        view->addComment();
        view->list()->viewport()->repaint();
        insertBest = std::min(insertBest, ms(t));
        t.restart();
        view->deleteLine();
        view->list()->viewport()->repaint();
        removeBest = std::min(removeBest, ms(t));
        runUntil([&] { return !view->programChecker()->isPending(); });
    }
    f.insert = insertBest;
    f.remove = removeBest;

    // An insert at line 1 and its check with the heartbeat running.
    f.editChecked = 1e300;
    for (int i = 0; i < 3; ++i) {
        view->selectRow(0);
        const int checks = w->checks();
        beat.start();
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        view->addComment();
        w->paint();
        runUntil([&] { return w->checks() > checks && !view->programChecker()->isPending(); });
        w->paint();
        f.editChecked = std::min(f.editChecked, ms(t));
        f.editStall = std::max(f.editStall, beat.worst());
        beat.stop();
        view->undo();
        runUntil([&] { return !view->programChecker()->isPending(); });
    }

    if (doc->lines().size() != lines)
        std::fprintf(stderr, "line count changed: %lld\n",
                     static_cast<long long>(doc->lines().size()));
    f.writeBack = kr44bench::bestOfMs(7, [&] { view->writeRowsBack(); });
    runUntil([&] { return !view->programChecker()->isPending(); });
    return f;
}

// The process's resident size once `path` is open and its first check shown, in a process that
// has done nothing else before (memory freed by earlier runs would count otherwise).
double residentAfterOpening(const QString &path)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--resident"), path});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toDouble();
}

int printResident(const QString &path)
{
    ProgramDocument doc;
    if (!doc.load(path).ok())
        return 1;
    Window w(&doc);
    runUntil([&] { return w.checks() > 0; });
    w.paint();
    std::printf("%.1f\n", residentMB());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--resident") == 0)
        return printResident(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir dir;
    Figures small, large;
    for (const int lines : {100000, 1000000}) {
        const QString path = dir.filePath(QStringLiteral("p%1.krp").arg(lines));
        {
            QFile file(path);
            const QByteArray bytes = kr44bench::makeJumpyProgram(lines);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return 1;
        }
        Figures f = measure(lines, path);
        f.residentMB = residentAfterOpening(path);
        (lines == 100000 ? small : large) = f;
        std::printf("%8d lines, %lld findings:\n", lines, static_cast<long long>(f.findings));
        std::printf("  load %.1f ms, open and show %.1f ms (%.2fx the load, target 3x), "
                    "open until the first check is shown %.1f ms (%.2fx the load)\n",
                    f.load, f.show, f.show / f.load, f.firstCheck, f.firstCheck / f.load);
        std::printf("  longest stall of the event loop (target 100 ms): opening and first check "
                    "%.1f ms, insert at line 1 and its check %.1f ms (until shown %.1f ms)\n",
                    f.openStall, f.editStall, f.editChecked);
        std::printf("  insert at line 1 %.2f ms, delete at line 1 %.2f ms (target 50 ms at "
                    "100,000 lines), write-back alone %.2f ms\n",
                    f.insert, f.remove, f.writeBack);
        std::printf("  memory: document %.1f MB, document, view and findings %.1f MB, process "
                    "resident with it open and checked %.1f MB (target 200 MB)\n",
                    f.documentMB, f.programMB, f.residentMB);
    }
    std::printf("growth 100,000 -> 1,000,000 lines (target 12x): insert %.1fx, delete %.1fx\n",
                large.insert / small.insert, large.remove / small.remove);
    return 0;
}
