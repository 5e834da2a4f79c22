#pragma once

#include "instructiondialogs.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class CKR44Doc;
class QAction;
class QMenu;
class QTableView;

namespace kr44 {
class LineEditor;
class ProgramListView;
class ProgramRows;
class ProgramTableModel;
} // namespace kr44

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
class CKR44View : public QWidget
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
    explicit CKR44View(CKR44Doc *doc, QWidget *parent = nullptr);
    ~CKR44View() override;

    [[nodiscard]] CKR44Doc *GetDocument() const;
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

    void setDialogRunner(DialogRunner runner);
    void setWarningPrompt(WarningPrompt prompt);

public Q_SLOTS:
    // The line-edit dispatcher: opens the dialog for `row` (the Comment dialog for a comment
    // row) and stores its result. Always true for an existing row.
    bool EditLine(int row);
    void EditSelectedLine();
    void InsertLine();
    // A choice from the instruction menu: command 1024 + the instruction's table index.
    void ChooseInstruction(int commandId);
    void DeleteLine();
    void AddComment();
    void WriteRowsBack();
    // Refills the rows from the document; selects row 0.
    void FillFromDocument();
    void ShowLineMenu(const QPoint &globalPos);

Q_SIGNALS:
    void commPauseRequested();
    void commResumeRequested();
    void selectedRowChanged(int row);
    // canEditLine() and canDeleteLine() changed.
    void commandEnablingChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showInstructionMenu(int row);
    void setInitialColumnWidths();
    QAction *makeAction(const char *text, const char *name);

    QPointer<CKR44Doc> m_doc;
    kr44::ProgramTableModel *m_model = nullptr;
    kr44::ProgramListView *m_list = nullptr;
    kr44::LineEditor *m_editor = nullptr;
    QMenu *m_lineMenu = nullptr;
    QAction *m_editLineAction = nullptr;
    QAction *m_insertAction = nullptr;
    QAction *m_deleteAction = nullptr;
    QAction *m_addCommentAction = nullptr;
    DialogRunner m_runDialog;
    WarningPrompt m_warn;
    bool m_columnsSized = false;
};
