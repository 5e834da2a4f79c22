#include "dialogs/choicedialogs.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCoreApplication>
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
                        QCoreApplication::translate("kr44::ChoiceDialog", "User output %1").arg(i)});
    }
    return choices;
}

} // namespace

ActivateDialog::ActivateDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog('A', params, tr("Activate Command"), QStringLiteral("activateDialog"),
                   tr("Set user output"), outputChoices(), Qt::Horizontal, parent),
      m_output(defaultValue('A'))
{}

MotorDialog::MotorDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog('B', params, tr("Motor Command"), QStringLiteral("motorDialog"),
                   tr("Select motor"),
                   {{tr("Motor &1"), QStringLiteral("motor1Radio"), tr("Motor 1")},
                    {tr("Motor &2"), QStringLiteral("motor2Radio"), tr("Motor 2")}},
                   Qt::Horizontal, parent),
      m_motor(defaultValue('B'))
{}

ClearDialog::ClearDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog('C', params, tr("Clear Command"), QStringLiteral("clearDialog"),
                   tr("Clear user output"), outputChoices(), Qt::Horizontal, parent),
      m_output(defaultValue('C'))
{}

HomeDialog::HomeDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog('H', params, tr("Home Command"), QStringLiteral("homeDialog"), tr("&Travel to"),
                   {{tr("&EOT+"), QStringLiteral("eotPlusRadio"), tr("EOT+")},
                    {tr("E&OT-"), QStringLiteral("eotMinusRadio"), tr("EOT-")}},
                   Qt::Horizontal, parent),
      m_end(defaultValue('H'))
{}

VerifyDialog::VerifyDialog(QByteArray &params, QWidget *parent)
    : ChoiceDialog(
            'V', params, tr("Verify Command"), QStringLiteral("verifyDialog"), tr("Report "),
            {{tr("&Position counter"), QStringLiteral("positionCounterRadio"),
              tr("Position counter")},
             {tr("&User I/O"), QStringLiteral("userIoRadio"), tr("User I/O")},
             {tr("&Temperature"), QStringLiteral("temperatureRadio"), tr("Temperature")},
             {tr("Program &version"), QStringLiteral("programVersionRadio"), tr("Program version")},
             {tr("&Dynamic parameters"), QStringLiteral("dynamicParametersRadio"),
              tr("Dynamic parameters")}},
            Qt::Vertical, parent),
      m_item(defaultValue('V'))
{}

} // namespace kr44
