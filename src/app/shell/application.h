#pragma once

#include "app/cli/commandline.h"
#include "app/shell/appsettings.h"
#include "app/shell/mainwindow.h"

#include <QObject>

#include <functional>
#include <memory>

class QSettings;

namespace kr44 {

class AppPrompt;
class FirstFrame;
class HelpIndex;
class Mailer;
class VirtualUnitPanel;
class ProblemsPanel;
struct ShellRequest;
class ProgramWindow;
class ProgramDocument;
class LinkController;
class PrintCommands;

// The application: owns the main window, the programs' windows, the recent-file list and the
// settings for the run, and carries out the application-wide and program commands.
class Application : public QObject
{
    Q_OBJECT

public:
    // `settings` and `prompt` must outlive the application object.
    Application(QSettings &settings, AppPrompt &prompt, QObject *parent = nullptr);
    ~Application() override;

    // Builds the main window, carries out `request` and opens the port. The main window is
    // shown unless `show` is false (tests). The port opens (or the virtual unit connects) once
    // the main window's first frame is up; without `show`, before `request` is carried out, as
    // the run did before there was a window to wait for. False when the main window could not
    // be made.
    bool start(const CommandLineRequest &request, bool show = true);

    // Replaces the port settings dialog (tests); takes effect at start.
    void setPortDialogRunner(std::function<bool(QWidget *, QString &, qint32 &)> runner)
    {
        m_portDialogRunner = std::move(runner);
    }

    [[nodiscard]] MainWindow *mainWindow() const { return m_mainWindow.get(); }
    [[nodiscard]] LinkController *linkController() const { return m_link; }
    [[nodiscard]] const RecentFileList &recentFiles() const { return m_recent; }

    // File New: a new program in a new window.
    ProgramWindow *newFile();
    // Opens `path` in a window (or activates the window that already shows it). Shows the
    // error and returns null on failure.
    ProgramWindow *openFile(const QString &path);
    void open();
    bool save(ProgramWindow *child);
    bool saveAs(ProgramWindow *child);
    // The save prompt of a modified program: true when the window may close.
    bool maybeSave(ProgramWindow *child);
    // Closes every program window (with the save prompts); false if the user cancelled.
    bool closeAllDocuments();
    // Writes the recent-file list and the preview setting.
    void saveStandardSettings();

    [[nodiscard]] ProgramWindow *activeProgramWindow() const
    {
        return m_mainWindow ? m_mainWindow->activeProgramWindow() : nullptr;
    }
    [[nodiscard]] QList<ProgramWindow *> programWindows() const
    {
        return m_mainWindow ? m_mainWindow->programWindows() : QList<ProgramWindow *>();
    }
    [[nodiscard]] ProgramWindow *findProgramWindow(const QString &path) const;

    void about();
    void helpIndex();
    void sendMail(ProgramWindow *child);

    // A request handed over by the desktop or a second instance: open, or print and close.
    void executeShellRequest(const kr44::ShellRequest &request);
    // Whether the run counts as started by the user (not by the desktop for one request).
    [[nodiscard]] bool startedByUser() const { return m_startedByUser; }
    // The main window's first frame: what it does not need waits for it (see start).
    [[nodiscard]] FirstFrame *firstFrame() const { return m_firstFrame; }
    [[nodiscard]] VirtualUnitPanel *virtualUnitPanel() const { return m_panel; }
    [[nodiscard]] kr44::ProblemsPanel *problemsPanel() const { return m_problems; }

Q_SIGNALS:
    void activeProgramWindowChanged();

private:
    ProgramWindow *addProgramWindow(std::unique_ptr<ProgramDocument> doc);
    bool saveTo(ProgramWindow *child, const QString &path);
    void connectCommands();
    void startLink(bool virtualUnit);
    void createVirtualUnitPanel();
    void updateCommandEnabling();
    void carryOut(const CommandLineRequest &request);
    void showFileError(const QString &message);
    void updateEditCommands();
    void unregister(const CommandLineRequest &request);

    QSettings &m_settings;
    AppPrompt &m_prompt;
    std::unique_ptr<MainWindow> m_mainWindow;
    LinkController *m_link = nullptr;
    RecentFileList m_recent;
    std::unique_ptr<PrintCommands> m_printing;
    std::function<bool(QWidget *, QString &, qint32 &)> m_portDialogRunner;
    FirstFrame *m_firstFrame = nullptr;
    VirtualUnitPanel *m_panel = nullptr;
    kr44::ProblemsPanel *m_problems = nullptr;
    HelpIndex *m_help = nullptr;
    Mailer *m_mailer = nullptr;
    bool m_startedByUser = true;
    bool m_unregistered = false;
};

} // namespace kr44
