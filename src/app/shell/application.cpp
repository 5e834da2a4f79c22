#include "app/shell/application.h"

#include "app/commands/commands.h"
#include "app/commands/commandtable.h"
#include "app/desktop/databaseupdater.h"
#include "app/desktop/mailer.h"
#include "app/desktop/registration.h"
#include "app/desktop/shellrequest.h"
#include "app/help/helpindex.h"
#include "app/shell/aboutdialog.h"
#include "app/shell/appprompt.h"
#include "app/shell/debugcommands.h"
#include "app/shell/firstframe.h"
#include "app/shell/linelogcommands.h"
#include "app/shell/linkcontroller.h"
#include "app/shell/mainwindow.h"
#include "app/shell/printcommands.h"
#include "app/shell/programwindow.h"
#include "link/replymonitor.h"
#include "model/programdocument.h"
#include "unitpanel/virtualunitpanel.h"
#include "view/problemspanel.h"
#include "view/programview.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiArea>
#include <QPrinter>
#include <QSettings>

namespace kr44 {

Application::Application(QSettings &settings, AppPrompt &prompt, QObject *parent)
    : QObject(parent), m_settings(settings), m_prompt(prompt)
{}

Application::~Application()
{
    // Program windows go before the link and the frame they report to.
    if (m_mainWindow) {
        for (ProgramWindow *child : programWindows()) {
            child->setCloseGuard({});
            delete child;
        }
    }
}

bool Application::start(const CommandLineRequest &request, bool show)
{
    m_recent.load(m_settings);
    m_startedByUser = request.startedByUser;
    m_mainWindow = std::make_unique<MainWindow>();
    m_printing = std::make_unique<PrintCommands>(m_prompt, m_mainWindow.get());
    m_printing->setPreviewPages(loadPreviewPages(m_settings));
    m_link = new LinkController(m_mainWindow.get(), m_settings, this);
    m_help = new HelpIndex(kr44::helpIndexUrl(), this);
    m_mailer = new Mailer(this);
    if (!m_mailer->isAvailable())
        m_mainWindow->removeCommand(Command::SendMail);
    connect(m_mailer, &Mailer::finished, this, [this](bool ok, const QString &error) {
        if (!ok)
            m_prompt.message(m_mainWindow.get(), QMessageBox::Warning, error);
    });

    m_firstFrame = new FirstFrame(m_mainWindow.get());
    if (!show)
        m_firstFrame->release();
    m_problems = m_mainWindow->problemsPanel();
    connect(this, &Application::activeProgramWindowChanged, m_problems, [this] {
        ProgramWindow *child = activeProgramWindow();
        m_problems->setView(child ? child->view() : nullptr);
    });
    connect(m_link, &LinkController::statusText, m_mainWindow.get(), &MainWindow::setMessageText);
    m_mainWindow->setRecentFiles(m_recent);
    if (m_portDialogRunner)
        m_link->setPortDialogRunner(m_portDialogRunner);
    m_link->setInfoBox([this](QWidget *parent, const QString &text) {
        m_prompt.message(parent, QMessageBox::Information, text);
    });
    connectCommands();
    installLineLogCommands(*m_mainWindow, *m_link, m_settings, m_prompt);
    // The virtual unit's panel is part of the first frame, so that the program list is laid out
    // beside it from the start; the unit itself connects after that frame.
    if (request.virtualUnit) {
        createVirtualUnitPanel();
        m_panel->show();
    }
    // Opening the port may end in the port settings dialog: over the main window, not before it.
    m_firstFrame->whenShown([this, virtualUnit = request.virtualUnit] { startLink(virtualUnit); });

    CommandLineRequest todo = request;
    if (todo.isPlainStart()) {
        const QStringList recent = m_recent.entries();
        const QString file = recent.isEmpty() ? todo.firstStartFile : recent.first();
        if (!file.isEmpty()) {
            todo.action = CommandLineRequest::Action::Open;
            todo.fileName = file;
        }
    }
    carryOut(todo);

    if (show) {
        m_mainWindow->showNormal();
        m_mainWindow->activateWindow();
        m_mainWindow->raise();
    }
    updateCommandEnabling();
    return true;
}

void Application::startLink(bool virtualUnit)
{
    createVirtualUnitPanel();
    if (!virtualUnit || !m_link->connectVirtualUnit()) {
        m_link->start();
        return;
    }
    // The panel heard of the unit from virtualUnitChanged.
    m_link->startPolling();
    m_panel->show();
}

void Application::createVirtualUnitPanel()
{
    if (m_panel)
        return;
    m_panel = m_mainWindow->virtualUnitPanel();
    m_panel->setUnit(m_link->virtualUnit());
    connect(m_link, &LinkController::virtualUnitChanged, m_panel, &VirtualUnitPanel::setUnit);
    new DebugCommands(m_mainWindow.get(), m_link, m_panel);
}

void Application::carryOut(const CommandLineRequest &request)
{
    using A = CommandLineRequest::Action;
    switch (request.action) {
    case A::Open:
        openFile(request.fileName);
        break;
    case A::Print:
    case A::PrintTo:
        if (!request.startedByUser) {
            // Started by the desktop for this print alone: print, close, and end the run.
            kr44::ShellRequest shell;
            shell.kind = request.action == A::Print ? kr44::ShellRequest::Kind::Print
                                                    : kr44::ShellRequest::Kind::PrintTo;
            shell.file = QFileInfo(request.fileName).absoluteFilePath();
            shell.printer = request.printer;
            shell.driver = request.driver;
            shell.port = request.port;
            executeShellRequest(shell);
        } else if (ProgramWindow *child = openFile(request.fileName)) {
            if (request.action == A::PrintTo)
                PrintCommands::choosePrinter(*m_printing->printer(), request.printer);
            m_printing->printOn(child, m_printing->printer());
        }
        break;
    case A::Unregister:
        unregister(request);
        break;
    case A::New:
        newFile();
        break;
    default:
        break;
    }
}

ProgramWindow *Application::addProgramWindow(std::unique_ptr<ProgramDocument> doc)
{
    auto *child = new ProgramWindow(doc.release());
    child->setCloseGuard([this](ProgramWindow *c) { return maybeSave(c); });
    ProgramView *view = child->view();
    connect(view, &ProgramView::commPauseRequested, m_link, [this] { m_link->pausePolling(); });
    connect(view, &ProgramView::commResumeRequested, m_link, [this] { m_link->resumePolling(); });
    connect(child->document(), &ProgramDocument::linesChanged, this,
            [this] { updateCommandEnabling(); });
    connect(view, &ProgramView::editCommandsChanged, this, [this] { updateEditCommands(); });
    connect(
            child, &QObject::destroyed, this, [this] { updateCommandEnabling(); },
            Qt::QueuedConnection);
    m_mainWindow->addProgramWindow(child);
    child->showMaximized();
    m_mainWindow->mdiArea()->setActiveSubWindow(child);
    view->setFocus();
    return child;
}

ProgramWindow *Application::newFile()
{
    auto doc = std::make_unique<ProgramDocument>();
    doc->newProgram();
    return addProgramWindow(std::move(doc));
}

ProgramWindow *Application::findProgramWindow(const QString &path) const
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    if (wanted.isEmpty())
        return nullptr;
    for (ProgramWindow *child : programWindows()) {
        const QString own = child->document()->filePath();
        if (!own.isEmpty() && QFileInfo(own).canonicalFilePath() == wanted)
            return child;
    }
    return nullptr;
}

ProgramWindow *Application::openFile(const QString &requested)
{
    QString path = requested;
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    path = QFileInfo(path).absoluteFilePath();
    if (ProgramWindow *open = findProgramWindow(path)) {
        m_mainWindow->mdiArea()->setActiveSubWindow(open);
        m_mainWindow->activateWindow();
        m_mainWindow->raise();
        return open;
    }
    auto doc = std::make_unique<ProgramDocument>();
    const kr44::FileError error = doc->load(path);
    if (!error.ok()) {
        showFileError(error.message());
        return nullptr;
    }
    m_recent.add(path);
    m_mainWindow->setRecentFiles(m_recent);
    return addProgramWindow(std::move(doc));
}

void Application::open()
{
    const QString path = m_prompt.openFileName(m_mainWindow.get());
    if (!path.isEmpty())
        openFile(path);
}

bool Application::saveTo(ProgramWindow *child, const QString &path)
{
    const kr44::FileError error = child->document()->save(path);
    if (!error.ok()) {
        showFileError(error.message());
        return false;
    }
    m_recent.add(path);
    m_mainWindow->setRecentFiles(m_recent);
    return true;
}

bool Application::save(ProgramWindow *child)
{
    if (!child)
        return false;
    if (child->document()->filePath().isEmpty())
        return saveAs(child);
    return saveTo(child, child->document()->filePath());
}

bool Application::saveAs(ProgramWindow *child)
{
    if (!child)
        return false;
    const QString path
            = m_prompt.saveFileName(m_mainWindow.get(), child->document()->proposedSaveName());
    return !path.isEmpty() && saveTo(child, path);
}

bool Application::maybeSave(ProgramWindow *child)
{
    ProgramDocument *doc = child->document();
    if (!doc->isModified())
        return true;
    const auto answer = m_prompt.message(m_mainWindow.get(), QMessageBox::Warning,
                                         tr("Save changes to %1?").arg(doc->displayName()),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return save(child);
    return answer == QMessageBox::No;
}

bool Application::closeAllDocuments()
{
    for (ProgramWindow *child : programWindows()) {
        if (!maybeSave(child))
            return false;
    }
    for (ProgramWindow *child : programWindows()) {
        child->setCloseGuard({});
        child->close();
    }
    return true;
}

void Application::saveStandardSettings()
{
    m_recent.save(m_settings);
    savePreviewPages(m_settings, m_printing->previewPages());
}

void Application::about()
{
    m_link->pausePolling();
    AboutDialog about(m_mainWindow.get());
    about.exec();
    m_link->resumePolling();
}

void Application::helpIndex()
{
    if (!m_help->showIndex(m_mainWindow.get()))
        m_prompt.message(m_mainWindow.get(), QMessageBox::Warning, HelpIndex::failedMessage());
}

void Application::sendMail(ProgramWindow *child)
{
    if (!child || !m_mailer->isAvailable())
        return;
    QString error;
    if (!m_mailer->sendDocument(*child->document(), &error) && !error.isEmpty())
        m_prompt.message(m_mainWindow.get(), QMessageBox::Warning, error);
}

void Application::executeShellRequest(const kr44::ShellRequest &request)
{
    if (request.kind == kr44::ShellRequest::Kind::Open) {
        m_mainWindow->setWindowState(m_mainWindow->windowState() & ~Qt::WindowMinimized);
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
        openFile(request.file);
        m_startedByUser = true;
        return;
    }
    const bool wasOpen = findProgramWindow(request.file) != nullptr;
    ProgramWindow *child = openFile(request.file);
    if (!child)
        return;
    // A printer of its own, so that a request does not change the printer the user set up.
    QPrinter target(QPrinter::HighResolution);
    if (request.kind == kr44::ShellRequest::Kind::PrintTo)
        PrintCommands::choosePrinter(target, request.printer);
    m_printing->printOn(child, &target);
    if (!wasOpen) {
        child->setCloseGuard({});
        child->close();
    }
    if (!m_startedByUser)
        QMetaObject::invokeMethod(m_mainWindow.get(), &QWidget::close, Qt::QueuedConnection);
}

void Application::unregister(const CommandLineRequest &request)
{
    const kr44::XdgPaths paths = kr44::XdgPaths::fromEnvironment();
    const kr44::UnregisterResult result = kr44::unregisterApplication(paths, m_settings);
    auto *updater = new DesktopDatabaseUpdater(paths, this);
    connect(updater, &DesktopDatabaseUpdater::finished, updater, &QObject::deleteLater);
    updater->start();
    m_unregistered = true;
    if (!request.embedded)
        m_prompt.message(m_mainWindow.get(), QMessageBox::Information,
                         kr44::unregisterMessage(result.ok()));
}

void Application::showFileError(const QString &message)
{
    m_prompt.message(m_mainWindow.get(), QMessageBox::Warning, message);
}

void Application::connectCommands()
{
    MainWindow *f = m_mainWindow.get();
    const auto on = [f, this](Command command, auto &&handler) {
        connect(f->action(command), &QAction::triggered, this,
                std::forward<decltype(handler)>(handler));
    };
    on(Command::New, [this] { newFile(); });
    on(Command::Open, [this] { open(); });
    on(Command::Close, [this] {
        if (ProgramWindow *c = activeProgramWindow())
            c->close();
    });
    on(Command::Save, [this] { save(activeProgramWindow()); });
    on(Command::SaveAs, [this] { saveAs(activeProgramWindow()); });
    on(Command::Print, [this] { m_printing->print(activeProgramWindow()); });
    on(Command::PrintPreview, [this] { m_printing->printPreview(activeProgramWindow()); });
    on(Command::PrintSetup, [this] { m_printing->printSetup(); });
    on(Command::Exit, [f] { f->close(); });
    on(Command::About, [this] { about(); });
    on(Command::HelpIndex, [this] { helpIndex(); });
    on(Command::SendMail, [this] { sendMail(activeProgramWindow()); });
    const std::pair<Command, void (ProgramView::*)()> editCommands[]
            = {{Command::Undo, &ProgramView::undo},
               {Command::Redo, &ProgramView::redo},
               {Command::Cut, &ProgramView::cut},
               {Command::Copy, &ProgramView::copy},
               {Command::Paste, &ProgramView::paste}};
    for (const auto &[command, operation] : editCommands) {
        on(command, [this, operation = operation] {
            if (ProgramWindow *child = activeProgramWindow())
                (child->view()->*operation)();
        });
    }
    on(Command::CommandWindow, [this] { m_link->toggleCommandWindow(); });
    on(Command::PortSettings, [this] { m_link->portSettings(); });
    f->action(Command::VirtualUnit)->setCheckable(true);
    on(Command::VirtualUnit, [this](bool on) {
        if (on && !m_link->connectVirtualUnit())
            m_prompt.message(m_mainWindow.get(), QMessageBox::Warning,
                             tr("The virtual KR44 unit could not be started."));
        else if (!on)
            m_link->disconnectVirtualUnit();
    });
    connect(m_link, &LinkController::virtualUnitChanged, this, [this](kr44::PtyUnit *unit) {
        m_mainWindow->action(Command::VirtualUnit)->setChecked(unit != nullptr);
    });
    on(Command::SendProgram, [this] {
        if (ProgramWindow *c = activeProgramWindow(); c && c->document()->canSendProgram())
            m_link->sendProgram(c->document()->lines());
    });
    on(Command::SendAndRun, [this] {
        if (ProgramWindow *c = activeProgramWindow())
            m_link->sendAndRun(c->document()->lines());
    });
    on(Command::StopProgram, [this] {
        if (activeProgramWindow())
            m_link->stopProgram();
    });
    connect(f, &MainWindow::recentFileTriggered, this, [this](const QString &path) {
        if (!openFile(path)) {
            m_recent.remove(path);
            m_mainWindow->setRecentFiles(m_recent);
        }
    });
    connect(f, &MainWindow::filesDropped, this, [this](const QStringList &paths) {
        for (const QString &p : paths)
            openFile(p);
        m_mainWindow->activateWindow();
    });
    connect(f, &MainWindow::closeRequested, this, [this](bool *accept) {
        *accept = closeAllDocuments();
        if (*accept) {
            m_link->shutDown();
            if (!m_unregistered)
                saveStandardSettings();
        }
    });
    connect(f->mdiArea(), &QMdiArea::subWindowActivated, this, [this] {
        updateCommandEnabling();
        Q_EMIT activeProgramWindowChanged();
    });
}

void Application::updateCommandEnabling()
{
    if (!m_mainWindow)
        return;
    ProgramWindow *child = activeProgramWindow();
    ProgramDocument *doc = child ? child->document() : nullptr;
    const bool hasProgramWindow = child != nullptr;
    for (const Command command :
         {Command::Close, Command::Save, Command::SaveAs, Command::PrintPreview,
          Command::SendAndRun, Command::StopProgram, Command::Cascade, Command::Tile,
          Command::NextWindow, Command::PreviousWindow, Command::SendMail})
        m_mainWindow->action(command)->setEnabled(hasProgramWindow);
    m_mainWindow->action(Command::Print)->setEnabled(doc && doc->canPrint());
    m_mainWindow->action(Command::SendProgram)->setEnabled(doc && doc->canSendProgram());
    m_mainWindow->action(Command::SendMail)
            ->setEnabled(hasProgramWindow && m_mailer && m_mailer->isAvailable());
    updateEditCommands();
}

void Application::updateEditCommands()
{
    ProgramWindow *child = activeProgramWindow();
    ProgramView *view = child ? child->view() : nullptr;
    // The menu text names what would be undone or redone; without that it is the table's text.
    const QString undoWhat = view ? view->undoText() : QString();
    const QString redoWhat = view ? view->redoText() : QString();
    QAction *undo = m_mainWindow->action(Command::Undo);
    QAction *redo = m_mainWindow->action(Command::Redo);
    undo->setText(undoWhat.isEmpty() ? commandText(commandInfo(Command::Undo).text)
                                     : tr("&Undo %1\tCtrl+Z").arg(undoWhat));
    redo->setText(redoWhat.isEmpty() ? commandText(commandInfo(Command::Redo).text)
                                     : tr("&Redo %1\tCtrl+Y").arg(redoWhat));
    undo->setEnabled(view && view->canUndo());
    redo->setEnabled(view && view->canRedo());
    m_mainWindow->action(Command::Cut)->setEnabled(view && view->canCut());
    m_mainWindow->action(Command::Copy)->setEnabled(view && view->canCopy());
    m_mainWindow->action(Command::Paste)->setEnabled(view && view->canPaste());
}

} // namespace kr44
