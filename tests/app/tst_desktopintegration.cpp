// The program's place on the desktop: its desktop entry and file type, registered and taken
// away again, its help, and mail through the desktop's mail client.
#include "app/desktop/databaseupdater.h"
#include "app/desktop/desktopentry.h"
#include "app/desktop/mailer.h"
#include "app/desktop/mimeapps.h"
#include "app/desktop/registration.h"
#include "app/desktop/xdgpaths.h"
#include "app/help/helpindex.h"
#include "model/instructionset.h"
#include "model/programdocument.h"
#include "processes.h"
#include "testmain.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <memory>

using namespace kr44;

using kr44::XdgPaths;

namespace {

// The arguments the desktop reads from an Exec value by the desktop entry rules: string escapes
// first; an argument with a reserved character quoted in whole, with '"', '`', '$' and '\'
// escaped inside the quotes; "%%" for a percent sign, "%f" for the file. {"<bad>"} when a rule
// is broken.
QStringList execArguments(const QString &value)
{
    const QStringList bad {QStringLiteral("<bad>")};
    const QString quoted = QStringLiteral("\"`$\\");
    const QString reserved = QStringLiteral("\t\n\"'\\><~|&;$*?#()`");
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype e = value.at(i) != u'\\' ? -2
                : ++i < value.size()             ? QStringLiteral("s\\ntr").indexOf(value.at(i))
                                                 : -1;
        if (e == -1)
            return bad;
        text += e == -2 ? value.at(i) : QStringLiteral(" \\\n\t\r").at(e);
    }
    QStringList args;
    for (qsizetype i = 0; i < text.size(); ++i) { // at the start of an argument
        QString arg;
        if (text.at(i) == u'"') {
            while (++i < text.size() && text.at(i) != u'"') {
                if (text.at(i) == u'\\' && i + 1 < text.size() && quoted.contains(text.at(i + 1)))
                    ++i;
                else if (quoted.contains(text.at(i)))
                    return bad;
                arg += text.at(i);
            }
            if (++i > text.size() || (i < text.size() && text.at(i) != u' '))
                return bad;
        }
        for (; i < text.size() && text.at(i) != u' '; ++i) {
            if (reserved.contains(text.at(i)))
                return bad;
            arg += text.at(i);
        }
        QString plain;
        for (qsizetype k = 0; k < arg.size() && arg != u"%f"; ++k) {
            if (arg.at(k) == u'%' && arg.mid(++k, 1) != u"%")
                return bad;
            plain += arg.at(k);
        }
        args.append(arg == u"%f" ? arg : plain);
    }
    return args;
}

QString execOf(const QByteArray &entry, const QByteArray &group)
{
    const QByteArray section = entry.mid(entry.indexOf('[' + group + "]\n"));
    const qsizetype from = section.indexOf("\nExec=") + 6;
    return QString::fromUtf8(section.mid(from, section.indexOf('\n', from) - from));
}

// Every file and folder below `root`, with the contents of the files.
QMap<QString, QByteArray> tree(const QString &root)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out[path.mid(root.size())] = it.fileInfo().isDir() ? "<dir>" : kr44test::readAll(path);
    }
    return out;
}

bool updateDatabases(const XdgPaths &paths)
{
    DesktopDatabaseUpdater updater(paths);
    QSignalSpy done(&updater, &DesktopDatabaseUpdater::finished);
    return updater.start() == 0 || done.wait(kr44test::kProcessTimeoutMs);
}

} // namespace

class TestDesktopIntegration : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Mails `doc` through the stand-in and returns the file it was given to attach.
    QString mail(Mailer &mailer, const ProgramDocument &doc)
    {
        QSignalSpy finished(&mailer, &Mailer::finished);
        QString error;
        if (!mailer.sendDocument(doc, &error) || !finished.wait(kr44test::kProcessTimeoutMs))
            return error;
        const QByteArray args = kr44test::readAll(QStringLiteral("args"));
        return args.startsWith("--utf8\n--attach\n") ? QString::fromUtf8(args.mid(16).chopped(1))
                                                     : QString();
    }

private Q_SLOTS:
    // A stand-in for xdg-email: it records its arguments and copies the attachment it was
    // given, to show that the file was there when the mail client took it.
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(kr44test::writeAll(QStringLiteral("xdg-email"),
                                   "#!/bin/sh\nprintf '%s\\n' \"$@\" >args\ncp -- \"$3\" copy\n"));
        QVERIFY(QFile::setPermissions("xdg-email", QFileDevice::Permissions(0x7000)));
        qputenv("PATH", m_dir.path().toLocal8Bit() + ':' + qgetenv("PATH"));
    }

    // Whatever the program's path, the desktop starts that program, with the file to open or
    // to print.
    void execLineGivesBackThePath()
    {
        QRandomGenerator random(44);
        const QString alphabet = QStringLiteral("ab/ \"'\\$`%;&|<>~*?#()=\t\n\u00e9");
        for (int n = 0; n < 1000; ++n) {
            QString path = QStringLiteral("/");
            for (int i = int(random.bounded(15)); i > 0; --i)
                path += alphabet.at(int(random.bounded(alphabet.size())));
            const QByteArray entry = kr44::desktopEntry(path);
            QCOMPARE(execArguments(execOf(entry, "Desktop Entry")), (QStringList {path, "%f"}));
            QCOMPARE(execArguments(execOf(entry, "Desktop Action Print")),
                     (QStringList {path, "/dde", "/p", "%f"}));
        }
    }

    // Unregistering takes away all that registering and the desktop's tools put there, and
    // nothing that was there before.
    void unregisterLeavesNothingBehind_data()
    {
        QTest::addColumn<bool>("others");
        QTest::newRow("alone") << false;
        QTest::newRow("beside another application") << true;
    }
    void unregisterLeavesNothingBehind()
    {
        QFETCH(bool, others);
        if (QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty())
            QSKIP("needs update-mime-database and update-desktop-database");
        const QString base = m_dir.filePath(QString::number(others));
        const XdgPaths paths {base + "/data", base + "/config", {"/usr/share"}, {base + "/etc"}, {}};
        const QString cache = paths.dataHome + "/applications/mimeinfo.cache";
        if (others) {
            QVERIFY(QDir().mkpath(paths.dataHome + "/mime/packages"));
            QVERIFY(QDir().mkpath(paths.dataHome + "/applications"));
            QVERIFY(kr44test::writeAll(
                    paths.dataHome + "/mime/packages/o.xml",
                    "<?xml version=\"1.0\"?>\n<mime-info "
                    "xmlns=\"http://www.freedesktop.org/standards/"
                    "shared-mime-info\"><mime-type type=\"application/x-o\"><glob pattern=\"*.o\"/>"
                    "</mime-type></mime-info>\n"));
            QVERIFY(kr44test::writeAll(paths.dataHome + "/applications/o.desktop",
                                       "[Desktop Entry]\nType=Application\nName=O\nExec=o %f\n"
                                       "MimeType=application/x-o;\n"));
            QVERIFY(QDir().mkpath(paths.configHome));
            QVERIFY(kr44test::writeAll(paths.configHome + "/mimeapps.list",
                                       "[Default Applications]\ntext/plain=o.desktop;\n"));
            QVERIFY(updateDatabases(paths));
        }
        const auto dataBefore = tree(paths.dataHome);
        const auto configBefore = tree(paths.configHome);
        QVERIFY(kr44::registerFileType(paths, QStringLiteral("/opt/kr44/kr44")).ok());
        QVERIFY(updateDatabases(paths));
        QVERIFY(kr44test::readAll(cache).contains(QByteArray("application/x-kr44-program=")
                                                  + kr44::kDesktopFileId + ';'));
        QVERIFY(kr44::unregisterFileType(paths).ok());
        QVERIFY(updateDatabases(paths));
        QCOMPARE(tree(paths.dataHome).keys(), dataBefore.keys());
        QCOMPARE(tree(paths.configHome), configBefore);
        QCOMPARE(kr44test::readAll(cache).contains("application/x-o=o.desktop;"), others);
    }

    // The file type's default is claimed only while no application has it.
    void defaultClaimedOnlyWhenFree()
    {
        const QString base = m_dir.filePath(QStringLiteral("claim"));
        const XdgPaths paths {base + "/data", base + "/config", {"/usr/share"}, {base + "/etc"}, {}};
        const QString list = paths.configHome + "/mimeapps.list";
        const QByteArray chosen = "[Default Applications]\napplication/x-kr44-program=o.desktop;\n";
        QVERIFY(QDir().mkpath(paths.configHome) && kr44test::writeAll(list, chosen));
        QVERIFY(!kr44::registerFileType(paths, QStringLiteral("/opt/kr44/kr44")).claimedDefault);
        QCOMPARE(kr44test::readAll(list), chosen);
        QVERIFY(QFile::remove(list));
        QVERIFY(kr44::registerFileType(paths, QStringLiteral("/opt/kr44/kr44")).claimedDefault);
        QCOMPARE(kr44::currentDefaultApplication(paths, kr44::kProgramMimeType),
                 QString(kr44::kDesktopFileId));
    }

    // A start registers the program for the user unless it is installed where the desktop finds
    // it (PREFIX/bin, with PREFIX/share on the data path holding its entry); an installed start
    // writes nothing and takes away an earlier per-user registration, also one under the names
    // from before the application id. From a build tree it names the path it runs from.
    void startRegistersOnlyOutsideAnInstall_data()
    {
        QTest::addColumn<QString>("program");  // below the test's folder
        QTest::addColumn<bool>("systemEntry"); // PREFIX/share/applications holds the entry
        QTest::addColumn<bool>("earlier");     // registered before from elsewhere, old names too
        QTest::addColumn<bool>("perUser");
        QTest::newRow("build tree") << "build/src/app/kr44" << true << false << true;
        QTest::newRow("build tree, moved") << "build/src/app/kr44" << true << true << true;
        QTest::newRow("installed") << "usr/bin/kr44" << true << false << false;
        QTest::newRow("installed after a build tree") << "usr/bin/kr44" << true << true << false;
        QTest::newRow("no system entry") << "usr/bin/kr44" << false << true << true;
        QTest::newRow("share not on the data path") << "opt/bin/kr44" << true << false << true;
    }
    void startRegistersOnlyOutsideAnInstall()
    {
        QFETCH(QString, program);
        QFETCH(bool, systemEntry);
        QFETCH(bool, earlier);
        QFETCH(bool, perUser);
        const QString base = m_dir.filePath(QStringLiteral("start/") + QTest::currentDataTag());
        const XdgPaths paths {base + "/data", base + "/config", {base + "/usr/share"}, {}, {}};
        const auto put = [](const QString &path, const QByteArray &bytes) {
            return QDir().mkpath(QFileInfo(path).path()) && kr44test::writeAll(path, bytes);
        };
        const QString exe = base + '/' + program;
        const QString entry = QFileInfo(exe).path() + "/../share/applications/" + kDesktopFileId;
        QVERIFY(put(exe, "") && (!systemEntry || put(entry, "")));
        const QString legacy = paths.dataHome + "/applications/kr44.desktop";
        if (earlier) {
            QVERIFY(kr44::registerFileType(paths, base + "/old/kr44").ok());
            QVERIFY(put(legacy, "[Desktop Entry]\n")
                    && put(paths.configHome + "/mimeapps.list",
                           "[Default Applications]\napplication/x-kr44-program=kr44.desktop;\n"));
        }
        QVERIFY(kr44::registerForDesktop(paths, exe).ok());
        const QByteArray written
                = kr44test::readAll(paths.dataHome + "/applications/" + kDesktopFileId);
        QCOMPARE(execArguments(execOf(written, "Desktop Entry")).value(0),
                 perUser ? exe : QString());
        QVERIFY(!QFileInfo::exists(legacy));
        QCOMPARE(kr44::currentDefaultApplication(paths, kr44::kProgramMimeType),
                 perUser ? QString(kr44::kDesktopFileId) : QString());
        if (!perUser)
            QCOMPARE(tree(paths.dataHome).keys() + tree(paths.configHome).keys(), QStringList());
    }

    // The help's instruction table has a row for each instruction, which gives each number
    // field's range as the instruction set has it.
    void helpTableFollowsTheInstructionSet()
    {
        const QStringList rows = kr44::instructionTableHtml().split(QStringLiteral("<tr>")).mid(2);
        QCOMPARE(rows.size(), kr44::kInstructionCount);
        for (int i = 0; i < kr44::kInstructionCount; ++i) {
            const char code = kr44::instructionCode(i);
            QVERIFY(rows[i].startsWith(QStringLiteral("<td><code>%1</code>").arg(code)));
            for (const kr44::FieldSpec &field : kr44::fieldSpecs(code)) {
                const auto range = QStringLiteral("%1 to %2").arg(field.minimum).arg(field.maximum);
                QVERIFY2(field.kind != kr44::FieldKind::Number || field.maximum == INT_MAX
                                 || rows[i].contains(range),
                         qPrintable(code + range));
            }
        }
    }

    // A saved, unmodified program goes as its own file, whatever its name holds: the name
    // reaches the mail client as one argument, never through a shell. Modified, it goes as a
    // copy of what the window holds under the same name, in a folder of the user's own that
    // lasts as long as the mailer, and the program's file stays as it was.
    void mailAttachesTheProgramOrACopy()
    {
        const QString path = m_dir.filePath(QStringLiteral("it's $(touch pwned) \"x\"; `b`.krp"));
        QVERIFY(kr44test::writeAll(path, "+200\r\n"));
        ProgramDocument doc;
        QVERIFY(doc.load(path).ok());
        auto mailer = std::make_unique<Mailer>();
        QCOMPARE(mail(*mailer, doc), path);
        QVERIFY(!QFileInfo::exists(QStringLiteral("pwned")));
        doc.setLines(kr44::LineArray::fromList({"+400"}));
        const QFileInfo copy(mail(*mailer, doc));
        QCOMPARE(copy.fileName(), QFileInfo(path).fileName());
        QCOMPARE(QFileInfo(copy.path()).permissions() & QFileDevice::Permissions(0x0077),
                 QFileDevice::Permissions());
        QCOMPARE(kr44test::readAll(QStringLiteral("copy")), QByteArray("+400\r\n"));
        QVERIFY(kr44test::readAll(path) == "+200\r\n" && doc.isModified());
        QVERIFY(copy.exists());
        mailer.reset();
        QVERIFY(!QFileInfo::exists(copy.filePath()));
    }
};

KR44_TEST(TestDesktopIntegration)
#include "tst_desktopintegration.moc"
