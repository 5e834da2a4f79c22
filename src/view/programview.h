#pragma once

#include "dialogs/dialogrunner.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QAction;
class QMenu;
class QTableView;
class QUndoStack;

namespace kr44 {

class ProgramDocument;

class FindingIndex;
class LineEditor;
class ProgramChecker;
class ProgramListView;
class ProgramRows;
class ProgramTableModel;

// The program list of one program window: one row per program line and an empty end row, with
// the line editing operations. The rows are filled once from the document and are the working
// copy from then on; after every edit the document's lines are replaced by the rows (and the
// document is marked modified). The view never reloads the rows when the document changes.
//
// For the program window that holds it:
// - put it in the window as its only content; it takes the keyboard focus through its list;
// - connect commPauseRequested()/commResumeRequested() to the frame's polling pause and resume
//   (they bracket every instruction dialog the view opens);
// - the line commands are editLineAction(), insertAction(), deleteAction() and
//   addCommentAction(); their enabling follows the selection (commandEnablingChanged()).
// - the Edit commands are the slots undo(), redo(), cut(), copy() and paste(); their enabling
//   and the undo and redo texts change with editCommandsChanged(). undoAction() ... pasteAction()
//   carry the same commands with their enabling and menu texts kept up to date, and no keys:
//   the keys belong to the window's own actions, which the list lets through.
// - every change is a step of the view's own undo history; the document's modified flag
//   follows it (saving the document, which clears the flag, marks the saved state).
// - the program is checked after every change (and once filled), when the event loop is next
//   free: the "Line no." cells mark the findings, findings() lists them, findingsChanged()
//   tells when they change. The findings are advice; nothing is refused because of them.
class ProgramView : public QWidget
{
    Q_OBJECT

public:
    // Opens the dialog of a line (see kr44::runInstructionDialog, the default).
    using DialogRunner = std::function<kr44::DialogResult(
            QWidget *parent, const QByteArray &code, QByteArray &params,
            const kr44::ProgramCodes &program, int row)>;
    // Shows the view's one warning ("This line is referenced by a jump instruction!"). The
    // default goes through kr44::showPrompt with the exclamation icon.
    using WarningPrompt = std::function<void(QWidget *parent, const QString &text)>;

    // Fills the rows from `doc` at once. The document must outlive the view or be deleted
    // together with it.
    explicit ProgramView(ProgramDocument *doc, QWidget *parent = nullptr);
    ~ProgramView() override;

    [[nodiscard]] ProgramDocument *document() const;
    [[nodiscard]] QTableView *list() const;
    [[nodiscard]] kr44::ProgramTableModel *tableModel() const { return m_model; }
    [[nodiscard]] const kr44::ProgramRows &rows() const;

    // Rows, end row included, and the text of a cell as the list shows it.
    [[nodiscard]] int rowCount() const;
    [[nodiscard]] QString text(int row, int column) const;
    // The selected row, or -1.
    [[nodiscard]] int selectedRow() const;
    // Selects `row` and makes it the current row, without scrolling the list.
    void selectRow(int row);
    // Selects `row` and scrolls the list to it.
    void showRow(int row);
    [[nodiscard]] bool insertMode() const;

    [[nodiscard]] bool canEditLine() const;
    [[nodiscard]] bool canDeleteLine() const;
    [[nodiscard]] bool canInsertLine() const { return true; }
    [[nodiscard]] bool canAddComment() const { return true; }

    [[nodiscard]] QAction *editLineAction() const { return m_editLineAction; }
    [[nodiscard]] QAction *insertAction() const { return m_insertAction; }
    [[nodiscard]] QAction *deleteAction() const { return m_deleteAction; }
    [[nodiscard]] QAction *addCommentAction() const { return m_addCommentAction; }
    // The line menu (context menu) with the four line commands.
    [[nodiscard]] QMenu *lineMenu() const { return m_lineMenu; }

    [[nodiscard]] QUndoStack *undoStack() const;
    [[nodiscard]] bool canUndo() const;
    [[nodiscard]] bool canRedo() const;
    // The name of the operation undo() would take back or redo() do again ("Insert"), or empty.
    [[nodiscard]] QString undoText() const;
    [[nodiscard]] QString redoText() const;
    // A program line is selected (not the end row); for cut, one that Delete would delete.
    [[nodiscard]] bool canCopy() const;
    [[nodiscard]] bool canCut() const;
    // A row is selected and the clipboard holds text.
    [[nodiscard]] bool canPaste() const;
    // "&Undo Insert" / "&Redo Insert", or "&Undo" / "&Redo" with nothing to undo or redo.
    [[nodiscard]] QAction *undoAction() const { return m_undoAction; }
    [[nodiscard]] QAction *redoAction() const { return m_redoAction; }
    [[nodiscard]] QAction *cutAction() const { return m_cutAction; }
    [[nodiscard]] QAction *copyAction() const { return m_copyAction; }
    [[nodiscard]] QAction *pasteAction() const { return m_pasteAction; }

    // The findings of the last check of the rows.
    [[nodiscard]] const kr44::FindingIndex &findings() const;
    [[nodiscard]] kr44::ProgramChecker *programChecker() const { return m_checker; }

    void setDialogRunner(DialogRunner runner);
    void setWarningPrompt(WarningPrompt prompt);

public Q_SLOTS:
    // The line-edit dispatcher: opens the dialog for `row` (the Comment dialog for a comment
    // row) and stores its result. Always true for an existing row.
    bool editLine(int row);
    void editSelectedLine();
    void insertLine();
    // A choice from the instruction menu: the instruction's code.
    void chooseInstruction(char code);
    void deleteLine();
    void addComment();
    void writeRowsBack();
    // Refills the rows from the document; selects row 0.
    void fillFromDocument();
    void showLineMenu(const QPoint &globalPos);

    void undo();
    void redo();
    // The selected line goes to the clipboard as text; cut then deletes it as Delete does (and
    // is refused, clipboard untouched, when a jump refers to it).
    void cut();
    void copy();
    // The clipboard's text lines are inserted before the selected row.
    void paste();
    // The document has been saved by other means than ProgramDocument::save: the state now
    // shown is the unmodified one.
    void markSaved();

Q_SIGNALS:
    void commPauseRequested();
    void commResumeRequested();
    void selectedRowChanged(int row);
    // canEditLine() and canDeleteLine() changed.
    void commandEnablingChanged();
    // Any of canUndo(), canRedo(), undoText(), redoText(), canCut(), canCopy() or canPaste()
    // may have changed.
    void editCommandsChanged();
    // findings() changed (and the list's markers with them).
    void findingsChanged();

private:
    void showInstructionMenu(int row);
    void fitColumnsToList();
    QAction *makeAction(const QString &text, const char *name);
    void createEditActions();
    void updateEditActions();
    void clipboardChanged();

    QPointer<ProgramDocument> m_doc;
    kr44::ProgramTableModel *m_model = nullptr;
    kr44::ProgramListView *m_list = nullptr;
    kr44::LineEditor *m_editor = nullptr;
    kr44::ProgramChecker *m_checker = nullptr;
    QMenu *m_lineMenu = nullptr;
    QAction *m_editLineAction = nullptr;
    QAction *m_insertAction = nullptr;
    QAction *m_deleteAction = nullptr;
    QAction *m_addCommentAction = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    QAction *m_cutAction = nullptr;
    QAction *m_copyAction = nullptr;
    QAction *m_pasteAction = nullptr;
    bool m_clipboardHasText = false;
    DialogRunner m_runDialog;
    WarningPrompt m_warn;
    bool m_fittingColumns = false;
    bool m_columnsSizedByUser = false;
};

} // namespace kr44
