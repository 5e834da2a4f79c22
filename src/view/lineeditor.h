#pragma once

#include "instructiondialogs.h"
#include "programrows.h"

#include <QObject>
#include <QPointer>

#include <functional>

class CKR44Doc;
class QItemSelectionModel;

namespace kr44 {

class ProgramTableModel;

// The instruction menu's commands: entry k of the instruction table is command 1024 + k.
inline constexpr int kFirstInstructionCommand = 1024;
inline constexpr int kLastInstructionCommand = kFirstInstructionCommand + kInstructionCount - 1;

inline constexpr char kReferencedLineMessage[] = "This line is referenced by a jump instruction!";

// The editing operations of a program list, on its table model and selection model, without
// any widget: the list widget turns keys, clicks and menu choices into these calls, and answers
// the three things the operations ask of it (show the instruction menu, run a dialog, show a
// warning) through the seams below.
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

    void setDocument(CKR44Doc *doc);
    [[nodiscard]] CKR44Doc *document() const;
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

    // Rows from the document's lines, row 0 selected.
    void FillFromDocument();
    // The document's lines become the rows (end row excluded) and the document is modified.
    void WriteRowsBack();

    // The line-edit dispatcher: runs the row's dialog and stores the result. Returns false only
    // for a row that does not exist.
    bool EditLine(int row);
    void EditSelectedLine();
    void InsertLine();
    void ChooseInstruction(int commandId);
    void DeleteLine();
    void AddComment();
    // Asks for the instruction menu at the selected row.
    void ShowInstructionMenu(bool insertMode);

Q_SIGNALS:
    // Show the instruction menu at `row`; a choice comes back through ChooseInstruction().
    void instructionMenuRequested(int row);
    // Around every dispatcher dialog: the frame stops polling the unit meanwhile.
    void commPauseRequested();
    void commResumeRequested();
    void selectedRowChanged(int row);
    // canEditLine() and canDeleteLine() changed.
    void commandEnablingChanged();

private:
    enum class Stored { No, Yes };
    Stored editRow(int row);
    // Sets a comment row's text after its dialog. A comment stored without its blank keeps its
    // form, byte for byte, unless its text was changed.
    void storeComment(int row, const QByteArray &before, const QByteArray &after);
    DialogResult runDialog(const QByteArray &code, QByteArray &params, int row);
    void updateSelectedRow();

    ProgramTableModel *m_model;
    QItemSelectionModel *m_selection;
    QPointer<CKR44Doc> m_doc;
    DialogRunner m_runDialog;
    WarningPrompt m_warn;
    bool m_insertMode = false;
    int m_pauseDepth = 0;
    int m_lastSelectedRow = -1;
};

} // namespace kr44
