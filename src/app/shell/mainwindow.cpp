#include "app/shell/mainwindow.h"

#include "app/shell/commandicons.h"
#include "app/shell/programwindow.h"
#include "app/shell/windowlist.h"
#include "unitpanel/virtualunitpanel.h"
#include "view/problemspanel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <glob.h>

namespace kr44 {

namespace {

const char *const kAppTitle = QT_TRANSLATE_NOOP("kr44::MainWindow", "KR44 Demo Program");
// The keyboard indicators of the status bar: the LED each follows, the text it shows while
// that LED is lit, and what a screen reader says of it when lit and when dark.
struct Indicator
{
    const char *led;
    const char *shown;
    const char *spokenOn;
    const char *spokenOff;
};
const Indicator kIndicators[] = {
        {"capslock", QT_TRANSLATE_NOOP("kr44::MainWindow", "CAP"),
         QT_TRANSLATE_NOOP("kr44::MainWindow", "Caps Lock on"),
         QT_TRANSLATE_NOOP("kr44::MainWindow", "Caps Lock off")},
        {"numlock", QT_TRANSLATE_NOOP("kr44::MainWindow", "NUM"),
         QT_TRANSLATE_NOOP("kr44::MainWindow", "Num Lock on"),
         QT_TRANSLATE_NOOP("kr44::MainWindow", "Num Lock off")},
        {"scrolllock", QT_TRANSLATE_NOOP("kr44::MainWindow", "SCRL"),
         QT_TRANSLATE_NOOP("kr44::MainWindow", "Scroll Lock on"),
         QT_TRANSLATE_NOOP("kr44::MainWindow", "Scroll Lock off")},
};

struct IndicatorText
{
    QString shown;
    QString spoken;
};

// A dark indicator shows nothing, which a screen reader cannot tell from an absent one: what it
// says names the key and its state either way.
IndicatorText indicatorText(const Indicator &indicator, bool lit)
{
    return {lit ? MainWindow::tr(indicator.shown) : QString(),
            MainWindow::tr(lit ? indicator.spokenOn : indicator.spokenOff)};
}

QIcon commandIcon(Command command)
{
    struct Entry
    {
        Command command;
        const char *theme;
        CommandPicture fallback;
    };
    static const Entry entries[] = {
            {Command::New, "document-new", CommandPicture::NewProgram},
            {Command::Open, "document-open", CommandPicture::OpenProgram},
            {Command::Save, "document-save", CommandPicture::SaveProgram},
            {Command::Print, "document-print", CommandPicture::PrintProgram},
            {Command::CommandWindow, "utilities-terminal", CommandPicture::CommandWindow},
            {Command::SendProgram, "document-send", CommandPicture::SendProgram},
            {Command::About, "help-about", CommandPicture::About},
    };
    for (const Entry &e : entries) {
        if (e.command != command)
            continue;
        const QString name = QString::fromLatin1(e.theme);
        return QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name) : commandPictureIcon(e.fallback);
    }
    return {};
}

// Whether a keyboard LED is lit; Linux lists them under /sys/class/leds as inputN::capslock etc.
bool ledLit(const char *name)
{
    glob_t found {};
    const QByteArray pattern = QByteArray("/sys/class/leds/*::") + name + "/brightness";
    bool lit = false;
    if (glob(pattern.constData(), 0, nullptr, &found) == 0) {
        for (size_t i = 0; i < found.gl_pathc && !lit; ++i) {
            QFile f(QString::fromLocal8Bit(found.gl_pathv[i]));
            lit = f.open(QIODevice::ReadOnly) && f.readAll().trimmed() != "0";
        }
    }
    globfree(&found);
    return lit;
}

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("MainWindow"));
    setAccessibleName(tr(kAppTitle));
    // Caption, system menu, sizing border and maximise box: no minimise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setAccessibleName(tr("Program windows"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    createActions();
    createBars();
    createStatusBar();
    createProblemsPanel();
    createMenus();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] {
        updateMenuBar();
        updateWindows();
    });
    qApp->installEventFilter(this);
    setAcceptDrops(true);
    updateIndicators();
    updateWindows();
    resize(1100, 760);
}

void MainWindow::createActions()
{
    for (const CommandInfo &info : commandInfos()) {
        auto *a = new QAction(commandText(info.text), this);
        a->setObjectName(QLatin1String(info.name) + QLatin1String("Action"));
        a->setShortcuts(commandShortcuts(info.command));
        a->setShortcutContext(Qt::WindowShortcut);
        a->setStatusTip(commandText(info.statusTip));
        if (info.toolTip)
            a->setToolTip(commandText(info.toolTip));
        a->setIcon(commandIcon(info.command));
        a->setIconVisibleInMenu(false);
        // Keys work whichever menu bar is shown, so every action also lives on the window.
        addAction(a);
        m_actions.insert(info.command, a);
    }
    m_actions.value(Command::RecentFile)->setEnabled(false);
    QAction *toolbar = m_actions.value(Command::ToolBar);
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    connect(toolbar, &QAction::triggered, this, [this] { toggleBars(); });
    QAction *status = m_actions.value(Command::StatusBar);
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    connect(m_actions.value(Command::Cascade), &QAction::triggered, m_mdiArea,
            &QMdiArea::cascadeSubWindows);
    connect(m_actions.value(Command::Tile), &QAction::triggered, m_mdiArea,
            &QMdiArea::tileSubWindows);
    connect(m_actions.value(Command::NextWindow), &QAction::triggered, m_mdiArea,
            &QMdiArea::activateNextSubWindow);
    connect(m_actions.value(Command::PreviousWindow), &QAction::triggered, m_mdiArea,
            &QMdiArea::activatePreviousSubWindow);
    connect(m_actions.value(Command::NextPane), &QAction::triggered, this, [this] { focusPane(1); });
    connect(m_actions.value(Command::PreviousPane), &QAction::triggered, this,
            [this] { focusPane(-1); });
    m_windowList = new WindowListEntries(m_mdiArea, m_actions.value(Command::MoreWindows), this);
    connect(m_windowList, &WindowListEntries::windowChosen, this, &MainWindow::updateWindows);
}

void MainWindow::focusPane(int step)
{
    QList<QWidget *> panes;
    if (QMdiSubWindow *active = m_mdiArea->activeSubWindow())
        panes << active->widget();
    for (QDockWidget *dock : findChildren<QDockWidget *>(Qt::FindDirectChildrenOnly)) {
        if (dock->isVisible())
            panes << dock->widget();
    }
    QWidget *pane = neighbourPane(panes, QApplication::focusWidget(), step);
    if (!pane)
        return;
    paneFocusTarget(pane)->setFocus(Qt::ShortcutFocusReason);
}

void MainWindow::fillMenu(QMenu *menu, const QList<MenuItem> &items)
{
    menu->clear();
    for (const MenuItem &item : items) {
        if (item && m_removedCommands.contains(*item))
            continue;
        if (!item) {
            const QList<QAction *> added = menu->actions();
            if (!added.isEmpty() && added.last()->isSeparator())
                continue; // the command between these two separators was removed
            menu->addSeparator();
        } else if (*item == Command::RecentFile && !m_recentActions.isEmpty()) {
            menu->addActions(m_recentActions);
        } else if (*item == Command::MoreWindows) {
            menu->addActions(m_windowList->actions());
        } else {
            menu->addAction(m_actions.value(*item));
        }
    }
}

void MainWindow::fillMenus(MenuBar bar)
{
    const QList<MenuSpec> &layouts = menuSpec(bar);
    const QList<QMenu *> menus = m_menus.value(bar);
    for (int i = 0; i < menus.size(); ++i)
        fillMenu(menus.at(i), layouts.at(i).items);
}

void MainWindow::createMenus()
{
    for (const MenuBar bar : {MenuBar::NoProgram, MenuBar::Program}) {
        QList<QMenu *> menus;
        for (const MenuSpec &layout : menuSpec(bar)) {
            const QString title = commandText(layout.title);
            auto *menu = new QMenu(title, this);
            // The object name keeps the source title: tests and tools find menus by it.
            menu->setObjectName((bar == MenuBar::Program ? QStringLiteral("program")
                                                         : QStringLiteral("noProgram"))
                                + QString::fromLatin1(layout.title).remove(QLatin1Char('&'))
                                + QStringLiteral("Menu"));
            menu->setAccessibleName(QString(title).remove(QLatin1Char('&')));
            menus.append(menu);
        }
        m_menus.insert(bar, menus);
        fillMenus(bar);
    }
    updateMenuBar();
}

void MainWindow::createBars()
{
    m_toolBar = new QToolBar(tr("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setAccessibleName(m_toolBar->windowTitle());
    m_toolBar->setIconSize(QSize(16, 16));
    for (const MenuItem &item : toolBarSpec()) {
        if (!item) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction *a = m_actions.value(*item);
        m_toolBar->addAction(a);
        // A button reads its tooltip ("Send Program"), not the menu text with its key.
        QWidget *button = m_toolBar->widgetForAction(a);
        button->setObjectName(QLatin1String(commandInfo(*item).name) + QLatin1String("Button"));
        button->setAccessibleName(a->toolTip());
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    m_instrumentBar = new QToolBar(tr("Instrument"), this);
    m_instrumentBar->setObjectName(QStringLiteral("instrumentBar"));
    m_instrumentBar->setAccessibleName(tr("Instrument bar"));
    auto *box = new QWidget(m_instrumentBar);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(6, 0, 6, 0);
    auto *label = new QLabel(tr("&Instrument"), box);
    label->setObjectName(QStringLiteral("instrumentLabel"));
    m_instrumentCombo = new QComboBox(box);
    m_instrumentCombo->setObjectName(QStringLiteral("instrumentCombo"));
    m_instrumentCombo->setAccessibleName(tr("Instrument"));
    m_instrumentCombo->setMaxVisibleItems(8);
    for (int n = 1; n <= 8; ++n)
        m_instrumentCombo->addItem(tr("KR44 no. %1").arg(n));
    m_instrumentCombo->setCurrentIndex(0);
    label->setBuddy(m_instrumentCombo);
    layout->addWidget(label);
    layout->addWidget(m_instrumentCombo);
    m_instrumentBar->addWidget(box);
    // Same row, right of the toolbar.
    addToolBar(Qt::TopToolBarArea, m_instrumentBar);
}

void MainWindow::createStatusBar()
{
    // No accessible name of its own: a screen reader reads the pane's text, and each new text
    // reaches it as a change of the name.
    m_messagePane = new QLabel(this);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->setAccessibleName(tr("Status bar"));
    statusBar()->addWidget(m_messagePane, 1);
    for (int i = 0; i < 3; ++i) {
        auto *l = new QLabel(this);
        l->setObjectName(
                QStringLiteral("indicator%1").arg(QString::fromLatin1(kIndicators[i].shown)));
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(tr(kIndicators[2].shown)) + 8);
        l->setAlignment(Qt::AlignCenter);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(l);
        m_indicators[i] = l;
    }
    // A menu or button prompt replaces the message; afterwards the idle text is "Ready".
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString &text) {
        m_messagePane->setVisible(text.isEmpty());
        if (text.isEmpty())
            m_messagePane->setText(tr("Ready"));
    });
    m_messagePane->setText(tr("Ready"));
}

void MainWindow::createProblemsPanel()
{
    m_problems = new ProblemsPanel(this);
    addDockWidget(Qt::BottomDockWidgetArea, m_problems);
    QAction *show = m_actions.value(Command::ProblemsPanel);
    show->setCheckable(true);
    show->setChecked(true);
    connect(show, &QAction::triggered, m_problems, &QWidget::setVisible);
    connect(m_problems->toggleViewAction(), &QAction::toggled, show, &QAction::setChecked);
    m_actions.value(Command::VirtualUnitPanel)->setCheckable(true);
}

ProgramWindow *MainWindow::activeProgramWindow() const
{
    return qobject_cast<ProgramWindow *>(m_mdiArea->activeSubWindow());
}

QList<ProgramWindow *> MainWindow::programWindows() const
{
    QList<ProgramWindow *> windows;
    for (QMdiSubWindow *window : m_mdiArea->subWindowList()) {
        if (auto *program = qobject_cast<ProgramWindow *>(window))
            windows.append(program);
    }
    return windows;
}

VirtualUnitPanel *MainWindow::virtualUnitPanel()
{
    if (m_unitPanel)
        return m_unitPanel;
    m_unitPanel = new VirtualUnitPanel(this);
    addDockWidget(Qt::RightDockWidgetArea, m_unitPanel);
    m_unitPanel->hide();
    QAction *show = m_actions.value(Command::VirtualUnitPanel);
    connect(show, &QAction::triggered, m_unitPanel, &QWidget::setVisible);
    connect(m_unitPanel->toggleViewAction(), &QAction::toggled, show, &QAction::setChecked);
    return m_unitPanel;
}

void MainWindow::setMessageText(const QString &text) { m_messagePane->setText(text); }

QString MainWindow::messageText() const { return m_messagePane->text(); }

void MainWindow::updateMenuBar()
{
    const MenuBar wanted
            = m_mdiArea->subWindowList().isEmpty() ? MenuBar::NoProgram : MenuBar::Program;
    if (m_menuBar == wanted)
        return;
    m_menuBar = wanted;
    menuBar()->clear();
    for (QMenu *m : m_menus.value(wanted))
        menuBar()->addMenu(m);
}

void MainWindow::setRecentFiles(const RecentFileList &list)
{
    qDeleteAll(m_recentActions);
    m_recentActions.clear();
    m_recentFiles = list.entries();
    for (int i = 0; i < m_recentFiles.size(); ++i) {
        auto *a = new QAction(list.menuText(i), this);
        a->setObjectName(QStringLiteral("recentFile%1").arg(i + 1));
        a->setStatusTip(commandText(commandInfo(Command::RecentFile).statusTip));
        const QString path = m_recentFiles.at(i);
        connect(a, &QAction::triggered, this, [this, path] { Q_EMIT recentFileTriggered(path); });
        m_recentActions.append(a);
    }
    for (const MenuBar bar : {MenuBar::NoProgram, MenuBar::Program})
        fillMenu(m_menus.value(bar).first(), menuSpec(bar).first().items);
}

void MainWindow::removeCommand(Command command)
{
    if (m_removedCommands.contains(command))
        return;
    m_removedCommands.append(command);
    for (const MenuBar bar : {MenuBar::NoProgram, MenuBar::Program})
        fillMenus(bar);
}

void MainWindow::toggleBars()
{
    m_toolBar->setVisible(!m_toolBar->isVisible());
    m_instrumentBar->setVisible(!m_instrumentBar->isVisible());
    m_actions.value(Command::ToolBar)->setChecked(m_toolBar->isVisible());
}

void MainWindow::addProgramWindow(ProgramWindow *window)
{
    m_mdiArea->addSubWindow(window);
    connect(window, &QMdiSubWindow::windowStateChanged, this, &MainWindow::updateWindows);
    connect(window, &QWidget::windowTitleChanged, this, &MainWindow::updateWindows);
    connect(window, &QObject::destroyed, this, &MainWindow::updateWindows, Qt::QueuedConnection);
}

void MainWindow::updateWindows()
{
    updateCaption();
    m_windowList->update();
    const QList<MenuSpec> &layouts = menuSpec(MenuBar::Program);
    for (int i = 0; i < layouts.size(); ++i) {
        if (layouts.at(i).items.contains(MenuItem(Command::MoreWindows)))
            fillMenu(m_menus.value(MenuBar::Program).at(i), layouts.at(i).items);
    }
}

void MainWindow::updateCaption()
{
    // Maximising and restoring a program window also write the caption (QMdiSubWindow puts the
    // maximised window's title in it); this runs after them and has the last word.
    const ProgramWindow *active = qobject_cast<ProgramWindow *>(m_mdiArea->currentSubWindow());
    setWindowTitle(frameCaption(tr(kAppTitle),
                                active ? std::optional(active->windowTitle()) : std::nullopt,
                                active && active->isMaximized()));
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    bool accept = true;
    Q_EMIT closeRequested(&accept);
    if (accept)
        event->accept();
    else
        event->ignore();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    Q_EMIT filesDropped(paths);
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        updateIndicators();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            updateIndicators();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::updateIndicators()
{
    for (int i = 0; i < 3; ++i) {
        const IndicatorText text = indicatorText(kIndicators[i], ledLit(kIndicators[i].led));
        m_indicators[i]->setText(text.shown);
        // Each new name is announced, so only a change is set.
        if (m_indicators[i]->accessibleName() != text.spoken)
            m_indicators[i]->setAccessibleName(text.spoken);
    }
}

} // namespace kr44
