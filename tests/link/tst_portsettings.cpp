#include "link/portscan.h"
#include "linkwidgets/portsettingsdialog.h"
#include "processes.h"
#include "ptypeer.h"
#include "testmain.h"

#include <QComboBox>
#include <QScopeGuard>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace kr44;

using kr44::PortInfo;
using Probe = kr44::PortProbeResult;

static PortInfo at(const QString &path) { return PortInfo {path, {}, {}, {}, {}, {}, {}}; }

// As another user: the list's note and the status for port args[1], stable names in args[0].
static int accessTexts(const QStringList &args)
{
    kr44::setStableNameFolders({args.at(0)});
    const auto scan
            = kr44::scanPorts(kr44::systemSerialPorts(), args.at(1), &kr44::probeSerialPort);
    std::printf("%s\n%s\n", qPrintable(kr44::noAccessNote(scan.noAccess)),
                qPrintable(kr44::linkStatusText("Not connected", args.at(1), 19200, false)));
    return 0;
}
KR44_TEST_HELPER("accessTexts", accessTexts)

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
            ports << at(path);
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
        QList<PortInfo> present = {at("/dev/ttyUSB9")};
        for (const QString &path : entries)
            present << at(path);
        dlg.setPortSource([&] { return present; },
                          [](const QString &path) {
                              return path.endsWith("USB9") ? Probe::NoAccess : Probe::Opened;
                          });
        dlg.setPortName("COM2");
        dlg.setBaudRate(38400);
        dlg.show();
        QVERIFY(dlg.portList()->currentText() == s1 && dlg.baudList()->currentText() == "19200");
        QVERIFY(dlg.accessNote().startsWith("/dev/ttyUSB9 cannot be opened")
                && dlg.accessNote().contains("\"dialout\""));
        dlg.portList()->setCurrentIndex(1);
        dlg.baudList()->setCurrentIndex(1);
        QTest::keyClick(&dlg, Qt::Key_Return);
        QVERIFY(dlg.result() == QDialog::Accepted && dlg.portName() == s0 && dlg.baudRate() == 2400);
        present << at(usb);
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

    // A device with a stable name is listed with it, chosen and found again under it on another
    // device; the open list follows devices that come and go and keeps the choice.
    void stableNamesFollowTheAdapter()
    {
        QTemporaryDir dir;
        const auto restore = qScopeGuard(
                [old = kr44::stableNameFolders()] { kr44::setStableNameFolders(old); });
        kr44::setStableNameFolders({dir.path()});
        PtyPeer a, b;
        const QString linkA = dir.filePath("usb-KR44_A-if00"), linkB = dir.filePath("usb-KR44_B");
        QVERIFY(QFile::link(a.path(), linkA));
        PortSettingsDialog dlg;
        dlg.setPortName(a.path());
        dlg.show();
        QCOMPARE(dlg.portList()->currentText(), a.path() + " - usb-KR44_A-if00");
        QVERIFY(QFile::link(b.path(), linkB));
        QTRY_VERIFY(dlg.portList()->findData(linkB) >= 0);
        dlg.accept();
        QCOMPARE(dlg.portName(), linkA);
        PtyPeer c; // replugged under another name
        a.closeMaster();
        QVERIFY(QFile::remove(linkA) && QFile::link(c.path(), linkA));
        dlg.show();
        QCOMPARE(dlg.portList()->currentText(), c.path() + " - usb-KR44_A-if00");
        QCOMPARE(kr44::linkStatusText("", linkA, 2400, true),
                 "Using usb-KR44_A-if00 (" + c.path() + "), 2400 baud");
        const PortInfo ftdi {usb, "FT232R USB UART", "FTDI", 0x403, 0x6001, "A10K3XYZ", linkA};
        QCOMPARE(kr44::portEntryText(ftdi),
                 usb + " - FT232R USB UART (FTDI, serial A10K3XYZ, USB 0403:6001)");
    }

    // A device this user may not open is named, in the list's note and in the status, with
    // the group that owns it, the command that adds the user to it and the new login.
    void noPermissionNamesTheGroup()
    {
        if (geteuid() != 0 || !QFileInfo::exists(QStringLiteral("/usr/bin/setpriv")))
            QSKIP("needs root and setpriv to run as another user");
        QTemporaryDir dir;
        PtyPeer peer;
        const QString link = dir.filePath("usb-KR44-if00");
        QVERIFY(kr44test::runCommand({"chgrp", "dialout", peer.path()}).exitCode == 0
                && QFile::setPermissions(peer.path(), QFileDevice::Permissions(0x0660))
                && QFile::link(peer.path(), link)
                && QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7555)));
        const QStringList nobody {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                  "--clear-groups"};
        const QString hint = "%1 cannot be opened: it belongs to the group \"dialout\". Add "
                             "yourself to it with \"sudo usermod -aG dialout nobody\", then log "
                             "out and in again.";
        const QStringList helper = kr44test::helperCommand("accessTexts", {dir.path(), link});
        const QString out = kr44test::runCommand(nobody + helper).out;
        QVERIFY2(out.contains(hint.arg(peer.path()) + "\n")
                         && out.endsWith("\nNot connected - " + hint.arg(link) + "\n"),
                 qPrintable(out));
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
