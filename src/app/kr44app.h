#pragma once

#include "appsettings.h"
#include "commandline.h"

#include <QObject>

#include <functional>
#include <memory>

class AppPrompt;
class FirstFrame;
class HelpIndex;
class Mailer;
class VirtualUnitPanel;
namespace kr44 {
class ProblemsPanel;
struct ShellRequest;
} // namespace kr44
class CChildFrame;
class CKR44Doc;
class CMainFrame;
class FrameLink;
class QPrinter;
class QSettings;

// The application: owns the main window, the programs' windows, the recent-file list and the
// settings for the run, and carries out the application-wide and program commands.
class CKR44App : public QObject
{
    Q_OBJECT

public:
    // `settings` and `prompt` must outlive the application object.
    CKR44App(QSettings &settings, AppPrompt &prompt, QObject *parent = nullptr);
    ~CKR44App() override;

    // Builds the main window, carries out `request` and opens the port. The main window is
    // shown unless `show` is false (tests). The port opens (or the virtual unit connects) once
    // the main window's first frame is up; without `show`, before `request` is carried out, as
    // the run did before there was a window to wait for. False when the main window could not
    // be made.
    bool InitInstance(const CommandLineRequest &request, bool show = true);

    // Replaces the port settings dialog (tests); takes effect at InitInstance.
    void setPortDialogRunner(std::function<bool(QWidget *, QString &, qint32 &)> runner)
    {
        m_portDialogRunner = std::move(runner);
    }

    [[nodiscard]] CMainFrame *mainFrame() const { return m_frame.get(); }
    [[nodiscard]] FrameLink *frameLink() const { return m_link; }
    [[nodiscard]] const RecentFileList &recentFiles() const { return m_recent; }
    [[nodiscard]] QPrinter *printer();

    // File New: a new program in a new window.
    CChildFrame *OnFileNew();
    // Opens `path` in a window (or activates the window that already shows it). Shows the
    // error and returns null on failure.
    CChildFrame *OpenDocumentFile(const QString &path);
    void OnFileOpen();
    bool OnFileSave(CChildFrame *child);
    bool OnFileSaveAs(CChildFrame *child);
    // The save prompt of a modified program: true when the window may close.
    bool SaveModified(CChildFrame *child);
    // Closes every program window (with the save prompts); false if the user cancelled.
    bool closeAllDocuments();
    // Writes the recent-file list and the preview setting.
    void saveStandardSettings();

    [[nodiscard]] CChildFrame *activeChild() const;
    [[nodiscard]] QList<CChildFrame *> children() const;
    [[nodiscard]] CChildFrame *findChild(const QString &path) const;

    // Prints a program window's program on the current printer without a dialog.
    bool printDirect(CChildFrame *child);
    void OnFilePrint(CChildFrame *child);
    void OnFilePrintPreview(CChildFrame *child);
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnHelpIndex();
    void OnFileSendMail(CChildFrame *child);

    // A request handed over by the desktop or a second instance: open, or print and close.
    void executeShellRequest(const kr44::ShellRequest &request);
    // Whether the run counts as started by the user (not by the desktop for one request).
    [[nodiscard]] bool startedByUser() const { return m_startedByUser; }
    // The main window's first frame: what it does not need waits for it (see InitInstance).
    [[nodiscard]] FirstFrame *firstFrame() const { return m_firstFrame; }
    [[nodiscard]] VirtualUnitPanel *virtualUnitPanel() const { return m_panel; }
    [[nodiscard]] kr44::ProblemsPanel *problemsPanel() const { return m_problems; }

Q_SIGNALS:
    void activeChildChanged();

private:
    CChildFrame *addChild(std::unique_ptr<CKR44Doc> doc);
    bool saveTo(CChildFrame *child, const QString &path);
    void connectCommands();
    void startLink(bool virtualUnit);
    void createVirtualUnitPanel();
    void updateCommandEnabling();
    void carryOut(const CommandLineRequest &request);
    void showFileError(const QString &message);
    void updateEditCommands();
    void unregister(const CommandLineRequest &request);
    bool printOn(CChildFrame *child, QPrinter *printer);

    QSettings &m_settings;
    AppPrompt &m_prompt;
    std::unique_ptr<CMainFrame> m_frame;
    FrameLink *m_link = nullptr;
    RecentFileList m_recent;
    int m_previewPages = 0;
    std::unique_ptr<QPrinter> m_printer;
    std::function<bool(QWidget *, QString &, qint32 &)> m_portDialogRunner;
    FirstFrame *m_firstFrame = nullptr;
    VirtualUnitPanel *m_panel = nullptr;
    kr44::ProblemsPanel *m_problems = nullptr;
    HelpIndex *m_help = nullptr;
    Mailer *m_mailer = nullptr;
    bool m_startedByUser = true;
    bool m_unregistered = false;
};
