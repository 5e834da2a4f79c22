#include "appprompt.h"
#include "childframe.h"
#include "commands.h"
#include "commandwnd.h"
#include "firstframe.h"
#include "framelink.h"
#include "kr44app.h"
#include "kr44doc.h"
#include "kr44view.h"
#include "mainframe.h"
#include "virtualunitpanel.h"
#include "findingindex.h"
#include "problemspanel.h"
#include "replymonitor.h"
#include "processes.h"
#include "testmain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace {

// Answers every box and file dialog from a script and remembers what was asked.
class ScriptedPrompt : public AppPrompt
{
public:
    QStringList messages;
    QList<QMessageBox::StandardButton> answers;
    QStringList proposedNames;
    QString saveAnswer;
    QString openAnswer;

    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon, const QString &text,
                                        QMessageBox::StandardButtons) override
    {
        messages.append(text);
        return answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &proposed) override
    {
        proposedNames.append(proposed);
        return saveAnswer;
    }
    QString openFileName(QWidget *) override { return openAnswer; }
};

QStringList menuTexts(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

} // namespace

class TestKR44App : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QSettings> m_settings;
    ScriptedPrompt m_prompt;
    std::unique_ptr<CKR44App> m_app;
    int m_portDialogs = 0;
    bool m_frameVisibleAtDialog = true;
    bool m_portDialogAnswer = false;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    CKR44App *start(const CommandLineRequest &request = {}, bool show = false)
    {
        m_app = std::make_unique<CKR44App>(*m_settings, m_prompt);
        m_app->setPortDialogRunner([this](QWidget *parent, QString &port, qint32 &baud) {
            ++m_portDialogs;
            m_frameVisibleAtDialog = parent && parent->isVisible();
            if (!m_portDialogAnswer)
                return false;
            port = QStringLiteral("/dev/kr44-test-none");
            baud = 9600;
            return true;
        });
        if (!m_app->InitInstance(request, show))
            return nullptr;
        return m_app.get();
    }

private Q_SLOTS:
    void init()
    {
        m_settings = std::make_unique<QSettings>(path(QStringLiteral("settings-%1.ini").arg(QTest::currentTestFunction())),
                                                 QSettings::IniFormat);
        m_settings->clear();
        m_prompt = ScriptedPrompt();
        m_portDialogs = 0;
        m_portDialogAnswer = false;
    }
    void cleanup()
    {
        m_app.reset();
    }

    void firstStartWithEmptySettings()
    {
        CKR44App *app = start();
        QVERIFY(app);
        QCOMPARE(m_portDialogs, 1);
        QVERIFY(!m_frameVisibleAtDialog);
        QCOMPARE(app->mainFrame()->messageText(), QStringLiteral("Not connected"));
        QVERIFY(!m_settings->contains(QStringLiteral("Communication/COMPort")));
        QCOMPARE(app->children().size(), 1);
        QCOMPARE(app->activeChild()->windowTitle(), QStringLiteral("Program%1").arg(CKR44Doc::newProgramCount()));
        QVERIFY(app->activeChild()->isMaximized());
        QCOMPARE(app->mainFrame()->currentMenuId(), 129);
        QVERIFY(app->frameLink()->monitor()->isRunning());
        QVERIFY(!app->frameLink()->monitor()->isPaused());
    }

    // A shown main window paints its first frame before the port is opened, so a port that
    // does not open asks for the settings over the window, with the program already in it.
    void portOpensAfterTheFirstFrame()
    {
        CKR44App *app = start({}, true);
        QVERIFY(app);
        QCOMPARE(m_portDialogs, 0);
        QVERIFY(!app->frameLink()->monitor()->isRunning());
        QVERIFY(!app->virtualUnitPanel());
        QCOMPARE(app->children().size(), 1);
        QTRY_COMPARE(m_portDialogs, 1);
        QVERIFY(m_frameVisibleAtDialog);
        QVERIFY(app->firstFrame()->isShown());
        QVERIFY(app->frameLink()->monitor()->isRunning());
        QVERIFY(app->virtualUnitPanel());
        QVERIFY(!app->virtualUnitPanel()->isVisible());
    }

    void portDialogOkStoresTheChoice()
    {
        m_portDialogAnswer = true;
        CKR44App *app = start();
        QCOMPARE(m_portDialogs, 1); // a second failed open shows no second dialog
        QCOMPARE(m_settings->value(QStringLiteral("Communication/COMPort")).toString(), QStringLiteral("/dev/kr44-test-none"));
        QCOMPARE(m_settings->value(QStringLiteral("Communication/BaudRate")).toString(), QStringLiteral("9600"));
        app->mainFrame()->action(cmd::ID_COM_PORT)->trigger();
        QCOMPARE(m_portDialogs, 2);
    }

    void menusAsStored()
    {
        CKR44App *app = start();
        CMainFrame *f = app->mainFrame();
        const QStringList file129 = menuTexts(f->topMenu(129, QStringLiteral("&File")));
        QCOMPARE(file129, (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "&Save\tCtrl+S", "Save &As...", "-",
                                       "&Mail", "-", "&Print...\tCtrl+P", "Print Pre&view", "P&rint Setup...", "-",
                                       "Recent File", "-", "E&xit"}));
        QCOMPARE(menuTexts(f->topMenu(129, QStringLiteral("&KR44"))),
                 (QStringList{"&Command Window\tF2", "-", "&Send program\tF4", "Send program and &run it\tF5", "Sto&p program"}));
        QCOMPARE(menuTexts(f->topMenu(129, QStringLiteral("&Window"))), (QStringList{"&Cascade", "&Tile"}));
        QCOMPARE(menuTexts(f->topMenu(128, QStringLiteral("&File"))),
                 (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "-", "P&rint Setup...", "-", "Recent File", "-", "E&xit"}));
        QCOMPARE(menuTexts(f->topMenu(128, QStringLiteral("&View"))), (QStringList{"&Toolbar", "&Status Bar"}));
        // The virtual unit's two items follow "&COM port".
        QCOMPARE(menuTexts(f->topMenu(128, QStringLiteral("&Options"))),
                 (QStringList{"&COM port", "&Virtual KR44 unit", "Virtual unit &panel", "-", "&Toolbar", "&Status Bar"}));
        QCOMPARE(menuTexts(f->topMenu(129, QStringLiteral("&Options"))),
                 (QStringList{"&COM port", "&Virtual KR44 unit", "Virtual unit &panel", "-", "P&roblems", "&Toolbar",
                              "&Status Bar"}));
        QCOMPARE(menuTexts(f->topMenu(128, QStringLiteral("&Help"))), (QStringList{"&Help Index\tF1", "-", "&About KR44..."}));
        QVERIFY(!f->action(57616)->isEnabled()); // "Recent File" with an empty list
        QStringList bar;
        for (QAction *a : f->menuBar()->actions())
            bar.append(a->text());
        QCOMPARE(bar, (QStringList{"&File", "&Edit", "&KR44", "&Options", "&Window", "&Help"}));
        QCOMPARE(menuTexts(f->topMenu(129, QStringLiteral("&Edit"))),
                 (QStringList{"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V"}));

        // Closing the last program window shows menu 128.
        app->activeChild()->close();
        QTRY_COMPARE(f->currentMenuId(), 128);
        QVERIFY(!f->action(cmd::ID_SEND_PROGRAM)->isEnabled());
        QVERIFY(!f->action(cmd::ID_FILE_SAVE)->isEnabled());
    }

    void barsAndCommandWindow()
    {
        CKR44App *app = start();
        CMainFrame *f = app->mainFrame();
        f->show();
        QVERIFY(QTest::qWaitForWindowExposed(f));
        QCOMPARE(f->instrumentCombo()->count(), 8);
        QCOMPARE(f->instrumentCombo()->itemText(7), QStringLiteral("KR44 no. 8"));
        QCOMPARE(f->instrumentCombo()->currentText(), QStringLiteral("KR44 no. 1"));
        QCOMPARE(f->toolBarArea(f->instrumentBar()), f->toolBarArea(f->toolBar()));
        QVERIFY(f->instrumentBar()->x() > f->toolBar()->x());

        f->action(cmd::ID_VIEW_TOOLBAR)->trigger();
        QVERIFY(!f->toolBar()->isVisible());
        QVERIFY(!f->instrumentBar()->isVisible());
        QVERIFY(!f->action(cmd::ID_VIEW_TOOLBAR)->isChecked());
        f->action(cmd::ID_VIEW_TOOLBAR)->trigger();
        QVERIFY(f->toolBar()->isVisible());
        QVERIFY(f->instrumentBar()->isVisible());

        CCommandWnd *wnd = app->frameLink()->commandWindow();
        QVERIFY(!wnd->isVisible());
        QTest::keyClick(f, Qt::Key_F2);
        QTRY_VERIFY(wnd->isVisible());
        wnd->AppendText("Ready\n");
        const QString shown = wnd->text();
        f->activateWindow();
        f->action(cmd::ID_COMMAND_WINDOW)->trigger();
        QVERIFY(!wnd->isVisible());
        f->action(cmd::ID_COMMAND_WINDOW)->trigger();
        QVERIFY(wnd->isVisible());
        QCOMPARE(wnd->text(), shown);
    }

    void openTwiceActivatesTheOpenWindow()
    {
        const QString file = path(QStringLiteral("demo.krp"));
        QVERIFY(kr44test::writeAll(file, "+200\r\nK\r\n"));
        CKR44App *app = start();
        CChildFrame *first = app->OpenDocumentFile(file);
        QVERIFY(first);
        QCOMPARE(first->windowTitle(), QStringLiteral("demo.krp"));
        QVERIFY(kr44test::writeAll(file, "Z\r\n"));
        app->OnFileNew();
        QCOMPARE(app->OpenDocumentFile(QStringLiteral("\"%1\"").arg(file)), first);
        QCOMPARE(app->activeChild(), first);
        QCOMPARE(first->document()->m_lines.toList(), (QList<QByteArray>{"+200", "K"}));
        QCOMPARE(app->recentFiles().entries().first(), file);
    }

    void failedOpenShowsOneErrorAndNoWindow()
    {
        CKR44App *app = start();
        const int before = int(app->children().size());
        QVERIFY(!app->OpenDocumentFile(path(QStringLiteral("missing.krp"))));
        QCOMPARE(m_prompt.messages, QStringList{path(QStringLiteral("missing.krp")) + " was not found."});
        QCOMPARE(int(app->children().size()), before);
        QVERIFY(app->recentFiles().entries().isEmpty());
    }

    void plainStartReopensTheMostRecentFile()
    {
        const QString file = path(QStringLiteral("last.krp"));
        QVERIFY(kr44test::writeAll(file, "G25000\r\n"));
        m_settings->setValue(QStringLiteral("Recent File List/File1"), file);
        CKR44App *app = start();
        QCOMPARE(app->children().size(), 1);
        QCOMPARE(app->activeChild()->document()->GetPathName(), file);

        // A deleted most recent file: one message, no window, and the entry stays.
        m_app.reset();
        QVERIFY(QFile::remove(file));
        m_prompt.messages.clear();
        app = start();
        QCOMPARE(app->children().size(), 0);
        QCOMPARE(m_prompt.messages.size(), 1);
        QCOMPARE(app->recentFiles().entries(), QStringList{file});

        // A file named on the command line wins over the most recent one.
        m_app.reset();
        const QString named = path(QStringLiteral("named.krp"));
        QVERIFY(kr44test::writeAll(named, "K\r\n"));
        CommandLineRequest request;
        request.action = CommandLineRequest::Action::Open;
        request.fileName = named;
        app = start(request);
        QCOMPARE(app->activeChild()->document()->GetPathName(), named);
    }

    void savePromptOnClose()
    {
        CKR44App *app = start();
        CChildFrame *child = app->activeChild();
        const QString title = child->document()->GetTitle();
        // Unmodified: closes without asking.
        QVERIFY(app->SaveModified(child));
        QVERIFY(m_prompt.messages.isEmpty());

        child->document()->setLines(kr44::LineArray::fromList({"+200"}));
        m_prompt.answers = {QMessageBox::Cancel};
        QVERIFY(!child->close());
        QCOMPARE(m_prompt.messages, QStringList{QStringLiteral("Save changes to %1?").arg(title)});
        QCOMPARE(app->children().size(), 1);

        // Yes with a cancelled Save As keeps the window; the proposal is the title + ".krp".
        m_prompt.answers = {QMessageBox::Yes};
        m_prompt.saveAnswer.clear();
        QVERIFY(!child->close());
        QCOMPARE(m_prompt.proposedNames.last(), title + QStringLiteral(".krp"));

        // Yes with a name saves, then closes.
        const QString target = path(QStringLiteral("closing.krp"));
        m_prompt.answers = {QMessageBox::Yes};
        m_prompt.saveAnswer = target;
        QVERIFY(child->close());
        QCOMPARE(kr44test::readAll(target), QByteArray("+200\r\n"));
        QTRY_COMPARE(app->children().size(), 0);
        QCOMPARE(app->recentFiles().entries().first(), target);
    }

    void exitCancelledByTheSavePrompt()
    {
        CKR44App *app = start();
        app->activeChild()->document()->setLines(kr44::LineArray::fromList({"K"}));
        m_prompt.answers = {QMessageBox::Cancel};
        QVERIFY(!app->mainFrame()->close());
        QCOMPARE(app->children().size(), 1);
        QVERIFY(app->frameLink()->monitor()->isRunning());
        m_prompt.answers = {QMessageBox::No};
        QVERIFY(app->mainFrame()->close());
        QVERIFY(!app->frameLink()->monitor()->isRunning());
        RecentFileList stored;
        stored.load(*m_settings);
        QVERIFY(stored.entries().isEmpty());
    }

    void recentFilesKeepFourAndMoveToTop()
    {
        CKR44App *app = start();
        QStringList files;
        for (int i = 1; i <= 5; ++i) {
            files.append(path(QStringLiteral("r%1.krp").arg(i)));
            QVERIFY(kr44test::writeAll(files.last(), "K\r\n"));
            QVERIFY(app->OpenDocumentFile(files.last()));
        }
        QCOMPARE(app->recentFiles().entries(), (QStringList{files[4], files[3], files[2], files[1]}));
        QCOMPARE(app->mainFrame()->recentFileActions().size(), 4);
        QVERIFY(app->mainFrame()->recentFileActions().first()->text().startsWith(QStringLiteral("&1 ")));
        // The entry of a file that cannot be opened any more is dropped when chosen.
        QVERIFY(QFile::remove(files[3]));
        for (CChildFrame *c : app->children()) {
            if (c->document()->GetPathName() == files[3])
                c->close();
        }
        app->mainFrame()->recentFileActions().at(1)->trigger();
        QCOMPARE(app->recentFiles().entries(), (QStringList{files[4], files[2], files[1]}));
    }

    void sendCommandsFollowTheProgram()
    {
        CKR44App *app = start();
        CMainFrame *f = app->mainFrame();
        QVERIFY(!f->action(cmd::ID_SEND_PROGRAM)->isEnabled());
        QVERIFY(!f->action(cmd::ID_FILE_PRINT)->isEnabled());
        QVERIFY(f->action(cmd::ID_SEND_AND_RUN)->isEnabled());
        QVERIFY(f->action(cmd::ID_STOP_PROGRAM)->isEnabled());
        app->activeChild()->document()->setLines(kr44::LineArray::fromList({"+200"}));
        QVERIFY(f->action(cmd::ID_SEND_PROGRAM)->isEnabled());
        QVERIFY(f->action(cmd::ID_FILE_PRINT)->isEnabled());

        // No port: one "Communication error", then the command window.
        f->action(cmd::ID_SEND_PROGRAM)->trigger();
        QTRY_VERIFY(app->frameLink()->commandWindow()->isVisible());
        QCOMPARE(m_prompt.messages, QStringList{QStringLiteral("Communication error")});
    }

    void captionFollowsTheActiveProgram()
    {
        CKR44App *app = start();
        CMainFrame *f = app->mainFrame();
        CChildFrame *child = app->activeChild();
        QVERIFY(child->isMaximized());
        QCOMPARE(f->windowTitle(), QStringLiteral("KR44 Demo Program - [%1]").arg(child->windowTitle()));
        child->showNormal();
        f->updateCaption();
        QCOMPARE(f->windowTitle(), QStringLiteral("%1 - KR44 Demo Program").arg(child->windowTitle()));
        child->close();
        QTRY_COMPARE(f->windowTitle(), QStringLiteral("KR44 Demo Program"));
        QVERIFY(!(child->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(f->windowFlags() & Qt::WindowMinimizeButtonHint));
    }

    // The built-in virtual unit stands in for the port: a program sent and run from the menu
    // comes back as "Ready" in the Direct Command Window.
    void virtualUnitRunsAProgram()
    {
        CKR44App *app = start();
        CMainFrame *f = app->mainFrame();
        f->action(cmd::ID_VIRTUAL_UNIT)->trigger();
        QVERIFY(app->frameLink()->virtualUnit());
        QVERIFY(f->action(cmd::ID_VIRTUAL_UNIT)->isChecked());
        QVERIFY2(f->messageText().startsWith(QStringLiteral("Using the virtual KR44 unit (")), qPrintable(f->messageText()));
        app->activeChild()->document()->setLines(kr44::LineArray::fromList({"* short move", "+10"}));
        f->action(cmd::ID_SEND_AND_RUN)->trigger();
        CCommandWnd *wnd = app->frameLink()->commandWindow();
        QTRY_VERIFY_WITH_TIMEOUT(wnd->text().contains(QStringLiteral("Ready")), 10000);
        QVERIFY(m_prompt.messages.isEmpty());
        QCOMPARE(app->frameLink()->virtualUnit()->unit().position(), 10);

        f->action(cmd::ID_VIRTUAL_UNIT)->trigger();
        QVERIFY(!app->frameLink()->virtualUnit());
        QCOMPARE(f->messageText(), QStringLiteral("Not connected"));
    }

    // The Edit menu names the step it would undo, and undo back to the save point clears the
    // modified flag.
    void editMenuFollowsTheHistory()
    {
        CKR44App *app = start();
        CMainFrame *f = app->mainFrame();
        CChildFrame *child = app->activeChild();
        QAction *undo = f->action(cmd::ID_EDIT_UNDO);
        QVERIFY(!undo->isEnabled());
        child->view()->setDialogRunner([](QWidget *, const QByteArray &, QByteArray &params,
                                          const kr44::ProgramCodes &, int) {
            params = "set up";
            return kr44::DialogResult::Accepted;
        });
        child->view()->AddComment();
        QCOMPARE(child->document()->m_lines.toList(), QList<QByteArray>{"* set up"});
        QVERIFY(child->document()->IsModified());
        QVERIFY(undo->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("&Undo Comment\tCtrl+Z"));
        undo->trigger();
        QVERIFY(child->document()->m_lines.isEmpty());
        QVERIFY(!child->document()->IsModified());
        QCOMPARE(f->action(cmd::ID_EDIT_REDO)->text(), QStringLiteral("&Redo Comment\tCtrl+Y"));
        f->action(cmd::ID_EDIT_REDO)->trigger();
        QCOMPARE(child->document()->m_lines.toList(), QList<QByteArray>{"* set up"});
    }

    // The Problems panel follows the active program window.
    void problemsPanelFollowsTheActiveProgram()
    {
        const QString bad = path(QStringLiteral("bad.krp"));
        QVERIFY(kr44test::writeAll(bad, "+200\r\nj9\r\nQ1\r\n"));
        CKR44App *app = start();
        CChildFrame *fresh = app->activeChild();
        QCOMPARE(app->problemsPanel()->view(), fresh->view());
        CChildFrame *opened = app->OpenDocumentFile(bad);
        QVERIFY(opened);
        QCOMPARE(app->problemsPanel()->view(), opened->view());
        QTRY_VERIFY(opened->view()->findings().errorCount() >= 2);
        opened->close();
        QTRY_COMPARE(app->problemsPanel()->view(), fresh->view());
    }

    void aboutBoxPausesPolling()
    {
        CKR44App *app = start();
        bool pausedWhileOpen = false;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            pausedWhileOpen = app->frameLink()->monitor()->isPaused();
            QApplication::activeModalWidget()->close();
        });
        app->mainFrame()->action(cmd::ID_APP_ABOUT)->trigger();
        QVERIFY(pausedWhileOpen);
        QVERIFY(!app->frameLink()->monitor()->isPaused());
    }
};

KR44_TEST(TestKR44App)
#include "tst_kr44app.moc"
