#include "model/programdocument.h"
#include "processes.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kr44;

class TestProgramDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // New programs are numbered in the order this run creates them, closed ones included.
    void newProgramsAreNumbered()
    {
        const int before = ProgramDocument::newProgramCount();
        {
            ProgramDocument first;
            first.newProgram();
        }
        ProgramDocument second;
        second.newProgram();
        QCOMPARE(second.title(), QStringLiteral("Program%1").arg(before + 2));
        QCOMPARE(second.displayName(), second.title());
        QVERIFY(!second.isModified() && !second.canSendProgram());
    }

    void proposedSaveNameStopsAtTheFirstOddCharacter()
    {
        ProgramDocument doc;
        for (const char *title : {"a b", "a#b", "a%b", "a;b", "a/b", "a\\b"}) {
            doc.setTitle(QString::fromLatin1(title));
            QCOMPARE(doc.proposedSaveName(), QStringLiteral("a.krp"));
        }
    }

    void saveAndOpenFollowTheFile()
    {
        QTemporaryDir dir;
        ProgramDocument doc;
        doc.newProgram();
        QSignalSpy modified(&doc, &ProgramDocument::modifiedChanged);
        doc.setLines(LineArray::fromList({"+200", "* note", "K"}));
        QVERIFY(doc.isModified());
        const QString path = dir.filePath(QStringLiteral("saved.krp"));
        QVERIFY(doc.save(path).ok());
        QCOMPARE(modified.count(), 2);
        QCOMPARE(doc.title(), QStringLiteral("saved.krp"));
        QCOMPARE(doc.proposedSaveName(), path);
        QCOMPARE(kr44test::readAll(path), QByteArray("+200\r\n* note\r\nK\r\n"));

        ProgramDocument opened;
        QVERIFY(opened.load(path).ok());
        QCOMPARE(opened.lines().toList(), QByteArrayList({"+200", "* note", "K"}));
        QCOMPARE(opened.displayName(), QStringLiteral("saved.krp"));
    }

    // A failed save or open leaves the document as it was, unsaved changes included.
    void failuresChangeNothing()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("good.krp"));
        QVERIFY(kr44test::writeAll(good, "+1\r\n"));
        ProgramDocument doc;
        QVERIFY(doc.load(good).ok());
        doc.setLines(LineArray::fromList({"+2"}));
        QVERIFY(!doc.save(dir.filePath(QStringLiteral("missing/x.krp"))).ok());
        QVERIFY(!doc.load(dir.filePath(QStringLiteral("none.krp"))).ok());
        QCOMPARE(doc.filePath(), good);
        QCOMPARE(doc.title(), QStringLiteral("good.krp"));
        QVERIFY(doc.isModified());
        QCOMPARE(doc.lines().toList(), QByteArrayList {"+2"});
        QCOMPARE(kr44test::readAll(good), QByteArray("+1\r\n"));
    }
};

KR44_TEST(TestProgramDocument)
#include "tst_programdocument.moc"
