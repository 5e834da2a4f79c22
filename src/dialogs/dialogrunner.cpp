#include "dialogs/dialogrunner.h"

#include "dialogs/choicedialogs.h"
#include "dialogs/commentdialog.h"
#include "dialogs/jumpdialogs.h"
#include "dialogs/numberdialogs.h"
#include "dialogs/setupdialogs.h"

namespace kr44 {

std::unique_ptr<InstructionDialog> createInstructionDialog(char code, QByteArray &params,
                                                           const ProgramCodes &program, int row,
                                                           QWidget *parent)
{
    switch (code) {
    case '+':
        return std::make_unique<MoveDialog>(params, MoveDialog::Direction::Clockwise, parent);
    case '-':
        return std::make_unique<MoveDialog>(params, MoveDialog::Direction::Counterclockwise, parent);
    case 'A':
        return std::make_unique<ActivateDialog>(params, parent);
    case 'B':
        return std::make_unique<MotorDialog>(params, parent);
    case 'C':
        return std::make_unique<ClearDialog>(params, parent);
    case 'D':
        return std::make_unique<DelayDialog>(params, parent);
    case 'f':
        return std::make_unique<ForceDialog>(params, parent);
    case 'G':
        return std::make_unique<GotoDialog>(params, parent);
    case 'g':
        return std::make_unique<GoUntilDialog>(params, parent);
    case 'h':
        return std::make_unique<HoldDialog>(params, parent);
    case 'H':
        return std::make_unique<HomeDialog>(params, parent);
    case 'I':
        return std::make_unique<InitialiseDialog>(params, parent);
    case 'j':
        return std::make_unique<JumpDialog>(params, program, row, parent);
    case 'J':
        return std::make_unique<JumpIfDialog>(params, program, row, parent);
    case 'L':
        return std::make_unique<LoopDialog>(params, parent);
    case 'M':
        return std::make_unique<MinistepDialog>(params, parent);
    case 'T':
        return std::make_unique<SlewRateDialog>(params, parent);
    case 'U':
        return std::make_unique<UntilDialog>(params, parent);
    case 'V':
        return std::make_unique<VerifyDialog>(params, parent);
    case 'W':
        return std::make_unique<WaitDialog>(params, parent);
    case 'X':
        return std::make_unique<AccelerationDialog>(params, parent);
    default:
        return nullptr;
    }
}

DialogResult runCommentDialog(QWidget *parent, QByteArray &text)
{
    CommentDialog dialog(parent);
    dialog.setComment(text);
    if (dialog.exec() != QDialog::Accepted)
        return DialogResult::Rejected;
    text = dialog.comment();
    return DialogResult::Accepted;
}

DialogResult runInstructionDialog(QWidget *parent, const QByteArray &code, QByteArray &params,
                                  const ProgramCodes &program, int row)
{
    if (isCommentCode(code))
        return runCommentDialog(parent, params);
    if (code.size() != 1)
        return DialogResult::NoDialog;
    const std::unique_ptr<InstructionDialog> dialog
            = createInstructionDialog(code.front(), params, program, row, parent);
    if (!dialog)
        return DialogResult::NoDialog;
    return dialog->run();
}

} // namespace kr44
