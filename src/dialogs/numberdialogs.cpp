#include "dialogs/numberdialogs.h"

#include "dialogs/controls.h"
#include "dialogs/spinedit.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace kr44 {

using namespace kr44;

NumberDialog::NumberDialog(char code, QByteArray &params, const Texts &texts, NumberSign sign,
                           SpinRange spinRange, QWidget *parent)
    : InstructionDialog(params, texts.title, texts.objectName, parent), m_code(code), m_sign(sign)
{
    QLabel *lead = makeLabel(texts.lead, QStringLiteral("leadLabel"), this);
    QWidget *field = nullptr;
    if (spinRange) {
        SpinEdit *spin = makeSpinEdit(spinRange->first, spinRange->second, texts.editName,
                                      withoutMnemonic(texts.lead), this);
        m_edit = spin->edit();
        field = spin;
    } else {
        m_edit = makeNumberEdit(sign, texts.editName, withoutMnemonic(texts.lead), this);
        field = m_edit;
    }
    lead->setBuddy(field);
    QLabel *unit = makeLabel(texts.unit, QStringLiteral("unitLabel"), this);
    grid()->addWidget(lead, 0, 0);
    grid()->addWidget(field, 0, 1);
    if (sign == NumberSign::Signed)
        grid()->addWidget(unit, 1, 1, Qt::AlignRight);
    else
        grid()->addWidget(unit, 0, 2);
}

int NumberDialog::defaultValue(char code) { return defaultFields(code).value(0); }

void NumberDialog::readFields(const QByteArray &params)
{
    value() = readParams(m_code, params).value(0);
}

void NumberDialog::exchange(DataExchange &dx)
{
    const FieldSpec field = fieldSpecs(m_code).value(0);
    dx.number(m_edit, value(), m_sign);
    dx.range(m_edit, value(), field.minimum, field.maximum);
}

QByteArray NumberDialog::composeText() { return composeParams(m_code, {value()}); }

namespace {

constexpr char moveCode(MoveDialog::Direction direction)
{
    return direction == MoveDialog::Direction::Clockwise ? '+' : '-';
}

NumberDialog::Texts moveTexts(MoveDialog::Direction direction)
{
    const bool cw = direction == MoveDialog::Direction::Clockwise;
    return {cw ? QCoreApplication::translate("kr44::MoveDialog", "+ Command")
               : QCoreApplication::translate("kr44::MoveDialog", "- Command"),
            cw ? QStringLiteral("moveCwDialog") : QStringLiteral("moveCcwDialog"),
            cw ? QCoreApplication::translate("kr44::MoveDialog", "Move clockwise")
               : QCoreApplication::translate("kr44::MoveDialog", "Move counterclockwise"),
            QCoreApplication::translate("kr44::MoveDialog", "step(s)"),
            QStringLiteral("stepsEdit")};
}

// Made when a dialog is, not at start-up, so that it comes out in the language loaded by then.
QString positionRange()
{
    return QCoreApplication::translate("kr44::NumberDialog", "Range:  -8388608 to +8388607");
}

} // namespace

MoveDialog::MoveDialog(QByteArray &params, Direction direction, QWidget *parent)
    : NumberDialog(moveCode(direction), params, moveTexts(direction), NumberSign::Unsigned, {},
                   parent),
      m_steps(defaultValue(moveCode(direction)))
{}

// The arrows stop at 32767 while the check accepts up to 65535.
DelayDialog::DelayDialog(QByteArray &params, QWidget *parent)
    : NumberDialog('D', params,
                   {tr("Delay Command"), QStringLiteral("delayDialog"), tr("Delay for"),
                    tr("milliseconds"), QStringLiteral("delayEdit")},
                   NumberSign::Unsigned, std::pair(1, 32767), parent),
      m_delay(defaultValue('D'))
{}

ForceDialog::ForceDialog(QByteArray &params, QWidget *parent)
    : NumberDialog('f', params,
                   {tr("Force Command"), QStringLiteral("forceDialog"),
                    tr("Set position counter to"), positionRange(), QStringLiteral("positionEdit")},
                   NumberSign::Signed, {}, parent),
      m_position(defaultValue('f'))
{}

GotoDialog::GotoDialog(QByteArray &params, QWidget *parent)
    : NumberDialog('G', params,
                   {tr("Goto Command"), QStringLiteral("gotoDialog"), tr("Move to position"),
                    positionRange(), QStringLiteral("positionEdit")},
                   NumberSign::Signed, {}, parent),
      m_position(defaultValue('G'))
{}

SlewRateDialog::SlewRateDialog(QByteArray &params, QWidget *parent)
    : NumberDialog('T', params,
                   {tr("Slew Rate Command"), QStringLiteral("slewRateDialog"),
                    tr("Set slew rate to"), tr("steps / sec"), QStringLiteral("slewRateEdit")},
                   NumberSign::Unsigned, std::pair(10, 6000), parent),
      m_slewRate(defaultValue('T'))
{}

} // namespace kr44
