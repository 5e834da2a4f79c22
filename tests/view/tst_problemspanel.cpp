#include "kr44doc.h"
#include "kr44view.h"
#include "problemlistmodel.h"
#include "problemspanel.h"
#include "programchecker.h"
#include "testmain.h"

#include <QHBoxLayout>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace kr44;

namespace {

// Each entry of the panel as "line|severity|problem".
QStringList entries(const ProblemsPanel &panel)
{
    const QAbstractItemModel *model = panel.list()->model();
    QStringList out;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells.append(model->index(row, column).data().toString());
        out.append(cells.join(QLatin1Char('|')));
    }
    return out;
}

QByteArrayList program(int lines, const QList<std::pair<int, QByteArray>> &bad)
{
    QByteArrayList out;
    for (int i = 0; i < lines; ++i)
        out.append("+" + QByteArray::number(i + 1));
    for (const auto &[row, text] : bad)
        out[row] = text;
    return out;
}

// A program window and the panel beside it in one main window.
struct Frame
{
    Frame()
    {
        window.resize(700, 360);
        panel = new ProblemsPanel(&window);
        window.addDockWidget(Qt::BottomDockWidgetArea, panel);
        auto *central = new QWidget(&window);
        layout = new QHBoxLayout(central);
        window.setCentralWidget(central);
        window.show();
        ready = QTest::qWaitForWindowExposed(&window);
    }

    // A view over `lines` in the window, checked once.
    CKR44View *addView(const QByteArrayList &lines)
    {
        auto doc = std::make_unique<CKR44Doc>();
        doc->m_lines = LineArray::fromList(lines);
        auto *view = new CKR44View(doc.get(), window.centralWidget());
        view->setDialogRunner([this](QWidget *, const QByteArray &, QByteArray &params,
                                     const ProgramCodes &, int) {
            if (answers.isEmpty())
                return DialogResult::Rejected;
            params = answers.takeFirst();
            return DialogResult::Accepted;
        });
        layout->addWidget(view);
        view->show();
        docs.push_back(std::move(doc));
        if (!QTest::qWaitFor([view] { return view->programChecker()->checkCount() > 0; }))
            return nullptr;
        return view;
    }

    [[nodiscard]] bool checked(CKR44View *view, int since) const
    {
        return QTest::qWaitFor([&] {
            return view->programChecker()->checkCount() > since
                    && !view->programChecker()->isPending();
        });
    }

    // Deleted before the documents, which the views point to.
    std::vector<std::unique_ptr<CKR44Doc>> docs;
    QMainWindow window;
    ProblemsPanel *panel = nullptr;
    QHBoxLayout *layout = nullptr;
    QByteArrayList answers;
    bool ready = false;
};

const QString kDelayZero = QStringLiteral(
        "The delay 0 is outside 1 to 65535, so the unit refuses the line.");
const QString kUnknownQ = QStringLiteral(
        "\"Q\" is not an instruction code, so the unit refuses this line.");

} // namespace

class TestProblemsPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void names()
    {
        ProblemsPanel panel;
        QCOMPARE(panel.objectName(), QStringLiteral("problemsPanel"));
        QCOMPARE(panel.windowTitle(), QStringLiteral("Problems"));
        QVERIFY(!panel.accessibleName().isEmpty());
        QCOMPARE(panel.widget(), panel.list());
        QVERIFY(!panel.list()->objectName().isEmpty());
        QVERIFY(!panel.list()->accessibleName().isEmpty());
        const QAbstractItemModel *model = panel.list()->model();
        QCOMPARE(model->columnCount(), 3);
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Line"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Severity"));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Problem"));
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(panel.view(), nullptr);
    }

    void followsTheView()
    {
        Frame f;
        QVERIFY(f.ready);
        CKR44View *view = f.addView({"+200", "D0", "Q7", "K"});
        QVERIFY(view);
        f.panel->setView(view);
        QCOMPARE(f.panel->view(), view);
        QCOMPARE(entries(*f.panel), QStringList({"2|Error|" + kDelayZero, "3|Error|" + kUnknownQ}));
        const QModelIndex severity = f.panel->list()->model()->index(0, 1);
        QVERIFY(!severity.data(Qt::DecorationRole).value<QIcon>().isNull());
        QCOMPARE(f.panel->list()->model()->index(0, 2).data(Qt::ToolTipRole).toString(),
                 kDelayZero);

        // The edit that fixes line 2 takes its entry away once the view has checked it.
        const int checks = view->programChecker()->checkCount();
        f.answers.append("500");
        QVERIFY(view->EditLine(1));
        QCOMPARE(entries(*f.panel).size(), 2);
        QVERIFY(f.checked(view, checks));
        QCOMPARE(entries(*f.panel), QStringList({"3|Error|" + kUnknownQ}));

        // Undone, the entry is back.
        view->undo();
        QVERIFY(f.checked(view, checks + 1));
        QCOMPARE(entries(*f.panel), QStringList({"2|Error|" + kDelayZero, "3|Error|" + kUnknownQ}));
    }

    void switchesBetweenViews()
    {
        Frame f;
        QVERIFY(f.ready);
        CKR44View *first = f.addView({"D0"});
        CKR44View *second = f.addView({"+1", "Q7"});
        QVERIFY(first && second);
        f.panel->setView(first);
        QCOMPARE(entries(*f.panel), QStringList({"1|Error|" + kDelayZero}));
        f.panel->setView(second);
        QCOMPARE(entries(*f.panel), QStringList({"2|Error|" + kUnknownQ}));

        // The view no longer shown changes: the panel stays with the one it shows.
        const int checks = first->programChecker()->checkCount();
        f.answers.append("5");
        QVERIFY(first->EditLine(0));
        QVERIFY(f.checked(first, checks));
        QCOMPARE(entries(*f.panel), QStringList({"2|Error|" + kUnknownQ}));
        f.panel->setView(first);
        QCOMPARE(entries(*f.panel), QStringList());

        f.panel->setView(nullptr);
        QCOMPARE(f.panel->view(), nullptr);
        QCOMPARE(entries(*f.panel), QStringList());
    }

    void aClosedViewLeavesThePanelEmpty()
    {
        Frame f;
        QVERIFY(f.ready);
        CKR44View *view = f.addView({"D0", "Q7"});
        QVERIFY(view);
        f.panel->setView(view);
        QCOMPARE(entries(*f.panel).size(), 2);
        f.panel->list()->setCurrentIndex(f.panel->list()->model()->index(1, 0));
        delete view;
        QCOMPARE(f.panel->view(), nullptr);
        QCOMPARE(entries(*f.panel), QStringList());
        // Nothing left to go to.
        QTest::keyClick(f.panel->list(), Qt::Key_Return);
        f.panel->setView(nullptr);
        QCOMPARE(entries(*f.panel), QStringList());
    }

    void activationShowsTheRow_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Enter") << QStringLiteral("enter");
        QTest::newRow("double-click") << QStringLiteral("double-click");
    }

    void activationShowsTheRow()
    {
        QFETCH(QString, how);
        Frame f;
        QVERIFY(f.ready);
        // The second bad line is far below what the list shows at first.
        CKR44View *view = f.addView(program(400, {{2, "D0"}, {349, "Q7"}}));
        QVERIFY(view);
        f.panel->setView(view);
        QCOMPARE(entries(*f.panel).size(), 2);
        QTableView *table = view->list();
        const QModelIndex target = table->model()->index(349, 0);
        QVERIFY(!table->viewport()->rect().intersects(table->visualRect(target)));
        QCOMPARE(view->selectedRow(), 0);

        QTreeView *list = f.panel->list();
        const QModelIndex entry = list->model()->index(1, 2);
        list->setFocus();
        list->setCurrentIndex(entry);
        QSignalSpy selected(view, &CKR44View::selectedRowChanged);
        if (how == QLatin1String("enter")) {
            QTest::keyClick(list, Qt::Key_Return);
        } else {
            const QPoint at = list->visualRect(entry).center();
            // The first click of a double-click arrives on its own, as from a mouse.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        }
        QCOMPARE(view->selectedRow(), 349);
        QCOMPARE(selected.count(), 1);
        QVERIFY(table->viewport()->rect().contains(table->visualRect(target)));
        QTRY_VERIFY(table->hasFocus());

        // The entry above goes back up.
        list->setFocus();
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Enter);
        QCOMPARE(view->selectedRow(), 2);
        QVERIFY(table->viewport()->rect().contains(
                table->visualRect(table->model()->index(2, 0))));
    }

    // The list is refilled after a check; the place the user was at in it stays.
    void keepsThePlaceInTheList()
    {
        Frame f;
        QVERIFY(f.ready);
        CKR44View *view = f.addView({"D0", "Q7", "D0", "Q7"});
        QVERIFY(view);
        f.panel->setView(view);
        QTreeView *list = f.panel->list();
        list->setCurrentIndex(list->model()->index(2, 0));
        const int checks = view->programChecker()->checkCount();
        f.answers.append("5");
        QVERIFY(view->EditLine(0));
        QVERIFY(f.checked(view, checks));
        QCOMPARE(entries(*f.panel).size(), 3);
        QCOMPARE(list->currentIndex().row(), 2);

        // Fewer entries than the place: the last one.
        const int again = view->programChecker()->checkCount();
        f.answers = {"6"};
        QVERIFY(view->EditLine(2));
        view->selectRow(1);
        view->DeleteLine();
        QVERIFY(f.checked(view, again));
        QCOMPARE(entries(*f.panel).size(), 1);
        QCOMPARE(list->currentIndex().row(), 0);
    }
};

KR44_TEST(TestProblemsPanel)
#include "tst_problemspanel.moc"
