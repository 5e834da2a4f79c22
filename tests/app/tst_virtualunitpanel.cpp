#include "appprompt.h"
#include "commands.h"
#include "commandwnd.h"
#include "framelink.h"
#include "kr44app.h"
#include "mainframe.h"
#include "positionplot.h"
#include "ptyunit.h"
#include "processes.h"
#include "virtualunitpanel.h"
#include "testmain.h"

#include <QAction>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <memory>

using kr44::AxisScale;
using kr44::TracePoint;
using kr44::VirtualUnit;

namespace {

QString textOf(const QWidget *root, const char *name)
{
    const auto *label = root->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

// An output lamp's state as assistive technology reads it.
QString lampOf(const QWidget *root, int output)
{
    const auto *lamp = root->findChild<QLabel *>(QStringLiteral("output%1").arg(output));
    return lamp ? lamp->accessibleDescription() : QStringLiteral("<no lamp>");
}

QToolButton *inputSwitch(const QWidget *root, int input)
{
    return root->findChild<QToolButton *>(QStringLiteral("input%1").arg(input));
}

QByteArray download(const QList<QByteArray> &lines)
{
    QByteArray bytes = "P\r";
    for (const QByteArray &line : lines)
        bytes += line + '\r';
    return bytes + "P\r";
}

// The application side of a unit's line, opened as the application opens it.
bool openPort(QSerialPort &port, const QString &path)
{
    port.setPortName(path);
    port.setBaudRate(19200);
    return port.open(QIODevice::ReadWrite);
}

bool nearColor(const QImage &image, QPointF at, const QColor &wanted, int radius)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = at.toPoint() + QPoint(dx, dy);
            if (!image.rect().contains(p))
                continue;
            const QColor c = image.pixelColor(p);
            if (std::abs(c.red() - wanted.red()) + std::abs(c.green() - wanted.green())
                    + std::abs(c.blue() - wanted.blue()) < 60)
                return true;
        }
    }
    return false;
}

class SilentPrompt : public AppPrompt
{
public:
    QStringList messages;
    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon, const QString &text,
                                        QMessageBox::StandardButtons) override
    {
        messages.append(text);
        return QMessageBox::Ok;
    }
    QString saveFileName(QWidget *, const QString &) override { return {}; }
    QString openFileName(QWidget *) override { return {}; }
};

} // namespace

class TestVirtualUnitPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void niceScale_data()
    {
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<int>("maxTicks");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("decimals");

        QTest::newRow("out and back") << 0.0 << 200.0 << 6 << 0.0 << 200.0 << 50.0 << 0;
        QTest::newRow("ragged end") << 0.0 << 2.1335 << 6 << 0.0 << 2.5 << 0.5 << 1;
        QTest::newRow("below zero") << -210.0 << 10.0 << 5 << -300.0 << 100.0 << 100.0 << 0;
        QTest::newRow("reversed range") << 200.0 << 0.0 << 6 << 0.0 << 200.0 << 50.0 << 0;
        QTest::newRow("one value at zero") << 0.0 << 0.0 << 5 << -1.0 << 1.0 << 0.5 << 1;
        QTest::newRow("one value far out") << 1000.0 << 1000.0 << 5 << 900.0 << 1100.0 << 50.0 << 0;
        QTest::newRow("milliseconds") << 0.0 << 0.01 << 6 << 0.0 << 0.01 << 0.002 << 3;
        QTest::newRow("a million steps") << 0.0 << 1e6 << 5 << 0.0 << 1e6 << 5e5 << 0;
        QTest::newRow("one tick asked") << 0.0 << 10.0 << 1 << 0.0 << 10.0 << 5.0 << 0;
        QTest::newRow("two ticks around zero") << -0.3 << 4.0 << 2 << -5.0 << 5.0 << 5.0 << 0;
        QTest::newRow("not a number") << std::nan("") << 1.0 << 5 << 0.0 << 1.0 << 1.0 << 0;
        QTest::newRow("infinite") << 0.0 << HUGE_VAL << 5 << 0.0 << 1.0 << 1.0 << 0;
    }
    void niceScale()
    {
        QFETCH(double, lo);
        QFETCH(double, hi);
        QFETCH(int, maxTicks);
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, step);
        QFETCH(int, decimals);
        const AxisScale s = kr44::niceScale(lo, hi, maxTicks);
        QCOMPARE(s.min, min);
        QCOMPARE(s.max, max);
        QCOMPARE(s.step, step);
        QCOMPARE(s.decimals, decimals);
    }

    void niceScaleCoversEveryRangeWithinItsTicks()
    {
        QRandomGenerator rng(8);
        for (int i = 0; i < 2000; ++i) {
            const double magnitude = std::pow(10.0, rng.bounded(12) - 4);
            const double lo = (rng.generateDouble() - 0.5) * magnitude;
            const double hi = lo + rng.generateDouble() * magnitude;
            const int maxTicks = 2 + rng.bounded(10);
            const AxisScale s = kr44::niceScale(lo, hi, maxTicks);
            const QList<double> ticks = s.ticks();
            const QByteArray where = QByteArray::number(lo, 'g', 17) + " .. " + QByteArray::number(hi, 'g', 17);
            // Rounding noise of a billionth of a step is allowed at the ends.
            QVERIFY2(s.min <= lo + s.step * 1e-9 && s.max >= hi - s.step * 1e-9, where.constData());
            QVERIFY2(ticks.size() >= 2 && ticks.size() <= std::max(maxTicks, 3), where.constData());
            const double mantissa = s.step / std::pow(10.0, std::floor(std::log10(s.step) + 1e-9));
            QVERIFY2(std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 || std::abs(mantissa - 5) < 1e-9,
                     where.constData());
            // Every tick reads differently at the chosen number of decimals.
            for (qsizetype t = 1; t < ticks.size(); ++t)
                QVERIFY2(s.label(ticks.at(t)) != s.label(ticks.at(t - 1)), where.constData());
        }
    }

    void tickLabels()
    {
        AxisScale s;
        s.min = -1;
        s.max = 1;
        s.step = 0.5;
        s.decimals = 1;
        QCOMPARE(s.ticks(), (QList<double>{-1, -0.5, 0, 0.5, 1}));
        QStringList labels;
        for (const double t : s.ticks())
            labels.append(s.label(t));
        QCOMPARE(labels, (QStringList{"-1.0", "-0.5", "0.0", "0.5", "1.0"}));
        // Rounding noise next to zero must not print as "-0.0".
        QCOMPARE(s.label(-1e-13), QStringLiteral("0.0"));
    }

    void runCurve()
    {
        const QList<TracePoint> trace{{1000000, 0}, {1213333, 200}, {1500000, 200}, {1713333, 0}};
        const QList<QPointF> held = kr44::runCurve(trace, 2000000);
        QCOMPARE(held.size(), 5);
        QCOMPARE(held.first(), QPointF(0, 0));
        QCOMPARE(held.at(1), QPointF(0.213333, 200));
        QCOMPARE(held.last(), QPointF(1.0, 0));
        // An end before the last point adds nothing.
        QCOMPARE(kr44::runCurve(trace, 1500000).size(), 4);
        QVERIFY(kr44::runCurve({}, 5000000).isEmpty());
    }

    void thinCurveKeepsEndsAndPeaks()
    {
        QList<QPointF> points;
        for (int i = 0; i < 20000; ++i)
            points.append(QPointF(i / 1000.0, std::round(1000 * std::sin(i / 37.0)) + (i == 12345 ? 5000 : 0)));
        const QList<QPointF> thin = kr44::thinCurve(points, 0, 20, 200);
        QVERIFY(thin.size() <= 4 * 200);
        QCOMPARE(thin.first(), points.first());
        QCOMPARE(thin.last(), points.last());
        QVERIFY(thin.contains(points.at(12345)));
        double lowest = 0;
        for (const QPointF &p : thin) {
            lowest = std::min(lowest, p.y());
            QVERIFY(points.contains(p));
        }
        QCOMPARE(lowest, -1000.0);
        for (qsizetype i = 1; i < thin.size(); ++i)
            QVERIFY(thin.at(i).x() >= thin.at(i - 1).x());
        // Few points, or no room to thin into, leave the curve as it is.
        QCOMPARE(kr44::thinCurve(points.first(50), 0, 20, 200), points.first(50));
        QCOMPARE(kr44::thinCurve(points, 0, 20, 0), points);
    }

    void snapshotTextsFollowTheUnit()
    {
        VirtualUnit unit;
        QByteArray out = unit.receive(download({"X500,1000,20", "A2", "+200", "W1H", "D100", "K"}));
        QCOMPARE(out, QByteArray());
        kr44::UnitSnapshot s = kr44::snapshotOf(unit);
        QCOMPARE(kr44::stateText(s), QStringLiteral("Idle"));
        QCOMPARE(kr44::lineText(s), QStringLiteral("none"));
        QCOMPARE(kr44::motorText(s), QStringLiteral("1, stopped"));

        out = unit.receive("P\r");
        QCOMPARE(kr44::stateText(kr44::snapshotOf(unit)), QStringLiteral("Receiving a program"));
        out = unit.receive(download({"X500,1000,20", "A2", "+200", "W1H", "D100", "K"}).mid(2));
        out += unit.receive("E\r");
        out += unit.advance(100000);
        s = kr44::snapshotOf(unit);
        QCOMPARE(kr44::stateText(s), QStringLiteral("Busy: program, moving"));
        QCOMPARE(kr44::lineText(s), QStringLiteral("3: +200"));
        QVERIFY2(kr44::motorText(s).startsWith(QLatin1String("1, ")) && kr44::motorText(s).endsWith(QLatin1String(" steps/s up")),
                 qPrintable(kr44::motorText(s)));
        QVERIFY(s.outputs == (std::array<bool, 3>{false, true, false}));
        QVERIFY(s.position > 0 && s.position < 200);

        out += unit.advance(200000);
        s = kr44::snapshotOf(unit);
        QCOMPARE(kr44::stateText(s), QStringLiteral("Busy: program, waiting for an input"));
        QCOMPARE(kr44::lineText(s), QStringLiteral("4: W1H"));
        QCOMPARE(s.position, qint64(200));

        out += unit.setInput(1, true);
        out += unit.advance(1000);
        s = kr44::snapshotOf(unit);
        QCOMPARE(kr44::stateText(s), QStringLiteral("Busy: program, delaying"));
        QCOMPARE(kr44::lineText(s), QStringLiteral("5: D100"));
        QVERIFY(s.inputs == (std::array<bool, 3>{true, false, false}));

        out += unit.advance(200000);
        QCOMPARE(out, QByteArray("R\r"));
        s = kr44::snapshotOf(unit);
        QCOMPARE(kr44::stateText(s), QStringLiteral("Idle"));
        QCOMPARE(kr44::lineText(s), QStringLiteral("none"));

        out = unit.receive("-50\r");
        out += unit.advance(20000);
        s = kr44::snapshotOf(unit);
        QCOMPARE(kr44::stateText(s), QStringLiteral("Busy: direct command, moving"));
        QCOMPARE(kr44::lineText(s), QStringLiteral("none"));
        QVERIFY2(kr44::motorText(s).endsWith(QLatin1String(" steps/s down")), qPrintable(kr44::motorText(s)));
    }

    void throttleCoalescesABurst()
    {
        UpdateThrottle throttle(30);
        QSignalSpy due(&throttle, &UpdateThrottle::due);
        for (int i = 0; i < 1000; ++i)
            throttle.poke();
        QVERIFY(throttle.isPending());
        QVERIFY(due.wait(5000));
        QCOMPARE(due.count(), 1);
        QVERIFY(!throttle.isPending());
        // Nothing more comes without a poke...
        QVERIFY(!due.wait(4 * throttle.interval()));
        // ...and the next poke is not lost.
        throttle.poke();
        QVERIFY(due.wait(5000));
        QCOMPARE(due.count(), 2);
    }

    void throttleLimitsTheRateOfASteadyStream()
    {
        UpdateThrottle throttle(50);
        QSignalSpy due(&throttle, &UpdateThrottle::due);
        QTimer source;
        source.setInterval(2);
        int pokes = 0;
        connect(&source, &QTimer::timeout, &throttle, [&] {
            ++pokes;
            throttle.poke();
        });
        QElapsedTimer clock;
        clock.start();
        source.start();
        QVERIFY(QTest::qWaitFor([&] { return clock.elapsed() >= 600; }, 10000));
        source.stop();
        const qint64 elapsed = clock.elapsed();
        QVERIFY(!throttle.isPending() || due.wait(5000));
        QVERIFY2(pokes > 2 * due.count(), qPrintable(QStringLiteral("%1 pokes, %2 updates").arg(pokes).arg(due.count())));
        QVERIFY2(due.count() >= 2 && due.count() <= elapsed / 50 + 2, qPrintable(QString::number(due.count())));
    }

    void plotScalesAndDrawsTheRun()
    {
        PositionPlot plot;
        plot.resize(480, 260);
        const QList<TracePoint> trace{{5000000, 0}, {5213333, 200}, {5400000, 200}, {5613333, -50}};
        plot.setRun(trace, 5800000);
        QCOMPARE(plot.curve().size(), 5);
        QVERIFY(plot.timeScale().min == 0 && plot.timeScale().max >= 0.8);
        QVERIFY(plot.positionScale().min <= -50 && plot.positionScale().max >= 200);
        QVERIFY(plot.accessibleDescription().contains(QLatin1String("from -50 to 200")));

        const QRectF area = plot.plotArea();
        QVERIFY(area.width() > 200 && area.height() > 100);
        for (const QPointF &p : plot.curve())
            QVERIFY(area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(plot.mapToArea(p)));
        QVERIFY(plot.mapToArea({0, 200}).y() < plot.mapToArea({0, -50}).y());

        const QImage image = plot.grab().toImage();
        const QColor curveColor = plot.palette().color(QPalette::Highlight);
        // Half way along the first move, and on the flat part at 200.
        QVERIFY(nearColor(image, plot.mapToArea(plot.curve().at(1)), curveColor, 2));
        QVERIFY(nearColor(image, plot.mapToArea({0.3, 200}), curveColor, 2));
        QVERIFY(!nearColor(image, plot.mapToArea({0.3, 0}), curveColor, 2));

        plot.clear();
        QVERIFY(plot.curve().isEmpty());
        QCOMPARE(plot.accessibleDescription(), QStringLiteral("No run yet"));
        QVERIFY(!nearColor(plot.grab().toImage(), plot.mapToArea({0.3, 200}), curveColor, 2));
    }

    void panelWithoutAUnit()
    {
        VirtualUnitPanel panel;
        QCOMPARE(panel.windowTitle(), QStringLiteral("Virtual KR44 unit"));
        QCOMPARE(textOf(&panel, "stateValue"), QStringLiteral("No virtual unit connected"));
        for (int i = 1; i <= 3; ++i) {
            QVERIFY(!inputSwitch(&panel, i)->isEnabled());
            QCOMPARE(lampOf(&panel, i), QStringLiteral("off"));
        }
        const QList<QWidget *> widgets = panel.widget()->findChildren<QWidget *>();
        QVERIFY(widgets.size() >= 18);
        for (const QWidget *w : widgets + QList<QWidget *>{panel.widget(), &panel}) {
            QVERIFY2(!w->objectName().isEmpty(), w->metaObject()->className());
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
    }

    void panelFollowsARunAndFlipsInputs()
    {
        kr44::UnitConfig config;
        config.inputs = {false, true, false};
        kr44::PtyUnit unit(config);
        QVERIFY2(unit.open(), qPrintable(unit.errorString()));
        unit.setTimeScale(4);
        VirtualUnitPanel panel;
        panel.resize(360, 560);
        panel.show();
        panel.setUnit(&unit);
        QCOMPARE(textOf(&panel, "stateValue"), QStringLiteral("Idle"));
        QCOMPARE(textOf(&panel, "positionValue"), QStringLiteral("0"));
        QVERIFY(!inputSwitch(&panel, 1)->isChecked());
        QVERIFY(inputSwitch(&panel, 2)->isChecked());
        QCOMPARE(inputSwitch(&panel, 2)->text(), QStringLiteral("2 high"));

        QSerialPort port;
        QVERIFY2(openPort(port, unit.devicePath()), qPrintable(port.errorString()));
        QByteArray replies;
        connect(&port, &QSerialPort::readyRead, this, [&] { replies += port.readAll(); });
        port.write(download({"X500,1000,20", "A1", "+200", "W1H", "-50", "C1", "K"}) + "E\r");

        QTRY_COMPARE_WITH_TIMEOUT(textOf(&panel, "stateValue"), QStringLiteral("Busy: program, waiting for an input"), 20000);
        QCOMPARE(textOf(&panel, "lineValue"), QStringLiteral("4: W1H"));
        QCOMPARE(textOf(&panel, "positionValue"), QStringLiteral("200"));
        QCOMPARE(lampOf(&panel, 1), QStringLiteral("on"));
        QCOMPARE(textOf(&panel, "motorValue"), QStringLiteral("1, stopped"));
        // While it waits the plot runs on flat past the end of the move.
        const double moveEnd = 0.2134;
        QTRY_VERIFY_WITH_TIMEOUT(panel.plot()->curve().last().x() > moveEnd + 0.1, 20000);
        QCOMPARE(panel.plot()->curve().last().y(), 200.0);

        QTest::mouseClick(inputSwitch(&panel, 1), Qt::LeftButton);
        QVERIFY(unit.unit().input(1));
        QCOMPARE(inputSwitch(&panel, 1)->text(), QStringLiteral("1 high"));
        QTRY_COMPARE_WITH_TIMEOUT(textOf(&panel, "stateValue"), QStringLiteral("Idle"), 20000);
        QCOMPARE(textOf(&panel, "positionValue"), QStringLiteral("150"));
        QCOMPARE(lampOf(&panel, 1), QStringLiteral("off"));
        QTRY_COMPARE_WITH_TIMEOUT(replies, QByteArray("R\r"), 20000);
        const QList<QPointF> curve = panel.plot()->curve();
        QCOMPARE(curve.last().y(), 150.0);
        double top = 0;
        for (const QPointF &p : curve)
            top = std::max(top, p.y());
        QCOMPARE(top, 200.0);

        // A switch flipped back while idle only sets the input.
        QTest::mouseClick(inputSwitch(&panel, 2), Qt::LeftButton);
        QVERIFY(!unit.unit().input(2));
        QVERIFY(!inputSwitch(&panel, 2)->isChecked());
    }

    void panelUpdatesAtMostTwentyTimesASecond()
    {
        kr44::PtyUnit unit;
        QVERIFY2(unit.open(), qPrintable(unit.errorString()));
        VirtualUnitPanel panel;
        panel.show();
        panel.setUnit(&unit);
        QSignalSpy changes(&unit, &kr44::PtyUnit::stateChanged);
        QSignalSpy refreshes(&panel, &VirtualUnitPanel::refreshed);
        QSerialPort port;
        QVERIFY2(openPort(port, unit.devicePath()), qPrintable(port.errorString()));
        // About 0.8 s of movement at the real pace.
        QElapsedTimer clock;
        clock.start();
        port.write("+800\r");
        QTRY_VERIFY_WITH_TIMEOUT(unit.unit().isBusy(), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!unit.unit().isBusy(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(textOf(&panel, "positionValue"), QStringLiteral("800"), 20000);
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(changes.count() > 3 * refreshes.count(),
                 qPrintable(QStringLiteral("%1 changes, %2 refreshes").arg(changes.count()).arg(refreshes.count())));
        QVERIFY2(refreshes.count() <= elapsed / UpdateThrottle::kDefaultIntervalMs + 2,
                 qPrintable(QStringLiteral("%1 refreshes in %2 ms").arg(refreshes.count()).arg(elapsed)));
    }

    void unitDeletedUnderThePanel()
    {
        VirtualUnitPanel panel;
        auto *unit = new kr44::PtyUnit;
        QVERIFY(unit->open());
        panel.setUnit(unit);
        QCOMPARE(textOf(&panel, "stateValue"), QStringLiteral("Idle"));
        delete unit;
        QTRY_COMPARE(textOf(&panel, "stateValue"), QStringLiteral("No virtual unit connected"));
        QVERIFY(!panel.unit());
        QVERIFY(!inputSwitch(&panel, 1)->isEnabled());
        // A click that slips through to a switch of a gone unit does nothing.
        inputSwitch(&panel, 1)->setEnabled(true);
        QTest::mouseClick(inputSwitch(&panel, 1), Qt::LeftButton);
    }

    // The panel on the main window as the application wires it.
    void panelInTheApplication()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Communication/COMPort"), QStringLiteral("/dev/kr44-test-none"));
        SilentPrompt prompt;
        CKR44App app(settings, prompt);
        app.setPortDialogRunner([](QWidget *, QString &, qint32 &) { return false; });
        CommandLineRequest request;
        request.virtualUnit = true;
        QVERIFY(app.InitInstance(request, false));
        CMainFrame *frame = app.mainFrame();
        FrameLink *link = app.frameLink();

        // The main window's own panel once it has one; until then, wired here the same way.
        auto *panel = frame->findChild<VirtualUnitPanel *>();
        if (!panel) {
            panel = new VirtualUnitPanel(frame);
            frame->addDockWidget(Qt::RightDockWidgetArea, panel);
            connect(link, &FrameLink::virtualUnitChanged, panel, &VirtualUnitPanel::setUnit);
            panel->setUnit(link->virtualUnit());
        }
        panel->show();
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        QVERIFY(panel->isVisible());
        QVERIFY(panel->unit());
        QCOMPARE(textOf(panel, "stateValue"), QStringLiteral("Idle"));

        link->virtualUnit()->setTimeScale(20);
        const QString file = dir.filePath(QStringLiteral("demo.krp"));
        QVERIFY(kr44test::writeAll(file, "X500,1000,20\r\nL0\r\n+200\r\nW1H\r\n-200\r\nL3\r\nK\r\n"));
        QVERIFY(app.OpenDocumentFile(file));
        QTest::mouseClick(inputSwitch(panel, 1), Qt::LeftButton);
        frame->action(cmd::ID_SEND_AND_RUN)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(link->commandWindow()->text().contains(QLatin1String("Ready")), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(textOf(panel, "stateValue"), QStringLiteral("Idle"), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(panel->plot()->curve().size() > 6, 20000);
        QCOMPARE(textOf(panel, "positionValue"), QStringLiteral("0"));

        // Disconnecting deletes the unit before the change is announced.
        frame->action(cmd::ID_VIRTUAL_UNIT)->trigger();
        QVERIFY(!link->virtualUnit());
        QTRY_COMPARE(textOf(panel, "stateValue"), QStringLiteral("No virtual unit connected"));
        frame->action(cmd::ID_VIRTUAL_UNIT)->trigger();
        QVERIFY(link->virtualUnit());
        QCOMPARE(panel->unit(), link->virtualUnit());
        QTRY_COMPARE(textOf(panel, "stateValue"), QStringLiteral("Idle"));
    }
};

KR44_TEST(TestVirtualUnitPanel)
#include "tst_virtualunitpanel.moc"
