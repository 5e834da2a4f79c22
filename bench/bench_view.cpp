// The program list at 100,000 and 1,000,000 lines: opening and showing against loading the
// document alone (same run), an insert and a delete at line 1 including the renumbering of jump
// targets and the write-back (through the shown widget), and resident memory.
// Targets: show within 3x of the load; insert and delete under 50 ms at 100,000 lines and the
// 1,000,000-line time within 12x of it; under 200 MB resident for 1,000,000 lines.
// Run it from a release build (RelWithDebInfo).
#include "benchsupport.h"
#include "kr44doc.h"
#include "kr44view.h"
#include "programfile.h"
#include "programtablemodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

using kr44bench::ms;

double bestOf(int runs, const std::function<double()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, work());
    return best;
}

double residentMB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? double(fields[1].toLong()) * double(sysconf(_SC_PAGESIZE)) / 1048576.0
                             : -1;
}

// Bytes handed out by malloc: unlike the resident size, it does not depend on which freed
// memory the allocator kept from earlier runs.
double allocatedMB()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / 1048576.0;
}

struct Figures
{
    double load = 0;
    double show = 0;
    double insert = 0;
    double remove = 0;
    double writeBack = 0;
    double documentMB = 0; // held by the loaded document alone
    double programMB = 0;  // held by the document and its shown view
    double residentMB = 0; // the whole process with the program open
};

Figures measure(int lines, const QString &path)
{
    Figures f;
    f.load = bestOf(5, [&] {
        QElapsedTimer t;
        t.start();
        CKR44Doc doc;
        (void)doc.OnOpenDocument(path);
        return ms(t);
    });

    // Open and show: the document loaded, the view filled, the window painted once.
    f.show = bestOf(3, [&] {
        QElapsedTimer t;
        t.start();
        CKR44Doc doc;
        (void)doc.OnOpenDocument(path);
        CKR44View view(&doc);
        view.resize(800, 600);
        view.show();
        (void)QTest::qWaitForWindowExposed(&view);
        view.list()->viewport()->repaint();
        return ms(t);
    });

    const double before = allocatedMB();
    auto doc = std::make_unique<CKR44Doc>();
    (void)doc->OnOpenDocument(path);
    f.documentMB = allocatedMB() - before;
    auto view = std::make_unique<CKR44View>(doc.get());
    view->resize(800, 600);
    view->show();
    (void)QTest::qWaitForWindowExposed(view.get());
    view->list()->viewport()->repaint();
    f.programMB = allocatedMB() - before;
    f.residentMB = residentMB();

    view->setDialogRunner([](QWidget *, const QByteArray &, QByteArray &params,
                             const kr44::ProgramCodes &, int) {
        params = "bench";
        return kr44::DialogResult::Accepted;
    });
    // Insert: a comment before line 1 (an instruction line), with renumbering and write-back.
    // Delete: that comment again.
    double insertBest = 1e300;
    double removeBest = 1e300;
    for (int i = 0; i < 7; ++i) {
        if (view->rows().kind(0) != kr44::RowKind::Instruction)
            std::fprintf(stderr, "line 1 is not an instruction line\n");
        view->selectRow(0);
        QElapsedTimer t;
        t.start();
        view->AddComment();
        view->list()->viewport()->repaint();
        insertBest = std::min(insertBest, ms(t));
        t.restart();
        view->DeleteLine();
        view->list()->viewport()->repaint();
        removeBest = std::min(removeBest, ms(t));
    }
    f.insert = insertBest;
    f.remove = removeBest;
    if (doc->m_lines.size() != lines)
        std::fprintf(stderr, "line count changed: %lld\n", static_cast<long long>(doc->m_lines.size()));
    f.writeBack = bestOf(7, [&] {
        QElapsedTimer t;
        t.start();
        view->WriteRowsBack();
        return ms(t);
    });
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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
        const Figures f = measure(lines, path);
        (lines == 100000 ? small : large) = f;
        std::printf("%8d lines: load %.1f ms, open and show %.1f ms (%.2fx the load), "
                    "insert at line 1 %.2f ms, delete at line 1 %.2f ms, write-back alone %.2f ms; "
                    "memory: document %.1f MB, document and view %.1f MB, process resident %.1f MB\n",
                    lines, f.load, f.show, f.show / f.load, f.insert, f.remove, f.writeBack,
                    f.documentMB, f.programMB, f.residentMB);
    }
    std::printf("growth 100,000 -> 1,000,000 lines: insert %.1fx, delete %.1fx\n",
                large.insert / small.insert, large.remove / small.remove);
    return 0;
}
