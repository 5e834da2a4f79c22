#include "appsettings.h"
#include "commandline.h"
#include "testmain.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using Action = CommandLineRequest::Action;
Q_DECLARE_METATYPE(CommandLineRequest::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("printTo");
        QTest::addColumn<bool>("byUser");
        QTest::newRow("plain") << QStringList{} << Action::New << "" << QStringList{"", "", ""} << true;
        QTest::newRow("file") << QStringList{"a.krp"} << Action::Open << "a.krp" << QStringList{"", "", ""} << true;
        QTest::newRow("absolute file") << QStringList{"/home/u/a.krp"} << Action::Open << "/home/u/a.krp"
                                       << QStringList{"", "", ""} << true;
        QTest::newRow("file at root") << QStringList{"/a.krp"} << Action::Open << "/a.krp" << QStringList{"", "", ""} << true;
        QTest::newRow("first file only") << QStringList{"a.krp", "b.krp"} << Action::Open << "a.krp"
                                         << QStringList{"", "", ""} << true;
        QTest::newRow("print slash") << QStringList{"/p", "a.krp"} << Action::Print << "a.krp" << QStringList{"", "", ""} << true;
        QTest::newRow("print dash after file") << QStringList{"a.krp", "-p"} << Action::Print << "a.krp"
                                               << QStringList{"", "", ""} << true;
        QTest::newRow("P is not p") << QStringList{"/P", "a.krp"} << Action::Open << "/P" << QStringList{"", "", ""} << true;
        QTest::newRow("-P ignored") << QStringList{"-P", "a.krp"} << Action::Open << "a.krp" << QStringList{"", "", ""} << true;
        QTest::newRow("print to") << QStringList{"/pt", "a.krp", "Laser", "drv", "lp0"} << Action::PrintTo << "a.krp"
                                  << QStringList{"Laser", "drv", "lp0"} << true;
        QTest::newRow("print to, options between") << QStringList{"-pt", "a.krp", "-Embedding", "Laser", "drv", "lp0", "x"}
                                                   << Action::PrintTo << "a.krp" << QStringList{"Laser", "drv", "lp0"} << false;
        QTest::newRow("dde") << QStringList{"/dde"} << Action::Dde << "" << QStringList{"", "", ""} << false;
        QTest::newRow("DDE is not dde") << QStringList{"-DDE"} << Action::New << "" << QStringList{"", "", ""} << true;
        QTest::newRow("unregister any case") << QStringList{"/UNREGISTER"} << Action::Unregister << ""
                                             << QStringList{"", "", ""} << true;
        QTest::newRow("unregserver") << QStringList{"-unregserver"} << Action::Unregister << "" << QStringList{"", "", ""} << true;
        QTest::newRow("automation") << QStringList{"/automation"} << Action::New << "" << QStringList{"", "", ""} << false;
        QTest::newRow("help") << QStringList{"--help", "a.krp"} << Action::Help << "a.krp" << QStringList{"", "", ""} << true;
        QTest::newRow("version") << QStringList{"--version"} << Action::Version << "" << QStringList{"", "", ""} << true;
        QTest::newRow("pdf") << QStringList{"--print-pdf=out.pdf", "a.krp"} << Action::PrintPdf << "a.krp"
                             << QStringList{"", "", ""} << true;
        QTest::newRow("pdf separate") << QStringList{"--print-pdf", "out.pdf", "a.krp"} << Action::PrintPdf << "a.krp"
                                      << QStringList{"", "", ""} << true;
        QTest::newRow("pdf without file") << QStringList{"--print-pdf=out.pdf"} << Action::Help << ""
                                          << QStringList{"", "", ""} << true;
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(Action, action);
        QFETCH(QString, file);
        QFETCH(QStringList, printTo);
        QFETCH(bool, byUser);
        const CommandLineRequest r = parseCommandLine(args);
        QCOMPARE(r.action, action);
        QCOMPARE(r.fileName, file);
        QCOMPARE((QStringList{r.printer, r.driver, r.port}), printTo);
        QCOMPARE(r.startedByUser, byUser);
    }

    void recentFiles()
    {
        RecentFileList list;
        for (const char *name : {"/p/a.krp", "/p/b.krp", "/p/c.krp", "/p/d.krp", "/p/e.krp"})
            list.add(QString::fromLatin1(name));
        QCOMPARE(list.entries(), (QStringList{"/p/e.krp", "/p/d.krp", "/p/c.krp", "/p/b.krp"}));
        list.add(QStringLiteral("/p/c.krp"));
        QCOMPARE(list.entries(), (QStringList{"/p/c.krp", "/p/e.krp", "/p/d.krp", "/p/b.krp"}));
        QCOMPARE(list.menuText(0), QStringLiteral("&1 /p/c.krp"));

        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        list.save(settings);
        RecentFileList loaded;
        loaded.load(settings);
        QCOMPARE(loaded.entries(), list.entries());
        QCOMPARE(settings.value(QStringLiteral("Recent File List/File1")).toString(), QStringLiteral("/p/c.krp"));
        loaded.remove(QStringLiteral("/p/e.krp"));
        loaded.save(settings);
        QVERIFY(!settings.contains(QStringLiteral("Recent File List/File4")));
    }

    void abbreviation_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short") << "/home/u/a.krp" << "/home/u/a.krp";
        QTest::newRow("long") << "/home/someone/projects/axis/feeder/program.krp" << "/home/.../feeder/program.krp";
        QTest::newRow("long name") << "/x/averyveryveryverylongprogramname.krp" << "averyveryveryverylongprogra...";
    }
    void abbreviation()
    {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        QCOMPARE(abbreviatePath(path, 30), shown);
        QVERIFY(abbreviatePath(path, 30).size() <= 30);
    }

    void commSettings()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        CommSettings comm;
        comm.load(settings);
        QCOMPARE(comm.port, QStringLiteral("COM1"));
        QCOMPARE(comm.baud, 19200);
        QVERIFY(!settings.contains(QStringLiteral("Communication/COMPort"))); // read does not store
        settings.setValue(QStringLiteral("Communication/BaudRate"), QStringLiteral(" 9600 baud"));
        comm.load(settings);
        QCOMPARE(comm.baud, 9600);
        comm.port = QStringLiteral("/dev/ttyUSB0");
        comm.baud = 4800;
        comm.save(settings);
        QCOMPARE(settings.value(QStringLiteral("Communication/BaudRate")).toString(), QStringLiteral("4800"));
        CommSettings again;
        again.load(settings);
        QCOMPARE(again.port, QStringLiteral("/dev/ttyUSB0"));
    }
};

KR44_TEST(TestCommandLine)
#include "tst_commandline.moc"
