#include "framelink.h"

#include "commandwnd.h"
#include "portsettingsdlg.h"
#include "ptyunit.h"
#include "replymonitor.h"
#include "seriallink.h"
#include "transferprogressdlg.h"

#include <QMessageBox>
#include <QSettings>

FrameLink::FrameLink(QWidget *window, QSettings &settings, QObject *parent)
    : QObject(parent), m_window(window), m_settings(settings), m_link(new CSerialLink(this)),
      m_monitor(new CReplyMonitor(m_link, this)), m_commandWnd(new CCommandWnd(window))
{
    m_commandWnd->hide();
    m_progress = new CTransferProgressDlg(m_link, window);
    m_portDialog = [](QWidget *parent, QString &port, qint32 &baud) {
        CPortSettingsDlg dlg(parent);
        dlg.m_strPort = port;
        dlg.m_nBaud = baud;
        if (dlg.exec() != QDialog::Accepted)
            return false;
        port = dlg.m_strPort;
        baud = dlg.m_nBaud;
        return true;
    };
    m_infoBox = [](QWidget *parent, const QString &text) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("KR44 Demo Program"), text,
                        QMessageBox::Ok, parent);
        box.setObjectName(QStringLiteral("communicationErrorBox"));
        box.exec();
    };

    connect(m_monitor, &CReplyMonitor::replyText, m_commandWnd, &CCommandWnd::AppendText);
    connect(m_monitor, &CReplyMonitor::statusMessage, this,
            [this](const QString &text) { Q_EMIT statusText(shownStatus(text)); });
    connect(m_link, &CSerialLink::statusTextChanged, this,
            [this](const QString &text) { Q_EMIT statusText(shownStatus(text)); });
    connect(m_commandWnd, &CCommandWnd::characterTyped, m_link,
            [this](char ch) { m_link->SendChar(ch); });
    // The box is shown once the failing line is known; the transfer itself goes on to its end.
    connect(m_link, &CSerialLink::communicationError, this,
            [this] { m_infoBox(m_window, QStringLiteral("Communication error")); });
    connect(m_link, &CSerialLink::transferFinished, this, [this] { afterTransfer(); });
}

FrameLink::~FrameLink() { shutDown(); }

void FrameLink::start()
{
    m_comm.load(m_settings);
    m_link->setPort(m_comm.port, m_comm.baud);
    QByteArray none;
    if (!m_link->PortIO(none, CSerialLink::PORT_OPEN))
        runPortSettings();
    m_monitor->start();
}

void FrameLink::startPolling()
{
    m_comm.load(m_settings);
    m_monitor->start();
}

void FrameLink::shutDown()
{
    if (!m_link)
        return;
    if (!m_monitor->isRunning() && !m_link->isConnected())
        return;
    // The poll stops first so that no tick reads a port that is closing.
    m_monitor->stop();
    QByteArray none;
    m_link->PortIO(none, CSerialLink::PORT_CLOSE);
}

void FrameLink::OnComPort()
{
    if (m_virtualUnit)
        disconnectVirtualUnit();
    runPortSettings();
}

void FrameLink::openPort(const QString &port)
{
    QByteArray none;
    m_link->PortIO(none, CSerialLink::PORT_CLOSE);
    m_link->setPort(port, m_comm.baud);
    m_link->PortIO(none, CSerialLink::PORT_OPEN);
}

bool FrameLink::connectVirtualUnit()
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

void FrameLink::disconnectVirtualUnit()
{
    if (!m_virtualUnit)
        return;
    QByteArray none;
    m_link->PortIO(none, CSerialLink::PORT_CLOSE);
    delete m_virtualUnit;
    m_virtualUnit = nullptr;
    Q_EMIT virtualUnitChanged(nullptr);
    openPort(m_comm.port);
}

QString FrameLink::shownStatus(const QString &linkText) const
{
    if (!m_virtualUnit || !m_link->isConnected()
        || m_link->portName() != m_virtualUnit->devicePath())
        return linkText;
    return QStringLiteral("Using the virtual KR44 unit (%1), %2 baud")
            .arg(m_virtualUnit->devicePath())
            .arg(m_link->baudRate());
}

void FrameLink::runPortSettings()
{
    QByteArray none;
    m_link->PortIO(none, CSerialLink::PORT_CLOSE);
    QString port = m_comm.port;
    qint32 baud = m_comm.baud;
    if (m_portDialog(m_window, port, baud)) {
        m_comm.port = port;
        m_comm.baud = baud;
        m_comm.save(m_settings);
    }
    m_link->setPort(m_comm.port, m_comm.baud);
    // One more open whatever the answer; a second failure opens no second dialog.
    m_link->PortIO(none, CSerialLink::PORT_OPEN);
}

void FrameLink::OnCommandWindow() { m_commandWnd->toggleVisible(); }

bool FrameLink::OnCommand(int id) { return m_monitor->OnCommand(id); }

void FrameLink::sendProgram(const kr44::LineArray &lines)
{
    m_showAfterTransfer = true;
    if (!m_link->SendProgram(lines))
        m_showAfterTransfer = false;
}

void FrameLink::sendAndRun(const kr44::LineArray &lines)
{
    m_showAfterTransfer = true;
    if (!m_link->SendAndRun(lines))
        m_showAfterTransfer = false;
}

void FrameLink::stopProgram() { m_link->StopProgram(); }

void FrameLink::afterTransfer()
{
    if (!m_showAfterTransfer)
        return;
    m_showAfterTransfer = false;
    m_commandWnd->showAndRaise();
}
