#include "portscan.h"
#include "portsettingsdlg.h"
#include "ptypeer.h"
#include "testmain.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QTest>

#include <map>

using kr44::PortInfo;
using kr44::PortProbeResult;
using kr44::PortScan;

namespace {

PortInfo port(const QString &path)
{
    return PortInfo{path, {}, {}, {}, {}, {}};
}

QList<PortInfo> ports(const QStringList &paths)
{
    QList<PortInfo> out;
    for (const QString &p : paths)
        out << port(p);
    return out;
}

QStringList pathsOf(const QList<PortInfo> &list)
{
    QStringList out;
    for (const PortInfo &p : list)
        out << p.path;
    return out;
}

// A probe that answers from a table (Opened for paths not in it) and counts its calls.
struct TableProbe
{
    std::map<QString, PortProbeResult> results;
    QStringList probed;

    kr44::PortProbe probe()
    {
        return [this](const QString &path) {
            probed << path;
            const auto it = results.find(path);
            return it == results.end() ? PortProbeResult::Opened : it->second;
        };
    }
};

QStringList itemsOf(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

// Which ports the settings dialog offers and selects, and what OK and Cancel return.
class TestPortSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void comNames_data();
    void comNames();
    void devicePathOrder();
    void portIndex_data();
    void portIndex();
    void baudIndex_data();
    void baudIndex();
    void scanOrderAndLimit();
    void scanSkipsWhatDoesNotOpen();
    void scanNamesDevicesWithoutAccess();
    void scanKeepsTheCurrentPath_data();
    void scanKeepsTheCurrentPath();
    void toolTips();
    void accessNote();

    void dialogIdentity();
    void dialogSelection_data();
    void dialogSelection();
    void okTakesTheChoice();
    void okWithNoPorts();
    void cancelReturnsNothing();
    void listBuiltAfreshEachShow();
    void dialogShowsToolTipsAndNote();

    void probeOnPseudoTerminal();
    void systemScanListsACurrentPseudoTerminal();
};

void TestPortSettings::comNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM1") << QStringLiteral("COM1") << QStringLiteral("/dev/ttyS0");
    QTest::newRow("com8") << QStringLiteral("com8") << QStringLiteral("/dev/ttyS7");
    QTest::newRow("Com3") << QStringLiteral("Com3") << QStringLiteral("/dev/ttyS2");
    QTest::newRow("COM9 is beyond the set") << QStringLiteral("COM9") << QString();
    QTest::newRow("COM0") << QStringLiteral("COM0") << QString();
    QTest::newRow("COM10") << QStringLiteral("COM10") << QString();
    QTest::newRow("COM") << QStringLiteral("COM") << QString();
    QTest::newRow("a device path") << QStringLiteral("/dev/ttyS0") << QString();
}

void TestPortSettings::comNames()
{
    QFETCH(QString, name);
    QFETCH(QString, device);
    QCOMPARE(kr44::devicePathForComName(name), device);
}

void TestPortSettings::devicePathOrder()
{
    QStringList paths = {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS10"),
                         QStringLiteral("/dev/ttyS2"),   QStringLiteral("/dev/ttyACM0"),
                         QStringLiteral("/dev/ttyS0"),   QStringLiteral("/dev/ttyS"),
                         QStringLiteral("/dev/ttyS02")};
    std::sort(paths.begin(), paths.end(), &kr44::devicePathLess);
    QCOMPARE(paths, (QStringList{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyS"),
                                 QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS2"),
                                 QStringLiteral("/dev/ttyS02"), QStringLiteral("/dev/ttyS10"),
                                 QStringLiteral("/dev/ttyUSB0")}));
    QVERIFY(!kr44::devicePathLess(QStringLiteral("/dev/ttyS1"), QStringLiteral("/dev/ttyS1")));
}

void TestPortSettings::portIndex_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("index");

    const QStringList com = {QStringLiteral("COM1"), QStringLiteral("COM2")};
    const QStringList dev = {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1"),
                             QStringLiteral("/dev/ttyUSB0")};
    QTest::newRow("exact") << com << QStringLiteral("COM2") << 1;
    QTest::newRow("ignoring case") << com << QStringLiteral("com2") << 1;
    QTest::newRow("no match selects the first") << com << QStringLiteral("COM3") << 0;
    QTest::newRow("prefix matches the first beginning with it") << com << QStringLiteral("COM") << 0;
    QTest::newRow("empty name matches the first") << com << QString() << 0;
    QTest::newRow("device path") << dev << QStringLiteral("/dev/ttyUSB0") << 2;
    QTest::newRow("COM name selects its device") << dev << QStringLiteral("COM2") << 1;
    QTest::newRow("com name any case") << dev << QStringLiteral("com1") << 0;
    QTest::newRow("COM name without its device") << dev << QStringLiteral("COM5") << 0;
    QTest::newRow("empty list") << QStringList() << QStringLiteral("COM1") << 0;
}

void TestPortSettings::portIndex()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, current);
    QFETCH(int, index);
    QCOMPARE(kr44::portIndexFor(entries, current), index);
}

void TestPortSettings::baudIndex_data()
{
    QTest::addColumn<qint32>("baud");
    QTest::addColumn<int>("index");
    QTest::newRow("1200") << 1200 << 0;
    QTest::newRow("2400") << 2400 << 1;
    QTest::newRow("4800") << 4800 << 2;
    QTest::newRow("9600") << 9600 << 3;
    QTest::newRow("19200") << 19200 << 4;
    QTest::newRow("38400 unlisted") << 38400 << 4;
    QTest::newRow("0 from a setting without digits") << 0 << 4;
    QTest::newRow("negative") << -9600 << 4;
}

void TestPortSettings::baudIndex()
{
    QFETCH(qint32, baud);
    QFETCH(int, index);
    QCOMPARE(kr44::baudIndexFor(baud), index);
}

void TestPortSettings::scanOrderAndLimit()
{
    TableProbe probe;
    const QList<PortInfo> reported = ports({
        QStringLiteral("/dev/ttyUSB1"), QStringLiteral("/dev/ttyS9"), QStringLiteral("/dev/ttyS0"),
        QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS10"), QStringLiteral("/dev/ttyS1"),
        QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyS2"), QStringLiteral("/dev/ttyS3"),
        QStringLiteral("/dev/ttyS0"),
    });
    const PortScan scan = kr44::scanPorts(reported, QStringLiteral("COM1"), probe.probe());
    QCOMPARE(pathsOf(scan.ports),
             (QStringList{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyS0"),
                          QStringLiteral("/dev/ttyS1"), QStringLiteral("/dev/ttyS2"),
                          QStringLiteral("/dev/ttyS3"), QStringLiteral("/dev/ttyS9"),
                          QStringLiteral("/dev/ttyS10"), QStringLiteral("/dev/ttyUSB0")}));
    QVERIFY(scan.noAccess.isEmpty());
    // Once eight are listed nothing more is opened.
    QCOMPARE(probe.probed.size(), 8);

    // The current port beyond the eighth is still offered, first.
    const PortScan withCurrent = kr44::scanPorts(reported, QStringLiteral("/dev/ttyUSB1"), probe.probe());
    QCOMPARE(withCurrent.ports.size(), 9);
    QCOMPARE(withCurrent.ports.first().path, QStringLiteral("/dev/ttyUSB1"));
}

void TestPortSettings::scanSkipsWhatDoesNotOpen()
{
    TableProbe probe;
    probe.results[QStringLiteral("/dev/ttyS0")] = PortProbeResult::Unavailable;
    probe.results[QStringLiteral("/dev/ttyS2")] = PortProbeResult::Unavailable;
    QStringList paths;
    for (int i = 0; i < 10; ++i)
        paths << QStringLiteral("/dev/ttyS%1").arg(i);
    const PortScan scan = kr44::scanPorts(ports(paths), QString(), probe.probe());
    QCOMPARE(pathsOf(scan.ports),
             (QStringList{QStringLiteral("/dev/ttyS1"), QStringLiteral("/dev/ttyS3"),
                          QStringLiteral("/dev/ttyS4"), QStringLiteral("/dev/ttyS5"),
                          QStringLiteral("/dev/ttyS6"), QStringLiteral("/dev/ttyS7"),
                          QStringLiteral("/dev/ttyS8"), QStringLiteral("/dev/ttyS9")}));
}

void TestPortSettings::scanNamesDevicesWithoutAccess()
{
    TableProbe probe;
    probe.results[QStringLiteral("/dev/ttyUSB0")] = PortProbeResult::NoAccess;
    const PortScan scan = kr44::scanPorts(
        ports({QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS0")}), QString(), probe.probe());
    QCOMPARE(pathsOf(scan.ports), QStringList{QStringLiteral("/dev/ttyS0")});
    QCOMPARE(scan.noAccess, QStringList{QStringLiteral("/dev/ttyUSB0")});
}

void TestPortSettings::scanKeepsTheCurrentPath_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<PortProbeResult>("currentOpens");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("noAccess");

    const QString s0 = QStringLiteral("/dev/ttyS0");
    const QString s1 = QStringLiteral("/dev/ttyS1");
    const QString usb = QStringLiteral("/dev/serial/by-id/usb-KR44-if00");
    QTest::newRow("unreported path that opens is listed first")
        << usb << PortProbeResult::Opened << QStringList{usb, s0, s1} << QStringList();
    QTest::newRow("unreported path that does not open")
        << usb << PortProbeResult::Unavailable << QStringList{s0, s1} << QStringList();
    QTest::newRow("unreported path without access")
        << usb << PortProbeResult::NoAccess << QStringList{s0, s1} << QStringList{usb};
    QTest::newRow("reported path stays in its place")
        << s1 << PortProbeResult::Opened << QStringList{s0, s1} << QStringList();
    QTest::newRow("reported path that does not open is left out")
        << s1 << PortProbeResult::Unavailable << QStringList{s0} << QStringList();
    QTest::newRow("a COM name is no path")
        << QStringLiteral("COM2") << PortProbeResult::Opened << QStringList{s0, s1} << QStringList();
}

void TestPortSettings::scanKeepsTheCurrentPath()
{
    QFETCH(QString, current);
    QFETCH(PortProbeResult, currentOpens);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, noAccess);

    TableProbe probe;
    probe.results[current] = currentOpens;
    const PortScan scan = kr44::scanPorts(ports({QStringLiteral("/dev/ttyS1"), QStringLiteral("/dev/ttyS0")}),
                                          current, probe.probe());
    QCOMPARE(pathsOf(scan.ports), listed);
    QCOMPARE(scan.noAccess, noAccess);
    // Every device is tried once.
    QCOMPARE(probe.probed.removeDuplicates(), 0);
}

void TestPortSettings::toolTips()
{
    PortInfo full{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"),
                  QStringLiteral("FTDI"), quint16(0x0403), quint16(0x6001), QStringLiteral("A50285BI")};
    QCOMPARE(kr44::portToolTip(full), QStringLiteral("FT232R USB UART\nFTDI\nUSB vendor 0403, product 6001\n"
                                                     "Serial number A50285BI"));
    QCOMPARE(kr44::portToolTip(port(QStringLiteral("/dev/ttyS0"))), QStringLiteral("/dev/ttyS0"));
}

void TestPortSettings::accessNote()
{
    QCOMPARE(kr44::noAccessNote({}), QString());
    const QString one = kr44::noAccessNote({QStringLiteral("/dev/ttyUSB0")});
    QVERIFY(one.startsWith(QStringLiteral("/dev/ttyUSB0 ")));
    QVERIFY(one.contains(QStringLiteral("\"dialout\"")));
    QVERIFY(!one.contains(u'\n'));
    const QString two = kr44::noAccessNote({QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB1")});
    QVERIFY(two.startsWith(QStringLiteral("/dev/ttyUSB0, /dev/ttyUSB1 ")));
}

void TestPortSettings::dialogIdentity()
{
    CPortSettingsDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Communications Port Settings"));
    QCOMPARE(itemsOf(dlg.baudList()), (QStringList{QStringLiteral("1200"), QStringLiteral("2400"),
                                                   QStringLiteral("4800"), QStringLiteral("9600"),
                                                   QStringLiteral("19200")}));
    QVERIFY(!dlg.baudList()->isEditable());
    QVERIFY(!dlg.portList()->isEditable());
    const auto labels = dlg.findChildren<QLabel *>();
    QStringList texts;
    for (const QLabel *l : labels)
        texts << l->text();
    QVERIFY(texts.contains(QStringLiteral("&COM port")));
    QVERIFY(texts.contains(QStringLiteral("&Baud rate")));
    for (const QWidget *w : dlg.findChildren<QWidget *>()) {
        if (w->parentWidget() != &dlg)
            continue;
        QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
        QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }
    auto *ok = dlg.findChild<QPushButton *>(QStringLiteral("okButton"));
    QVERIFY(ok && ok->isDefault());
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(dlg.findChild<QPushButton *>(QStringLiteral("cancelButton"))->text(), QStringLiteral("Cancel"));
}

void TestPortSettings::dialogSelection_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("port");
    QTest::addColumn<qint32>("baud");
    QTest::addColumn<int>("portIndex");
    QTest::addColumn<QString>("baudText");

    const QStringList com = {QStringLiteral("COM1"), QStringLiteral("COM2")};
    QTest::newRow("COM2 at 9600") << com << QStringLiteral("COM2") << 9600 << 1 << QStringLiteral("9600");
    QTest::newRow("lower-case com2") << com << QStringLiteral("com2") << 1200 << 1 << QStringLiteral("1200");
    QTest::newRow("current not listed selects the first") << com << QStringLiteral("COM3") << 4800 << 0 << QStringLiteral("4800");
    QTest::newRow("38400 selects 19200") << com << QStringLiteral("COM1") << 38400 << 0 << QStringLiteral("19200");
    QTest::newRow("0 selects 19200") << com << QStringLiteral("COM1") << 0 << 0 << QStringLiteral("19200");
    QTest::newRow("legacy COM2 selects /dev/ttyS1")
        << QStringList{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1")} << QStringLiteral("COM2")
        << 2400 << 1 << QStringLiteral("2400");
    QTest::newRow("no port present") << QStringList() << QStringLiteral("COM1") << 9600 << -1 << QStringLiteral("9600");
}

void TestPortSettings::dialogSelection()
{
    QFETCH(QStringList, present);
    QFETCH(QString, port);
    QFETCH(qint32, baud);
    QFETCH(int, portIndex);
    QFETCH(QString, baudText);

    CPortSettingsDlg dlg;
    dlg.setScanner([&](const QString &) { return PortScan{ports(present), {}}; });
    dlg.m_strPort = port;
    dlg.m_nBaud = baud;
    dlg.show();
    QCOMPARE(itemsOf(dlg.portList()), present);
    QCOMPARE(dlg.portList()->currentIndex(), portIndex);
    QCOMPARE(dlg.baudList()->currentText(), baudText);
}

void TestPortSettings::okTakesTheChoice()
{
    CPortSettingsDlg dlg;
    dlg.setScanner([](const QString &) {
        return PortScan{ports({QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")}), {}};
    });
    dlg.m_strPort = QStringLiteral("/dev/ttyS0");
    dlg.m_nBaud = 38400;
    dlg.show();
    // Unchanged, OK switches an unlisted rate to 19200.
    dlg.findChild<QPushButton *>(QStringLiteral("okButton"))->click();
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_strPort, QStringLiteral("/dev/ttyS0"));
    QCOMPARE(dlg.m_nBaud, 19200);

    dlg.show();
    dlg.portList()->setCurrentIndex(1);
    dlg.baudList()->setCurrentIndex(1);
    QTest::keyClick(&dlg, Qt::Key_Return);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_strPort, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(dlg.m_nBaud, 2400);
}

void TestPortSettings::okWithNoPorts()
{
    CPortSettingsDlg dlg;
    dlg.setScanner([](const QString &) { return PortScan{}; });
    dlg.m_strPort = QStringLiteral("/dev/ttyUSB7");
    dlg.m_nBaud = 19200;
    dlg.show();
    dlg.baudList()->setCurrentIndex(0);
    dlg.accept();
    QCOMPARE(dlg.m_strPort, QStringLiteral("/dev/ttyUSB7"));
    QCOMPARE(dlg.m_nBaud, 1200);
}

void TestPortSettings::cancelReturnsNothing()
{
    CPortSettingsDlg dlg;
    dlg.setScanner([](const QString &) { return PortScan{ports({QStringLiteral("/dev/ttyS0")}), {}}; });
    dlg.m_strPort = QStringLiteral("COM4");
    dlg.m_nBaud = 38400;
    dlg.show();
    dlg.baudList()->setCurrentIndex(0);
    dlg.findChild<QPushButton *>(QStringLiteral("cancelButton"))->click();
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(dlg.m_strPort, QStringLiteral("COM4"));
    QCOMPARE(dlg.m_nBaud, 38400);

    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
    QCOMPARE(dlg.m_strPort, QStringLiteral("COM4"));
}

void TestPortSettings::listBuiltAfreshEachShow()
{
    CPortSettingsDlg dlg;
    QStringList present = {QStringLiteral("/dev/ttyS0")};
    QStringList askedFor;
    dlg.setScanner([&](const QString &current) {
        askedFor << current;
        return PortScan{ports(present), {}};
    });
    dlg.m_strPort = QStringLiteral("/dev/ttyUSB0");
    dlg.show();
    QCOMPARE(itemsOf(dlg.portList()), present);
    dlg.reject();

    present = {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")};
    dlg.show();
    QCOMPARE(itemsOf(dlg.portList()), present);
    QCOMPARE(dlg.portList()->currentText(), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(askedFor, (QStringList{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB0")}));
}

void TestPortSettings::dialogShowsToolTipsAndNote()
{
    CPortSettingsDlg dlg;
    dlg.setScanner([](const QString &) {
        PortInfo usb{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("USB-Serial Controller"),
                     QStringLiteral("Prolific"), quint16(0x067b), quint16(0x2303), {}};
        return PortScan{{usb}, {QStringLiteral("/dev/ttyACM0")}};
    });
    dlg.show();
    QCOMPARE(dlg.portList()->itemData(0, Qt::ToolTipRole).toString(),
             QStringLiteral("USB-Serial Controller\nProlific\nUSB vendor 067b, product 2303"));
    QCOMPARE(dlg.accessNote(), kr44::noAccessNote({QStringLiteral("/dev/ttyACM0")}));
    QVERIFY(dlg.findChild<QLabel *>(QStringLiteral("accessNote"))->isVisible());

    CPortSettingsDlg quiet;
    quiet.setScanner([](const QString &) { return PortScan{}; });
    quiet.show();
    QVERIFY(quiet.accessNote().isEmpty());
    QVERIFY(!quiet.findChild<QLabel *>(QStringLiteral("accessNote"))->isVisible());
}

void TestPortSettings::probeOnPseudoTerminal()
{
    PtyPeer peer;
    QVERIFY(peer.isValid());
    QCOMPARE(kr44::probeSerialPort(peer.path()), PortProbeResult::Opened);
    QCOMPARE(kr44::probeSerialPort(QStringLiteral("/dev/kr44-no-such-port")), PortProbeResult::Unavailable);

    // Held open by another program: not offered.
    QSerialPort holder;
    holder.setPortName(peer.path());
    QVERIFY(holder.open(QIODevice::ReadWrite));
    QCOMPARE(kr44::probeSerialPort(peer.path()), PortProbeResult::Unavailable);
    holder.close();
    QCOMPARE(kr44::probeSerialPort(peer.path()), PortProbeResult::Opened);
}

void TestPortSettings::systemScanListsACurrentPseudoTerminal()
{
    // The system never reports pseudo-terminals; one given as the current port is listed first.
    PtyPeer peer;
    QVERIFY(peer.isValid());
    const PortScan scan = kr44::scanPorts(kr44::systemSerialPorts(), peer.path(), &kr44::probeSerialPort);
    QVERIFY(!scan.ports.isEmpty());
    QCOMPARE(scan.ports.first().path, peer.path());
    QVERIFY(scan.ports.size() <= kr44::kMaxListedPorts + 1);
}

KR44_TEST(TestPortSettings)
#include "tst_portsettings.moc"
