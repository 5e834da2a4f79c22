#pragma once

#include "model/programdocument.h"
#include "view/lineeditor.h"
#include "view/programchecker.h"
#include "view/programtablemodel.h"
#include "view/programview.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>

// Program editing as the tests drive it: a document with its editor (no widget) or its shown
// view, every dialog answered by the test.
namespace kr44test {

using namespace std::placeholders;

// What a dialog was asked to show.
struct DialogCall
{
    QByteArray code, params;
    int row = -1;
    QByteArray rowCode; // the code the program holds at `row` while the dialog runs
};

// Answers dialogs from a list: an answer is the dialog's text on OK; a null answer, or none
// left, cancels. `dialog`, when set, answers instead (and may act while the dialog is open).
struct DialogScript
{
    kr44::DialogResult answer(const QByteArray &code, QByteArray &params,
                              const kr44::ProgramCodes &program, int row)
    {
        calls.append({code, params, row, row < program.lineCount() ? program.codeAt(row) : "-"});
        events.append(QStringLiteral("dialog"));
        if (dialog)
            return dialog(code, params, program, row);
        const QByteArray answer = answers.isEmpty() ? QByteArray() : answers.takeFirst();
        if (answer.isNull())
            return kr44::DialogResult::Rejected;
        params = answer;
        return kr44::DialogResult::Accepted;
    }

    QByteArrayList answers;
    QList<DialogCall> calls;
    kr44::LineEditor::DialogRunner dialog;
    QStringList events; // "pause", "dialog", "resume" in the order they happen (editor only)
};

// A LineEditor over a document. The instruction menu is answered with `menuChoice` (0
// dismisses it), as the list answers it: before the request returns.
struct EditorHarness
{
    explicit EditorHarness(const QByteArrayList &lines, bool modified = false)
    {
        doc.setLines(kr44::LineArray::fromList(lines));
        doc.setModified(modified);
        editor.setDocument(&doc);
        editor.setDialogRunner(std::bind(&DialogScript::answer, &script, _1, _2, _3, _4));
        editor.setWarningPrompt([this](const QString &text) { warnings.append(text); });
        QObject::connect(&editor, &kr44::LineEditor::instructionMenuRequested, &editor,
                         [this](int row) {
                             menus.append({row, editor.insertMode()});
                             if (menuChoice)
                                 editor.chooseInstruction(menuChoice);
                         });
        for (const auto &[signal, name] :
             {std::pair(&kr44::LineEditor::commPauseRequested, "pause"),
              std::pair(&kr44::LineEditor::commResumeRequested, "resume")})
            QObject::connect(&editor, signal, &editor,
                             [this, n = name] { script.events.append(n); });
        editor.fillFromDocument();
    }

    [[nodiscard]] QByteArrayList docLines() const { return doc.lines().toList(); }
    [[nodiscard]] QByteArrayList rowLines() const { return model.rows().lines().toList(); }

    kr44::ProgramDocument doc;
    kr44::ProgramTableModel model;
    QItemSelectionModel selection {&model};
    kr44::LineEditor editor {&model, &selection};
    DialogScript script;
    QStringList warnings;
    QList<QPair<int, bool>> menus; // row and insert mode of each menu request
    char menuChoice = 0;
};

// A shown program view over a document, its dialogs answered by the test.
struct ViewWindow
{
    explicit ViewWindow(const QByteArrayList &lines, QWidget *parent = nullptr)
    {
        doc.setLines(kr44::LineArray::fromList(lines));
        doc.setModified(false);
        view = std::make_unique<kr44::ProgramView>(&doc, parent);
        view->setDialogRunner(std::bind(&DialogScript::answer, &script, _2, _3, _4, _5));
        view->setWarningPrompt([this](QWidget *, const QString &text) { warnings.append(text); });
        if (!parent) {
            view->resize(600, 400);
            view->show();
            ready = QTest::qWaitForWindowExposed(view.get());
        }
        view->list()->setFocus();
    }

    [[nodiscard]] QByteArrayList docLines() const { return doc.lines().toList(); }
    [[nodiscard]] kr44::ProgramChecker *checker() const { return view->programChecker(); }
    [[nodiscard]] QPoint rowCenter(int row) const
    {
        return view->list()->visualRect(view->list()->model()->index(row, 1)).center();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(view->list(), k, m); }
    // Waits for a check that started after `checks` checks, and for nothing more pending.
    [[nodiscard]] bool checkedSince(int checks) const
    {
        return QTest::qWaitFor(
                [&] { return checker()->checkCount() > checks && !checker()->isPending(); });
    }

    kr44::ProgramDocument doc; // outlives the view
    std::unique_ptr<kr44::ProgramView> view;
    DialogScript script;
    QStringList warnings;
    bool ready = false;
};

} // namespace kr44test
