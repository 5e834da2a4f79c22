#include "dialogs/spinedit.h"

#include "dialogs/dialogrules.h"

#include <QAccessible>
#include <QLineEdit>
#include <QStyleOptionSpinBox>

namespace kr44 {

SpinEdit::SpinEdit(QWidget *parent) : QAbstractSpinBox(parent)
{
    lineEdit()->setAlignment(Qt::AlignRight);
    // The arrows show whether they can step, which depends on the text.
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] {
        update();
        // A screen reader hears of a typed number as of a stepped one. Replacing the selected
        // text empties the field for a moment: that is no number to announce.
        if (const QVariant number = value(); number.isValid() && QAccessible::isActive()) {
            QAccessibleValueChangeEvent event(this, number);
            QAccessible::updateAccessibility(&event);
        }
    });
}

QVariant SpinEdit::value() const
{
    const std::optional<qint64> value = parseFieldNumber(lineEdit()->text(), NumberSign::Unsigned);
    return value ? QVariant(*value) : QVariant();
}

void SpinEdit::setValue(const QVariant &value)
{
    lineEdit()->setText(QString::number(qMax(qint64(0), value.toLongLong())));
}

void SpinEdit::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = qMax(minimum, maximum);
    updateGeometry();
    update();
}

void SpinEdit::stepBy(int steps)
{
    // A value typed beyond the arrows' range steps back into it at the nearest bound.
    const std::optional<qint64> value = parseFieldNumber(lineEdit()->text(), NumberSign::Unsigned);
    const qint64 next = value.value_or(m_minimum) + steps;
    lineEdit()->setText(QString::number(qBound(qint64(m_minimum), next, qint64(m_maximum))));
    selectAll();
    update();
}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    const std::optional<qint64> value = parseFieldNumber(lineEdit()->text(), NumberSign::Unsigned);
    if (!value)
        return StepUpEnabled | StepDownEnabled;
    StepEnabled enabled = StepNone;
    if (*value < m_maximum)
        enabled |= StepUpEnabled;
    if (*value > m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

QValidator::State SpinEdit::validate(QString &input, int &pos) const
{
    Q_UNUSED(pos);
    for (const QChar c : std::as_const(input)) {
        if (c < u'0' || c > u'9')
            return QValidator::Invalid;
    }
    return QValidator::Acceptable;
}

QSize SpinEdit::sizeHint() const
{
    ensurePolished();
    // Room for the widest number the field may be asked to hold, which is wider than the range
    // of the arrows when the check allows more.
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 4;
    QStyleOptionSpinBox opt;
    initStyleOption(&opt);
    const QSize content(width, lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &opt, content, this);
}

QSize SpinEdit::minimumSizeHint() const { return sizeHint(); }

} // namespace kr44
