#include "instructiondialogs.h"

#include "choicedialogs.h"
#include "commentdlg.h"
#include "jumpdialogs.h"
#include "numberdialogs.h"
#include "setupdialogs.h"

namespace kr44 {

std::unique_ptr<CInstructionDlg> createInstructionDialog(char code, QByteArray &params,
                                                         const ProgramCodes &program, int row,
                                                         QWidget *parent)
{
    switch (code) {
    case '+':
        return std::make_unique<CMoveDlg>(params, CMoveDlg::Direction::Clockwise, parent);
    case '-':
        return std::make_unique<CMoveDlg>(params, CMoveDlg::Direction::Counterclockwise, parent);
    case 'A':
        return std::make_unique<CActivateDlg>(params, parent);
    case 'B':
        return std::make_unique<CMotorDlg>(params, parent);
    case 'C':
        return std::make_unique<CClearDlg>(params, parent);
    case 'D':
        return std::make_unique<CDelayDlg>(params, parent);
    case 'f':
        return std::make_unique<CForceDlg>(params, parent);
    case 'G':
        return std::make_unique<CGotoDlg>(params, parent);
    case 'g':
        return std::make_unique<CGoUntilDlg>(params, parent);
    case 'h':
        return std::make_unique<CHoldDlg>(params, parent);
    case 'H':
        return std::make_unique<CHomeDlg>(params, parent);
    case 'I':
        return std::make_unique<CInitialiseDlg>(params, parent);
    case 'j':
        return std::make_unique<CJumpDlg>(params, program, row, parent);
    case 'J':
        return std::make_unique<CJumpIfDlg>(params, program, row, parent);
    case 'L':
        return std::make_unique<CLoopDlg>(params, parent);
    case 'M':
        return std::make_unique<CMinistepDlg>(params, parent);
    case 'T':
        return std::make_unique<CSlewRateDlg>(params, parent);
    case 'U':
        return std::make_unique<CUntilDlg>(params, parent);
    case 'V':
        return std::make_unique<CVerifyDlg>(params, parent);
    case 'W':
        return std::make_unique<CWaitDlg>(params, parent);
    case 'X':
        return std::make_unique<CAccelerationDlg>(params, parent);
    default:
        return nullptr;
    }
}

DialogResult runCommentDialog(QWidget *parent, QByteArray &text)
{
    CCommentDlg dialog(parent);
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
    const std::unique_ptr<CInstructionDlg> dialog
            = createInstructionDialog(code.front(), params, program, row, parent);
    if (!dialog)
        return DialogResult::NoDialog;
    return dialog->run();
}

} // namespace kr44
