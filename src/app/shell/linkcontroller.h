#pragma once

#include "app/shell/appsettings.h"
#include "model/linearray.h"
#include "sim/ptyunit.h"

#include <QObject>

#include <functional>

class QSettings;
class QWidget;

namespace kr44 {

class CommandWindow;
class PortWatcher;
class ReplyMonitor;
class SerialLink;
class TransferProgressDialog;

// The main window's part of the device link: the serial link, the reply monitor with its 50 ms
// poll, the Direct Command Window and the port settings sequence, wired together. The main
// window holds one for the whole run. A port lost while open is opened again when its device
// comes back, until the user chooses a port or the run ends.
class LinkController : public QObject
{
    Q_OBJECT

public:
    // Runs the port settings dialog on `port` and `baud`; true for OK with both updated.
    using PortDialogRunner = std::function<bool(QWidget *parent, QString &port, qint32 &baud)>;
    // Shows a message box with an information icon.
    using InfoBox = std::function<void(QWidget *parent, const QString &text)>;

    // `window` parents the command window and the dialogs; `settings` is kept for the run.
    LinkController(QWidget *window, QSettings &settings, QObject *parent = nullptr);
    ~LinkController() override;

    void setPortDialogRunner(PortDialogRunner runner) { m_portDialog = std::move(runner); }
    void setInfoBox(InfoBox box) { m_infoBox = std::move(box); }

    // Reads the saved port, opens it (running the port settings sequence once if that fails)
    // and starts the poll.
    void start();
    // Starts the poll without opening the saved port (the virtual unit is connected instead).
    void startPolling();
    // Stops the poll, then closes the port.
    void shutDown();

    // "&COM port": closes the port, runs the dialog, stores the choice on OK, opens again.
    void portSettings();
    // "&Command Window": hides a visible window, else shows and raises it.
    void toggleCommandWindow();
    // Around a modal dialog: what the unit sends waits until the dialog is closed.
    void pausePolling();
    void resumePolling();

    // The program commands of a program window.
    void sendProgram(const kr44::LineArray &lines);
    void sendAndRun(const kr44::LineArray &lines);
    void stopProgram();

    // Connects the link to a virtual unit in this process, served on a pseudo-terminal, in
    // place of the saved port; false (and the saved port kept) when no pseudo-terminal can be
    // had. Disconnecting reopens the saved port.
    bool connectVirtualUnit();
    void disconnectVirtualUnit();
    [[nodiscard]] kr44::PtyUnit *virtualUnit() const { return m_virtualUnit; }

    [[nodiscard]] SerialLink *link() const { return m_link; }
    [[nodiscard]] ReplyMonitor *monitor() const { return m_monitor; }
    [[nodiscard]] CommandWindow *commandWindow() const { return m_commandWnd; }
    [[nodiscard]] const CommSettings &comm() const { return m_comm; }

Q_SIGNALS:
    void statusText(const QString &text);
    void virtualUnitChanged(kr44::PtyUnit *unit);

private:
    void runPortSettings();
    void afterTransfer();
    void openPort(const QString &port);
    [[nodiscard]] QString shownStatus(const QString &linkText) const;

    QWidget *m_window;
    QSettings &m_settings;
    CommSettings m_comm;
    SerialLink *m_link = nullptr;
    ReplyMonitor *m_monitor = nullptr;
    PortWatcher *m_watcher = nullptr;
    CommandWindow *m_commandWnd = nullptr;
    TransferProgressDialog *m_progress = nullptr;
    PortDialogRunner m_portDialog;
    InfoBox m_infoBox;
    bool m_showAfterTransfer = false;
    kr44::PtyUnit *m_virtualUnit = nullptr;
};

} // namespace kr44
