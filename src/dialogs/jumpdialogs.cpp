#include "jumpdialogs.h"

#include "controls.h"
#include "prompt.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using namespace kr44;

CJumpDlgBase::CJumpDlgBase(char code, QByteArray &params, const QString &title,
                           const QString &objectName, const ProgramCodes &program, int row,
                           int fallbackLine, QWidget *parent)
    : CInstructionDlg(params, title, objectName, parent), m_nLine(fallbackLine),
      m_program(program, row, QByteArray(1, code)), m_fallbackLine(fallbackLine)
{
    QLabel *label
            = makeLabel(QStringLiteral("Jump to program line"), QStringLiteral("lineLabel"), this);
    m_lineEdit = makeNumberEdit(NumberSign::Unsigned, QStringLiteral("lineEdit"),
                                QStringLiteral("Jump to program line"), this);
    label->setBuddy(m_lineEdit);
    grid()->addWidget(label, 0, 0);
    grid()->addWidget(m_lineEdit, 0, 1);
}

void CJumpDlgBase::exchangeLine(DataExchange &dx)
{
    dx.number(m_lineEdit, m_nLine, NumberSign::Unsigned);
}

bool CJumpDlgBase::opened()
{
    // A line whose target reads as 0 opens on the default target, so that it can be repaired;
    // only a program with no line to jump to ends the dialog.
    const std::optional<int> own = isNewMode() ? std::nullopt : std::optional<int>(m_nLine);
    m_nLine = openingJumpTarget(own, m_program, m_fallbackLine);
    if (m_nLine == 0) {
        showPrompt(parentWidget(), PromptIcon::Exclamation,
                   QStringLiteral("There are no valid lines for a jump instruction"));
        done(QDialog::Rejected);
        return false;
    }
    updateData(DataExchange::Direction::Push);
    return true;
}

void CJumpDlgBase::checkFields(DataExchange &dx)
{
    if (isValidTarget(m_program, m_nLine))
        return;
    showPrompt(this, PromptIcon::Information, QStringLiteral("This is not a valid line number"));
    dx.fail(m_lineEdit);
    m_lineEdit->selectAll();
}

// ---- j -----------------------------------------------------------------------------------------

CJumpDlg::CJumpDlg(QByteArray &params, const ProgramCodes &program, int row, QWidget *parent)
    : CJumpDlgBase('j', params, QStringLiteral("Jump Command"), QStringLiteral("jumpDialog"),
                   program, row, defaultFields('j').value(0), parent)
{}

void CJumpDlg::readFields(const QByteArray &params) { m_nLine = readParams('j', params).value(0); }

void CJumpDlg::exchange(DataExchange &dx) { exchangeLine(dx); }

QByteArray CJumpDlg::composeText() { return composeParams('j', {m_nLine}); }

// ---- J -----------------------------------------------------------------------------------------

// A new J with no other line to offer targets line 1, which is at least the J line itself when it
// is the program's first.
CJumpIfDlg::CJumpIfDlg(QByteArray &params, const ProgramCodes &program, int row, QWidget *parent)
    : CJumpDlgBase('J', params, QStringLiteral("Jump If Command"), QStringLiteral("jumpIfDialog"),
                   program, row, 1, parent)
{
    const ParamFields d = defaultFields('J');
    m_nInput = d.value(0) - 1;
    m_nLevel = d.value(1);
    m_groups = addInputLevelRows(this, grid(), 1, QStringLiteral("if user input"));
}

void CJumpIfDlg::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('J', params);
    m_nInput = f.value(0) - 1;
    m_nLevel = f.value(1);
    m_nLine = f.value(2);
}

void CJumpIfDlg::exchange(DataExchange &dx)
{
    exchangeLine(dx);
    dx.radioGroup(m_groups.input, m_nInput);
    dx.radioGroup(m_groups.level, m_nLevel);
}

QByteArray CJumpIfDlg::composeText()
{
    return composeParams('J', {m_nInput + 1, m_nLevel, m_nLine});
}
