#include "dialogs/instructiondialog.h"

#include "dialogs/controls.h"
#include "dialogs/spinedit.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kr44 {

using kr44::DataExchange;

InstructionDialog::InstructionDialog(QByteArray &params, const QString &title,
                                     const QString &objectName, QWidget *parent)
    : QDialog(parent), m_params(params), m_newMode(params.isEmpty())
{
    setObjectName(objectName);
    setAccessibleName(title);
    setWindowTitle(title);

    m_outer = new QVBoxLayout(this);
    m_outer->setSizeConstraint(QLayout::SetFixedSize);
    m_grid = new QGridLayout;
    m_outer->addLayout(m_grid);
}

void InstructionDialog::addButtons()
{
    auto *buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    m_ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    kr44::setNames(m_ok, QStringLiteral("okButton"), tr("OK"));
    kr44::setNames(m_cancel, QStringLiteral("cancelButton"), tr("Cancel"));
    m_ok->setDefault(true);
    m_outer->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &InstructionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &InstructionDialog::reject);
}

bool InstructionDialog::initDialog()
{
    // Made here, after the derived dialog's controls, so that Tab reaches the buttons last.
    if (!m_ok)
        addButtons();
    m_cancel->setVisible(!m_newMode);
    if (!m_newMode)
        readFields(m_params);
    updateData(DataExchange::Direction::Push);
    if (!opened())
        return false;
    selectFirstField();
    return true;
}

void InstructionDialog::selectFirstField()
{
    // The field that takes the focus when the dialog opens has its text selected, so that what
    // the user types replaces it.
    for (QWidget *w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(this) || !w->isEnabled())
            continue;
        if (auto *spin = qobject_cast<kr44::SpinEdit *>(w))
            spin->edit()->selectAll();
        else if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->selectAll();
        return;
    }
}

kr44::DialogResult InstructionDialog::run()
{
    if (!initDialog())
        return kr44::DialogResult::Rejected;
    return exec() == QDialog::Accepted ? kr44::DialogResult::Accepted
                                       : kr44::DialogResult::Rejected;
}

bool InstructionDialog::updateData(DataExchange::Direction direction)
{
    DataExchange dx(this, direction);
    exchange(dx);
    if (dx.pulling() && !dx.failed())
        checkFields(dx);
    return !dx.failed();
}

void InstructionDialog::accept()
{
    if (!updateData(DataExchange::Direction::Pull))
        return;
    m_params = composeText();
    QDialog::accept();
}

void InstructionDialog::reject()
{
    // A new instruction is always confirmed: Escape and the close box come here too.
    if (m_newMode)
        return;
    QDialog::reject();
}

} // namespace kr44
