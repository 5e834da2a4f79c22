#include "kr44doc.h"
#include "processes.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kr44;

class TestKR44Doc : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titlesCountNewProgramsPerRun()
    {
        const int before = CKR44Doc::newProgramCount();
        {
            CKR44Doc first;
            QVERIFY(first.OnNewDocument());
            QCOMPARE(first.GetTitle(), QStringLiteral("Program%1").arg(before + 1));
        } // closed: the count does not go down
        CKR44Doc second;
        QVERIFY(second.OnNewDocument());
        QCOMPARE(second.GetTitle(), QStringLiteral("Program%1").arg(before + 2));
        QVERIFY(second.m_lines.isEmpty());
        QVERIFY(!second.IsModified());
        QVERIFY(!second.canSendProgram());
        QVERIFY(!second.canPrint());
        QCOMPARE(second.displayName(), second.GetTitle());
    }

    void proposedSaveName_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("plain") << "Program1" << "Program1.krp";
        QTest::newRow("space") << "My prog" << "My.krp";
        QTest::newRow("hash") << "a#b" << "a.krp";
        QTest::newRow("percent") << "a%b" << "a.krp";
        QTest::newRow("semicolon") << "a;b" << "a.krp";
        QTest::newRow("slash") << "a/b" << "a.krp";
        QTest::newRow("backslash") << "a\\b" << "a.krp";
    }
    void proposedSaveName()
    {
        QFETCH(QString, title);
        QFETCH(QString, proposed);
        CKR44Doc doc;
        doc.SetTitle(title);
        QCOMPARE(doc.proposedSaveName(), proposed);
    }

    void writeBackSetsModifiedAndSaveClearsIt()
    {
        QTemporaryDir dir;
        CKR44Doc doc;
        doc.OnNewDocument();
        QSignalSpy modified(&doc, &CKR44Doc::modifiedChanged);
        doc.setLines(LineArray::fromList({"+200", "* note", "K"}));
        QVERIFY(doc.IsModified());
        QCOMPARE(modified.count(), 1);
        QVERIFY(doc.canSendProgram());

        const QString path = dir.filePath(QStringLiteral("saved.krp"));
        QVERIFY(doc.OnSaveDocument(path).ok());
        QVERIFY(!doc.IsModified());
        QCOMPARE(doc.GetPathName(), path);
        QCOMPARE(doc.GetTitle(), QStringLiteral("saved.krp"));
        QCOMPARE(doc.proposedSaveName(), path);
        QCOMPARE(kr44test::readAll(path), QByteArray("+200\r\n* note\r\nK\r\n"));
    }

    void failedSaveKeepsEverything()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("good.krp"));
        QVERIFY(kr44test::writeAll(good, "+1\r\n"));
        CKR44Doc doc;
        QVERIFY(doc.OnOpenDocument(good).ok());
        doc.setLines(LineArray::fromList({"+2"}));
        const FileError error = doc.OnSaveDocument(dir.filePath(QStringLiteral("missing/x.krp")));
        QVERIFY(!error.ok());
        QCOMPARE(doc.GetPathName(), good);
        QCOMPARE(doc.GetTitle(), QStringLiteral("good.krp"));
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.m_lines.toList(), QList<QByteArray>{"+2"});
        QCOMPARE(kr44test::readAll(good), QByteArray("+1\r\n"));
    }

    void failedOpenChangesNothing()
    {
        QTemporaryDir dir;
        CKR44Doc doc;
        doc.OnNewDocument();
        const QString title = doc.GetTitle();
        doc.setLines(LineArray::fromList({"K"}));
        const FileError error = doc.OnOpenDocument(dir.filePath(QStringLiteral("none.krp")));
        QCOMPARE(error.cause, FileErrorCause::NotFound);
        QCOMPARE(doc.GetTitle(), title);
        QVERIFY(doc.GetPathName().isEmpty());
        QCOMPARE(doc.m_lines.toList(), QList<QByteArray>{"K"});
    }

    void openClearsModifiedAndTakesFileName()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("demo.krp"));
        QVERIFY(kr44test::writeAll(path, "* set up\r\nX500,1000,20\nL0"));
        CKR44Doc doc;
        QVERIFY(doc.OnOpenDocument(path).ok());
        QCOMPARE(doc.m_lines.toList(), (QList<QByteArray>{"* set up", "X500,1000,20", "L0"}));
        QVERIFY(!doc.IsModified());
        QCOMPARE(doc.displayName(), QStringLiteral("demo.krp"));
    }
};

KR44_TEST(TestKR44Doc)
#include "tst_kr44doc.moc"
