#include "dialogs/choicedialogs.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>

namespace kr44 {

using namespace kr44;

ChoiceDialog::ChoiceDialog(char code, QByteArray &params, const QString &title,
                           const QString &objectName, const QString &lead,
                           const QList<RadioChoice> &choices, Qt::Orientation orientation,
                           QWidget *parent)
    : InstructionDialog(params, title, objectName, parent), m_code(code)
{
    QLabel *label = makeLabel(lead, QStringLiteral("leadLabel"), this);
    auto *row = new QBoxLayout(orientation == Qt::Horizontal ? QBoxLayout::LeftToRight
                                                             : QBoxLayout::TopToBottom);
    m_group = makeRadioGroup(choices, QStringLiteral("choiceGroup"), this, row);
    label->setBuddy(m_group->button(0));
    grid()->addWidget(label, 0, 0, orientation == Qt::Horizontal ? Qt::AlignVCenter : Qt::AlignTop);
    grid()->addLayout(row, 0, 1);
}

int ChoiceDialog::defaultValue(char code) { return defaultFields(code).value(0); }

void ChoiceDialog::readFields(const QByteArray &params)
{
    value() = readParams(m_code, params).value(0);
}

void ChoiceDialog::exchange(DataExchange &dx) { dx.radioGroup(m_group, value()); }

QByteArray ChoiceDialog::composeText() { return composeParams(m_code, {value()}); }

namespace {

QList<RadioChoice> outputChoices()
{
    QList<RadioChoice> choices;
    for (int i = 1; i <= 3; ++i) {
        choices.append({QStringLiteral("&%1").arg(i), QStringLiteral("output%1Radio").arg(i),
                        QStringLiteral("User output %1").arg(i)});
    }
    return choices;
}

} // namespace

ActivateDialog::ActivateDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog('A', params, QStringLiteral("Activate Command"),
                   QStringLiteral("activateDialog"), QStringLiteral("Set user output"),
                   outputChoices(), Qt::Horizontal, parent),
      m_output(defaultValue('A'))
{}

MotorDialog::MotorDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog(
            'B', params, QStringLiteral("Motor Command"), QStringLiteral("motorDialog"),
            QStringLiteral("Select motor"),
            {{QStringLiteral("Motor &1"), QStringLiteral("motor1Radio"), QStringLiteral("Motor 1")},
             {QStringLiteral("Motor &2"), QStringLiteral("motor2Radio"), QStringLiteral("Motor 2")}},
            Qt::Horizontal, parent),
      m_motor(defaultValue('B'))
{}

ClearDialog::ClearDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog('C', params, QStringLiteral("Clear Command"), QStringLiteral("clearDialog"),
                   QStringLiteral("Clear user output"), outputChoices(), Qt::Horizontal, parent),
      m_output(defaultValue('C'))
{}

HomeDialog::HomeDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog(
            'H', params, QStringLiteral("Home Command"), QStringLiteral("homeDialog"),
            QStringLiteral("&Travel to"),
            {{QStringLiteral("&EOT+"), QStringLiteral("eotPlusRadio"), QStringLiteral("EOT+")},
             {QStringLiteral("E&OT-"), QStringLiteral("eotMinusRadio"), QStringLiteral("EOT-")}},
            Qt::Horizontal, parent),
      m_end(defaultValue('H'))
{}

VerifyDialog::VerifyDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog('V', params, QStringLiteral("Verify Command"), QStringLiteral("verifyDialog"),
                   QStringLiteral("Report "),
                   {{QStringLiteral("&Position counter"), QStringLiteral("positionCounterRadio"),
                     QStringLiteral("Position counter")},
                    {QStringLiteral("&User I/O"), QStringLiteral("userIoRadio"),
                     QStringLiteral("User I/O")},
                    {QStringLiteral("&Temperature"), QStringLiteral("temperatureRadio"),
                     QStringLiteral("Temperature")},
                    {QStringLiteral("Program &version"), QStringLiteral("programVersionRadio"),
                     QStringLiteral("Program version")},
                    {QStringLiteral("&Dynamic parameters"), QStringLiteral("dynamicParametersRadio"),
                     QStringLiteral("Dynamic parameters")}},
                   Qt::Vertical, parent),
      m_item(defaultValue('V'))
{}

} // namespace kr44
