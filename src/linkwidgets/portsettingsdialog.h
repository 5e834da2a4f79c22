#pragma once

#include "link/portscan.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QTimer>

#include <functional>

class QComboBox;
class QLabel;

namespace kr44 {

// "Communications Port Settings": the serial port and the baud rate of the link.
//
// The caller closes the port, sets the port name and the baud rate, runs the dialog and, after
// OK, takes both back; after Cancel they hold what the caller put in. The port list is built afresh
// each time the dialog is shown (see portscan.h for which ports it offers), and again while it is
// open whenever the devices change, keeping the entry chosen. Each entry names the device and the
// adapter; a device with a stable name is returned under that name.
class PortSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // The devices there are, without opening any; systemSerialPorts() by default.
    using Lister = std::function<QList<kr44::PortInfo>()>;

    // Looks for new or vanished devices this often while shown. Only a change tries the
    // devices, since opening a port raises its modem lines.
    static constexpr int kRelistMs = 1000;

    explicit PortSettingsDialog(QWidget *parent = nullptr);

    // Replaces the system's devices and the port test (tests).
    void setPortSource(Lister lister, kr44::PortProbe probe);

    // Fills the port list and selects the entries for the port name and the baud rate. Runs when
    // the dialog is shown.
    void refresh();
    // Lists the ports again if the devices have changed, keeping the chosen entry.
    void relist();
    // Takes the selected port (unless the list is empty) and baud rate as the port name and the
    // baud rate, and closes the dialog with OK.
    void accept() override;

    [[nodiscard]] QComboBox *portList() const { return m_portList; }
    [[nodiscard]] QComboBox *baudList() const { return m_baudList; }
    [[nodiscard]] QString accessNote() const;

    [[nodiscard]] QString portName() const { return m_portName; }
    void setPortName(const QString &name) { m_portName = name; }
    [[nodiscard]] qint32 baudRate() const { return m_baudRate; }
    void setBaudRate(qint32 baud) { m_baudRate = baud; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void fillPortList(const kr44::PortScan &scan);

    Lister m_lister;
    kr44::PortProbe m_probe;
    QList<kr44::PortInfo> m_listed;
    QTimer m_relist;
    QString m_portName;
    qint32 m_baudRate = 19200;
    QComboBox *m_portList = nullptr;
    QComboBox *m_baudList = nullptr;
    QLabel *m_note = nullptr;
    int m_portIndex = -1;
    int m_baudIndex = -1;
};

} // namespace kr44
