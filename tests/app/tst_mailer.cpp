#include "kr44doc.h"
#include "mailer.h"
#include "programfile.h"
#include "processes.h"
#include "testmain.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// A stand-in for xdg-email: it records its arguments one per line, copies the attachment it was
// given (to show that the file was there when the mail client took it) and exits with the code
// in FAKE_MAIL_EXIT.
const char kFakeXdgEmail[] =
    "#!/bin/sh\n"
    "printf '%s\\n' \"$@\" > \"$FAKE_MAIL_DIR/args\"\n"
    "while [ $# -gt 0 ]; do\n"
    "  if [ \"$1\" = --attach ]; then cp -- \"$2\" \"$FAKE_MAIL_DIR/attached\"; fi\n"
    "  shift\n"
    "done\n"
    "exit \"${FAKE_MAIL_EXIT:-0}\"\n";

} // namespace

class TestMailer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_bin;
    QTemporaryDir m_out;
    QTemporaryDir m_files;
    QByteArray m_path;

    QStringList recordedArguments() const
    {
        return QString::fromUtf8(kr44test::readAll(m_out.filePath(QStringLiteral("args"))))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Runs the command and waits for the client's verdict.
    bool mail(Mailer &mailer, const CKR44Doc &doc, QString *error)
    {
        QFile::remove(m_out.filePath(QStringLiteral("args")));
        QFile::remove(m_out.filePath(QStringLiteral("attached")));
        QSignalSpy finished(&mailer, &Mailer::finished);
        if (!mailer.sendDocument(doc, error))
            return false;
        if (!finished.wait(15000))
            return false;
        *error = finished.at(0).at(1).toString();
        return finished.at(0).at(0).toBool();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bin.isValid() && m_out.isValid() && m_files.isValid());
        const QString fake = m_bin.filePath(QStringLiteral("xdg-email"));
        QVERIFY(kr44test::writeAll(fake, kFakeXdgEmail));
        QVERIFY(QFile::setPermissions(fake, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        m_path = qgetenv("PATH");
        qputenv("PATH", m_bin.path().toLocal8Bit() + ':' + m_path);
        qputenv("FAKE_MAIL_DIR", m_out.path().toLocal8Bit());
        qunsetenv("FAKE_MAIL_EXIT");
    }
    void cleanupTestCase() { qputenv("PATH", m_path); }
    void cleanup() { qunsetenv("FAKE_MAIL_EXIT"); }

    void attachmentNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("saved") << "/home/u/moves.krp" << "moves.krp" << "moves.krp";
        QTest::newRow("saved without extension") << "/home/u/moves" << "moves" << "moves";
        QTest::newRow("never saved") << "" << "Program1" << "Program1.krp";
        QTest::newRow("title with a dot") << "" << "v1.2" << "v1.2";
        QTest::newRow("title with a slash") << "" << "a/b" << "a_b.krp";
    }
    void attachmentNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        QCOMPARE(kr44::mailAttachmentName(path, title), expected);
    }

    void availableOnlyWithXdgEmail()
    {
        QVERIFY(Mailer().isAvailable());
        QCOMPARE(Mailer().program(), m_bin.filePath(QStringLiteral("xdg-email")));
        const QByteArray withFake = qgetenv("PATH");
        qputenv("PATH", m_out.path().toLocal8Bit());
        Mailer without;
        qputenv("PATH", withFake);
        QVERIFY(!without.isAvailable());
        CKR44Doc doc;
        doc.OnNewDocument();
        QString error;
        QVERIFY(!without.sendDocument(doc, &error));
        QCOMPARE(error, QStringLiteral("Unable to load mail system support."));
    }

    // A saved, unmodified program goes as its own file, whatever its name holds; the name
    // reaches the mail client as one argument, never through a shell.
    void savedProgramIsAttachedAsItIs()
    {
        const QString path = m_files.filePath(QStringLiteral("it's $(touch pwned) \"x\"; a.krp"));
        QVERIFY(kr44test::writeAll(path, "+200\r\nK\r\n"));
        CKR44Doc doc;
        QVERIFY(doc.OnOpenDocument(path).ok());
        Mailer mailer;
        QString error;
        QVERIFY2(mail(mailer, doc, &error), qPrintable(error));
        QCOMPARE(recordedArguments(), (QStringList{"--utf8", "--attach", path}));
        QCOMPARE(kr44test::readAll(m_out.filePath(QStringLiteral("attached"))), QByteArray("+200\r\nK\r\n"));
        QVERIFY(mailer.temporaryFiles().isEmpty());
        QVERIFY(!QFileInfo::exists(QStringLiteral("pwned")));
        QVERIFY(!QFileInfo::exists(m_files.filePath(QStringLiteral("pwned"))));
    }

    // A modified or never-saved program goes as a copy of what the window holds; the program's
    // file, path and modified flag stay as they were.
    void unsavedProgramIsAttachedAsCopy_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("attachmentName");
        QTest::newRow("modified") << true << "moves.krp";
        QTest::newRow("never saved") << false << QString();
    }
    void unsavedProgramIsAttachedAsCopy()
    {
        QFETCH(bool, saved);
        QFETCH(QString, attachmentName);
        CKR44Doc doc;
        const QString path = m_files.filePath(QStringLiteral("moves.krp"));
        if (saved) {
            QVERIFY(kr44test::writeAll(path, "+200\r\n"));
            QVERIFY(doc.OnOpenDocument(path).ok());
        } else {
            doc.OnNewDocument();
            attachmentName = doc.GetTitle() + QStringLiteral(".krp");
        }
        doc.setLines(kr44::LineArray::fromList({"X500,1000,20", "+400", "* end"}));
        QVERIFY(doc.IsModified());

        auto mailer = std::make_unique<Mailer>();
        QString error;
        QVERIFY2(mail(*mailer, doc, &error), qPrintable(error));
        const QStringList args = recordedArguments();
        QCOMPARE(args.size(), 3);
        const QString attached = args.at(2);
        QCOMPARE(QFileInfo(attached).fileName(), attachmentName);
        QVERIFY(!attached.startsWith(m_files.path()));
        QCOMPARE(kr44test::readAll(m_out.filePath(QStringLiteral("attached"))), QByteArray("X500,1000,20\r\n+400\r\n* end\r\n"));
        // The copy lives in a folder of its own that only this user can read.
        QCOMPARE(QFileInfo(QFileInfo(attached).path()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        QCOMPARE(doc.IsModified(), true);
        QCOMPARE(doc.GetPathName(), saved ? path : QString());
        if (saved)
            QCOMPARE(kr44test::readAll(path), QByteArray("+200\r\n"));

        // Kept while the mail client may still read it, gone with the mailer at the end of the run.
        QCOMPARE(mailer->temporaryFiles(), QStringList{attached});
        QVERIFY(QFileInfo::exists(attached));
        {
            Mailer second;
            QVERIFY2(mail(second, doc, &error), qPrintable(error));
            QVERIFY(recordedArguments().value(2) != attached);
        }
        QVERIFY(QFileInfo::exists(attached));
        mailer.reset();
        QVERIFY(!QFileInfo::exists(attached));
        QVERIFY(!QFileInfo::exists(QFileInfo(attached).path()));
    }

    void clientFailureIsReported()
    {
        qputenv("FAKE_MAIL_EXIT", "4");
        CKR44Doc doc;
        doc.OnNewDocument();
        Mailer mailer;
        QString error;
        QVERIFY(!mail(mailer, doc, &error));
        QCOMPARE(error, QStringLiteral("Send Mail failed to send message."));
        QVERIFY(!mailer.isBusy());
    }

    // The Mail item leaves with one of the separators around it, so none is doubled.
    void mailItemLeavesWithOneSeparator_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("expected");
        QTest::newRow("between separators") << "Save|-|Mail|-|Print" << "Save|-|Print";
        QTest::newRow("separator before only") << "Save|-|Mail|Print" << "Save|-|Print";
        QTest::newRow("separator after only") << "Save|Mail|-|Print" << "Save|-|Print";
        QTest::newRow("last after separator") << "Save|-|Mail" << "Save";
        QTest::newRow("first before separator") << "Mail|-|Print" << "Print";
        QTest::newRow("no separators") << "Save|Mail|Print" << "Save|Print";
    }
    void mailItemLeavesWithOneSeparator()
    {
        QFETCH(QString, layout);
        QFETCH(QString, expected);
        QMenu menu;
        QAction *mailAction = nullptr;
        for (const QString &item : layout.split(QLatin1Char('|'))) {
            if (item == QLatin1String("-"))
                menu.addSeparator();
            else if (item == QLatin1String("Mail"))
                mailAction = menu.addAction(item);
            else
                menu.addAction(item);
        }
        kr44::removeActionWithSeparator(&menu, mailAction);
        QStringList left;
        for (QAction *a : menu.actions())
            left.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(left.join(QLatin1Char('|')), expected);
    }
};

KR44_TEST(TestMailer)
#include "tst_mailer.moc"
