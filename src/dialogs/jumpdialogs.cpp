#include "dialogs/jumpdialogs.h"

#include "dialogs/controls.h"
#include "dialogs/prompt.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace kr44 {

using namespace kr44;

JumpDialogBase::JumpDialogBase(char code, QByteArray &params, const QString &title,
                               const QString &objectName, const ProgramCodes &program, int row,
                               int fallbackLine, QWidget *parent)
    : InstructionDialog(params, title, objectName, parent), m_line(fallbackLine),
      m_program(program, row, QByteArray(1, code)), m_fallbackLine(fallbackLine)
{
    QLabel *label = makeLabel(tr("Jump to program line"), QStringLiteral("lineLabel"), this);
    m_lineEdit = makeNumberEdit(NumberSign::Unsigned, QStringLiteral("lineEdit"),
                                tr("Jump to program line"), this);
    label->setBuddy(m_lineEdit);
    grid()->addWidget(label, 0, 0);
    grid()->addWidget(m_lineEdit, 0, 1);
}

void JumpDialogBase::exchangeLine(DataExchange &dx)
{
    dx.number(m_lineEdit, m_line, NumberSign::Unsigned);
}

bool JumpDialogBase::opened()
{
    // A line whose target reads as 0 opens on the default target, so that it can be repaired;
    // only a program with no line to jump to ends the dialog.
    const std::optional<int> own = isNewMode() ? std::nullopt : std::optional<int>(m_line);
    m_line = openingJumpTarget(own, m_program, m_fallbackLine);
    if (m_line == 0) {
        showPrompt(parentWidget(), PromptIcon::Exclamation,
                   tr("There are no valid lines for a jump instruction"));
        done(QDialog::Rejected);
        return false;
    }
    updateData(DataExchange::Direction::Push);
    return true;
}

void JumpDialogBase::checkFields(DataExchange &dx)
{
    if (isValidTarget(m_program, m_line))
        return;
    showPrompt(this, PromptIcon::Information, tr("This is not a valid line number"));
    dx.fail(m_lineEdit);
    m_lineEdit->selectAll();
}

// ---- j -----------------------------------------------------------------------------------------

JumpDialog::JumpDialog(QByteArray &params, const ProgramCodes &program, int row, QWidget *parent)
    : JumpDialogBase('j', params, tr("Jump Command"), QStringLiteral("jumpDialog"), program, row,
                     defaultFields('j').value(0), parent)
{}

void JumpDialog::readFields(const QByteArray &params) { m_line = readParams('j', params).value(0); }

void JumpDialog::exchange(DataExchange &dx) { exchangeLine(dx); }

QByteArray JumpDialog::composeText() { return composeParams('j', {m_line}); }

// ---- J -----------------------------------------------------------------------------------------

// A new J with no other line to offer targets line 1, which is at least the J line itself when it
// is the program's first.
JumpIfDialog::JumpIfDialog(QByteArray &params, const ProgramCodes &program, int row, QWidget *parent)
    : JumpDialogBase('J', params, tr("Jump If Command"), QStringLiteral("jumpIfDialog"), program,
                     row, 1, parent)
{
    const ParamFields d = defaultFields('J');
    m_input = d.value(0) - 1;
    m_level = d.value(1);
    m_groups = addInputLevelRows(this, grid(), 1, tr("if user input"));
}

void JumpIfDialog::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('J', params);
    m_input = f.value(0) - 1;
    m_level = f.value(1);
    m_line = f.value(2);
}

void JumpIfDialog::exchange(DataExchange &dx)
{
    exchangeLine(dx);
    dx.radioGroup(m_groups.input, m_input);
    dx.radioGroup(m_groups.level, m_level);
}

QByteArray JumpIfDialog::composeText()
{
    return composeParams('J', {m_input + 1, m_level, m_line});
}

} // namespace kr44
