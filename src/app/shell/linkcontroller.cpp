#include "app/shell/linkcontroller.h"

#include "link/portscan.h"
#include "link/portwatcher.h"
#include "link/replymonitor.h"
#include "link/seriallink.h"
#include "linkwidgets/commandwindow.h"
#include "linkwidgets/portsettingsdialog.h"
#include "linkwidgets/transferprogressdialog.h"
#include "sim/ptyunit.h"

#include <QMessageBox>
#include <QSettings>

namespace kr44 {

LinkController::LinkController(QWidget *window, QSettings &settings, QObject *parent)
    : QObject(parent), m_window(window), m_settings(settings), m_link(new SerialLink(this)),
      m_monitor(new ReplyMonitor(m_link, this)), m_watcher(new PortWatcher(m_link, this)),
      m_commandWnd(new CommandWindow(window))
{
    m_commandWnd->hide();
    m_progress = new TransferProgressDialog(m_link, window);
    m_portDialog = [](QWidget *parent, QString &port, qint32 &baud) {
        PortSettingsDialog dlg(parent);
        dlg.setPortName(port);
        dlg.setBaudRate(baud);
        if (dlg.exec() != QDialog::Accepted)
            return false;
        port = dlg.portName();
        baud = dlg.baudRate();
        return true;
    };
    m_infoBox = [](QWidget *parent, const QString &text) {
        QMessageBox box(QMessageBox::Information, tr("KR44 Demo Program"), text, QMessageBox::Ok,
                        parent);
        box.setObjectName(QStringLiteral("communicationErrorBox"));
        box.exec();
    };

    connect(m_monitor, &ReplyMonitor::replyText, m_commandWnd, &CommandWindow::appendText);
    connect(m_monitor, &ReplyMonitor::statusMessage, this,
            [this](const QString &text) { Q_EMIT statusText(shownStatus(text)); });
    connect(m_link, &SerialLink::statusTextChanged, this,
            [this](const QString &text) { Q_EMIT statusText(shownStatus(text)); });
    connect(m_commandWnd, &CommandWindow::characterTyped, m_link,
            [this](char ch) { m_link->sendChar(ch); });
    // The box is shown once the failing line is known; the transfer itself goes on to its end.
    connect(m_link, &SerialLink::communicationError, this,
            [this] { m_infoBox(m_window, tr("Communication error")); });
    connect(m_link, &SerialLink::transferFinished, this, [this] { afterTransfer(); });
}

LinkController::~LinkController() { shutDown(); }

void LinkController::start()
{
    m_comm.load(m_settings);
    m_link->setPort(m_comm.port, m_comm.baud);
    if (!m_link->openPort())
        runPortSettings();
    m_monitor->start();
}

void LinkController::startPolling()
{
    m_comm.load(m_settings);
    m_monitor->start();
}

void LinkController::shutDown()
{
    if (!m_link)
        return;
    m_watcher->stop();
    if (!m_monitor->isRunning() && !m_link->isConnected())
        return;
    // The poll stops first so that no tick reads a port that is closing.
    m_monitor->stop();
    m_link->closePort();
}

void LinkController::portSettings()
{
    if (m_virtualUnit)
        disconnectVirtualUnit();
    runPortSettings();
}

void LinkController::openPort(const QString &port)
{
    m_link->closePort();
    m_link->setPort(port, m_comm.baud);
    m_link->openPort();
}

bool LinkController::connectVirtualUnit()
{
    if (m_virtualUnit)
        return true;
    auto *unit = new kr44::PtyUnit({}, this);
    if (!unit->open()) {
        delete unit;
        return false;
    }
    m_virtualUnit = unit;
    openPort(unit->devicePath());
    Q_EMIT virtualUnitChanged(m_virtualUnit);
    return true;
}

void LinkController::disconnectVirtualUnit()
{
    if (!m_virtualUnit)
        return;
    m_link->closePort();
    delete m_virtualUnit;
    m_virtualUnit = nullptr;
    Q_EMIT virtualUnitChanged(nullptr);
    openPort(m_comm.port);
}

QString LinkController::shownStatus(const QString &linkText) const
{
    if (!m_virtualUnit || !m_link->isConnected()
        || m_link->portName() != m_virtualUnit->devicePath())
        return kr44::linkStatusText(linkText, m_link->portName(), m_link->baudRate(),
                                    m_link->isConnected());
    return tr("Using the virtual KR44 unit (%1), %2 baud")
            .arg(m_virtualUnit->devicePath())
            .arg(m_link->baudRate());
}

void LinkController::runPortSettings()
{
    m_watcher->stop();
    m_link->closePort();
    QString port = m_comm.port;
    qint32 baud = m_comm.baud;
    if (m_portDialog(m_window, port, baud)) {
        m_comm.port = port;
        m_comm.baud = baud;
        m_comm.save(m_settings);
    }
    m_link->setPort(m_comm.port, m_comm.baud);
    // One more open whatever the answer; a second failure opens no second dialog.
    m_link->openPort();
}

void LinkController::toggleCommandWindow() { m_commandWnd->toggleVisible(); }

void LinkController::pausePolling() { m_monitor->pause(); }

void LinkController::resumePolling() { m_monitor->resume(); }

void LinkController::sendProgram(const kr44::LineArray &lines)
{
    m_showAfterTransfer = true;
    if (!m_link->sendProgram(lines))
        m_showAfterTransfer = false;
}

void LinkController::sendAndRun(const kr44::LineArray &lines)
{
    m_showAfterTransfer = true;
    if (!m_link->sendAndRun(lines))
        m_showAfterTransfer = false;
}

void LinkController::stopProgram() { m_link->stopProgram(); }

void LinkController::afterTransfer()
{
    if (!m_showAfterTransfer)
        return;
    m_showAfterTransfer = false;
    m_commandWnd->showAndRaise();
}

} // namespace kr44
