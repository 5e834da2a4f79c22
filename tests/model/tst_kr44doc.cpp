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
    // New programs are numbered in the order this run creates them, closed ones included.
    void newProgramsAreNumbered()
    {
        const int before = CKR44Doc::newProgramCount();
        {
            CKR44Doc first;
            first.OnNewDocument();
        }
        CKR44Doc second;
        second.OnNewDocument();
        QCOMPARE(second.GetTitle(), QStringLiteral("Program%1").arg(before + 2));
        QCOMPARE(second.displayName(), second.GetTitle());
        QVERIFY(!second.IsModified() && !second.canSendProgram());
    }

    void proposedSaveNameStopsAtTheFirstOddCharacter()
    {
        CKR44Doc doc;
        for (const char *title : {"a b", "a#b", "a%b", "a;b", "a/b", "a\\b"}) {
            doc.SetTitle(QString::fromLatin1(title));
            QCOMPARE(doc.proposedSaveName(), QStringLiteral("a.krp"));
        }
    }

    void saveAndOpenFollowTheFile()
    {
        QTemporaryDir dir;
        CKR44Doc doc;
        doc.OnNewDocument();
        QSignalSpy modified(&doc, &CKR44Doc::modifiedChanged);
        doc.setLines(LineArray::fromList({"+200", "* note", "K"}));
        QVERIFY(doc.IsModified());
        const QString path = dir.filePath(QStringLiteral("saved.krp"));
        QVERIFY(doc.OnSaveDocument(path).ok());
        QCOMPARE(modified.count(), 2);
        QCOMPARE(doc.GetTitle(), QStringLiteral("saved.krp"));
        QCOMPARE(doc.proposedSaveName(), path);
        QCOMPARE(kr44test::readAll(path), QByteArray("+200\r\n* note\r\nK\r\n"));

        CKR44Doc opened;
        QVERIFY(opened.OnOpenDocument(path).ok());
        QCOMPARE(opened.m_lines.toList(), QByteArrayList({"+200", "* note", "K"}));
        QCOMPARE(opened.displayName(), QStringLiteral("saved.krp"));
    }

    // A failed save or open leaves the document as it was, unsaved changes included.
    void failuresChangeNothing()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("good.krp"));
        QVERIFY(kr44test::writeAll(good, "+1\r\n"));
        CKR44Doc doc;
        QVERIFY(doc.OnOpenDocument(good).ok());
        doc.setLines(LineArray::fromList({"+2"}));
        QVERIFY(!doc.OnSaveDocument(dir.filePath(QStringLiteral("missing/x.krp"))).ok());
        QVERIFY(!doc.OnOpenDocument(dir.filePath(QStringLiteral("none.krp"))).ok());
        QCOMPARE(doc.GetPathName(), good);
        QCOMPARE(doc.GetTitle(), QStringLiteral("good.krp"));
        QVERIFY(doc.IsModified());
        QCOMPARE(doc.m_lines.toList(), QByteArrayList {"+2"});
        QCOMPARE(kr44test::readAll(good), QByteArray("+1\r\n"));
    }
};

KR44_TEST(TestKR44Doc)
#include "tst_kr44doc.moc"
