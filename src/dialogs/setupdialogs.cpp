#include "setupdialogs.h"

#include "controls.h"
#include "spinedit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

using namespace kr44;

namespace {

struct SpinRow
{
    QString caption;
    QString unit;
    QString name; // stem of the object names
    int minimum;
    int maximum;
};

// A caption, a number field with arrows and its unit, as one row of the grid.
QLineEdit *addSpinRow(CInstructionDlg *dialog, QGridLayout *grid, int row, const SpinRow &field)
{
    QLabel *label = makeLabel(field.caption, field.name + QStringLiteral("Label"), dialog);
    SpinEdit *spin = makeSpinEdit(field.minimum, field.maximum, field.name + QStringLiteral("Edit"),
                                  withoutMnemonic(field.caption), dialog);
    label->setBuddy(spin);
    QLabel *unit = makeLabel(field.unit, field.name + QStringLiteral("UnitLabel"), dialog);
    grid->addWidget(label, row, 0);
    grid->addWidget(spin, row, 1);
    grid->addWidget(unit, row, 2);
    return spin->edit();
}

} // namespace

// ---- h -----------------------------------------------------------------------------------------

CHoldDlg::CHoldDlg(QByteArray &params, QWidget *parent)
    : CInstructionDlg(params, QStringLiteral("Hold Command"), QStringLiteral("holdDialog"), parent),
      m_nHoldTime(defaultFields('h').value(0)), m_nMultiplier(defaultFields('h').value(1))
{
    m_timeEdit = addSpinRow(this, grid(), 0,
                            {QStringLiteral("Hold current for"), QStringLiteral("milliseconds"),
                             QStringLiteral("holdTime"), 0, 99});
    QLabel *label = makeLabel(QStringLiteral("Hold current multiplier"),
                              QStringLiteral("multiplierLabel"), this);
    m_multiplierList = new QComboBox(this);
    setNames(m_multiplierList, QStringLiteral("multiplierList"),
             QStringLiteral("Hold current multiplier"));
    m_multiplierList->addItems({QStringLiteral("Off"), QStringLiteral("1"), QStringLiteral("2"),
                                QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                                QStringLiteral("6"), QStringLiteral("7")});
    label->setBuddy(m_multiplierList);
    grid()->addWidget(label, 1, 0);
    grid()->addWidget(m_multiplierList, 1, 1);
}

void CHoldDlg::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('h', params);
    m_nHoldTime = f.value(0);
    m_nMultiplier = f.value(1);
}

void CHoldDlg::exchange(DataExchange &dx)
{
    const FieldSpec time = fieldSpecs('h').value(0);
    dx.number(m_timeEdit, m_nHoldTime, NumberSign::Unsigned);
    dx.range(m_timeEdit, m_nHoldTime, time.minimum, time.maximum);
    dx.list(m_multiplierList, m_nMultiplier);
}

QByteArray CHoldDlg::composeText() { return composeParams('h', {m_nHoldTime, m_nMultiplier}); }

// ---- I -----------------------------------------------------------------------------------------

CInitialiseDlg::CInitialiseDlg(QByteArray &params, QWidget *parent)
    : CInstructionDlg(params, QStringLiteral("Initialise Command"),
                      QStringLiteral("initialiseDialog"), parent),
      m_bClearPosition(defaultFields('I').value(0)), m_bClearOutputs(defaultFields('I').value(1))
{
    m_positionBox = new QCheckBox(QStringLiteral("Clear the &position counter"), this);
    setNames(m_positionBox, QStringLiteral("clearPositionCheck"),
             QStringLiteral("Clear the position counter"));
    m_outputsBox = new QCheckBox(QStringLiteral("Clear all user &outputs"), this);
    setNames(m_outputsBox, QStringLiteral("clearOutputsCheck"),
             QStringLiteral("Clear all user outputs"));
    grid()->addWidget(m_positionBox, 0, 0);
    grid()->addWidget(m_outputsBox, 1, 0);
}

void CInitialiseDlg::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('I', params);
    m_bClearPosition = f.value(0);
    m_bClearOutputs = f.value(1);
}

void CInitialiseDlg::exchange(DataExchange &dx)
{
    dx.checkBox(m_positionBox, m_bClearPosition);
    dx.checkBox(m_outputsBox, m_bClearOutputs);
}

void CInitialiseDlg::checkFields(DataExchange &dx)
{
    // The mask 0 does nothing, so one box must stay checked; no message, only the focus.
    if (!m_bClearPosition && !m_bClearOutputs)
        dx.fail(m_positionBox);
}

QByteArray CInitialiseDlg::composeText()
{
    return composeParams('I', {m_bClearPosition, m_bClearOutputs});
}

// ---- M -----------------------------------------------------------------------------------------

CMinistepDlg::CMinistepDlg(QByteArray &params, QWidget *parent)
    : CInstructionDlg(params, QStringLiteral("Ministep Command"), QStringLiteral("ministepDialog"),
                      parent)
{
    // The model's order is eighth, quarter, half.
    const ParamFields d = defaultFields('M');
    m_nEighth = d.value(0);
    m_nQuarter = d.value(1);
    m_nHalf = d.value(2);
    const QString unit = QStringLiteral("steps / sec");
    m_eighthEdit = addSpinRow(
            this, grid(), 0,
            {QStringLiteral("Eighth steps below"), unit, QStringLiteral("eighth"), 30, 600});
    m_quarterEdit = addSpinRow(
            this, grid(), 1,
            {QStringLiteral("Quarter steps below"), unit, QStringLiteral("quarter"), 30, 600});
    m_halfEdit = addSpinRow(
            this, grid(), 2,
            {QStringLiteral("&Half steps below"), unit, QStringLiteral("half"), 30, 600});
}

void CMinistepDlg::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('M', params);
    m_nEighth = f.value(0);
    m_nQuarter = f.value(1);
    m_nHalf = f.value(2);
}

void CMinistepDlg::exchange(DataExchange &dx)
{
    const QList<FieldSpec> specs = fieldSpecs('M');
    dx.number(m_halfEdit, m_nHalf, NumberSign::Unsigned);
    dx.range(m_halfEdit, m_nHalf, specs[2].minimum, specs[2].maximum);
    dx.number(m_quarterEdit, m_nQuarter, NumberSign::Unsigned);
    dx.range(m_quarterEdit, m_nQuarter, specs[1].minimum, specs[1].maximum);
    dx.number(m_eighthEdit, m_nEighth, NumberSign::Unsigned);
    dx.range(m_eighthEdit, m_nEighth, specs[0].minimum, specs[0].maximum);
}

QByteArray CMinistepDlg::composeText()
{
    return composeParams('M', {m_nEighth, m_nQuarter, m_nHalf});
}

// ---- X -----------------------------------------------------------------------------------------

CAccelerationDlg::CAccelerationDlg(QByteArray &params, QWidget *parent)
    : CInstructionDlg(params, QStringLiteral("Acceleration Parameters Command"),
                      QStringLiteral("accelerationDialog"), parent)
{
    const ParamFields d = defaultFields('X');
    m_nStartRate = d.value(0);
    m_nSlewRate = d.value(1);
    m_nRamp = d.value(2);
    const QString rate = QStringLiteral("steps / sec");
    m_startEdit = addSpinRow(
            this, grid(), 0,
            {QStringLiteral("&Start rate"), rate, QStringLiteral("startRate"), 10, 6000});
    m_slewEdit = addSpinRow(
            this, grid(), 1,
            {QStringLiteral("S&lew rate"), rate, QStringLiteral("slewRate"), 10, 6000});
    m_rampEdit = addSpinRow(
            this, grid(), 2,
            {QStringLiteral("&Ramp"), QStringLiteral("steps"), QStringLiteral("ramp"), 1, 1599});
}

void CAccelerationDlg::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('X', params);
    m_nStartRate = f.value(0);
    m_nSlewRate = f.value(1);
    m_nRamp = f.value(2);
}

void CAccelerationDlg::exchange(DataExchange &dx)
{
    const QList<FieldSpec> specs = fieldSpecs('X');
    dx.number(m_startEdit, m_nStartRate, NumberSign::Unsigned);
    dx.range(m_startEdit, m_nStartRate, specs[0].minimum, specs[0].maximum);
    dx.number(m_slewEdit, m_nSlewRate, NumberSign::Unsigned);
    dx.range(m_slewEdit, m_nSlewRate, specs[1].minimum, specs[1].maximum);
    dx.number(m_rampEdit, m_nRamp, NumberSign::Unsigned);
    dx.range(m_rampEdit, m_nRamp, specs[2].minimum, specs[2].maximum);
}

QByteArray CAccelerationDlg::composeText()
{
    return composeParams('X', {m_nStartRate, m_nSlewRate, m_nRamp});
}
