#include "programtablemodel.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

using namespace kr44;

namespace {

QStringList rowTexts(const ProgramTableModel &model, int row)
{
    QStringList out;
    for (int c = 0; c < model.columnCount(); ++c)
        out.append(model.data(model.index(row, c), Qt::DisplayRole).toString());
    return out;
}

// What a view knows of the model: the cells it read, kept up to date only from the model's
// signals.
class Mirror
{
public:
    explicit Mirror(ProgramTableModel &model) : m_model(model)
    {
        reload();
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model,
                         [this](const QModelIndex &, int first, int last) {
                             for (int row = first; row <= last; ++row)
                                 m_rows.insert(row, rowTexts(m_model, row));
                         });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &model,
                         [this](const QModelIndex &, int first, int last) {
                             m_rows.remove(first, last - first + 1);
                         });
        QObject::connect(&model, &QAbstractItemModel::dataChanged, &model,
                         [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                             for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
                                 m_rows[row] = rowTexts(m_model, row);
                         });
    }

    void reload()
    {
        m_rows.clear();
        for (int row = 0; row < m_model.rowCount(); ++row)
            m_rows.append(rowTexts(m_model, row));
    }
    [[nodiscard]] bool matches() const
    {
        if (m_rows.size() != m_model.rowCount())
            return false;
        for (int row = 0; row < m_model.rowCount(); ++row) {
            if (m_rows.at(row) != rowTexts(m_model, row))
                return false;
        }
        return true;
    }

private:
    ProgramTableModel &m_model;
    QList<QStringList> m_rows;
};

} // namespace

class TestProgramTableModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headers()
    {
        ProgramTableModel model;
        QCOMPARE(model.columnCount(), 4);
        const QStringList titles = {"Line no.", "Code", "Instruction", "Parameters"};
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
            QCOMPARE(model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                     Qt::AlignLeft | Qt::AlignVCenter);
        }
    }

    void cells_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("cells"); // Code, Instruction, Parameters
        QTest::newRow("G") << QByteArray("G1000") << QStringList{"G", "Go to", "1000"};
        QTest::newRow("J") << QByteArray("J1H,5") << QStringList{"J", "Jump if", "1H,5"};
        QTest::newRow("K") << QByteArray("K") << QStringList{"K", "Kill", ""};
        QTest::newRow("comment") << QByteArray("* Start position") << QStringList{"", "", "Start position"};
        QTest::newRow("unknown letter") << QByteArray("Q12") << QStringList{"Q", "", "12"};
        QTest::newRow("g") << QByteArray("g+1L") << QStringList{"g", "Go until", "+1L"};
        QTest::newRow("h") << QByteArray("h10,0") << QStringList{"h", "Hold time", "10,0"};
        QTest::newRow("H") << QByteArray("H+") << QStringList{"H", "Home", "+"};
        QTest::newRow("j") << QByteArray("j3") << QStringList{"j", "Jump", "3"};
        QTest::newRow("empty line") << QByteArray() << QStringList{"", "", ""};
        QTest::newRow("comment without blank") << QByteArray("*abc") << QStringList{"", "", "abc"};
        QTest::newRow("8-bit text") << QByteArray("* \xb0" "C") << QStringList{"", "", QString::fromLatin1("\xb0" "C")};
        QTest::newRow("parameters not decoded") << QByteArray("X500,,20") << QStringList{"X", "Acc Profile", "500,,20"};
    }
    void cells()
    {
        QFETCH(QByteArray, line);
        QFETCH(QStringList, cells);
        ProgramTableModel model;
        model.fill(LineArray::fromList({"K", line}));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(rowTexts(model, 1), QStringList{"2"} + cells);
        QCOMPARE(rowTexts(model, 2), (QStringList{"3", "", "", ""}));
    }

    void cellsAreNotEditable()
    {
        ProgramTableModel model;
        model.fill(LineArray::fromList({"G1"}));
        for (int c = 0; c < 4; ++c) {
            const Qt::ItemFlags f = model.flags(model.index(0, c));
            QVERIFY(f & Qt::ItemIsSelectable);
            QVERIFY(!(f & Qt::ItemIsEditable));
        }
    }

    // The line numbers are the row positions, so the rows below an insertion or deletion show
    // new numbers; that is announced as a change of their first column.
    void changesAreAnnounced()
    {
        ProgramTableModel model;
        model.fill(LineArray::fromList({"G1", "j1", "K"}));
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

        model.insertLine(0);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted[0].at(1).toInt(), 0);
        const auto announced = [&changed](int row, int column) {
            for (const QList<QVariant> &args : std::as_const(changed)) {
                const QModelIndex from = args.at(0).toModelIndex();
                const QModelIndex to = args.at(1).toModelIndex();
                if (from.row() <= row && row <= to.row() && from.column() <= column
                    && column <= to.column())
                    return true;
            }
            return false;
        };
        QVERIFY(announced(2, ProgramTableModel::ParametersColumn)); // the moved jump
        QVERIFY(announced(1, ProgramTableModel::LineNumberColumn));
        QVERIFY(announced(4, ProgramTableModel::LineNumberColumn));
        QCOMPARE(model.cellText(2, ProgramTableModel::ParametersColumn), QStringLiteral("2"));

        model.appendEndRow();
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(inserted[1].at(1).toInt(), 5); // below the old end row, which stays at 4
        QCOMPARE(model.rowCount(), 6);

        changed.clear();
        model.removeLine(0);
        QVERIFY(announced(0, ProgramTableModel::LineNumberColumn));
        QVERIFY(announced(4, ProgramTableModel::LineNumberColumn));
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed[0].at(1).toInt(), 0);
        QCOMPARE(model.cellText(1, ProgramTableModel::ParametersColumn), QStringLiteral("1"));

        changed.clear();
        model.setCode(0, "D");
        model.setParams(0, "500");
        QCOMPARE(changed.size(), 2);
        QCOMPARE(rowTexts(model, 0), (QStringList{"1", "D", "Delay", "500"}));
        QCOMPARE(model.writeBack().toList(), (QByteArrayList{"D500", "j1", "K", "* "}));
    }

    // Undoing and redoing a recorded edit tells attached views of every row it inserts, removes
    // or changes, line numbers and moved jump targets included.
    void replayTellsViewsOfEveryChange()
    {
        ProgramTableModel model;
        model.fill(LineArray::fromList({"G1", "j3", "D5", "J1H,4", "K", "j6"}));
        Mirror mirror(model);
        const QByteArrayList start = model.rows().lines().toList();

        RowJournal journal;
        model.setJournal(&journal);
        model.insertLine(1);
        model.setCode(1, "j");
        model.setParams(1, "5");
        model.insertLines(0, LineArray::fromList({"K", "j2"}));
        model.removeLine(5);
        model.appendEndRow();
        model.setParams(model.rows().lineCount() - 1, "end");
        model.setJournal(nullptr);
        QVERIFY(mirror.matches());
        const QByteArrayList end = model.rows().lines().toList();

        for (int round = 0; round < 2; ++round) {
            model.replay(journal, false);
            QCOMPARE(model.rows().lines().toList(), start);
            QVERIFY(mirror.matches());
            model.replay(journal, true);
            QCOMPARE(model.rows().lines().toList(), end);
            QVERIFY(mirror.matches());
        }
    }
};

KR44_TEST(TestProgramTableModel)
#include "tst_programtablemodel.moc"
