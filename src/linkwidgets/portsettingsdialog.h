#pragma once

#include "link/portscan.h"

#include <QDialog>
#include <QString>

#include <functional>

class QComboBox;
class QLabel;

namespace kr44 {

// "Communications Port Settings": the serial port and the baud rate of the link.
//
// The caller closes the port, sets the port name and the baud rate, runs the dialog and, after
// OK, takes both back; after Cancel they hold what the caller put in. The port list is built afresh
// each time the dialog is shown (see portscan.h for which ports it offers).
class PortSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    // Lists the ports for a current port name; the default scans the system.
    using Scanner = std::function<kr44::PortScan(const QString &currentPort)>;

    explicit PortSettingsDialog(QWidget *parent = nullptr);

    // Replaces the system scan (tests).
    void setScanner(Scanner scanner) { m_scanner = std::move(scanner); }

    // Fills the port list and selects the entries for the port name and the baud rate. Runs when
    // the dialog is shown.
    void refresh();
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

private:
    Scanner m_scanner;
    QString m_portName;
    qint32 m_baudRate = 19200;
    QComboBox *m_portList = nullptr;
    QComboBox *m_baudList = nullptr;
    QLabel *m_note = nullptr;
    int m_portIndex = -1;
    int m_baudIndex = -1;
};

} // namespace kr44
