#include "mainwindow.h"

#include "commandicons.h"
#include "commands.h"
#include "commandtable.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
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

using namespace cmd;

namespace {

const char *const kAppTitle = "KR44 Demo Program";

QIcon commandIcon(int id)
{
    using kr44::CommandPicture;
    struct Entry
    {
        int id;
        const char *theme;
        CommandPicture fallback;
    };
    static const Entry entries[] = {
            {ID_FILE_NEW, "document-new", CommandPicture::NewProgram},
            {ID_FILE_OPEN, "document-open", CommandPicture::OpenProgram},
            {ID_FILE_SAVE, "document-save", CommandPicture::SaveProgram},
            {ID_FILE_PRINT, "document-print", CommandPicture::PrintProgram},
            {ID_COMMAND_WINDOW, "utilities-terminal", CommandPicture::CommandWindow},
            {ID_SEND_PROGRAM, "document-send", CommandPicture::SendProgram},
            {ID_APP_ABOUT, "help-about", CommandPicture::About},
    };
    for (const Entry &e : entries) {
        if (e.id != id)
            continue;
        const QString name = QString::fromLatin1(e.theme);
        return QIcon::hasThemeIcon(name) ? QIcon::fromTheme(name)
                                         : kr44::commandPictureIcon(e.fallback);
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
    setAccessibleName(QString::fromLatin1(kAppTitle));
    // Caption, system menu, sizing border and maximise box: no minimise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setAccessibleName(QStringLiteral("Program windows"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    createActions();
    createBars();
    createStatusBar();
    createMenus();
    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, [this] {
        updateMenuBar();
        updateCaption();
    });
    qApp->installEventFilter(this);
    setAcceptDrops(true);
    updateIndicators();
    updateCaption();
    resize(1100, 760);
}

void MainWindow::createActions()
{
    for (const CommandInfo &info : commandInfos()) {
        auto *a = new QAction(QString::fromLatin1(info.text), this);
        a->setObjectName(QStringLiteral("command%1").arg(info.id));
        a->setData(info.id);
        a->setShortcuts(acceleratorsFor(info.id));
        a->setShortcutContext(Qt::WindowShortcut);
        a->setStatusTip(statusPrompt(info));
        if (!kr44::toolTip(info).isEmpty())
            a->setToolTip(kr44::toolTip(info));
        a->setIcon(commandIcon(info.id));
        a->setIconVisibleInMenu(false);
        // Keys work whichever menu bar is shown, so every action also lives on the frame.
        addAction(a);
        m_actions.insert(info.id, a);
    }
    m_actions.value(ID_FILE_MRU_FILE1)->setEnabled(false);
    QAction *toolbar = m_actions.value(ID_VIEW_TOOLBAR);
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    connect(toolbar, &QAction::triggered, this, [this] { toggleBars(); });
    QAction *status = m_actions.value(ID_VIEW_STATUS_BAR);
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
    connect(m_actions.value(ID_WINDOW_CASCADE), &QAction::triggered, m_mdiArea,
            &QMdiArea::cascadeSubWindows);
    connect(m_actions.value(ID_WINDOW_TILE_HORZ), &QAction::triggered, m_mdiArea,
            &QMdiArea::tileSubWindows);
}

void MainWindow::fillMenu(QMenu *menu, const QList<int> &items)
{
    menu->clear();
    for (int id : items) {
        if (m_removedCommands.contains(id))
            continue;
        if (id == 0) {
            const QList<QAction *> added = menu->actions();
            if (!added.isEmpty() && added.last()->isSeparator())
                continue; // the command between these two separators was removed
            menu->addSeparator();
        } else if (id == ID_FILE_MRU_FILE1 && !m_recentActions.isEmpty()) {
            menu->addActions(m_recentActions);
        } else {
            menu->addAction(m_actions.value(id));
        }
    }
}

void MainWindow::createMenus()
{
    for (int menuId : {kMenuNoProgram, kMenuProgram}) {
        QList<QMenu *> menus;
        for (const MenuSpec &layout : menuSpec(menuId)) {
            auto *menu = new QMenu(QString::fromLatin1(layout.title), this);
            const QString plain = QString::fromLatin1(layout.title).remove(QLatin1Char('&'));
            menu->setObjectName(QStringLiteral("menu%1%2").arg(menuId).arg(plain));
            menu->setAccessibleName(plain);
            fillMenu(menu, layout.items);
            menus.append(menu);
        }
        m_menus.insert(menuId, menus);
    }
    updateMenuBar();
}

void MainWindow::createBars()
{
    m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setAccessibleName(QStringLiteral("Toolbar"));
    m_toolBar->setIconSize(QSize(16, 16));
    for (int id : toolbarSpec()) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(m_actions.value(id));
    }
    // A button reads its tooltip ("Send Program"), not the menu text with its key.
    for (QAction *a : m_toolBar->actions()) {
        if (QWidget *button = m_toolBar->widgetForAction(a); button && !a->isSeparator()) {
            button->setObjectName(QStringLiteral("toolButton%1").arg(a->data().toInt()));
            button->setAccessibleName(a->toolTip());
        }
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    m_instrumentBar = new QToolBar(QStringLiteral("Instrument"), this);
    m_instrumentBar->setObjectName(QStringLiteral("instrumentBar"));
    m_instrumentBar->setAccessibleName(QStringLiteral("Instrument bar"));
    auto *box = new QWidget(m_instrumentBar);
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(6, 0, 6, 0);
    auto *label = new QLabel(QStringLiteral("&Instrument"), box);
    label->setObjectName(QStringLiteral("instrumentLabel"));
    m_instrumentCombo = new QComboBox(box);
    m_instrumentCombo->setObjectName(QStringLiteral("instrumentCombo"));
    m_instrumentCombo->setAccessibleName(QStringLiteral("Instrument"));
    m_instrumentCombo->setMaxVisibleItems(8);
    for (int n = 1; n <= 8; ++n)
        m_instrumentCombo->addItem(QStringLiteral("KR44 no. %1").arg(n));
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
    m_messagePane = new QLabel(this);
    m_messagePane->setObjectName(QStringLiteral("messagePane"));
    m_messagePane->setAccessibleName(QStringLiteral("Status"));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->setAccessibleName(QStringLiteral("Status bar"));
    statusBar()->addWidget(m_messagePane, 1);
    const char *names[] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("indicator%1").arg(QString::fromLatin1(names[i])));
        l->setAccessibleName(QString::fromLatin1(names[i]));
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        l->setAlignment(Qt::AlignCenter);
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(l);
        m_indicators[i] = l;
    }
    // A menu or button prompt replaces the message; afterwards the idle text is "Ready".
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString &text) {
        m_messagePane->setVisible(text.isEmpty());
        if (text.isEmpty())
            m_messagePane->setText(QStringLiteral("Ready"));
    });
    m_messagePane->setText(QStringLiteral("Ready"));
}

void MainWindow::setMessageText(const QString &text) { m_messagePane->setText(text); }

QString MainWindow::messageText() const { return m_messagePane->text(); }

QMenu *MainWindow::topMenu(int menuId, const QString &title) const
{
    for (QMenu *m : m_menus.value(menuId)) {
        if (m->title() == title)
            return m;
    }
    return nullptr;
}

void MainWindow::updateMenuBar()
{
    const int wanted = m_mdiArea->subWindowList().isEmpty() ? kMenuNoProgram : kMenuProgram;
    if (wanted == m_menuId)
        return;
    m_menuId = wanted;
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
        a->setData(ID_FILE_MRU_FILE1 + i);
        a->setStatusTip(QStringLiteral("Open this document"));
        const QString path = m_recentFiles.at(i);
        connect(a, &QAction::triggered, this, [this, path] { Q_EMIT recentFileTriggered(path); });
        m_recentActions.append(a);
    }
    for (int menuId : {kMenuNoProgram, kMenuProgram})
        fillMenu(m_menus.value(menuId).first(), menuSpec(menuId).first().items);
}

void MainWindow::removeCommand(int id)
{
    if (m_removedCommands.contains(id))
        return;
    m_removedCommands.append(id);
    for (int menuId : {kMenuNoProgram, kMenuProgram}) {
        const QList<MenuSpec> &layouts = menuSpec(menuId);
        const QList<QMenu *> menus = m_menus.value(menuId);
        for (int i = 0; i < menus.size(); ++i)
            fillMenu(menus.at(i), layouts.at(i).items);
    }
}

void MainWindow::toggleBars()
{
    m_toolBar->setVisible(!m_toolBar->isVisible());
    m_instrumentBar->setVisible(!m_instrumentBar->isVisible());
    m_actions.value(ID_VIEW_TOOLBAR)->setChecked(m_toolBar->isVisible());
}

void MainWindow::updateCaption()
{
    const QString app = QString::fromLatin1(kAppTitle);
    QMdiSubWindow *active = m_mdiArea->activeSubWindow();
    if (!active) {
        setWindowTitle(app);
    } else if (active->isMaximized()) {
        // The maximised program's title is shown beside the application's own.
        setWindowTitle(QStringLiteral("%1 - [%2]").arg(app, active->windowTitle()));
    } else {
        setWindowTitle(QStringLiteral("%1 - %2").arg(active->windowTitle(), app));
    }
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
    const char *leds[] = {"capslock", "numlock", "scrolllock"};
    const char *texts[] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i)
        m_indicators[i]->setText(ledLit(leds[i]) ? QString::fromLatin1(texts[i]) : QString());
}

} // namespace kr44
