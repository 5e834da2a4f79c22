#pragma once

#include "model/instructionset.h"

#include <QByteArray>

#include <memory>

class QWidget;

namespace kr44 {

class InstructionDialog;

enum class DialogResult {
    Accepted, // OK: `params` holds the new parameter text
    Rejected, // Cancel: `params` is unchanged
    NoDialog, // K, Z and codes in no table entry have no dialog
};

// The dialog side of the line-edit dispatcher. Opens the modal dialog for `code` (the Comment
// dialog for an empty code and for the raw-comment code "*"), filled from `params`; the dialog is
// in new mode when `params` is empty. `program` and `row` (0-based index of the line being edited)
// serve the jump dialogs: `program` holds every line of the program, the edited one included.
DialogResult runInstructionDialog(QWidget *parent, const QByteArray &code, QByteArray &params,
                                  const ProgramCodes &program, int row);

// The Comment dialog on its own, as the editor's add-comment command runs it: on OK `text`
// becomes the typed comment, otherwise it is left as it was.
DialogResult runCommentDialog(QWidget *parent, QByteArray &text);

// The dialog for an instruction code, not yet opened (run() opens it); nothing for codes that have
// none, comments included. `params` and `program` must outlive the dialog.
[[nodiscard]] std::unique_ptr<InstructionDialog> createInstructionDialog(
        char code, QByteArray &params, const ProgramCodes &program, int row, QWidget *parent);

} // namespace kr44
