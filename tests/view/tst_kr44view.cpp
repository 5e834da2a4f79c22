#include "kr44doc.h"
#include "kr44view.h"
#include "lineeditor.h"
#include "programrows.h"
#include "programtablemodel.h"
#include "prompt.h"
#include "testmain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace kr44;

namespace {

struct DialogCall
{
    QWidget *parent = nullptr;
    QByteArray code;
    QByteArray params;
    int row = -1;
};

// Calls `answer` with the first popup menu that opens, from the event loop that runs it.
// Deleting the returned watcher stops waiting.
QTimer *whenMenuOpens(std::function<void(QMenu *)> answer)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(menu);
    });
    timer->start();
    return timer;
}

// Calls `answer` with the first modal dialog that opens.
void whenDialogOpens(std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(dialog);
    });
    timer->start();
}

QAction *actionWithText(QMenu *menu, const QString &text)
{
    const QList<QAction *> actions = menu->actions();
    for (QAction *a : actions) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

void clickAction(QMenu *menu, QAction *action)
{
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

// A shown program window's view over a document, with the dialogs answered by the test.
struct Window
{
    explicit Window(const QByteArrayList &lines, QSize size = QSize(600, 400))
    {
        doc.m_lines = LineArray::fromList(lines);
        view = std::make_unique<CKR44View>(&doc);
        view->setDialogRunner([this](QWidget *parent, const QByteArray &code, QByteArray &params,
                                     const ProgramCodes &, int row) {
            calls.append({parent, code, params, row});
            if (answers.isEmpty())
                return DialogResult::Rejected;
            const QByteArray answer = answers.takeFirst();
            params = answer;
            return DialogResult::Accepted;
        });
        view->resize(size);
        view->move(20, 20);
        view->show();
        ready = QTest::qWaitForWindowExposed(view.get());
        list = view->list();
        list->setFocus();
    }

    [[nodiscard]] QByteArrayList docLines() const { return doc.m_lines.toList(); }
    [[nodiscard]] QPoint rowCenter(int row) const
    {
        return list->visualRect(list->model()->index(row, 1)).center();
    }
    void key(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(list, key, mods); }

    CKR44Doc doc;
    std::unique_ptr<CKR44View> view;
    QTableView *list = nullptr;
    QList<DialogCall> calls;
    QByteArrayList answers;
    bool ready = false;
};

} // namespace

class TestKR44View : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        // A failed test may leave a menu open; the next one must start without it.
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    }

    void columnsAndRows()
    {
        Window w({"G1000", "J1H,5", "K", "* Start position", "Q12"});
        QVERIFY(w.ready);
        QHeaderView *header = w.list->horizontalHeader();
        QCOMPARE(header->count(), 4);
        const int client = w.list->contentsRect().width();
        QCOMPARE(header->sectionSize(0), client / 6);
        QCOMPARE(header->sectionSize(1), client / 6);
        QCOMPARE(header->sectionSize(2), client / 6);
        QCOMPARE(header->sectionSize(3), client / 2);
        QCOMPARE(header->sectionResizeMode(3), QHeaderView::Interactive);
        QVERIFY(!w.list->verticalHeader()->isVisible());
        QCOMPARE(w.list->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(w.list->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(w.list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(w.list->editTriggers(), QAbstractItemView::NoEditTriggers);

        QCOMPARE(w.view->rowCount(), 6);
        QCOMPARE(w.view->text(1, 2), QStringLiteral("Jump if"));
        QCOMPARE(w.view->text(4, 2), QString());
        QCOMPARE(w.view->text(5, 0), QStringLiteral("6"));
        QCOMPARE(w.view->selectedRow(), 0);
        QCOMPARE(w.list->currentIndex().row(), 0);
        QVERIFY(!w.doc.IsModified());
        QVERIFY(!w.view->objectName().isEmpty());
        QVERIFY(!w.view->accessibleName().isEmpty());
        QVERIFY(!w.list->accessibleName().isEmpty());
    }

    void columnWidthsAreTheUsersOnceShown()
    {
        Window w({"G1"});
        QVERIFY(w.ready);
        QHeaderView *header = w.list->horizontalHeader();
        // Let the view's first turn of the event loop pass: from then on the widths stay.
        QTRY_COMPARE(header->sectionSize(3), w.list->contentsRect().width() / 2);
        QTest::qWait(0);
        const int first = header->sectionSize(0);
        header->resizeSection(3, 77);
        w.view->resize(900, 400);
        QTRY_COMPARE(w.view->width(), 900);
        QCoreApplication::processEvents();
        QCOMPARE(header->sectionSize(3), 77);
        QCOMPARE(header->sectionSize(0), first);
    }

    void enterOnTheEndRowChoosesAnInstruction()
    {
        Window w({});
        QVERIFY(w.ready);
        QSignalSpy pause(w.view.get(), &CKR44View::commPauseRequested);
        QSignalSpy resume(w.view.get(), &CKR44View::commResumeRequested);
        QStringList texts;
        QPoint menuPos;
        const QPoint rowTopLeft = w.list->viewport()->mapToGlobal(
                w.list->visualRect(w.list->model()->index(0, 0)).topLeft());
        whenMenuOpens([&](QMenu *menu) {
            menuPos = menu->pos();
            for (QAction *a : menu->actions())
                texts.append(a->text());
            clickAction(menu, actionWithText(menu, QStringLiteral("G\tGo to")));
        });
        w.answers.append("25000");
        w.key(Qt::Key_Return);

        QStringList table;
        for (int k = 0; k < kInstructionCount; ++k)
            table.append(QString::fromLatin1(kInstructionTable[k]));
        QCOMPARE(texts, table);
        QCOMPARE(menuPos, rowTopLeft);
        QCOMPARE(w.calls.size(), 1);
        QCOMPARE(w.calls[0].code, QByteArray("G"));
        QCOMPARE(w.calls[0].params, QByteArray());
        QCOMPARE(w.calls[0].parent, w.view.get());
        QCOMPARE(pause.size(), 1);
        QCOMPARE(resume.size(), 1);
        QCOMPARE(w.docLines(), QByteArrayList{"G25000"});
        QVERIFY(w.doc.IsModified());
        QCOMPARE(w.view->rowCount(), 2);
        QCOMPARE(w.view->text(0, 2), QStringLiteral("Go to"));
        QCOMPARE(w.view->selectedRow(), 0);
    }

    void dismissingTheInstructionMenuChangesNothing()
    {
        Window w({"G1"});
        QVERIFY(w.ready);
        bool opened = false;
        whenMenuOpens([&](QMenu *menu) {
            opened = true;
            QTest::keyClick(menu, Qt::Key_Escape);
        });
        QTest::mouseDClick(w.list->viewport(), Qt::LeftButton, {}, w.rowCenter(1));
        QVERIFY(opened);
        QVERIFY(w.calls.isEmpty());
        QCOMPARE(w.view->rowCount(), 2);
        QVERIFY(!w.doc.IsModified());
    }

    void doubleClickEditsALine()
    {
        Window w({"G1", "W1H"});
        QVERIFY(w.ready);
        w.answers.append("2L");
        QTest::mouseDClick(w.list->viewport(), Qt::LeftButton, {}, w.rowCenter(1));
        QCOMPARE(w.calls.size(), 1);
        QCOMPARE(w.calls[0].code, QByteArray("W"));
        QCOMPARE(w.calls[0].params, QByteArray("1H"));
        QCOMPARE(w.calls[0].row, 1);
        QCOMPARE(w.docLines(), (QByteArrayList{"G1", "W2L"}));
    }

    void insertKeyInsertsBeforeTheSelectedRow()
    {
        Window w({"G1", "j1", "J2L,2"});
        QVERIFY(w.ready);
        whenMenuOpens([](QMenu *menu) {
            clickAction(menu, actionWithText(menu, QStringLiteral("K\tKill")));
        });
        w.key(Qt::Key_Insert);
        QVERIFY(w.calls.isEmpty()); // K has no dialog
        QCOMPARE(w.docLines(), (QByteArrayList{"K", "G1", "j2", "J2L,3"}));
        QCOMPARE(w.view->selectedRow(), 0);
        QVERIFY(w.view->insertMode());
    }

    void deleteKey()
    {
        Window w({"G100", "D500", "G200", "j3"});
        QVERIFY(w.ready);
        QList<QPair<PromptIcon, QString>> prompts;
        const PromptHandler previous = setPromptHandler(
                [&prompts](QWidget *, PromptIcon icon, const QString &text) {
                    prompts.append({icon, text});
                });
        w.view->selectRow(2);
        w.key(Qt::Key_Delete);
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts[0].first, PromptIcon::Exclamation);
        QCOMPARE(prompts[0].second, QStringLiteral("This line is referenced by a jump instruction!"));
        QCOMPARE(w.view->rowCount(), 5);
        QVERIFY(!w.doc.IsModified());

        w.view->selectRow(1);
        w.key(Qt::Key_Delete, Qt::ControlModifier);
        setPromptHandler(previous);
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(w.docLines(), (QByteArrayList{"G100", "G200", "j2"}));
        QCOMPARE(w.view->selectedRow(), 1);
    }

    void spaceAddsAComment()
    {
        Window w({"G1"});
        QVERIFY(w.ready);
        QSignalSpy pause(w.view.get(), &CKR44View::commPauseRequested);
        w.answers.append("start");
        w.key(Qt::Key_Space);
        QCOMPARE(w.calls.size(), 1);
        QCOMPARE(w.calls[0].code, QByteArray());
        QCOMPARE(w.docLines(), (QByteArrayList{"* start", "G1"}));
        QCOMPARE(w.view->selectedRow(), 0);
        QCOMPARE(pause.size(), 0);
    }

    // With no window action to take them (or with its command disabled), the Edit keys reach
    // the list and do nothing there: no line menu, no change, and not the table view's own copy
    // of the current cell.
    void editKeysAloneDoNothing_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::newRow("Ctrl+Insert") << int(Qt::Key_Insert) << int(Qt::ControlModifier);
        QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier);
        QTest::newRow("Shift+Delete") << int(Qt::Key_Delete) << int(Qt::ShiftModifier);
        QTest::newRow("Alt+Delete") << int(Qt::Key_Delete) << int(Qt::AltModifier);
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier);
        QTest::newRow("Alt+Backspace") << int(Qt::Key_Backspace) << int(Qt::AltModifier);
        QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << int(Qt::ControlModifier);
    }
    void editKeysAloneDoNothing()
    {
        QFETCH(int, key);
        QFETCH(int, mods);
        Window w({"G1", "K"});
        QVERIFY(w.ready);
        QApplication::clipboard()->setText(QStringLiteral("before"));
        bool menuOpened = false;
        const QPointer<QTimer> watcher = whenMenuOpens([&menuOpened](QMenu *menu) {
            menuOpened = true;
            menu->close();
        });
        w.key(Qt::Key(key), Qt::KeyboardModifiers(mods));
        QTest::qWait(50); // give a wrongly opened menu the chance to show
        QVERIFY(!menuOpened);
        QCOMPARE(w.view->rowCount(), 3);
        QVERIFY(!w.doc.IsModified());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
        delete watcher.data();
    }

    // The window's Edit actions, bound to the keys as the main window binds them, get the keys
    // while the list has the focus.
    void editKeysReachTheWindowsActions_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QString>("command");
        QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << int(Qt::ControlModifier) << "undo";
        QTest::newRow("Alt+Backspace") << int(Qt::Key_Backspace) << int(Qt::AltModifier) << "undo";
        QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << int(Qt::ControlModifier) << "redo";
        QTest::newRow("Ctrl+Shift+Z")
                << int(Qt::Key_Z) << int(Qt::ControlModifier | Qt::ShiftModifier) << "redo";
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier) << "cut";
        QTest::newRow("Shift+Delete") << int(Qt::Key_Delete) << int(Qt::ShiftModifier) << "cut";
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "copy";
        QTest::newRow("Ctrl+Insert") << int(Qt::Key_Insert) << int(Qt::ControlModifier) << "copy";
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier) << "paste";
        QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << "paste";
    }
    void editKeysReachTheWindowsActions()
    {
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(QString, command);
        CKR44Doc doc;
        doc.m_lines = LineArray::fromList({"G1", "K"});
        QMainWindow frame;
        auto *area = new QMdiArea(&frame);
        frame.setCentralWidget(area);
        auto *view = new CKR44View(&doc);
        area->addSubWindow(view)->showMaximized();
        const QList<QPair<QString, QList<QKeySequence>>> commands = {
            {QStringLiteral("undo"), {Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_Backspace}},
            {QStringLiteral("redo"), {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}},
            {QStringLiteral("cut"), {Qt::CTRL | Qt::Key_X, Qt::SHIFT | Qt::Key_Delete}},
            {QStringLiteral("copy"), {Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}},
            {QStringLiteral("paste"), {Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert}},
        };
        QStringList triggered;
        for (const auto &[name, keys] : commands) {
            auto *action = new QAction(name, &frame);
            action->setShortcuts(keys);
            action->setShortcutContext(Qt::WindowShortcut);
            frame.addAction(action);
            connect(action, &QAction::triggered, &frame,
                    [&triggered, name = name] { triggered.append(name); });
        }
        frame.resize(600, 400);
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        view->list()->setFocus();
        QVERIFY(view->list()->hasFocus());
        QTest::keyClick(view->list(), Qt::Key(key), Qt::KeyboardModifiers(mods));
        QCOMPARE(triggered, QStringList{command});
        QCOMPARE(view->rowCount(), 3);
        QVERIFY(!doc.IsModified());
    }

    void editActionsFollowTheHistory()
    {
        Window w({"G1", "D5", "j1"});
        QVERIFY(w.ready);
        QSignalSpy changed(w.view.get(), &CKR44View::editCommandsChanged);
        QAction *undo = w.view->undoAction();
        QAction *redo = w.view->redoAction();
        QCOMPARE(undo->text(), QStringLiteral("&Undo"));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(redo->text(), QStringLiteral("&Redo"));
        QVERIFY(!redo->isEnabled());

        w.view->selectRow(1);
        w.key(Qt::Key_Delete);
        QCOMPARE(w.docLines(), (QByteArrayList{"G1", "j1"}));
        QVERIFY(!changed.isEmpty());
        QCOMPARE(undo->text(), QStringLiteral("&Undo Delete"));
        QVERIFY(undo->isEnabled());
        QVERIFY(w.view->canUndo());

        undo->trigger();
        QCOMPARE(w.docLines(), (QByteArrayList{"G1", "D5", "j1"}));
        QCOMPARE(w.view->selectedRow(), 1);
        QVERIFY(!w.doc.IsModified());
        QCOMPARE(undo->text(), QStringLiteral("&Undo"));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(redo->text(), QStringLiteral("&Redo Delete"));
        QVERIFY(redo->isEnabled());
        QCOMPARE(w.view->redoText(), QStringLiteral("Delete"));

        redo->trigger();
        QCOMPARE(w.docLines(), (QByteArrayList{"G1", "j1"}));
        QVERIFY(w.doc.IsModified());
        w.view->markSaved();
        QVERIFY(!w.doc.IsModified());
        QVERIFY(undo->isEnabled());
    }

    void clipboardCommands()
    {
        Window w({"G1", "D5", "j1"});
        QVERIFY(w.ready);
        QStringList warnings;
        w.view->setWarningPrompt(
                [&warnings](QWidget *, const QString &text) { warnings.append(text); });
        QClipboard *clipboard = QApplication::clipboard();
        clipboard->clear();
        QTRY_VERIFY(!w.view->pasteAction()->isEnabled());
        QVERIFY(!w.view->canPaste());

        w.view->selectRow(1);
        QVERIFY(w.view->copyAction()->isEnabled());
        w.view->copyAction()->trigger();
        QCOMPARE(clipboard->text(), QStringLiteral("D5\n"));
        QTRY_VERIFY(w.view->pasteAction()->isEnabled());
        QVERIFY(!w.doc.IsModified());

        // Cut of a line a jump refers to is refused and leaves the clipboard alone.
        w.view->selectRow(0);
        w.view->cutAction()->trigger();
        QCOMPARE(warnings,
                 QStringList{QStringLiteral("This line is referenced by a jump instruction!")});
        QCOMPARE(clipboard->text(), QStringLiteral("D5\n"));
        QCOMPARE(w.docLines(), (QByteArrayList{"G1", "D5", "j1"}));

        // Text from elsewhere pastes one line per text line, before the selected row.
        clipboard->setText(QStringLiteral("K\r\nG7"));
        w.view->paste();
        QCOMPARE(w.docLines(), (QByteArrayList{"K", "G7", "G1", "D5", "j3"}));
        QCOMPARE(w.view->selectedRow(), 0);
        QCOMPARE(w.view->undoText(), QStringLiteral("Paste"));

        w.view->selectRow(3);
        w.view->cut();
        QCOMPARE(clipboard->text(), QStringLiteral("D5\n"));
        QCOMPARE(w.docLines(), (QByteArrayList{"K", "G7", "G1", "j3"}));
        // The end row: nothing to copy or cut, but a place to paste.
        w.view->selectRow(4);
        QVERIFY(!w.view->copyAction()->isEnabled());
        QVERIFY(!w.view->cutAction()->isEnabled());
        QVERIFY(w.view->pasteAction()->isEnabled());
        w.view->paste();
        QCOMPARE(w.docLines(), (QByteArrayList{"K", "G7", "G1", "j3", "D5"}));
    }

    // Undo shows the row it gives back, wherever the list was scrolled to.
    void undoShowsTheRestoredRow()
    {
        QByteArrayList lines;
        for (int i = 0; i < 300; ++i)
            lines.append("G" + QByteArray::number(i));
        Window w(lines, QSize(400, 200));
        QVERIFY(w.ready);
        w.view->selectRow(250);
        w.view->DeleteLine();
        QScrollBar *bar = w.list->verticalScrollBar();
        bar->setValue(0);
        w.view->undo();
        QCOMPARE(w.view->selectedRow(), 250);
        QVERIFY(w.list->viewport()->rect().contains(
                w.list->visualRect(w.list->currentIndex()).center()));
        QCOMPARE(w.docLines(), lines);
    }

    void lineMenuFromTheKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::newRow("context-menu key") << int(Qt::Key_Menu) << 0;
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }
    void lineMenuFromTheKeyboard()
    {
        QFETCH(int, key);
        QFETCH(int, mods);
        Window w({"G1"});
        QVERIFY(w.ready);
        w.key(Qt::Key(key), Qt::KeyboardModifiers(mods));
        QMenu *menu = w.view->lineMenu();
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(QApplication::activePopupWidget(), menu);
        QCOMPARE(menu->pos(), w.list->mapToGlobal(w.list->contentsRect().topLeft() + QPoint(5, 5)));
        QStringList texts;
        for (QAction *a : menu->actions())
            texts.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(texts, (QStringList{"&Edit line\tEnter", "&Insert\tIns", "&Delete\tDel", "-",
                                     "Add a &Comment\tSpace"}));
        for (QAction *a : menu->actions())
            QVERIFY(a->isEnabled());
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_VERIFY(!menu->isVisible());
    }

    void lineMenuFromTheMouseActsOnTheClickedRow()
    {
        Window w({"G100", "D500"});
        QVERIFY(w.ready);
        const QPoint at = w.rowCenter(1);
        QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, w.list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(w.list->viewport(), &event);
        QMenu *menu = w.view->lineMenu();
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), w.list->viewport()->mapToGlobal(at));
        clickAction(menu, w.view->deleteAction());
        QTRY_COMPARE(w.docLines(), QByteArrayList{"G100"});
        QCOMPARE(w.view->selectedRow(), 1);
    }

    void clickingBelowTheRowsSelectsNothing()
    {
        Window w({"G1"});
        QVERIFY(w.ready);
        QSignalSpy enabling(w.view.get(), &CKR44View::commandEnablingChanged);
        const QPoint blank(10, w.list->viewport()->height() - 5);
        QVERIFY(!w.list->indexAt(blank).isValid());
        QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, blank);
        QCOMPARE(w.view->selectedRow(), -1);
        QCOMPARE(enabling.size(), 1);
        QVERIFY(!w.view->editLineAction()->isEnabled());
        QVERIFY(!w.view->deleteAction()->isEnabled());
        QVERIFY(w.view->insertAction()->isEnabled());
        QVERIFY(w.view->addCommentAction()->isEnabled());

        bool menuOpened = false;
        const QPointer<QTimer> watcher = whenMenuOpens([&menuOpened](QMenu *menu) {
            menuOpened = true;
            menu->close();
        });
        QTest::mouseDClick(w.list->viewport(), Qt::LeftButton, {}, blank);
        w.key(Qt::Key_Return);
        w.key(Qt::Key_Insert);
        w.key(Qt::Key_Delete);
        QTest::qWait(50); // give a wrongly opened menu the chance to show
        QVERIFY(!menuOpened);
        QVERIFY(w.calls.isEmpty());
        QCOMPARE(w.view->rowCount(), 2);
        delete watcher.data();

        QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, w.rowCenter(0));
        QCOMPARE(w.view->selectedRow(), 0);
        QCOMPARE(enabling.size(), 2);
        QVERIFY(w.view->deleteAction()->isEnabled());
    }

    void operationsDoNotScrollTheList()
    {
        QByteArrayList lines;
        for (int i = 0; i < 300; ++i)
            lines.append("G" + QByteArray::number(i));
        Window w(lines, QSize(400, 200));
        QVERIFY(w.ready);
        QScrollBar *bar = w.list->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        bar->setValue(bar->maximum());
        const int scrolled = bar->value();
        QCOMPARE(w.view->selectedRow(), 0);
        w.answers.append("note");
        w.key(Qt::Key_Space); // inserts above row 0 and selects the new row
        QCOMPARE(w.docLines().first(), QByteArray("* note"));
        QCOMPARE(w.view->selectedRow(), 0);
        QCOMPARE(bar->value(), scrolled);
        // The user's own keys do scroll.
        w.key(Qt::Key_Down);
        QCOMPARE(w.view->selectedRow(), 1);
        QVERIFY(w.list->viewport()->rect().contains(
                w.list->visualRect(w.list->currentIndex()).center()));
    }

    void closingDuringADialogStillResumesPolling()
    {
        CKR44Doc doc;
        doc.m_lines = LineArray::fromList({"G1"});
        auto *view = new CKR44View(&doc);
        int pauses = 0;
        int resumes = 0;
        QObject counter;
        connect(view, &CKR44View::commPauseRequested, &counter, [&pauses] { ++pauses; });
        connect(view, &CKR44View::commResumeRequested, &counter, [&resumes] { ++resumes; });
        view->setDialogRunner([view](QWidget *, const QByteArray &, QByteArray &params,
                                     const ProgramCodes &, int) {
            delete view; // the window goes while its dialog is open
            params = "5";
            return DialogResult::Accepted;
        });
        QVERIFY(view->EditLine(0));
        QCOMPARE(pauses, 1);
        QCOMPARE(resumes, 1);
        QCOMPARE(doc.m_lines.toList(), QByteArrayList{"G1"});
        QVERIFY(!doc.IsModified());
    }

    void realDialogsThroughTheDefaultRunner()
    {
        CKR44Doc doc;
        doc.m_lines = LineArray::fromList({"G100"});
        CKR44View view(&doc);
        view.resize(500, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy pause(&view, &CKR44View::commPauseRequested);
        QSignalSpy resume(&view, &CKR44View::commResumeRequested);
        QString title;
        bool pausedWhileOpen = false;
        whenDialogOpens([&](QWidget *dialog) {
            title = dialog->windowTitle();
            pausedWhileOpen = pause.size() == 1 && resume.isEmpty();
            auto *edit = dialog->findChild<QLineEdit *>();
            auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("okButton"));
            if (!edit || !ok) {
                dialog->close();
                return;
            }
            edit->setText(QStringLiteral("-250"));
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        QTest::keyClick(view.list(), Qt::Key_Return);
        QCOMPARE(title, QStringLiteral("Goto Command"));
        QVERIFY(pausedWhileOpen);
        QCOMPARE(resume.size(), 1);
        QCOMPARE(doc.m_lines.toList(), QByteArrayList{"G-250"});
    }
};

KR44_TEST(TestKR44View)
#include "tst_kr44view.moc"
