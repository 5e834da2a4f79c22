#include "simoptions.h"
#include "testmain.h"

#include <QCommandLineParser>
#include <QTest>

using namespace kr44;

class TestSimOptions : public QObject
{
    Q_OBJECT

    static bool parse(const QStringList &args, SimOptions &options, QString &error)
    {
        QCommandLineParser parser;
        addSimOptions(parser);
        if (!parser.parse(QStringList{QStringLiteral("kr44-sim")} + args)) {
            error = parser.errorText();
            return false;
        }
        return readSimOptions(parser, options, error);
    }

private Q_SLOTS:
    void defaults()
    {
        SimOptions options;
        options.timeScale = 7; // overwritten by the defaults
        QString error;
        QVERIFY(parse({}, options, error));
        const UnitConfig fresh;
        QCOMPARE(options.unit.inputs, fresh.inputs);
        QCOMPARE(options.unit.endOfTravelMinus, fresh.endOfTravelMinus);
        QCOMPARE(options.unit.endOfTravelPlus, fresh.endOfTravelPlus);
        QCOMPARE(options.unit.capacity, fresh.capacity);
        QCOMPARE(options.timeScale, 1.0);
        QVERIFY(options.linkPath.isEmpty());
        QVERIFY(!options.quiet);
    }

    void values()
    {
        SimOptions options;
        QString error;
        QVERIFY2(parse({"--inputs", "hLH", "--eot-minus", "-500", "--eot-plus=2500", "--time-scale", "12.5",
                        "--capacity", "40", "--link", "/tmp/kr44", "--quiet"},
                       options, error),
                 qPrintable(error));
        QCOMPARE(options.unit.inputs, (std::array<bool, 3>{true, false, true}));
        QCOMPARE(options.unit.endOfTravelMinus, -500);
        QCOMPARE(options.unit.endOfTravelPlus, 2500);
        QCOMPARE(options.timeScale, 12.5);
        QCOMPARE(options.unit.capacity, 40);
        QCOMPARE(options.linkPath, QStringLiteral("/tmp/kr44"));
        QVERIFY(options.quiet);
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("two inputs") << QStringList{"--inputs", "LH"} << "--inputs";
        QTest::newRow("input level X") << QStringList{"--inputs", "LHX"} << "--inputs";
        QTest::newRow("eot- at the start") << QStringList{"--eot-minus", "0"} << "--eot-minus";
        QTest::newRow("eot- positive") << QStringList{"--eot-minus", "10"} << "--eot-minus";
        QTest::newRow("eot- not a number") << QStringList{"--eot-minus", "far"} << "--eot-minus";
        QTest::newRow("eot+ negative") << QStringList{"--eot-plus", "-1"} << "--eot-plus";
        QTest::newRow("eot+ too far") << QStringList{"--eot-plus", "1000000001"} << "--eot-plus";
        QTest::newRow("scale zero") << QStringList{"--time-scale", "0"} << "--time-scale";
        QTest::newRow("scale negative") << QStringList{"--time-scale", "-2"} << "--time-scale";
        QTest::newRow("scale infinite") << QStringList{"--time-scale", "inf"} << "--time-scale";
        QTest::newRow("scale text") << QStringList{"--time-scale", "fast"} << "--time-scale";
        QTest::newRow("capacity zero") << QStringList{"--capacity", "0"} << "--capacity";
        QTest::newRow("capacity text") << QStringList{"--capacity", "lots"} << "--capacity";
    }
    void refused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, mentions);
        SimOptions options;
        options.unit.capacity = 77;
        QString error;
        QVERIFY(!parse(args, options, error));
        QVERIFY2(error.contains(mentions), qPrintable(error));
        QCOMPARE(options.unit.capacity, 77); // untouched on failure
    }

    void inputCommands_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("input"); // 0: refused
        QTest::addColumn<bool>("high");
        QTest::newRow("1H") << QByteArray("1H") << 1 << true;
        QTest::newRow("3l") << QByteArray("3l") << 3 << false;
        QTest::newRow("padded") << QByteArray(" 2H\r") << 2 << true;
        QTest::newRow("input 4") << QByteArray("4H") << 0 << false;
        QTest::newRow("input 0") << QByteArray("0L") << 0 << false;
        QTest::newRow("no level") << QByteArray("2") << 0 << false;
        QTest::newRow("bad level") << QByteArray("2X") << 0 << false;
        QTest::newRow("too long") << QByteArray("2HH") << 0 << false;
        QTest::newRow("empty") << QByteArray() << 0 << false;
    }
    void inputCommands()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, input);
        QFETCH(bool, high);
        const auto command = parseInputCommand(line);
        QCOMPARE(command.has_value(), input != 0);
        if (command) {
            QCOMPARE(command->input, input);
            QCOMPARE(command->high, high);
        }
    }

    void printable()
    {
        QCOMPARE(printableBytes("E3 12\r"), QByteArray("E3 12\\r"));
        QCOMPARE(printableBytes(QByteArray("a\nb\\c\0\x7f\xb0", 8)), QByteArray("a\\nb\\\\c\\x00\\x7F\\xB0"));
    }
};

KR44_TEST(TestSimOptions)
#include "tst_simoptions.moc"
