// The shown program list: the keys, clicks and menus that reach the editing operations, the
// Edit commands as actions, and the real dialogs behind them.

#include "dialogtesting.h"
#include "editorharness.h"
#include "testmain.h"

#include <QAction>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>

using namespace kr44;
using namespace kr44test;

class TestProgramView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // One row for each way in: a key, "double-click", or "menu" (the line menu opened on the
    // row with the mouse); after " > ", the entry chosen from the menu that opens.
    void input_data()
    {
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArrayList>("after");
        QTest::newRow("Enter on the end row")
                << QByteArrayList {"G1"} << 1 << "Return > G\tGo to" << QByteArrayList {"G1", "G7"};
        QTest::newRow("double-click") << QByteArrayList {"G1", "W1H"} << 1 << "double-click"
                                      << QByteArrayList {"G1", "W7"};
        QTest::newRow("Insert") << QByteArrayList {"G1", "j1"} << 0 << "Ins > K\tKill"
                                << QByteArrayList {"K", "G1", "j2"};
        QTest::newRow("Delete") << QByteArrayList {"G1", "D5", "j3"} << 1 << "Del"
                                << QByteArrayList {"G1", "j2"};
        QTest::newRow("Space") << QByteArrayList {"G1"} << 0 << "Space"
                               << QByteArrayList {"* 7", "G1"};
        QTest::newRow("line menu") << QByteArrayList {"G1", "D5"} << 1 << "menu > &Delete\tDel"
                                   << QByteArrayList {"G1"};
        QTest::newRow("line menu from the keyboard")
                << QByteArrayList {"G1"} << 0 << "Shift+F10 > Add a &Comment\tSpace"
                << QByteArrayList {"* 7", "G1"};
    }
    void input()
    {
        QFETCH(QByteArrayList, lines);
        QFETCH(int, row);
        QFETCH(QString, input);
        QFETCH(QByteArrayList, after);
        ViewWindow w(lines);
        w.script.answers = {"7"};
        w.view->selectRow(row);
        const QString choice = input.section(QStringLiteral(" > "), 1);
        const auto menu = whenMenu([&choice](QMenu *m) {
            for (QAction *a : m->actions()) {
                if (a->text() == choice)
                    return QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(a).center());
            }
            m->close(); // none was expected
        });
        QWidget *viewport = w.view->list()->viewport();
        const QPoint at = w.rowCenter(row);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        const QKeyCombination key = QKeySequence(input.section(u' ', 0, 0))[0];
        if (input == u"double-click")
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        else if (input.startsWith(u"menu"))
            QApplication::sendEvent(viewport, &event);
        else
            w.key(key.key(), key.keyboardModifiers());
        QTRY_COMPARE(w.docLines(), after);
        QCOMPARE(*menu, !choice.isEmpty());
        QCOMPARE(w.view->selectedRow(), row);
    }

    // The window's Edit actions take these keys; one that reaches the list (the command being
    // disabled) does nothing there: no menu, no change, not the table's own copy of a cell.
    void editKeysAlone()
    {
        ViewWindow w({"G1", "K"});
        const auto menu = whenMenu([](QMenu *m) { m->close(); });
        for (const char *keys : {"Ctrl+C", "Ctrl+Ins", "Ctrl+X", "Shift+Del", "Ctrl+V", "Shift+Ins",
                                 "Ctrl+Z", "Alt+Backspace", "Ctrl+Y"}) {
            QApplication::clipboard()->setText(QStringLiteral("before"));
            const QKeyCombination key = QKeySequence(QString::fromLatin1(keys))[0];
            w.key(key.key(), key.keyboardModifiers());
            QVERIFY2(!*menu && !QApplication::activePopupWidget(), keys);
            QCOMPARE(w.view->rowCount(), 3);
            QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        }
    }

    void editActions()
    {
        ViewWindow w({"G1", "D5", "j1"});
        w.view->setWarningPrompt({}); // the default: a prompt with the exclamation icon
        PromptRecorder prompts;
        w.view->cutAction()->trigger(); // row 0, which j1 jumps to
        QCOMPARE(prompts.texts(true), QStringList(u'!' + QString(kReferencedLineMessage)));
        w.view->selectRow(1);
        w.view->copyAction()->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("D5\n"));
        QApplication::clipboard()->setText(QStringLiteral("K\r\nG7"));
        w.view->pasteAction()->trigger();
        QCOMPARE(w.docLines(), (QByteArrayList {"G1", "K", "G7", "D5", "j1"}));
        QCOMPARE(w.view->undoAction()->text(), QStringLiteral("&Undo Paste"));
        w.view->undoAction()->trigger();
        QCOMPARE(w.view->redoAction()->text(), QStringLiteral("&Redo Paste"));
        QVERIFY(!w.view->undoAction()->isEnabled() && !w.doc.isModified());
        w.view->selectRow(3); // the end row: nothing to copy, but a place to paste
        QVERIFY(!w.view->copyAction()->isEnabled() && w.view->pasteAction()->isEnabled());
    }

    // The columns take 1/6, 1/6, 1/6 and 1/2 of the width the list shows, so no horizontal
    // scroll bar appears: not once a vertical one takes its room, nor after a resize.
    void columnsFitTheShownWidth()
    {
        ViewWindow w(QByteArrayList(60, "G1"));
        QTableView *list = w.view->list();
        for (const QSize size : {QSize(600, 400), QSize(900, 300), QSize(450, 500)}) {
            w.view->resize(size);
            QTRY_VERIFY(list->width() == size.width() && list->verticalScrollBar()->isVisible()
                        && list->columnWidth(3) == list->viewport()->width() / 2
                        && list->columnWidth(0) == list->viewport()->width() / 6);
            QTRY_VERIFY(!list->horizontalScrollBar()->isVisible()
                        && list->horizontalScrollBar()->maximum() == 0);
        }
    }

    // The instruction dialogs themselves, the link paused while one is open; a window closed
    // meanwhile stores nothing, and the link is resumed all the same.
    void realDialog()
    {
        ViewWindow w({"G100"});
        w.view->setDialogRunner(&kr44::runInstructionDialog);
        QSignalSpy pause(w.view.get(), &ProgramView::commPauseRequested);
        QSignalSpy resume(w.view.get(), &ProgramView::commResumeRequested);
        const auto ran = whenModal([](QWidget *dialog) {
            QTest::keyClicks(dialog->focusWidget(), QStringLiteral("-250"));
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
        });
        w.key(Qt::Key_Return);
        QCOMPARE(pause.size(), 1);
        QCOMPARE(resume.size(), 1);
        QCOMPARE(w.docLines(), QByteArrayList {"G-250"});

        w.view->setDialogRunner([&w](QWidget *, auto &, QByteArray &params, auto &, int) {
            w.view.reset();
            params = "5";
            return DialogResult::Accepted;
        });
        QVERIFY(w.view->editLine(0));
        QCOMPARE(resume.size(), 2);
        QCOMPARE(w.docLines(), QByteArrayList {"G-250"});
    }
};

KR44_TEST(TestProgramView)
#include "tst_programview.moc"
