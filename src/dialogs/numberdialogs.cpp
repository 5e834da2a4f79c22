#include "numberdialogs.h"

#include "controls.h"
#include "spinedit.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using namespace kr44;

CNumberDlg::CNumberDlg(char code, QByteArray &params, const Texts &texts, NumberSign sign,
                       SpinRange spinRange, QWidget *parent)
    : CInstructionDlg(params, texts.title, texts.objectName, parent), m_code(code), m_sign(sign)
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

int CNumberDlg::defaultValue(char code) { return defaultFields(code).value(0); }

void CNumberDlg::readFields(const QByteArray &params)
{
    value() = readParams(m_code, params).value(0);
}

void CNumberDlg::exchange(DataExchange &dx)
{
    const FieldSpec field = fieldSpecs(m_code).value(0);
    dx.number(m_edit, value(), m_sign);
    dx.range(m_edit, value(), field.minimum, field.maximum);
}

QByteArray CNumberDlg::composeText() { return composeParams(m_code, {value()}); }

namespace {

constexpr char moveCode(CMoveDlg::Direction direction)
{
    return direction == CMoveDlg::Direction::Clockwise ? '+' : '-';
}

CNumberDlg::Texts moveTexts(CMoveDlg::Direction direction)
{
    const bool cw = direction == CMoveDlg::Direction::Clockwise;
    return {cw ? QStringLiteral("+ Command") : QStringLiteral("- Command"),
            cw ? QStringLiteral("moveCwDialog") : QStringLiteral("moveCcwDialog"),
            cw ? QStringLiteral("Move clockwise") : QStringLiteral("Move counterclockwise"),
            QStringLiteral("step(s)"), QStringLiteral("stepsEdit")};
}

const QString kPositionRange = QStringLiteral("Range:  -8388608 to +8388607");

} // namespace

CMoveDlg::CMoveDlg(QByteArray &params, Direction direction, QWidget *parent)
    : CNumberDlg(moveCode(direction), params, moveTexts(direction), NumberSign::Unsigned, {},
                 parent),
      m_nSteps(defaultValue(moveCode(direction)))
{}

// The arrows stop at 32767 while the check accepts up to 65535.
CDelayDlg::CDelayDlg(QByteArray &params, QWidget *parent)
    : CNumberDlg('D', params,
                 {QStringLiteral("Delay Command"), QStringLiteral("delayDialog"),
                  QStringLiteral("Delay for"), QStringLiteral("milliseconds"),
                  QStringLiteral("delayEdit")},
                 NumberSign::Unsigned, std::pair(1, 32767), parent),
      m_nDelay(defaultValue('D'))
{}

CForceDlg::CForceDlg(QByteArray &params, QWidget *parent)
    : CNumberDlg('f', params,
                 {QStringLiteral("Force Command"), QStringLiteral("forceDialog"),
                  QStringLiteral("Set position counter to"), kPositionRange,
                  QStringLiteral("positionEdit")},
                 NumberSign::Signed, {}, parent),
      m_nPosition(defaultValue('f'))
{}

CGotoDlg::CGotoDlg(QByteArray &params, QWidget *parent)
    : CNumberDlg('G', params,
                 {QStringLiteral("Goto Command"), QStringLiteral("gotoDialog"),
                  QStringLiteral("Move to position"), kPositionRange,
                  QStringLiteral("positionEdit")},
                 NumberSign::Signed, {}, parent),
      m_nPosition(defaultValue('G'))
{}

CSlewRateDlg::CSlewRateDlg(QByteArray &params, QWidget *parent)
    : CNumberDlg('T', params,
                 {QStringLiteral("Slew Rate Command"), QStringLiteral("slewRateDialog"),
                  QStringLiteral("Set slew rate to"), QStringLiteral("steps / sec"),
                  QStringLiteral("slewRateEdit")},
                 NumberSign::Unsigned, std::pair(10, 6000), parent),
      m_nSlewRate(defaultValue('T'))
{}
