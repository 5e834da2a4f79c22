#include "dialogs/setupdialogs.h"

#include "dialogs/controls.h"
#include "dialogs/spinedit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace kr44 {

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
QLineEdit *addSpinRow(InstructionDialog *dialog, QGridLayout *grid, int row, const SpinRow &field)
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

HoldDialog::HoldDialog(QByteArray &params, QWidget *parent)
    : InstructionDialog(params, tr("Hold Command"), QStringLiteral("holdDialog"), parent),
      m_holdTime(defaultFields('h').value(0)), m_multiplier(defaultFields('h').value(1))
{
    m_timeEdit = addSpinRow(
            this, grid(), 0,
            {tr("Hold current for"), tr("milliseconds"), QStringLiteral("holdTime"), 0, 99});
    QLabel *label
            = makeLabel(tr("Hold current multiplier"), QStringLiteral("multiplierLabel"), this);
    m_multiplierList = new QComboBox(this);
    setNames(m_multiplierList, QStringLiteral("multiplierList"), tr("Hold current multiplier"));
    m_multiplierList->addItems({tr("Off"), QStringLiteral("1"), QStringLiteral("2"),
                                QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                                QStringLiteral("6"), QStringLiteral("7")});
    label->setBuddy(m_multiplierList);
    grid()->addWidget(label, 1, 0);
    grid()->addWidget(m_multiplierList, 1, 1);
}

void HoldDialog::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('h', params);
    m_holdTime = f.value(0);
    m_multiplier = f.value(1);
}

void HoldDialog::exchange(DataExchange &dx)
{
    const FieldSpec time = fieldSpecs('h').value(0);
    dx.number(m_timeEdit, m_holdTime, NumberSign::Unsigned);
    dx.range(m_timeEdit, m_holdTime, time.minimum, time.maximum);
    dx.list(m_multiplierList, m_multiplier);
}

QByteArray HoldDialog::composeText() { return composeParams('h', {m_holdTime, m_multiplier}); }

// ---- I -----------------------------------------------------------------------------------------

InitialiseDialog::InitialiseDialog(QByteArray &params, QWidget *parent)
    : InstructionDialog(params, tr("Initialise Command"), QStringLiteral("initialiseDialog"),
                        parent),
      m_clearPosition(defaultFields('I').value(0)), m_clearOutputs(defaultFields('I').value(1))
{
    m_positionBox = new QCheckBox(tr("Clear the &position counter"), this);
    setNames(m_positionBox, QStringLiteral("clearPositionCheck"), tr("Clear the position counter"));
    m_outputsBox = new QCheckBox(tr("Clear all user &outputs"), this);
    setNames(m_outputsBox, QStringLiteral("clearOutputsCheck"), tr("Clear all user outputs"));
    grid()->addWidget(m_positionBox, 0, 0);
    grid()->addWidget(m_outputsBox, 1, 0);
}

void InitialiseDialog::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('I', params);
    m_clearPosition = f.value(0);
    m_clearOutputs = f.value(1);
}

void InitialiseDialog::exchange(DataExchange &dx)
{
    dx.checkBox(m_positionBox, m_clearPosition);
    dx.checkBox(m_outputsBox, m_clearOutputs);
}

void InitialiseDialog::checkFields(DataExchange &dx)
{
    // The mask 0 does nothing, so one box must stay checked; no message, only the focus.
    if (!m_clearPosition && !m_clearOutputs)
        dx.fail(m_positionBox);
}

QByteArray InitialiseDialog::composeText()
{
    return composeParams('I', {m_clearPosition, m_clearOutputs});
}

// ---- M -----------------------------------------------------------------------------------------

MinistepDialog::MinistepDialog(QByteArray &params, QWidget *parent)
    : InstructionDialog(params, tr("Ministep Command"), QStringLiteral("ministepDialog"), parent)
{
    // The model's order is eighth, quarter, half.
    const ParamFields d = defaultFields('M');
    m_eighth = d.value(0);
    m_quarter = d.value(1);
    m_half = d.value(2);
    const QString unit = tr("steps / sec");
    m_eighthEdit = addSpinRow(this, grid(), 0,
                              {tr("Eighth steps below"), unit, QStringLiteral("eighth"), 30, 600});
    m_quarterEdit = addSpinRow(
            this, grid(), 1, {tr("Quarter steps below"), unit, QStringLiteral("quarter"), 30, 600});
    m_halfEdit = addSpinRow(this, grid(), 2,
                            {tr("&Half steps below"), unit, QStringLiteral("half"), 30, 600});
}

void MinistepDialog::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('M', params);
    m_eighth = f.value(0);
    m_quarter = f.value(1);
    m_half = f.value(2);
}

void MinistepDialog::exchange(DataExchange &dx)
{
    const QList<FieldSpec> specs = fieldSpecs('M');
    dx.number(m_halfEdit, m_half, NumberSign::Unsigned);
    dx.range(m_halfEdit, m_half, specs[2].minimum, specs[2].maximum);
    dx.number(m_quarterEdit, m_quarter, NumberSign::Unsigned);
    dx.range(m_quarterEdit, m_quarter, specs[1].minimum, specs[1].maximum);
    dx.number(m_eighthEdit, m_eighth, NumberSign::Unsigned);
    dx.range(m_eighthEdit, m_eighth, specs[0].minimum, specs[0].maximum);
}

QByteArray MinistepDialog::composeText()
{
    return composeParams('M', {m_eighth, m_quarter, m_half});
}

// ---- X -----------------------------------------------------------------------------------------

AccelerationDialog::AccelerationDialog(QByteArray &params, QWidget *parent)
    : InstructionDialog(params, tr("Acceleration Parameters Command"),
                        QStringLiteral("accelerationDialog"), parent)
{
    const ParamFields d = defaultFields('X');
    m_startRate = d.value(0);
    m_slewRate = d.value(1);
    m_ramp = d.value(2);
    const QString rate = tr("steps / sec");
    m_startEdit = addSpinRow(this, grid(), 0,
                             {tr("&Start rate"), rate, QStringLiteral("startRate"), 10, 6000});
    m_slewEdit = addSpinRow(this, grid(), 1,
                            {tr("S&lew rate"), rate, QStringLiteral("slewRate"), 10, 6000});
    m_rampEdit = addSpinRow(this, grid(), 2,
                            {tr("&Ramp"), tr("steps"), QStringLiteral("ramp"), 1, 1599});
}

void AccelerationDialog::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('X', params);
    m_startRate = f.value(0);
    m_slewRate = f.value(1);
    m_ramp = f.value(2);
}

void AccelerationDialog::exchange(DataExchange &dx)
{
    const QList<FieldSpec> specs = fieldSpecs('X');
    dx.number(m_startEdit, m_startRate, NumberSign::Unsigned);
    dx.range(m_startEdit, m_startRate, specs[0].minimum, specs[0].maximum);
    dx.number(m_slewEdit, m_slewRate, NumberSign::Unsigned);
    dx.range(m_slewEdit, m_slewRate, specs[1].minimum, specs[1].maximum);
    dx.number(m_rampEdit, m_ramp, NumberSign::Unsigned);
    dx.range(m_rampEdit, m_ramp, specs[2].minimum, specs[2].maximum);
}

QByteArray AccelerationDialog::composeText()
{
    return composeParams('X', {m_startRate, m_slewRate, m_ramp});
}

} // namespace kr44
