#pragma once

#include "dialogs/dialogrunner.h"
#include "view/programrows.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QItemSelectionModel;
class QUndoStack;

namespace kr44 {

class ProgramDocument;

class EditStep;
class ProgramTableModel;
class RowJournal;

inline constexpr char kReferencedLineMessage[]
        = QT_TRANSLATE_NOOP("kr44::LineEditor", "This line is referenced by a jump instruction!");

// The editing operations of a program list, on its table model and selection model, without
// any widget: the list widget turns keys, clicks and menu choices into these calls, and answers
// the three things the operations ask of it (show the instruction menu, run a dialog, show a
// warning) through the seams below.
//
// Everything one operation does to the rows, its dialog's answer included, is one step of the
// undo history; undoing it gives back the rows, the document's lines and the selected row as
// they were. The document counts as modified exactly when the history is away from the state
// last saved (or loaded).
class LineEditor final : public QObject
{
    Q_OBJECT

public:
    // Runs the dialog for a row: the Comment dialog for an empty code, otherwise the code's
    // instruction dialog; `params` is the row's text in and the dialog's text out.
    using DialogRunner = std::function<DialogResult(const QByteArray &code, QByteArray &params,
                                                    const ProgramCodes &program, int row)>;
    using WarningPrompt = std::function<void(const QString &text)>;

    LineEditor(ProgramTableModel *model, QItemSelectionModel *selection, QObject *parent = nullptr);
    ~LineEditor() override;

    void setDocument(ProgramDocument *doc);
    [[nodiscard]] ProgramDocument *document() const;
    void setDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }
    void setWarningPrompt(WarningPrompt prompt) { m_warn = std::move(prompt); }

    [[nodiscard]] ProgramTableModel *model() const { return m_model; }
    [[nodiscard]] const ProgramRows &rows() const;

    // The single selected row, or -1.
    [[nodiscard]] int selectedRow() const;
    // Makes `row` the selected and current row.
    void selectRow(int row);
    // What a choice from the instruction menu does: insert before the selected row (true), or
    // fill the selected empty row (false). Set each time the menu is requested.
    [[nodiscard]] bool insertMode() const { return m_insertMode; }
    // True while a dispatcher dialog runs, between commPauseRequested and commResumeRequested.
    [[nodiscard]] bool isCommPaused() const { return m_pauseDepth > 0; }

    // Command enabling: editing and deleting need a selected row; inserting and adding a comment
    // are always enabled (and do nothing without a selected row).
    [[nodiscard]] bool canEditLine() const { return selectedRow() >= 0; }
    [[nodiscard]] bool canDeleteLine() const { return selectedRow() >= 0; }

    // Rows from the document's lines, row 0 selected; the history starts afresh.
    void fillFromDocument();
    // The document's lines become the rows (end row excluded) and the document is modified.
    void writeRowsBack();

    // The line-edit dispatcher: runs the row's dialog and stores the result. Returns false only
    // for a row that does not exist.
    bool editLine(int row);
    void editSelectedLine();
    void insertLine();
    // The instruction menu's choice: instruction `code` at the selected row, its dialog open. A
    // code the instruction table does not have is ignored.
    void chooseInstruction(char code);
    void deleteLine();
    void addComment();
    // Asks for the instruction menu at the selected row.
    void requestInstructionMenu(bool insertMode);

    // ---- history ------------------------------------------------------------------------------
    [[nodiscard]] QUndoStack *undoStack() const { return m_history; }
    [[nodiscard]] bool canUndo() const;
    [[nodiscard]] bool canRedo() const;
    // The name of the step undo() would take back or redo() do again ("Insert"), or empty.
    [[nodiscard]] QString undoText() const;
    [[nodiscard]] QString redoText() const;
    void undo();
    void redo();
    // Bytes the history's steps hold (their journals and names), roughly.
    [[nodiscard]] qsizetype historyBytes() const;
    // The document was saved: the state now shown is the unmodified one. Clearing the
    // document's modified flag does the same.
    void markSaved();

    // ---- clipboard ----------------------------------------------------------------------------
    // A program line (not the end row) is selected.
    [[nodiscard]] bool canCopy() const;
    // A line that Delete would delete is selected (the jump check aside).
    [[nodiscard]] bool canCut() const;
    // A row to paste before is selected.
    [[nodiscard]] bool canPaste() const { return selectedRow() >= 0; }
    // The clipboard text of the selected line; empty if no program line is selected.
    [[nodiscard]] QString copyText() const;
    // Deletes the selected line as Delete does, as the step "Cut", and returns its clipboard
    // text. Empty when nothing was cut: no such line, or a jump refers to it (the warning has
    // been shown).
    QString cut();
    // Inserts the lines of clipboard text before the selected row, as an insertion of that many
    // lines, as the step "Paste"; the first of them is then selected. False if nothing was
    // inserted.
    bool paste(const QString &text);

Q_SIGNALS:
    // Show the instruction menu at `row`; a choice comes back through chooseInstruction().
    void instructionMenuRequested(int row);
    // Around every dispatcher dialog: the frame stops polling the unit meanwhile.
    void commPauseRequested();
    void commResumeRequested();
    void selectedRowChanged(int row);
    // canEditLine() and canDeleteLine() changed.
    void commandEnablingChanged();
    // Any of canUndo(), canRedo(), undoText(), redoText(), canCopy(), canCut() or canPaste() may
    // have changed.
    void editCommandsChanged();
    // An undo or redo has put the rows back; `row` is selected again.
    void stepRestored(int row);
    // The rows hold the program again after a change: a write-back, a fill from the document,
    // an undo or a redo. Never between a change and the dialog that completes it: rows that
    // wait for a dialog's answer are not yet the program.
    void rowsSettled();

private:
    friend class EditStep;
    // Opened by every operation that may change the rows; the outermost one (Enter on the end
    // row runs the menu whose choice inserts a line) makes the history step.
    class StepScope
    {
    public:
        explicit StepScope(LineEditor *editor);
        ~StepScope();
        Q_DISABLE_COPY_MOVE(StepScope)

    private:
        QPointer<LineEditor> m_editor;
    };
    void beginStep();
    void endStep();
    // Names the step being recorded, unless an operation already did. `name` is marked with
    // QT_TR_NOOP where it is written and translated here.
    void nameStep(const char *name);
    // Plays a step's journal backward or forward and puts the lines, the selection and the
    // document's lines back. `asFilled`: the rows are back to their filling.
    void restoreStep(const RowJournal &journal, bool forward, int selection, bool asFilled);
    bool removeSelectedLine(const char *stepName);

    enum class Stored { No, Yes };
    Stored editRow(int row);
    // Sets a comment row's text after its dialog. A comment stored without its blank keeps its
    // form, byte for byte, unless its text was changed.
    void storeComment(int row, const QByteArray &before, const QByteArray &after);
    DialogResult runDialog(const QByteArray &code, QByteArray &params, int row);
    void updateSelectedRow();

    ProgramTableModel *m_model;
    QPointer<ProgramTableModel> m_modelAlive; // the model may go first when both are children
    QItemSelectionModel *m_selection;
    QPointer<ProgramDocument> m_doc;
    DialogRunner m_runDialog;
    WarningPrompt m_warn;
    bool m_insertMode = false;
    int m_pauseDepth = 0;
    int m_lastSelectedRow = -1;

    QUndoStack *m_history;
    std::unique_ptr<RowJournal> m_journal; // the step being recorded
    int m_stepDepth = 0;
    int m_stepSelection = -1;
    QString m_stepName;
    bool m_stepWritten = false;
    bool m_refilling = false;
};

} // namespace kr44
