#include "kr44app.h"

#include "aboutdlg.h"
#include "appprompt.h"
#include "childframe.h"
#include "commands.h"
#include "commandtable.h"
#include "desktopintegration.h"
#include "firstframe.h"
#include "framelink.h"
#include "helpindex.h"
#include "kr44doc.h"
#include "kr44view.h"
#include "mailer.h"
#include "mainframe.h"
#include "problemspanel.h"
#include "programprinter.h"
#include "replymonitor.h"
#include "shellrequest.h"
#include "virtualunitpanel.h"

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>

using namespace cmd;

namespace {

// Points `printer` at a named printer; a name ending in ".pdf" is a PDF file to print into.
void choosePrinter(QPrinter &printer, const QString &name)
{
    if (name.isEmpty())
        return;
    if (name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QFileInfo(name).absoluteFilePath());
    } else {
        printer.setPrinterName(name);
    }
}

} // namespace

CKR44App::CKR44App(QSettings &settings, AppPrompt &prompt, QObject *parent)
    : QObject(parent), m_settings(settings), m_prompt(prompt)
{}

CKR44App::~CKR44App()
{
    // Program windows go before the link and the frame they report to.
    if (m_frame) {
        for (CChildFrame *child : children()) {
            child->setCloseGuard({});
            delete child;
        }
    }
}

bool CKR44App::InitInstance(const CommandLineRequest &request, bool show)
{
    m_recent.load(m_settings);
    m_previewPages = loadPreviewPages(m_settings);

    m_startedByUser = request.startedByUser;
    m_frame = std::make_unique<CMainFrame>();
    m_link = new FrameLink(m_frame.get(), m_settings, this);
    m_help = new HelpIndex(kr44::helpIndexUrl(), this);
    m_mailer = new Mailer(this);
    if (!m_mailer->isAvailable())
        m_frame->removeCommand(ID_FILE_SEND_MAIL);
    connect(m_mailer, &Mailer::finished, this, [this](bool ok, const QString &error) {
        if (!ok)
            m_prompt.message(m_frame.get(), QMessageBox::Warning, error);
    });

    m_firstFrame = new FirstFrame(m_frame.get());
    if (!show)
        m_firstFrame->release();
    QAction *showPanel = m_frame->action(ID_VIRTUAL_UNIT_PANEL);
    showPanel->setCheckable(true);
    showPanel->setChecked(false);

    m_problems = new kr44::ProblemsPanel(m_frame.get());
    m_frame->addDockWidget(Qt::BottomDockWidgetArea, m_problems);
    connect(this, &CKR44App::activeChildChanged, m_problems, [this] {
        CChildFrame *child = activeChild();
        m_problems->setView(child ? child->view() : nullptr);
    });
    QAction *showProblems = m_frame->action(ID_PROBLEMS_PANEL);
    showProblems->setCheckable(true);
    showProblems->setChecked(true);
    connect(showProblems, &QAction::triggered, m_problems, &QWidget::setVisible);
    connect(m_problems->toggleViewAction(), &QAction::toggled, showProblems, &QAction::setChecked);
    connect(m_link, &FrameLink::statusText, m_frame.get(), &CMainFrame::setMessageText);
    m_frame->setRecentFiles(m_recent);
    if (m_portDialogRunner)
        m_link->setPortDialogRunner(m_portDialogRunner);
    m_link->setInfoBox([this](QWidget *parent, const QString &text) {
        m_prompt.message(parent, QMessageBox::Information, text);
    });
    connectCommands();
    // The virtual unit's panel is part of the first frame, so that the program list is laid out
    // beside it from the start; the unit itself connects after that frame.
    if (request.virtualUnit) {
        createVirtualUnitPanel();
        m_panel->show();
    }
    // Opening the port may end in the port settings dialog: over the main window, not before it.
    m_firstFrame->whenShown([this, virtualUnit = request.virtualUnit] { startLink(virtualUnit); });

    CommandLineRequest todo = request;
    if (todo.isPlainStart() && !m_recent.entries().isEmpty()
        && !m_recent.entries().first().isEmpty()) {
        todo.action = CommandLineRequest::Action::Open;
        todo.fileName = m_recent.entries().first();
    }
    carryOut(todo);

    if (show) {
        m_frame->showNormal();
        m_frame->activateWindow();
        m_frame->raise();
    }
    updateCommandEnabling();
    return true;
}

void CKR44App::startLink(bool virtualUnit)
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

void CKR44App::createVirtualUnitPanel()
{
    if (m_panel)
        return;
    m_panel = new VirtualUnitPanel(m_frame.get());
    m_frame->addDockWidget(Qt::RightDockWidgetArea, m_panel);
    m_panel->hide();
    m_panel->setUnit(m_link->virtualUnit());
    connect(m_link, &FrameLink::virtualUnitChanged, m_panel, &VirtualUnitPanel::setUnit);
    QAction *showPanel = m_frame->action(ID_VIRTUAL_UNIT_PANEL);
    connect(showPanel, &QAction::triggered, m_panel, &QWidget::setVisible);
    connect(m_panel->toggleViewAction(), &QAction::toggled, showPanel, &QAction::setChecked);
}

void CKR44App::carryOut(const CommandLineRequest &request)
{
    using A = CommandLineRequest::Action;
    switch (request.action) {
    case A::Open:
        OpenDocumentFile(request.fileName);
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
        } else if (CChildFrame *child = OpenDocumentFile(request.fileName)) {
            if (request.action == A::PrintTo)
                choosePrinter(*printer(), request.printer);
            printDirect(child);
        }
        break;
    case A::Unregister:
        unregister(request);
        break;
    case A::New:
        OnFileNew();
        break;
    default:
        break;
    }
}

QPrinter *CKR44App::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

CChildFrame *CKR44App::addChild(std::unique_ptr<CKR44Doc> doc)
{
    auto *child = new CChildFrame(doc.release());
    child->setCloseGuard([this](CChildFrame *c) { return SaveModified(c); });
    CKR44View *view = child->view();
    connect(view, &CKR44View::commPauseRequested, m_link,
            [this] { m_link->OnCommand(cmd::ID_COMM_PAUSE); });
    connect(view, &CKR44View::commResumeRequested, m_link,
            [this] { m_link->OnCommand(cmd::ID_COMM_RESUME); });
    connect(child->document(), &CKR44Doc::linesChanged, this, [this] { updateCommandEnabling(); });
    connect(view, &CKR44View::editCommandsChanged, this, [this] { updateEditCommands(); });
    connect(
            child, &QObject::destroyed, this, [this] { updateCommandEnabling(); },
            Qt::QueuedConnection);
    m_frame->mdiArea()->addSubWindow(child);
    child->showMaximized();
    m_frame->mdiArea()->setActiveSubWindow(child);
    view->setFocus();
    return child;
}

CChildFrame *CKR44App::OnFileNew()
{
    auto doc = std::make_unique<CKR44Doc>();
    doc->OnNewDocument();
    return addChild(std::move(doc));
}

CChildFrame *CKR44App::findChild(const QString &path) const
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    if (wanted.isEmpty())
        return nullptr;
    for (CChildFrame *child : children()) {
        const QString own = child->document()->GetPathName();
        if (!own.isEmpty() && QFileInfo(own).canonicalFilePath() == wanted)
            return child;
    }
    return nullptr;
}

CChildFrame *CKR44App::OpenDocumentFile(const QString &requested)
{
    QString path = requested;
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    path = QFileInfo(path).absoluteFilePath();
    if (CChildFrame *open = findChild(path)) {
        m_frame->mdiArea()->setActiveSubWindow(open);
        m_frame->activateWindow();
        m_frame->raise();
        return open;
    }
    auto doc = std::make_unique<CKR44Doc>();
    const kr44::FileError error = doc->OnOpenDocument(path);
    if (!error.ok()) {
        showFileError(error.message());
        return nullptr;
    }
    m_recent.add(path);
    m_frame->setRecentFiles(m_recent);
    return addChild(std::move(doc));
}

void CKR44App::OnFileOpen()
{
    const QString path = m_prompt.openFileName(m_frame.get());
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

bool CKR44App::saveTo(CChildFrame *child, const QString &path)
{
    const kr44::FileError error = child->document()->OnSaveDocument(path);
    if (!error.ok()) {
        showFileError(error.message());
        return false;
    }
    m_recent.add(path);
    m_frame->setRecentFiles(m_recent);
    m_frame->updateCaption();
    return true;
}

bool CKR44App::OnFileSave(CChildFrame *child)
{
    if (!child)
        return false;
    if (child->document()->GetPathName().isEmpty())
        return OnFileSaveAs(child);
    return saveTo(child, child->document()->GetPathName());
}

bool CKR44App::OnFileSaveAs(CChildFrame *child)
{
    if (!child)
        return false;
    const QString path
            = m_prompt.saveFileName(m_frame.get(), child->document()->proposedSaveName());
    return !path.isEmpty() && saveTo(child, path);
}

bool CKR44App::SaveModified(CChildFrame *child)
{
    CKR44Doc *doc = child->document();
    if (!doc->IsModified())
        return true;
    const auto answer
            = m_prompt.message(m_frame.get(), QMessageBox::Warning,
                               QStringLiteral("Save changes to %1?").arg(doc->displayName()),
                               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return OnFileSave(child);
    return answer == QMessageBox::No;
}

bool CKR44App::closeAllDocuments()
{
    for (CChildFrame *child : children()) {
        if (!SaveModified(child))
            return false;
    }
    for (CChildFrame *child : children()) {
        child->setCloseGuard({});
        child->close();
    }
    return true;
}

void CKR44App::saveStandardSettings()
{
    m_recent.save(m_settings);
    savePreviewPages(m_settings, m_previewPages);
}

CChildFrame *CKR44App::activeChild() const
{
    return m_frame ? qobject_cast<CChildFrame *>(m_frame->mdiArea()->activeSubWindow()) : nullptr;
}

QList<CChildFrame *> CKR44App::children() const
{
    QList<CChildFrame *> out;
    if (!m_frame)
        return out;
    for (QMdiSubWindow *w : m_frame->mdiArea()->subWindowList()) {
        if (auto *c = qobject_cast<CChildFrame *>(w))
            out.append(c);
    }
    return out;
}

bool CKR44App::printDirect(CChildFrame *child) { return printOn(child, printer()); }

bool CKR44App::printOn(CChildFrame *child, QPrinter *target)
{
    if (!child)
        return false;
    const kr44::ProgramPrinter program(child->document()->m_lines, child->document()->GetTitle());
    if (!program.print(target)) {
        m_prompt.message(m_frame.get(), QMessageBox::Warning,
                         QStringLiteral("Failed to print %1.").arg(program.title()));
        return false;
    }
    return true;
}

void CKR44App::OnFilePrint(CChildFrame *child)
{
    if (!child || !child->document()->canPrint())
        return;
    const kr44::ProgramPrinter program(child->document()->m_lines, child->document()->GetTitle());
    kr44::execPrintDialog(printer(), program, m_frame.get());
}

void CKR44App::OnFilePrintPreview(CChildFrame *child)
{
    if (!child)
        return;
    const kr44::ProgramPrinter program(child->document()->m_lines, child->document()->GetTitle());
    m_previewPages = kr44::execPrintPreview(printer(), program, m_previewPages, m_frame.get());
}

void CKR44App::OnFilePrintSetup()
{
    QPageSetupDialog dialog(printer(), m_frame.get());
    dialog.setObjectName(QStringLiteral("printSetup"));
    dialog.exec();
}

void CKR44App::OnAppAbout()
{
    m_link->OnCommand(cmd::ID_COMM_PAUSE);
    CAboutDlg about(m_frame.get());
    about.exec();
    m_link->OnCommand(cmd::ID_COMM_RESUME);
}

void CKR44App::OnHelpIndex()
{
    if (!m_help->showIndex(m_frame.get()))
        m_prompt.message(m_frame.get(), QMessageBox::Warning, HelpIndex::failedMessage());
}

void CKR44App::OnFileSendMail(CChildFrame *child)
{
    if (!child || !m_mailer->isAvailable())
        return;
    QString error;
    if (!m_mailer->sendDocument(*child->document(), &error) && !error.isEmpty())
        m_prompt.message(m_frame.get(), QMessageBox::Warning, error);
}

void CKR44App::executeShellRequest(const kr44::ShellRequest &request)
{
    if (request.kind == kr44::ShellRequest::Kind::Open) {
        m_frame->setWindowState(m_frame->windowState() & ~Qt::WindowMinimized);
        m_frame->show();
        m_frame->raise();
        m_frame->activateWindow();
        OpenDocumentFile(request.file);
        m_startedByUser = true;
        return;
    }
    const bool wasOpen = findChild(request.file) != nullptr;
    CChildFrame *child = OpenDocumentFile(request.file);
    if (!child)
        return;
    // A printer of its own, so that a request does not change the printer the user set up.
    QPrinter target(QPrinter::HighResolution);
    if (request.kind == kr44::ShellRequest::Kind::PrintTo)
        choosePrinter(target, request.printer);
    printOn(child, &target);
    if (!wasOpen) {
        child->setCloseGuard({});
        child->close();
    }
    if (!m_startedByUser)
        QMetaObject::invokeMethod(m_frame.get(), &QWidget::close, Qt::QueuedConnection);
}

void CKR44App::unregister(const CommandLineRequest &request)
{
    const kr44::XdgPaths paths = kr44::XdgPaths::fromEnvironment();
    const kr44::UnregisterResult result = kr44::unregisterApplication(paths, m_settings);
    auto *updater = new DesktopDatabaseUpdater(paths, this);
    connect(updater, &DesktopDatabaseUpdater::finished, updater, &QObject::deleteLater);
    updater->start();
    m_unregistered = true;
    if (!request.embedded)
        m_prompt.message(m_frame.get(), QMessageBox::Information,
                         kr44::unregisterMessage(result.ok()));
}

void CKR44App::showFileError(const QString &message)
{
    m_prompt.message(m_frame.get(), QMessageBox::Warning, message);
}

void CKR44App::connectCommands()
{
    CMainFrame *f = m_frame.get();
    const auto on = [f, this](int id, auto &&handler) {
        connect(f->action(id), &QAction::triggered, this, std::forward<decltype(handler)>(handler));
    };
    on(ID_FILE_NEW, [this] { OnFileNew(); });
    on(ID_FILE_OPEN, [this] { OnFileOpen(); });
    on(ID_FILE_CLOSE, [this] {
        if (CChildFrame *c = activeChild())
            c->close();
    });
    on(ID_FILE_SAVE, [this] { OnFileSave(activeChild()); });
    on(ID_FILE_SAVE_AS, [this] { OnFileSaveAs(activeChild()); });
    on(ID_FILE_PRINT, [this] { OnFilePrint(activeChild()); });
    on(ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(activeChild()); });
    on(ID_FILE_PRINT_SETUP, [this] { OnFilePrintSetup(); });
    on(ID_APP_EXIT, [f] { f->close(); });
    on(ID_APP_ABOUT, [this] { OnAppAbout(); });
    on(ID_HELP_INDEX, [this] { OnHelpIndex(); });
    on(ID_FILE_SEND_MAIL, [this] { OnFileSendMail(activeChild()); });
    on(ID_EDIT_UNDO, [this] {
        if (CChildFrame *c = activeChild())
            c->view()->undo();
    });
    on(ID_EDIT_REDO, [this] {
        if (CChildFrame *c = activeChild())
            c->view()->redo();
    });
    on(ID_EDIT_CUT, [this] {
        if (CChildFrame *c = activeChild())
            c->view()->cut();
    });
    on(ID_EDIT_COPY, [this] {
        if (CChildFrame *c = activeChild())
            c->view()->copy();
    });
    on(ID_EDIT_PASTE, [this] {
        if (CChildFrame *c = activeChild())
            c->view()->paste();
    });
    on(ID_COMMAND_WINDOW, [this] { m_link->OnCommandWindow(); });
    on(ID_COM_PORT, [this] { m_link->OnComPort(); });
    f->action(ID_VIRTUAL_UNIT)->setCheckable(true);
    on(ID_VIRTUAL_UNIT, [this](bool on) {
        if (on && !m_link->connectVirtualUnit())
            m_prompt.message(m_frame.get(), QMessageBox::Warning,
                             QStringLiteral("The virtual KR44 unit could not be started."));
        else if (!on)
            m_link->disconnectVirtualUnit();
    });
    connect(m_link, &FrameLink::virtualUnitChanged, this, [this](kr44::PtyUnit *unit) {
        m_frame->action(ID_VIRTUAL_UNIT)->setChecked(unit != nullptr);
    });
    on(ID_SEND_PROGRAM, [this] {
        if (CChildFrame *c = activeChild(); c && c->document()->canSendProgram())
            m_link->sendProgram(c->document()->m_lines);
    });
    on(ID_SEND_AND_RUN, [this] {
        if (CChildFrame *c = activeChild())
            m_link->sendAndRun(c->document()->m_lines);
    });
    on(ID_STOP_PROGRAM, [this] {
        if (activeChild())
            m_link->stopProgram();
    });
    connect(f, &CMainFrame::recentFileTriggered, this, [this](const QString &path) {
        if (!OpenDocumentFile(path)) {
            m_recent.remove(path);
            m_frame->setRecentFiles(m_recent);
        }
    });
    connect(f, &CMainFrame::filesDropped, this, [this](const QStringList &paths) {
        for (const QString &p : paths)
            OpenDocumentFile(p);
        m_frame->activateWindow();
    });
    connect(f, &CMainFrame::closeRequested, this, [this](bool *accept) {
        *accept = closeAllDocuments();
        if (*accept) {
            m_link->shutDown();
            if (!m_unregistered)
                saveStandardSettings();
        }
    });
    connect(f->mdiArea(), &QMdiArea::subWindowActivated, this, [this] {
        updateCommandEnabling();
        Q_EMIT activeChildChanged();
    });
}

void CKR44App::updateCommandEnabling()
{
    if (!m_frame)
        return;
    CChildFrame *child = activeChild();
    CKR44Doc *doc = child ? child->document() : nullptr;
    const bool hasChild = child != nullptr;
    for (int id :
         {ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_PRINT_PREVIEW, ID_SEND_AND_RUN,
          ID_STOP_PROGRAM, ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_FILE_SEND_MAIL})
        m_frame->action(id)->setEnabled(hasChild);
    m_frame->action(ID_FILE_PRINT)->setEnabled(doc && doc->canPrint());
    m_frame->action(ID_SEND_PROGRAM)->setEnabled(doc && doc->canSendProgram());
    m_frame->action(ID_FILE_SEND_MAIL)->setEnabled(hasChild && m_mailer && m_mailer->isAvailable());
    updateEditCommands();
}

void CKR44App::updateEditCommands()
{
    CChildFrame *child = activeChild();
    CKR44View *view = child ? child->view() : nullptr;
    const auto named = [](const char *base, const QString &what, const char *key) {
        return (what.isEmpty() ? QString::fromLatin1(base)
                               : QString::fromLatin1(base) + QLatin1Char(' ') + what)
                + QLatin1Char('\t') + QLatin1String(key);
    };
    QAction *undo = m_frame->action(ID_EDIT_UNDO);
    QAction *redo = m_frame->action(ID_EDIT_REDO);
    undo->setText(named("&Undo", view ? view->undoText() : QString(), "Ctrl+Z"));
    redo->setText(named("&Redo", view ? view->redoText() : QString(), "Ctrl+Y"));
    undo->setEnabled(view && view->canUndo());
    redo->setEnabled(view && view->canRedo());
    m_frame->action(ID_EDIT_CUT)->setEnabled(view && view->canCut());
    m_frame->action(ID_EDIT_COPY)->setEnabled(view && view->canCopy());
    m_frame->action(ID_EDIT_PASTE)->setEnabled(view && view->canPaste());
}
