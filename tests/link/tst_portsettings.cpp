#include "link/portscan.h"
#include "linkwidgets/portsettingsdialog.h"
#include "ptypeer.h"
#include "testmain.h"

#include <QComboBox>
#include <QSerialPort>
#include <QTest>

using namespace kr44;

using kr44::PortInfo;
using Probe = kr44::PortProbeResult;

// Which ports the settings dialog offers and selects, and what OK and Cancel return.
class TestPortSettings : public QObject
{
    Q_OBJECT

    const QString s0 = QStringLiteral("/dev/ttyS0");
    const QString s1 = QStringLiteral("/dev/ttyS1");
    const QString usb = QStringLiteral("/dev/ttyUSB0");

    // The paths a scan lists, then "|" and those it names for lack of access. The probe opens
    // every path but `current`, which answers `opens`; `probed` gets the paths it tried.
    static QStringList scan(const QStringList &reported, const QString &current, Probe opens,
                            QStringList &probed)
    {
        QList<PortInfo> ports;
        for (const QString &path : reported)
            ports << PortInfo {path, {}, {}, {}, {}, {}};
        probed.clear();
        const kr44::PortScan s = kr44::scanPorts(ports, current, [&](const QString &path) {
            probed << path;
            return path == current ? opens : Probe::Opened;
        });
        QStringList out;
        for (const PortInfo &p : s.ports)
            out << p.path;
        return out << "|" << s.noAccess;
    }

private Q_SLOTS:
    // At most eight, in device order (numbers by value), each tried once and none after the
    // eighth; the current port is offered first when it opens and was not tried among them.
    void scanListsWhatOpens()
    {
        const QStringList reported
                = {"/dev/ttyUSB1", "/dev/ttyS9",  s0, usb, "/dev/ttyS10", s1, "/dev/ttyACM0",
                   "/dev/ttyS2",   "/dev/ttyS02", s0};
        QStringList probed;
        QCOMPARE(scan(reported, "COM1", Probe::Opened, probed),
                 (QStringList {"/dev/ttyACM0", s0, s1, "/dev/ttyS2", "/dev/ttyS02", "/dev/ttyS9",
                               "/dev/ttyS10", usb, "|"}));
        QCOMPARE(probed.size(), 8);
        QCOMPARE(scan(reported, "/dev/ttyUSB1", Probe::Opened, probed).first(), "/dev/ttyUSB1");
        const QString id = QStringLiteral("/dev/serial/by-id/usb-KR44-if00");
        const std::initializer_list<std::tuple<QString, Probe, QStringList>> table = {
                {id, Probe::Opened, {id, s0, s1, "|"}},
                {id, Probe::NoAccess, {s0, s1, "|", id}},
                {s1, Probe::Opened, {s0, s1, "|"}},
                {s1, Probe::NoAccess, {s0, "|", s1}},
        };
        for (const auto &[current, opens, listed] : table) {
            QCOMPARE(scan({s1, s0}, current, opens, probed), listed);
            QCOMPARE(probed.removeDuplicates(), 0);
        }
    }

    // The current entry is the first that begins with the port name, ignoring case, else the
    // device of a name COM1 to COM8 (/dev/ttyS0 to /dev/ttyS7), else the first; a baud rate
    // not offered selects 19200. OK takes the choice, Cancel nothing, and each showing lists
    // the ports afresh.
    void dialogSelectsAndReturns()
    {
        const QStringList entries = {"/dev/ttyACM0", s0, s1, "/dev/ttyS7"};
        for (const auto &[port, index] :
             {std::pair {"com1", 1}, {"COM2", 2}, {"/DEV/TTYS", 1}, {"COM8", 3}, {"COM9", 0}})
            QCOMPARE(kr44::portIndexFor(entries, port), index);
        PortSettingsDialog dlg;
        QList<PortInfo> present;
        for (const QString &path : entries)
            present << PortInfo {path, {}, {}, {}, {}, {}};
        dlg.setScanner([&](const QString &) { return kr44::PortScan {present, {"/dev/ttyACM0"}}; });
        dlg.setPortName("COM2");
        dlg.setBaudRate(38400);
        dlg.show();
        QVERIFY(dlg.portList()->currentText() == s1 && dlg.baudList()->currentText() == "19200");
        QVERIFY(dlg.accessNote().startsWith("/dev/ttyACM0 cannot be opened")
                && dlg.accessNote().contains("\"dialout\""));
        dlg.portList()->setCurrentIndex(1);
        dlg.baudList()->setCurrentIndex(1);
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(dlg.result() == QDialog::Accepted && dlg.portName() == s0 && dlg.baudRate() == 2400);
        present << PortInfo {usb, {}, {}, {}, {}, {}};
        dlg.setPortName(usb);
        dlg.show();
        QCOMPARE(dlg.portList()->currentText(), usb);
        dlg.portList()->setCurrentIndex(0);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(dlg.result() == QDialog::Rejected && dlg.portName() == usb
                && dlg.baudRate() == 2400);
        present.clear(); // with nothing listed OK keeps the port
        dlg.show();
        dlg.accept();
        QCOMPARE(dlg.portName(), usb);
    }

    // A device held by another program is not offered; the system never reports
    // pseudo-terminals, but one given as the current port is listed.
    void probeOnAPseudoTerminal()
    {
        PtyPeer peer;
        QSerialPort holder(peer.path());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        QCOMPARE(kr44::probeSerialPort(peer.path()), Probe::Unavailable);
        QCOMPARE(kr44::probeSerialPort("/dev/kr44-no-such-port"), Probe::Unavailable);
        holder.close();
        const auto system
                = kr44::scanPorts(kr44::systemSerialPorts(), peer.path(), &kr44::probeSerialPort);
        QVERIFY(!system.ports.isEmpty() && system.ports.size() <= kr44::kMaxListedPorts + 1);
        QCOMPARE(system.ports.first().path, peer.path());
    }
};

KR44_TEST(TestPortSettings)
#include "tst_portsettings.moc"
