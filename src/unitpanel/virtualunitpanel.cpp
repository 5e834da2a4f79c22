#include "unitpanel/virtualunitpanel.h"

#include "sim/ptyunit.h"
#include "unitpanel/positionplot.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace kr44 {

UnitSnapshot snapshotOf(const VirtualUnit &unit)
{
    UnitSnapshot s;
    s.position = unit.position();
    for (int i = 1; i <= 3; ++i) {
        s.inputs[size_t(i - 1)] = unit.input(i);
        s.outputs[size_t(i - 1)] = unit.output(i);
    }
    s.motor = unit.motor();
    s.speed = unit.speed();
    s.mode = unit.mode();
    s.activity = unit.activity();
    s.runningProgram = unit.isRunningProgram();
    s.paused = unit.isPaused();
    s.line = unit.activeLine();
    const QList<QByteArray> program = unit.program();
    if (s.line >= 1 && s.line <= program.size())
        s.lineText = program.at(s.line - 1);
    return s;
}

QString stateText(const UnitSnapshot &s)
{
    switch (s.mode) {
    case VirtualUnit::Mode::Idle:
        return VirtualUnitPanel::tr("Idle");
    case VirtualUnit::Mode::Downloading:
        return VirtualUnitPanel::tr("Receiving a program");
    case VirtualUnit::Mode::Running:
        break;
    }
    if (s.paused)
        return VirtualUnitPanel::tr("Paused: program");
    // One whole text for each pair of run and activity, so that a translation words it as one.
    const bool program = s.runningProgram;
    switch (s.activity) {
    case VirtualUnit::Activity::Moving:
        return program ? VirtualUnitPanel::tr("Busy: program, moving")
                       : VirtualUnitPanel::tr("Busy: direct command, moving");
    case VirtualUnit::Activity::Delaying:
        return program ? VirtualUnitPanel::tr("Busy: program, delaying")
                       : VirtualUnitPanel::tr("Busy: direct command, delaying");
    case VirtualUnit::Activity::Waiting:
        return program ? VirtualUnitPanel::tr("Busy: program, waiting for an input")
                       : VirtualUnitPanel::tr("Busy: direct command, waiting for an input");
    case VirtualUnit::Activity::None:
    case VirtualUnit::Activity::Instruction:
        break;
    }
    return program ? VirtualUnitPanel::tr("Busy: program")
                   : VirtualUnitPanel::tr("Busy: direct command");
}

QString motorText(const UnitSnapshot &s)
{
    const qint64 speed = std::llround(s.speed);
    if (speed == 0)
        return VirtualUnitPanel::tr("%1, stopped").arg(s.motor);
    const QString text = speed > 0 ? VirtualUnitPanel::tr("%1, %2 steps/s up")
                                   : VirtualUnitPanel::tr("%1, %2 steps/s down");
    return text.arg(s.motor).arg(std::abs(speed));
}

QString lineText(const UnitSnapshot &s)
{
    if (s.line <= 0)
        return VirtualUnitPanel::tr("none");
    return VirtualUnitPanel::tr("%1: %2").arg(s.line).arg(QString::fromLatin1(s.lineText));
}

UpdateThrottle::UpdateThrottle(int intervalMs, QObject *parent) : QObject(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &UpdateThrottle::due);
}

void UpdateThrottle::poke()
{
    if (!m_timer.isActive())
        m_timer.start();
}

namespace {

// A value the panel shows: a screen reader reads its text, labelled by its caption (the
// caption's buddy), and Tab reaches it, so that it can be read and copied from the keyboard.
QLabel *valueLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Selectable text alone takes the focus by click only.
    label->setFocusPolicy(Qt::StrongFocus);
    return label;
}

void setLamp(QLabel *lamp, int number, bool on)
{
    const QString state = on ? VirtualUnitPanel::tr("on") : VirtualUnitPanel::tr("off");
    if (lamp->accessibleDescription() == state)
        return;
    lamp->setAccessibleDescription(state);
    // A lit or dark dot before the number: the lamps must not look like the input switches.
    lamp->setText(
            QStringLiteral(
                    "<span style=\"color:%1; font-size:large\">&#9679;</span>&nbsp;%2&nbsp;%3")
                    .arg(on ? QStringLiteral("#2f9e44") : QStringLiteral("#b8b8b8"))
                    .arg(number)
                    .arg(on ? QStringLiteral("<b>%1</b>").arg(state) : state));
}

QString inputText(int number, bool high)
{
    return (high ? VirtualUnitPanel::tr("%1 high") : VirtualUnitPanel::tr("%1 low")).arg(number);
}

} // namespace

VirtualUnitPanel::VirtualUnitPanel(QWidget *parent) : QDockWidget(tr("Virtual KR44 unit"), parent)
{
    setObjectName(QStringLiteral("virtualUnitPanel"));
    setAccessibleName(tr("Virtual KR44 unit"));

    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("virtualUnitPanelContent"));
    content->setAccessibleName(tr("Virtual KR44 unit"));

    m_position = valueLabel(QStringLiteral("positionValue"), content);
    QFont big = m_position->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    m_position->setFont(big);
    m_motor = valueLabel(QStringLiteral("motorValue"), content);
    m_state = valueLabel(QStringLiteral("stateValue"), content);
    m_line = valueLabel(QStringLiteral("lineValue"), content);
    m_line->setToolTip(tr("The unit counts the lines it received: comment lines are never sent, "
                          "so below a comment its numbers are lower than the editor's."));

    auto *outputs = new QHBoxLayout;
    auto *inputs = new QHBoxLayout;
    for (int i = 1; i <= 3; ++i) {
        auto *lamp = new QLabel(content);
        lamp->setObjectName(QStringLiteral("output%1").arg(i));
        lamp->setAccessibleName(tr("Output %1").arg(i));
        lamp->setTextFormat(Qt::RichText);
        lamp->setTextInteractionFlags(Qt::NoTextInteraction);
        setLamp(lamp, i, false);
        outputs->addWidget(lamp);
        m_outputs[size_t(i - 1)] = lamp;

        auto *button = new QToolButton(content);
        button->setObjectName(QStringLiteral("input%1").arg(i));
        button->setAccessibleName(tr("Input %1").arg(i));
        button->setToolTip(tr("Click to set input %1 high or low").arg(i));
        button->setCheckable(true);
        button->setText(inputText(i, false));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        // Toggled by a click, a key or a screen reader's action; refresh() sets the state with
        // signals blocked.
        connect(button, &QToolButton::toggled, this,
                [this, i](bool checked) { flipInput(i, checked); });
        inputs->addWidget(button);
        m_inputs[size_t(i - 1)] = button;
    }

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    const auto caption = [content](const char *name, const QString &text, QLabel *value) {
        auto *label = new QLabel(text, content);
        label->setObjectName(QLatin1String(name));
        label->setAccessibleName(text.chopped(1));
        label->setBuddy(value);
        return label;
    };
    form->addRow(caption("positionCaption", tr("Position:"), m_position), m_position);
    form->addRow(caption("motorCaption", tr("Motor:"), m_motor), m_motor);
    form->addRow(caption("stateCaption", tr("State:"), m_state), m_state);
    form->addRow(caption("lineCaption", tr("Program line:"), m_line), m_line);
    form->addRow(caption("outputsCaption", tr("Outputs:"), nullptr), outputs);
    form->addRow(caption("inputsCaption", tr("Inputs:"), nullptr), inputs);

    auto *plotTitle = new QLabel(tr("Position over time, last run"), content);
    plotTitle->setObjectName(QStringLiteral("plotTitle"));
    plotTitle->setAccessibleName(plotTitle->text());
    m_plot = new PositionPlot(content);
    m_summary = valueLabel(QStringLiteral("runSummary"), content);
    m_summary->setText(tr("No run yet"));
    form->addRow(caption("summaryCaption", tr("Last run:"), m_summary), m_summary);

    auto *layout = new QVBoxLayout(content);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(plotTitle);
    layout->addWidget(m_plot, 1);
    setWidget(content);

    connect(&m_throttle, &UpdateThrottle::due, this, &VirtualUnitPanel::refresh);
    showNoUnit();
}

void VirtualUnitPanel::setUnit(kr44::PtyUnit *unit)
{
    if (unit == m_unit && unit)
        return;
    if (m_unit) {
        m_unit->disconnect(&m_throttle);
        m_unit->disconnect(this);
    }
    m_unit = unit;
    m_runStartUs = -1;
    m_runUntilUs = 0;
    if (unit) {
        connect(unit, &kr44::PtyUnit::stateChanged, &m_throttle, &UpdateThrottle::poke);
        // By the time this arrives the pointer reads null, and the next update shows no unit.
        connect(unit, &QObject::destroyed, &m_throttle, &UpdateThrottle::poke);
    }
    refresh();
}

void VirtualUnitPanel::refresh()
{
    if (!m_unit) {
        showNoUnit();
        Q_EMIT refreshed();
        return;
    }
    const kr44::VirtualUnit &unit = m_unit->unit();
    showSnapshot(kr44::snapshotOf(unit));

    const QList<kr44::TracePoint> trace = unit.trace();
    const qint64 runStart = trace.isEmpty() ? -1 : trace.first().timeUs;
    if (runStart != m_runStartUs) {
        m_runStartUs = runStart;
        m_runUntilUs = 0;
    }
    // A run that ends waiting or delaying ends later than its last move; the last time it was
    // seen running is kept for the plot.
    if (unit.isRunningProgram())
        m_runUntilUs = unit.nowUs();
    m_plot->setRun(trace, m_runUntilUs);
    Q_EMIT refreshed();
}

void VirtualUnitPanel::setDebugActions(const QList<QAction *> &run, const QList<QAction *> &speeds)
{
    auto *bar = new QToolBar(tr("Debug"), widget());
    bar->setObjectName(QStringLiteral("debugBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addActions(run);
    auto *speed = new QToolButton(bar);
    speed->setObjectName(QStringLiteral("speedButton"));
    speed->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(speed);
    menu->addActions(speeds);
    speed->setMenu(menu);
    const auto showSpeed = [speed, speeds] {
        for (QAction *a : speeds) {
            if (a->isChecked())
                speed->setText(tr("Speed: %1").arg(a->iconText()));
        }
        speed->setAccessibleName(speed->text());
    };
    for (QAction *a : speeds)
        connect(a, &QAction::toggled, speed, showSpeed);
    showSpeed();
    bar->addWidget(speed);
    qobject_cast<QVBoxLayout *>(widget()->layout())->insertWidget(0, bar);
}

void VirtualUnitPanel::setRunSummary(const QStringList &lines)
{
    m_summary->setText(lines.isEmpty() ? tr("No run yet") : lines.join(u'\n'));
}

void VirtualUnitPanel::flipInput(int input, bool high)
{
    if (!m_unit)
        return;
    m_unit->setInput(input, high);
    refresh();
}

void VirtualUnitPanel::showSnapshot(const kr44::UnitSnapshot &s)
{
    m_position->setText(QString::number(s.position));
    m_motor->setText(kr44::motorText(s));
    m_state->setText(kr44::stateText(s));
    m_line->setText(kr44::lineText(s));
    for (int i = 1; i <= 3; ++i) {
        setLamp(m_outputs[size_t(i - 1)], i, s.outputs[size_t(i - 1)]);
        QAbstractButton *button = m_inputs[size_t(i - 1)];
        const bool high = s.inputs[size_t(i - 1)];
        button->setEnabled(true);
        const QSignalBlocker quiet(button);
        button->setChecked(high);
        button->setText(inputText(i, high));
        QFont font = button->font();
        font.setBold(high);
        button->setFont(font);
    }
}

void VirtualUnitPanel::showNoUnit()
{
    m_position->setText(QStringLiteral("-"));
    m_motor->setText(QStringLiteral("-"));
    m_state->setText(tr("No virtual unit connected"));
    m_line->setText(tr("none"));
    for (int i = 1; i <= 3; ++i) {
        setLamp(m_outputs[size_t(i - 1)], i, false);
        const QSignalBlocker quiet(m_inputs[size_t(i - 1)]);
        m_inputs[size_t(i - 1)]->setChecked(false);
        m_inputs[size_t(i - 1)]->setText(inputText(i, false));
        QFont font = m_inputs[size_t(i - 1)]->font();
        font.setBold(false);
        m_inputs[size_t(i - 1)]->setFont(font);
        m_inputs[size_t(i - 1)]->setEnabled(false);
    }
    m_plot->clear();
    m_runStartUs = -1;
    m_runUntilUs = 0;
}

} // namespace kr44
