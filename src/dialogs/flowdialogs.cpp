#include "dialogs/flowdialogs.h"

#include "dialogs/controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace kr44 {

using namespace kr44;

namespace {

QButtonGroup *addRadioRow(QWidget *dialog, QGridLayout *grid, int row, const QString &caption,
                          const QString &name, const QList<RadioChoice> &choices)
{
    QLabel *label = makeLabel(caption, name + QStringLiteral("Label"), dialog);
    auto *buttons = new QHBoxLayout;
    QButtonGroup *group = makeRadioGroup(choices, name + QStringLiteral("Group"), dialog, buttons);
    buttons->addStretch(1);
    label->setBuddy(group->button(0));
    grid->addWidget(label, row, 0);
    grid->addLayout(buttons, row, 1);
    return group;
}

} // namespace

InputLevelGroups addInputLevelRows(QWidget *dialog, QGridLayout *grid, int row,
                                   const QString &inputCaption)
{
    QList<RadioChoice> inputs;
    for (int i = 1; i <= 3; ++i) {
        inputs.append(
                {QStringLiteral("&%1").arg(i), QStringLiteral("input%1Radio").arg(i),
                 QCoreApplication::translate("kr44::InputLevelGroups", "User input %1").arg(i)});
    }
    InputLevelGroups groups;
    groups.input = addRadioRow(dialog, grid, row, inputCaption, QStringLiteral("input"), inputs);
    groups.level = addRadioRow(dialog, grid, row + 1,
                               QCoreApplication::translate("kr44::InputLevelGroups", "is"),
                               QStringLiteral("level"),
                               {{QCoreApplication::translate("kr44::InputLevelGroups", "&Low"),
                                 QStringLiteral("lowRadio"),
                                 QCoreApplication::translate("kr44::InputLevelGroups", "Low")},
                                {QCoreApplication::translate("kr44::InputLevelGroups", "&High"),
                                 QStringLiteral("highRadio"),
                                 QCoreApplication::translate("kr44::InputLevelGroups", "High")}});
    return groups;
}

// ---- g -----------------------------------------------------------------------------------------

GoUntilDialog::GoUntilDialog(QByteArray &params, QWidget *parent)
    : InstructionDialog(params, tr("Go Until Command"), QStringLiteral("goUntilDialog"), parent)
{
    // The model holds the input as its number, 1 to 3; the group counts from 0.
    const ParamFields d = defaultFields('g');
    m_direction = d.value(0);
    m_input = d.value(1) - 1;
    m_level = d.value(2);
    m_directionGroup
            = addRadioRow(this, grid(), 0, tr("Move "), QStringLiteral("direction"),
                          {{tr("&Clockwise"), QStringLiteral("clockwiseRadio"), tr("Clockwise")},
                           {tr("C&ounterclockwise"), QStringLiteral("counterclockwiseRadio"),
                            tr("Counterclockwise")}});
    m_groups = addInputLevelRows(this, grid(), 1, tr("until user input"));
}

void GoUntilDialog::readFields(const QByteArray &params)
{
    const ParamFields f = readParams('g', params);
    m_direction = f.value(0);
    m_input = f.value(1) - 1;
    m_level = f.value(2);
}

void GoUntilDialog::exchange(DataExchange &dx)
{
    dx.radioGroup(m_directionGroup, m_direction);
    dx.radioGroup(m_groups.input, m_input);
    dx.radioGroup(m_groups.level, m_level);
}

QByteArray GoUntilDialog::composeText()
{
    return composeParams('g', {m_direction, m_input + 1, m_level});
}

// ---- U, W --------------------------------------------------------------------------------------

InputLevelDialog::InputLevelDialog(char code, QByteArray &params, const QString &title,
                                   const QString &objectName, QWidget *parent)
    : InstructionDialog(params, title, objectName, parent), m_code(code)
{
    const ParamFields d = defaultFields(code);
    m_input = d.value(0) - 1;
    m_level = d.value(1);
}

void InputLevelDialog::readFields(const QByteArray &params)
{
    const ParamFields f = readParams(m_code, params);
    m_input = f.value(0) - 1;
    m_level = f.value(1);
}

void InputLevelDialog::exchange(DataExchange &dx)
{
    dx.radioGroup(m_groups.input, m_input);
    dx.radioGroup(m_groups.level, m_level);
}

QByteArray InputLevelDialog::composeText() { return composeParams(m_code, {m_input + 1, m_level}); }

UntilDialog::UntilDialog(QByteArray &params, QWidget *parent)
    : InputLevelDialog('U', params, tr("Until Command"), QStringLiteral("untilDialog"), parent)
{
    QLabel *intro = makeLabel(tr("Repeat the program from start until"),
                              QStringLiteral("introLabel"), this);
    grid()->addWidget(intro, 0, 0, 1, 2);
    m_groups = addInputLevelRows(this, grid(), 1, tr("user input"));
}

WaitDialog::WaitDialog(QByteArray &params, QWidget *parent)
    : InputLevelDialog('W', params, tr("Wait Command"), QStringLiteral("waitDialog"), parent)
{
    m_groups = addInputLevelRows(this, grid(), 0, tr("Wait until user input"));
}

// ---- L -----------------------------------------------------------------------------------------

LoopDialog::LoopDialog(QByteArray &params, QWidget *parent)
    : InstructionDialog(params, tr("Loop Command"), QStringLiteral("loopDialog"), parent)
{
    m_kindGroup
            = addRadioRow(this, grid(), 0, tr("Select "), QStringLiteral("kind"),
                          {{tr("Loop &start"), QStringLiteral("loopStartRadio"), tr("Loop start")},
                           {tr("Loop &end"), QStringLiteral("loopEndRadio"), tr("Loop end")}});
    m_repeatLabel = makeLabel(tr("Repeat the loop"), QStringLiteral("repeatLabel"), this);
    m_countEdit = makeNumberEdit(NumberSign::Unsigned, QStringLiteral("countEdit"),
                                 tr("Repeat the loop, times"), this);
    m_repeatLabel->setBuddy(m_countEdit);
    m_timesLabel = makeLabel(tr("times"), QStringLiteral("timesLabel"), this);
    auto *countRow = new QHBoxLayout;
    countRow->addWidget(m_countEdit);
    countRow->addWidget(m_timesLabel);
    countRow->addStretch(1);
    grid()->addWidget(m_repeatLabel, 1, 0);
    grid()->addLayout(countRow, 1, 1);
    // clicked, not toggled: one step per choice, as the user makes it.
    connect(m_kindGroup, &QButtonGroup::idClicked, this, [this] { showCount(); });
}

void LoopDialog::readFields(const QByteArray &params)
{
    const int n = readParams('L', params).value(0);
    m_kind = n;
    if (n > 0) {
        m_count = n;
        m_kind = 1;
    }
}

void LoopDialog::exchange(DataExchange &dx)
{
    const FieldSpec field = fieldSpecs('L').value(0);
    dx.radioGroup(m_kindGroup, m_kind);
    dx.number(m_countEdit, m_count, NumberSign::Unsigned);
    dx.range(m_countEdit, m_count, 1, field.maximum);
}

QByteArray LoopDialog::composeText() { return composeParams('L', {m_kind == 0 ? 0 : m_count}); }

bool LoopDialog::opened()
{
    showCount();
    return true;
}

void LoopDialog::showCount()
{
    updateData(DataExchange::Direction::Pull);
    const bool loopEnd = m_kind != 0;
    m_repeatLabel->setVisible(loopEnd);
    m_countEdit->setVisible(loopEnd);
    m_timesLabel->setVisible(loopEnd);
}

} // namespace kr44
