// The application in the test's process: what reaches the active program window, the save
// prompt, the recent files, the caption, the built-in virtual unit with its panel and the
// panel's update throttle; and a run against kr44-sim in another process.
#include "app/commands/commands.h"
#include "app/desktop/shellrequest.h"
#include "app/shell/application.h"
#include "app/shell/appprompt.h"
#include "app/shell/firstframe.h"
#include "app/shell/linkcontroller.h"
#include "app/shell/mainwindow.h"
#include "app/shell/programwindow.h"
#include "app/shell/windowlist.h"
#include "dialogtesting.h"
#include "linkwidgets/commandwindow.h"
#include "model/programdocument.h"
#include "processes.h"
#include "testmain.h"
#include "unitpanel/positionplot.h"
#include "unitpanel/virtualunitpanel.h"
#include "view/problemspanel.h"
#include "view/programtablemodel.h"
#include "view/programview.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QProperty>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace kr44;

using kr44::LineArray;

namespace {

// Answers each message box with the next of `answers` (OK when none is left) and each Save As
// with `saveAnswer`, and keeps the texts it was shown.
struct ScriptedPrompt : AppPrompt
{
    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon, const QString &text,
                                        QMessageBox::StandardButtons) override
    {
        messages.append(text);
        return answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &) override { return saveAnswer; }
    QString openFileName(QWidget *) override { return {}; }

    QStringList messages;
    QList<QMessageBox::StandardButton> answers;
    QString saveAnswer;
};

// The application with its settings in a file of the test's and no window on screen, so that
// it opens `port` before it carries out `request`; a port that fails to open stays closed.
struct AppRun
{
    AppRun(const QString &settingsFile, const CommandLineRequest &request, const QString &port)
        : settings(settingsFile, QSettings::IniFormat)
    {
        settings.setValue(QStringLiteral("Communication/COMPort"), port);
        app.setPortDialogRunner([](QWidget *, QString &, qint32 &) { return false; });
        started = app.start(request, false);
    }

    QSettings settings;
    ScriptedPrompt prompt;
    Application app {settings, prompt};
    bool started = false;
};

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<AppRun> m_run;

    Application *start(const CommandLineRequest &request = {}, const QString &port = {})
    {
        const QString settings = m_dir.filePath(QTest::currentTestFunction());
        m_run = std::make_unique<AppRun>(settings, request, port);
        return m_run->started ? &m_run->app : nullptr;
    }
    QString program(const QString &name, const QByteArray &bytes)
    {
        return kr44test::writeAll(m_dir.filePath(name), bytes) ? m_dir.filePath(name) : QString();
    }
    void trigger(Command command) { m_run->app.mainWindow()->action(command)->trigger(); }

private Q_SLOTS:
    void cleanup() { m_run.reset(); }

    void savePromptGuardsCloseAndExit()
    {
        Application *app = start();
        ScriptedPrompt &prompt = m_run->prompt;
        QVERIFY(app->activeProgramWindow()->close()); // unmodified: no question
        ProgramWindow *child = app->newFile();
        child->document()->setLines(LineArray::fromList({"+200"}));
        prompt.answers = {QMessageBox::Cancel};
        QVERIFY(!child->close());
        QVERIFY(!app->mainWindow()->close());
        QCOMPARE(prompt.messages.size(), 2);
        QVERIFY(prompt.messages.first().contains(child->document()->title()));
        prompt.answers = {QMessageBox::Yes};
        prompt.saveAnswer = m_dir.filePath(QStringLiteral("closing.krp"));
        QVERIFY(child->close());
        QCOMPARE(kr44test::readAll(prompt.saveAnswer), QByteArray("+200\r\n"));
        app->newFile()->document()->setLines(LineArray::fromList({"K"}));
        prompt.answers = {QMessageBox::No};
        QVERIFY(app->mainWindow()->close());
    }

    // A plain start opens the most recent file; the first start, with none yet, the file named
    // for it.
    void firstStartOpensTheNamedFile()
    {
        CommandLineRequest request;
        request.firstStartFile = program(QStringLiteral("example.krp"), "K\r\n");
        QCOMPARE(start(request)->activeProgramWindow()->document()->filePath(),
                 request.firstStartFile);
        const QString recent = program(QStringLiteral("recent.krp"), "K\r\n");
        QVERIFY(m_run->app.openFile(recent));
        QVERIFY(m_run->app.mainWindow()->close());
        m_run.reset();
        QCOMPARE(start(request)->activeProgramWindow()->document()->filePath(), recent);
    }

    // Four entries, the last opened first; a file opened again moves to the top, and the entry
    // of a file that cannot be opened any more goes when it is chosen.
    void recentFilesKeepFourAndMoveToTop()
    {
        Application *app = start();
        QStringList f;
        for (int i = 0; i < 5; ++i) {
            f.append(program(QStringLiteral("r%1.krp").arg(i), "K\r\n"));
            QVERIFY(app->openFile(f.last()));
        }
        QCOMPARE(app->recentFiles().entries(), (QStringList {f[4], f[3], f[2], f[1]}));
        QVERIFY(app->closeAllDocuments());
        QTRY_VERIFY(app->programWindows().isEmpty());
        app->mainWindow()->recentFileActions().at(2)->trigger();
        QCOMPARE(app->activeProgramWindow()->document()->filePath(), f[2]);
        QCOMPARE(app->recentFiles().entries(), (QStringList {f[2], f[4], f[3], f[1]}));
        QVERIFY(QFile::remove(f[3]));
        app->mainWindow()->recentFileActions().at(2)->trigger();
        QCOMPARE(app->recentFiles().entries(), (QStringList {f[2], f[4], f[1]}));
    }

    // The caption follows the active program through every change of the windows: framed,
    // "b.krp - KR44 Demo Program"; maximised, "KR44 Demo Program - [b.krp]".
    void captionFollowsTheWindowStates()
    {
        Application *app = start();
        MainWindow *frame = app->mainWindow();
        frame->show();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        ProgramWindow *fresh = app->activeProgramWindow();
        ProgramWindow *b = app->openFile(program(QStringLiteral("b.krp"), "K\r\n"));
        const QString framed = QStringLiteral("%1 - KR44 Demo Program");
        const QString big = QStringLiteral("KR44 Demo Program - [%1]");
        QCOMPARE(frame->windowTitle(), big.arg("b.krp"));
        trigger(Command::Cascade);
        QTRY_COMPARE(frame->windowTitle(), framed.arg("b.krp"));
        b->showMaximized();
        QTRY_COMPARE(frame->windowTitle(), big.arg("b.krp"));
        trigger(Command::Tile);
        QTRY_COMPARE(frame->windowTitle(), framed.arg("b.krp"));
        app->openFile(program(QStringLiteral("d.krp"), "K\r\n"));
        QTRY_COMPARE(frame->windowTitle(), big.arg("d.krp"));
        app->activeProgramWindow()->close(); // the first one comes next, maximised in turn
        QTRY_COMPARE(frame->windowTitle(), big.arg(fresh->windowTitle()));
        m_run->prompt.saveAnswer = m_dir.filePath(QStringLiteral("c.krp"));
        QVERIFY(app->saveAs(fresh));
        QTRY_COMPARE(frame->windowTitle(), big.arg("c.krp"));
        fresh->showNormal();
        QTRY_COMPARE(frame->windowTitle(), framed.arg("c.krp"));
        QVERIFY(app->closeAllDocuments());
        QTRY_COMPARE(frame->windowTitle(), QStringLiteral("KR44 Demo Program"));
    }

    // The Window menu lists the program windows, the active one checked. An entry, Ctrl+F6,
    // Ctrl+Tab and their Shift forms, and More Windows... (past nine windows) activate another.
    void windowMenuSwitchesPrograms()
    {
        Application *app = start();
        MainWindow *frame = app->mainWindow();
        frame->show();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        ProgramWindow *first = app->activeProgramWindow();
        ProgramWindow *second = app->openFile(program(QStringLiteral("b.krp"), "K\r\n"));
        ProgramWindow *third = app->openFile(program(QStringLiteral("c.krp"), "K\r\n"));
        auto *menu = frame->findChild<QMenu *>(QStringLiteral("programWindowMenu"));
        const auto entries = [menu] {
            QStringList texts;
            for (const QAction *a : menu->actions())
                texts.append(a->isSeparator() ? "-" : (a->isChecked() ? "* " : "") + a->text());
            return texts;
        };
        QCOMPARE(entries(),
                 (QStringList {"&Cascade", "&Tile", "-", "&1 " + first->windowTitle(), "&2 b.krp",
                               "* &3 c.krp"}));
        menu->actions().at(3)->trigger();
        QCOMPARE(app->activeProgramWindow(), first);
        QCOMPARE(entries().at(3), "* &1 " + first->windowTitle());
        const std::pair<QKeyCombination, ProgramWindow *> keys[]
                = {{Qt::CTRL | Qt::Key_F6, second},
                   {Qt::CTRL | Qt::Key_Tab, third},
                   {Qt::CTRL | Qt::SHIFT | Qt::Key_F6, second},
                   {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, first}};
        for (const auto &[key, next] : keys) {
            QTest::keyClick(app->activeProgramWindow()->view()->list(), key.key(),
                            key.keyboardModifiers());
            QCOMPARE(app->activeProgramWindow(), next);
        }
        for (int i = 0; i < 8; ++i)
            app->newFile();
        QCOMPARE(entries().last(), "&More Windows...");
        const auto picked = kr44test::whenModal([](QWidget *dialog) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Home);
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        });
        menu->actions().last()->trigger();
        QVERIFY(*picked);
        QCOMPARE(app->activeProgramWindow(), first);
    }

    // The Window menu's list: the first nine windows, numbered with a mnemonic, "&" in a title
    // shown as itself; the active one checked, in the ninth place when it is further down.
    void windowMenuList_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("active");
        QTest::addColumn<QString>("entries"); // "*" before the checked one, "+" for More Windows
        QTest::newRow("one") << 1 << 0 << "*&1 a&&b";
        QTest::newRow("ten, active listed")
                << 10 << 8 << "&1 a&&b|&2 w2|&3 w3|&4 w4|&5 w5|&6 w6|&7 w7|&8 w8|*&9 w9|+";
        QTest::newRow("ten, active last")
                << 10 << 9 << "&1 a&&b|&2 w2|&3 w3|&4 w4|&5 w5|&6 w6|&7 w7|&8 w8|*&9 w10|+";
    }
    void windowMenuList()
    {
        QFETCH(int, count);
        QFETCH(int, active);
        QStringList titles {"a&b"};
        for (int i = 2; i <= count; ++i)
            titles.append(QStringLiteral("w%1").arg(i));
        const WindowMenuList list = kr44::windowMenuList(titles, active);
        QStringList shown;
        for (const WindowMenuEntry &e : list.entries) {
            QVERIFY(e.text.endsWith(u' ' + QString(titles.at(e.window)).replace("&", "&&")));
            shown.append((e.checked ? "*" : "") + e.text);
        }
        if (list.moreWindows)
            shown.append(QStringLiteral("+"));
        QTEST(shown.join(u'|'), "entries");
    }

    // Work put off until the main window's first frame runs after it, once, in order.
    void firstFrameWorkWaitsForTheWindow()
    {
        QLabel window(QStringLiteral("first frame"));
        auto *frame = new FirstFrame(&window);
        QStringList done;
        frame->whenShown([&] { done.append(QStringLiteral("a")); });
        frame->whenShown([&] { done.append(QStringLiteral("b")); });
        QCoreApplication::processEvents();
        QVERIFY(done.isEmpty());
        window.show();
        QTRY_VERIFY(frame->isShown());
        QCOMPARE(done, QStringList({"a", "b"}));
        window.repaint();
        QCoreApplication::processEvents();
        QCOMPARE(done.size(), 2);
    }

    // The plot's axes: random ranges, each covered from its first tick to its last with at most
    // the ticks asked for (three at the least: two cannot frame a range around 0).
    void plotScaleCoversEveryRange()
    {
        QRandomGenerator random(7);
        for (int n = 0; n < 2000; ++n) {
            const double lo = (random.generateDouble() - 0.5) * std::pow(10, random.bounded(6));
            const double hi = lo + random.generateDouble() * std::pow(10, random.bounded(6));
            const int maxTicks = random.bounded(2, 12);
            const kr44::AxisScale scale = kr44::niceScale(lo, hi, maxTicks);
            QVERIFY(scale.min <= lo && scale.max >= hi);
            QVERIFY(scale.ticks().size() <= std::max(maxTicks, 3));
        }
    }

    // Edit's commands and the Problems panel act on the active program window.
    void editAndProblemsFollowTheActiveProgram()
    {
        Application *app = start();
        ProgramWindow *fresh = app->activeProgramWindow();
        QAction *undo = app->mainWindow()->action(Command::Undo);
        QVERIFY(!undo->isEnabled());
        fresh->view()->setDialogRunner([](QWidget *, const QByteArray &, QByteArray &params,
                                          const kr44::ProgramCodes &, int) {
            params = "set up";
            return kr44::DialogResult::Accepted;
        });
        fresh->view()->addComment();
        QVERIFY(undo->isEnabled() && undo->text().startsWith(QStringLiteral("&Undo Comment")));
        undo->trigger();
        QVERIFY(fresh->document()->lines().isEmpty() && !fresh->document()->isModified());
        ProgramWindow *bad = app->openFile(program(QStringLiteral("bad.krp"), "Q1\r\n"));
        QCOMPARE(app->problemsPanel()->view(), bad->view());
        QVERIFY(!undo->isEnabled());
        bad->close();
        QTRY_COMPARE(app->problemsPanel()->view(), fresh->view());
    }

    // Send and run takes the active window's program to the built-in virtual unit, whose panel
    // follows it, lets go of it when it is disconnected and takes the next one.
    void sendAndRunReachesTheVirtualUnitAndItsPanel()
    {
        CommandLineRequest request;
        request.virtualUnit = true;
        Application *app = start(request);
        LinkController *link = app->linkController();
        VirtualUnitPanel *panel = app->virtualUnitPanel();
        QVERIFY(panel && link->virtualUnit() && panel->unit() == link->virtualUnit());
        app->activeProgramWindow()->document()->setLines(LineArray::fromList({"+10"}));
        app->newFile()->document()->setLines(LineArray::fromList({"* this one", "+25"}));
        trigger(Command::SendAndRun);
        QTRY_VERIFY_WITH_TIMEOUT(link->commandWindow()->text().contains(QLatin1String("Ready")),
                                 kr44test::kProcessTimeoutMs);
        QCOMPARE(link->virtualUnit()->unit().position(), 25);
        QTRY_COMPARE(panel->findChild<QLabel *>(QStringLiteral("positionValue"))->text(), "25");
        trigger(Command::VirtualUnit);
        QVERIFY(!link->virtualUnit());
        QTRY_VERIFY(!panel->unit());
        trigger(Command::VirtualUnit);
        QVERIFY(link->virtualUnit() && panel->unit() == link->virtualUnit());
        QCOMPARE(m_run->prompt.messages, QStringList());
    }

    // A run paused at a breakpoint marks its row in the window that sent it; the mark leaves the
    // row when its text is changed, which the status bar explains, and the run goes on to its
    // summary. Step with no run starts one stopped before its first line. With a real port the
    // Debug commands are disabled and say why.
    void debuggingFollowsTheSentRows()
    {
        CommandLineRequest request;
        request.virtualUnit = true;
        Application *app = start(request);
        ProgramWindow *window = app->activeProgramWindow();
        const LineArray lines = LineArray::fromList({"* c", "A1", "D10", "A2"});
        window->document()->setLines(lines);
        ProgramTableModel *model = window->view()->tableModel();
        model->fill(lines);
        model->setBreakpoint(2, true);
        trigger(Command::SendAndRun);
        QTRY_VERIFY_WITH_TIMEOUT(model->runRow() == 2, kr44test::kProcessTimeoutMs);
        const VirtualUnit &unit = app->linkController()->virtualUnit()->unit();
        QVERIFY(unit.isPaused() && unit.output(1) && unit.activeLine() == 2);
        QAction *next = app->mainWindow()->action(Command::Continue);
        QVERIFY(next->isEnabled());
        model->setParams(2, "20");
        QTRY_COMPARE(model->runRow(), -1);
        QVERIFY(app->mainWindow()->messageText().contains("changed since it was sent"));
        next->trigger();
        const auto *summary = app->virtualUnitPanel()->findChild<QLabel *>("runSummary");
        QTRY_VERIFY(summary->text().startsWith("Ended: Ready\n"));
        QVERIFY(summary->text().contains("Instructions executed: 3"));
        trigger(Command::Step); // with no run, it sends and stops before the first line
        QTRY_COMPARE(model->runRow(), 1);
        next->trigger();
        QTRY_VERIFY(!unit.isBusy());
        trigger(Command::VirtualUnit);
        QTRY_VERIFY(!next->isEnabled());
        QVERIFY(next->toolTip().contains("Options > Virtual KR44 unit"));
    }

    // The first change starts an interval; the changes until it ends ride along without
    // starting it again, so a unit that keeps changing is still shown once an interval.
    void panelThrottleStartsOneIntervalForManyChanges()
    {
        UpdateThrottle throttle(0); // the interval ends at the next turn of the event loop
        QSignalSpy due(&throttle, &UpdateThrottle::due);
        int intervals = 0;
        const QPropertyNotifier watch = throttle.bindablePending().addNotifier(
                [&] { intervals += throttle.isPending(); });
        for (int i = 0; i < 100; ++i)
            throttle.poke();
        QCOMPARE(intervals, 1);
        QTRY_COMPARE(due.count(), 1);
        throttle.poke();
        QCOMPARE(intervals, 2);
        QTRY_COMPARE(due.count(), 2);
    }

    // A print request from the desktop closes the window it opened to print, not one the user
    // had open.
    void shellPrintClosesOnlyTheWindowItOpened()
    {
        Application *app = start();
        const QString file = program(QStringLiteral("print.krp"), "+200\r\n");
        const QString pdf = m_dir.filePath(QStringLiteral("print.pdf"));
        const kr44::ShellRequest print {kr44::ShellRequest::Kind::PrintTo, file, pdf, {}, {}};
        app->executeShellRequest(print);
        QVERIFY(kr44test::readAll(pdf).startsWith("%PDF"));
        QTRY_COMPARE(app->programWindows().size(), 1);
        QVERIFY(app->openFile(file) && QFile::remove(pdf));
        app->executeShellRequest(print);
        QVERIFY(kr44test::readAll(pdf).startsWith("%PDF"));
        QCOMPARE(app->programWindows().size(), 2);
    }

    // The whole application against kr44-sim over a real pseudo-terminal: the example program
    // sent and run from the menu.
    void exampleRunsToReadyOnTheSimulator()
    {
        kr44test::SimProcess sim;
        QVERIFY(sim.start({"--inputs", "HHL", "--time-scale", "20"}));
        Application *app = start({}, sim.device());
        QTRY_VERIFY(app->mainWindow()->messageText().contains(sim.device()));
        const QByteArrayList lines {"X500,1000,20", "L0", "+200",  "W1H",
                                    "-200",         "L5", "J2L,4", "K"};
        const QString file = program("example.krp", "* up\r\n" + kr44test::crlf(lines));
        QVERIFY(app->openFile(file));
        trigger(Command::SendAndRun);
        CommandWindow *window = app->linkController()->commandWindow();
        QTRY_VERIFY_WITH_TIMEOUT(window->text().contains(u"Ready"), kr44test::kProcessTimeoutMs);
        QVERIFY(window->isVisible());
        QVERIFY2(!window->text().contains(QLatin1String("Error")), qPrintable(window->text()));
        // Every line but the comment, between the transfer marks, then the run.
        QByteArrayList received;
        for (const QByteArray &line : QByteArrayList {"P"} + lines + QByteArrayList {"P", "E"})
            received.append("<- " + line + "\\r");
        QCOMPARE(sim.received(), received);
        QVERIFY(m_run->prompt.messages.isEmpty());
    }
};

KR44_TEST(TestApplication)
#include "tst_application.moc"
