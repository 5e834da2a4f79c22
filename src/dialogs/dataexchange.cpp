#include "dialogs/dataexchange.h"

#include "dialogs/prompt.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <climits>

namespace kr44 {

DataExchange::DataExchange(QWidget *dialog, Direction direction)
    : m_dialog(dialog), m_direction(direction)
{}

void DataExchange::fail(QWidget *control)
{
    m_failed = true;
    if (control)
        control->setFocus(Qt::OtherFocusReason);
}

void DataExchange::failWith(QLineEdit *edit, const QString &message)
{
    m_failed = true;
    showPrompt(m_dialog, PromptIcon::Exclamation, message);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

bool DataExchange::number(QLineEdit *edit, int &value, NumberSign sign)
{
    if (m_failed)
        return false;
    if (!pulling()) {
        edit->setText(QString::number(value));
        return true;
    }
    const std::optional<qint64> parsed = parseFieldNumber(edit->text(), sign);
    if (!parsed) {
        failWith(edit, parseFailureMessage(sign));
        return false;
    }
    // An unsigned field's values above the int range fail every range check the same way.
    value = int(qMin(*parsed, qint64(INT_MAX)));
    return true;
}

bool DataExchange::range(QLineEdit *edit, int value, int minimum, int maximum)
{
    if (m_failed)
        return false;
    if (pulling() && (value < minimum || value > maximum)) {
        failWith(edit, rangeMessage(minimum, maximum));
        return false;
    }
    return true;
}

bool DataExchange::radioGroup(QButtonGroup *group, int &index)
{
    if (m_failed)
        return false;
    if (pulling()) {
        index = group->checkedId();
        if (index < 0) {
            const QList<QAbstractButton *> buttons = group->buttons();
            fail(buttons.isEmpty() ? nullptr : buttons.first());
            return false;
        }
        return true;
    }
    QAbstractButton *button = group->button(index);
    if (button) {
        button->setChecked(true);
    } else if (QAbstractButton *checked = group->checkedButton()) {
        // An exclusive group will not let its last checked button go.
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
    }
    return true;
}

bool DataExchange::checkBox(QCheckBox *box, int &value)
{
    if (m_failed)
        return false;
    if (pulling())
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
    return true;
}

bool DataExchange::list(QComboBox *combo, int &index)
{
    if (m_failed)
        return false;
    if (pulling()) {
        index = combo->currentIndex();
        if (index < 0) {
            fail(combo);
            return false;
        }
        return true;
    }
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    return true;
}

bool DataExchange::text(QLineEdit *edit, QString &value, int maxChars)
{
    if (m_failed)
        return false;
    if (!pulling()) {
        edit->setText(value);
        return true;
    }
    const QString typed = edit->text();
    if (typed.size() > maxChars) {
        failWith(edit, lengthMessage(maxChars));
        return false;
    }
    value = typed;
    return true;
}

} // namespace kr44
