// Undo and redo at line 1 of a 100,000-line program, through the shown widget, against a plain
// insert at line 1 measured in the same run (the reference: an insertion with its renumbering
// of jump targets, its recording for the history and its write-back). Each figure includes the
// write-back to the document and a repaint of the list.
// Targets: every undo and redo under 50 ms; a step of a long session holding far less than the
// program (only the lines it changed and the rows whose target it moved).
// Run it from a release build (RelWithDebInfo).
#include "benchsupport.h"
#include "model/programdocument.h"
#include "model/programfile.h"
#include "view/lineeditor.h"
#include "view/programview.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

using namespace kr44;

namespace {

using kr44bench::ms;

constexpr int kLines = 100000;

struct Timings
{
    double operation = 1e300;
    double undo = 1e300;
    double redo = 1e300;
};

class Bench
{
public:
    explicit Bench(ProgramDocument *doc) : m_doc(doc), m_view(std::make_unique<ProgramView>(doc))
    {
        m_view->setDialogRunner([](QWidget *, const QByteArray &, QByteArray &params,
                                   const kr44::ProgramCodes &, int) {
            params = "bench";
            return kr44::DialogResult::Accepted;
        });
        m_view->resize(800, 600);
        m_view->show();
        (void)QTest::qWaitForWindowExposed(m_view.get());
        paint();
    }

    [[nodiscard]] ProgramView *view() const { return m_view.get(); }
    // Operations that changed nothing, and undos that did not give the lines back.
    [[nodiscard]] int mismatches() const { return m_mismatches; }

    // The best of `runs` rounds of: setup (untimed), the operation, its undo, its redo, then
    // undo again and cleanup (untimed), with a check that the undo gave the lines back.
    Timings measure(int runs, const std::function<void()> &setup,
                    const std::function<void()> &operation, const std::function<void()> &cleanup)
    {
        Timings best;
        for (int i = 0; i < runs; ++i) {
            setup();
            const kr44::LineArray before = m_doc->lines();
            QElapsedTimer t;
            t.start();
            operation();
            paint();
            best.operation = std::min(best.operation, ms(t));
            if (m_doc->lines() == before)
                ++m_mismatches;
            t.restart();
            m_view->undo();
            paint();
            best.undo = std::min(best.undo, ms(t));
            if (m_doc->lines() != before)
                ++m_mismatches;
            t.restart();
            m_view->redo();
            paint();
            best.redo = std::min(best.redo, ms(t));
            m_view->undo();
            cleanup();
        }
        return best;
    }

private:
    void paint() { m_view->list()->viewport()->repaint(); }

    ProgramDocument *m_doc;
    std::unique_ptr<ProgramView> m_view;
    int m_mismatches = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.krp"));
    {
        QFile file(path);
        const QByteArray bytes = kr44bench::makeJumpyProgram(kLines);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    ProgramDocument doc;
    if (!doc.load(path).ok())
        return 1;
    Bench bench(&doc);
    ProgramView *view = bench.view();
    const auto nothing = [] {};
    // A comment above line 1: no jump refers to it, so it can be deleted and cut.
    const auto addTopComment = [view] {
        view->selectRow(0);
        view->addComment();
    };
    const auto undoTopComment = [view] { view->undo(); };

    const Timings insert = bench.measure(
            7, [view] { view->selectRow(0); }, [view] { view->addComment(); }, nothing);
    const Timings remove = bench.measure(
            7, addTopComment, [view] { view->deleteLine(); }, undoTopComment);
    const Timings cut = bench.measure(
            7, addTopComment, [view] { view->cut(); }, undoTopComment);
    QApplication::clipboard()->setText(QStringLiteral("G100\nj5\n"));
    const Timings paste = bench.measure(
            7, [view] { view->selectRow(0); }, [view] { view->paste(); }, nothing);

    const double reference = insert.operation;
    std::printf("%d lines, reference: a plain insert at line 1 %.2f ms\n", kLines, reference);
    const struct
    {
        const char *name;
        const Timings &t;
    } rows[] = {{"insert", insert}, {"delete", remove}, {"cut", cut}, {"paste 2 lines", paste}};
    double worst = 0;
    for (const auto &row : rows) {
        std::printf("  %-14s at line 1: %.2fx, undo %.2fx, redo %.2fx the reference "
                    "(%.2f / %.2f / %.2f ms)\n",
                    row.name, row.t.operation / reference, row.t.undo / reference,
                    row.t.redo / reference, row.t.operation, row.t.undo, row.t.redo);
        worst = std::max({worst, row.t.undo, row.t.redo});
    }
    std::printf("  slowest undo or redo: %.2f ms (%.2fx the reference), target under 50 ms: %s\n",
                worst, worst / reference, worst < 50 ? "met" : "MISSED");
    if (bench.mismatches() > 0) {
        std::printf("%d operations changed nothing or were not undone exactly\n",
                    bench.mismatches());
        return 1;
    }

    // A long session: steps anywhere in the program, then the history's size per step against
    // the program's own (its bytes and a span per line).
    auto *editor = view->findChild<kr44::LineEditor *>();
    if (!editor)
        return 1;
    view->fillFromDocument();
    QRandomGenerator rng(4420);
    const int steps = 2000;
    for (int i = 0; i < steps; ++i) {
        view->selectRow(rng.bounded(view->rowCount()));
        switch (rng.bounded(3)) {
        case 0:
            view->addComment();
            break;
        case 1:
            view->paste();
            break;
        default:
            view->selectRow(0);
            view->addComment();
            view->deleteLine();
            break;
        }
    }
    const double programBytes = double(doc.lines().byteCount()) + 16.0 * double(doc.lines().size());
    const double perStep = double(editor->historyBytes()) / double(view->undoStack()->count());
    std::printf("long session: %d steps, history %.1f KB in all, %.0f bytes a step "
                "(%.4fx the program's %.1f MB)\n",
                view->undoStack()->count(), double(editor->historyBytes()) / 1024.0, perStep,
                perStep / programBytes, programBytes / 1048576.0);
    return 0;
}
