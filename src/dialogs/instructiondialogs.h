#pragma once

#include "instructionset.h"

#include <QByteArray>

class QWidget;

namespace kr44 {

enum class DialogResult {
    Accepted, // OK: `params` holds the new parameter text
    Rejected, // Cancel: `params` is unchanged
    NoDialog, // K, Z and codes in no table entry have no dialog
};

// The dialog side of the line-edit dispatcher. Opens the modal dialog for `code` (the Comment
// dialog for an empty code), filled from `params`; the dialog is in new mode when `params` is
// empty. `program` and `row` (0-based index of the line being edited) serve the jump dialogs.
DialogResult runInstructionDialog(QWidget *parent, const QByteArray &code, QByteArray &params,
                                  const ProgramCodes &program, int row);

} // namespace kr44
