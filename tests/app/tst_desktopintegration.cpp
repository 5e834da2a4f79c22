#include "commands.h"
#include "commandtable.h"
#include "desktopintegration.h"
#include "helpindex.h"
#include "instructionset.h"
#include "processes.h"
#include "testmain.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QIcon>
#include <QProcess>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <climits>

#include <map>

using kr44::XdgPaths;

namespace {

// Every file under `root` with its contents, to compare a tree before and after.
std::map<QString, QByteArray> snapshot(const QString &root)
{
    std::map<QString, QByteArray> out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out[QDir(root).relativeFilePath(path)] = it.fileInfo().isDir() ? QByteArray("<dir>") : kr44test::readAll(path);
    }
    return out;
}

QStringList names(const std::map<QString, QByteArray> &tree)
{
    QStringList out;
    for (const auto &entry : tree)
        out.append(entry.first);
    return out;
}

// The reverse of a desktop entry's Exec quoting: value escapes first, then the quoting rules.
QStringList execArguments(const QString &value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar n = value.at(++i);
            unescaped += n == QLatin1Char('n') ? QChar(QLatin1Char('\n'))
                : n == QLatin1Char('t')        ? QChar(QLatin1Char('\t'))
                : n == QLatin1Char('r')        ? QChar(QLatin1Char('\r'))
                : n == QLatin1Char('s')        ? QChar(QLatin1Char(' '))
                                               : n;
        } else {
            unescaped += value.at(i);
        }
    }
    // Field codes are expanded over the whole line before it is split, as the desktop does:
    // "%%" is a percent sign inside quotes too.
    QString expanded;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        expanded += unescaped.at(i);
        if (unescaped.at(i) == QLatin1Char('%') && i + 1 < unescaped.size() && unescaped.at(i + 1) == QLatin1Char('%'))
            ++i;
    }
    unescaped = expanded;
    QStringList args;
    QString current;
    bool inArg = false;
    bool quoted = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < unescaped.size()) {
                current += unescaped.at(++i);
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inArg = true;
        } else if (c == QLatin1Char(' ')) {
            if (inArg)
                args.append(current);
            current.clear();
            inArg = false;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg)
        args.append(current);
    return args;
}

QByteArray entryValue(const QByteArray &entry, const QByteArray &group, const QByteArray &key)
{
    bool inGroup = false;
    for (const QByteArray &line : entry.split('\n')) {
        if (line.startsWith('['))
            inGroup = line == '[' + group + ']';
        else if (inGroup && line.startsWith(key + '='))
            return line.mid(key.size() + 1);
    }
    return {};
}

struct Run
{
    int exitCode = -1;
    QString out;
};

Run run(const QString &program, const QStringList &args, const XdgPaths &paths, const QString &desktop = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), paths.dataHome);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), paths.configHome);
    env.insert(QStringLiteral("XDG_DATA_DIRS"), paths.dataDirs.join(QLatin1Char(':')));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), paths.configDirs.join(QLatin1Char(':')));
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), desktop);
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).trimmed()};
}

} // namespace

class TestDesktopIntegration : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_settingsHome;
    int m_count = 0;

    // Fresh, empty XDG folders for one test; the system's data folder stays readable so that
    // the desktop tools find the base types.
    XdgPaths freshPaths()
    {
        const QString base = m_root.filePath(QStringLiteral("t%1").arg(++m_count));
        XdgPaths p;
        p.dataHome = base + QStringLiteral("/data");
        p.configHome = base + QStringLiteral("/config");
        p.configDirs = {base + QStringLiteral("/etc-xdg")};
        p.dataDirs = {base + QStringLiteral("/system-data"), QStringLiteral("/usr/share")};
        for (const QString &dir : {p.dataHome, p.configHome, p.configDirs.first(), p.dataDirs.first()})
            QDir().mkpath(dir);
        return p;
    }

    static bool updateDatabases(const XdgPaths &paths)
    {
        DesktopDatabaseUpdater updater(paths);
        QSignalSpy done(&updater, &DesktopDatabaseUpdater::finished);
        if (updater.start() == 0)
            return true;
        return done.wait(30000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        // QSettings reads the configuration folder once; it has to be ours before the first use.
        m_settingsHome = m_root.filePath(QStringLiteral("settings-home"));
        qputenv("XDG_CONFIG_HOME", m_settingsHome.toLocal8Bit());
    }

    void pathsFromEnvironment()
    {
        qputenv("XDG_DATA_HOME", "/d/home");
        qputenv("XDG_DATA_DIRS", "/d/one:relative/ignored:/d/two/");
        qputenv("XDG_CONFIG_DIRS", "");
        qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        const XdgPaths p = XdgPaths::fromEnvironment();
        QCOMPARE(p.dataHome, QStringLiteral("/d/home"));
        QCOMPARE(p.configHome, m_settingsHome);
        QCOMPARE(p.dataDirs, (QStringList{"/d/one", "/d/two"}));
        QCOMPARE(p.configDirs, QStringList{"/etc/xdg"});
        QCOMPARE(p.desktops, (QStringList{"ubuntu", "gnome"}));
        qputenv("XDG_DATA_HOME", "relative/data");
        QCOMPARE(XdgPaths::fromEnvironment().dataHome, QDir::homePath() + QStringLiteral("/.local/share"));
        for (const char *v : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP"})
            qunsetenv(v);
    }

    void execArgumentQuoting_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "/usr/bin/kr44" << "/usr/bin/kr44";
        QTest::newRow("blank") << "/opt/KR44 Controller/kr44" << "\"/opt/KR44 Controller/kr44\"";
        QTest::newRow("percent") << "/opt/100%/kr44" << "/opt/100%%/kr44";
        QTest::newRow("dollar") << "/opt/$HOME/kr44" << "\"/opt/\\\\$HOME/kr44\"";
        QTest::newRow("quote") << "/opt/\"q\"/kr44" << "\"/opt/\\\\\"q\\\\\"/kr44\"";
        QTest::newRow("backslash") << "/opt/a\\b" << "\"/opt/a\\\\\\\\b\"";
        QTest::newRow("backtick") << "/opt/`x`" << "\"/opt/\\\\`x\\\\`\"";
        QTest::newRow("single quote") << "/opt/it's" << "\"/opt/it's\"";
        QTest::newRow("empty") << "" << "\"\"";
    }
    void execArgumentQuoting()
    {
        QFETCH(QString, argument);
        QFETCH(QString, written);
        QCOMPARE(kr44::desktopExecArgument(argument), written);
        QCOMPARE(execArguments(written), QStringList{argument});
    }

    // Whatever the program's path, the desktop starts that program with the file as argument.
    void execLineGivesBackThePath()
    {
        QRandomGenerator random(44);
        const QString alphabet = QStringLiteral("ab/ \"'\\$`%;&|<>~*?#()=\t\u00e9");
        for (int n = 0; n < 500; ++n) {
            QString path = QStringLiteral("/");
            for (int i = int(random.bounded(15)); i > 0; --i)
                path += alphabet.at(int(random.bounded(alphabet.size())));
            const QByteArray exec = entryValue(kr44::desktopEntry(path), "Desktop Entry", "Exec");
            QCOMPARE(execArguments(QString::fromUtf8(exec)), (QStringList{path, QStringLiteral("%f")}));
            const QByteArray print = entryValue(kr44::desktopEntry(path), "Desktop Action Print", "Exec");
            QCOMPARE(execArguments(QString::fromUtf8(print)),
                     (QStringList{path, QStringLiteral("/dde"), QStringLiteral("/p"), QStringLiteral("%f")}));
        }
    }

    void desktopEntryAndMimePackage()
    {
        const QByteArray entry = kr44::desktopEntry(QStringLiteral("/opt/KR44 Controller/kr44"));
        QCOMPARE(entryValue(entry, "Desktop Entry", "MimeType"), QByteArray("application/x-kr44-program;"));
        QCOMPARE(entryValue(entry, "Desktop Entry", "Icon"), QByteArray("kr44"));
        QCOMPARE(entryValue(entry, "Desktop Entry", "Actions"), QByteArray("Print;"));
        QCOMPARE(entryValue(entry, "Desktop Entry", "TryExec"), QByteArray("/opt/KR44 Controller/kr44"));
        const QByteArray mime = kr44::mimePackage();
        QVERIFY(mime.contains("<mime-type type=\"application/x-kr44-program\">"));
        QVERIFY(mime.contains("<comment>KR44 Program</comment>"));
        QVERIFY(mime.contains("<glob pattern=\"*.krp\"/>"));
        QVERIFY(mime.contains("KR44.Program"));

        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            QSKIP("desktop-file-validate is not installed (desktop-file-utils)");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("kr44.desktop"));
        QVERIFY(kr44test::writeAll(file, kr44::desktopEntry(QStringLiteral("/opt/it's \"$x\" 100%/kr44"))));
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(validator, {file});
        QVERIFY(p.waitForFinished(30000));
        QVERIFY2(p.exitCode() == 0 && p.readAll().trimmed().isEmpty(), qPrintable(file));
    }

    void mimeAppsEditing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("withOurs");
        QTest::addColumn<QByteArray>("withoutOurs");
        const QByteArray key = "application/x-kr44-program=kr44.desktop;\n";
        QTest::newRow("empty file") << QByteArray() << "[Default Applications]\n" + key << QByteArray();
        QTest::newRow("other section only")
            << QByteArray("[Added Associations]\ntext/plain=gedit.desktop;\n")
            << "[Added Associations]\ntext/plain=gedit.desktop;\n\n[Default Applications]\n" + key
            << QByteArray("[Added Associations]\ntext/plain=gedit.desktop;\n");
        QTest::newRow("defaults with other keys")
            << QByteArray("[Default Applications]\ntext/plain=gedit.desktop;\n\n[Added Associations]\nx/y=z.desktop;\n")
            << "[Default Applications]\ntext/plain=gedit.desktop;\n" + key + "\n[Added Associations]\nx/y=z.desktop;\n"
            << QByteArray("[Default Applications]\ntext/plain=gedit.desktop;\n\n[Added Associations]\nx/y=z.desktop;\n");
        QTest::newRow("comment kept")
            << QByteArray("# mine\n[Default Applications]\n")
            << "# mine\n[Default Applications]\n" + key
            << QByteArray("# mine\n");
    }
    void mimeAppsEditing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, withOurs);
        QFETCH(QByteArray, withoutOurs);
        const QString mime = QLatin1String(kr44::kProgramMimeType);
        const QString id = QLatin1String(kr44::kDesktopFileId);
        const QByteArray added = kr44::withMimeAppsDefault(before, mime, id);
        QCOMPARE(added, withOurs);
        QCOMPARE(kr44::mimeAppsDefaults(added, mime), QStringList{id});
        QCOMPARE(kr44::withoutMimeAppsDefault(added, mime, id), withoutOurs);
    }

    // Only this program's id leaves the line; a default the user chose since stays.
    void mimeAppsRemovalKeepsOthers()
    {
        const QString mime = QLatin1String(kr44::kProgramMimeType);
        const QString id = QLatin1String(kr44::kDesktopFileId);
        const QByteArray other = "[Default Applications]\napplication/x-kr44-program=other.desktop;\n";
        QCOMPARE(kr44::withoutMimeAppsDefault(other, mime, id), other);
        QCOMPARE(kr44::withoutMimeAppsDefault("[Default Applications]\napplication/x-kr44-program = kr44.desktop;other.desktop\n", mime, id),
                 QByteArray("[Default Applications]\napplication/x-kr44-program=other.desktop;\n"));
        QCOMPARE(kr44::mimeAppsDefaults("[Added Associations]\napplication/x-kr44-program=kr44.desktop;\n", mime), QStringList());
    }

    // A start writes what is missing or different and nothing else.
    void registrationWritesOnlyWhatDiffers()
    {
        const XdgPaths paths = freshPaths();
        const QString exe = QStringLiteral("/opt/kr44/kr44");
        const kr44::RegisterResult first = kr44::registerFileType(paths, exe);
        QVERIFY(first.ok());
        QCOMPARE(first.written.size(), 4);
        QVERIFY(first.claimedDefault);
        for (const kr44::RegistrationFile &file : kr44::registrationFiles(paths, exe)) {
            QVERIFY2(!file.contents.isEmpty(), qPrintable(file.path));
            QCOMPARE(kr44test::readAll(file.path), file.contents);
        }
        QCOMPARE(kr44test::readAll(paths.configHome + QStringLiteral("/mimeapps.list")),
                 QByteArray("[Default Applications]\napplication/x-kr44-program=kr44.desktop;\n"));

        const kr44::RegisterResult again = kr44::registerFileType(paths, exe);
        QVERIFY(again.ok());
        QVERIFY(!again.changed());

        const QString desktopFile = paths.dataHome + QStringLiteral("/applications/kr44.desktop");
        const kr44::RegisterResult moved = kr44::registerFileType(paths, QStringLiteral("/elsewhere/kr44"));
        QCOMPARE(moved.written, QStringList{desktopFile});
        QVERIFY(!moved.claimedDefault);
        QVERIFY(kr44test::readAll(desktopFile).contains("Exec=/elsewhere/kr44 %f"));
    }

    // Another application's default, wherever the desktop would find it, is left alone.
    void defaultClaimedOnlyWhenFree_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("user config") << "configHome";
        QTest::newRow("system config") << "configDir";
        QTest::newRow("desktop-specific user config") << "desktopConfig";
        QTest::newRow("system data") << "dataDir";
    }
    void defaultClaimedOnlyWhenFree()
    {
        QFETCH(QString, where);
        XdgPaths paths = freshPaths();
        paths.desktops = {QStringLiteral("gnome")};
        const QByteArray other = "[Default Applications]\napplication/x-kr44-program=other-editor.desktop;\n";
        QString list = paths.configHome + QStringLiteral("/mimeapps.list");
        if (where == QLatin1String("configDir"))
            list = paths.configDirs.first() + QStringLiteral("/mimeapps.list");
        else if (where == QLatin1String("desktopConfig"))
            list = paths.configHome + QStringLiteral("/gnome-mimeapps.list");
        else if (where == QLatin1String("dataDir"))
            list = paths.dataDirs.first() + QStringLiteral("/applications/mimeapps.list");
        QVERIFY(QDir().mkpath(QFileInfo(list).path()));
        QVERIFY(kr44test::writeAll(list, other));
        QCOMPARE(kr44::currentDefaultApplication(paths, QLatin1String(kr44::kProgramMimeType)), QStringLiteral("other-editor.desktop"));
        const kr44::RegisterResult result = kr44::registerFileType(paths, QStringLiteral("/opt/kr44"));
        QVERIFY(result.ok());
        QVERIFY(!result.claimedDefault);
        QCOMPARE(kr44test::readAll(list), other);
    }

    // What the desktop's own tools make of the registration.
    void desktopToolsSeeTheRegistration()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
            QSKIP("needs xdg-mime (xdg-utils), update-mime-database (shared-mime-info) and gio (libglib2.0-bin)");
        const XdgPaths paths = freshPaths();
        const QString program = m_root.filePath(QStringLiteral("moves.krp"));
        QVERIFY(kr44test::writeAll(program, "+200\r\nW1H\r\n"));
        const QString xdgMime = QStringLiteral("xdg-mime");
        const QString gnome = QStringLiteral("GNOME");
        QCOMPARE(run(xdgMime, {"query", "filetype", program}, paths, gnome).out, QStringLiteral("text/plain"));
        QCOMPARE(run(xdgMime, {"query", "default", kr44::kProgramMimeType}, paths).out, QString());

        QVERIFY(kr44::registerFileType(paths, QStringLiteral("/opt/kr44/kr44")).ok());
        QVERIFY(updateDatabases(paths));
        QCOMPARE(run(xdgMime, {"query", "filetype", program}, paths, gnome).out, QString::fromLatin1(kr44::kProgramMimeType));
        QCOMPARE(run(xdgMime, {"query", "default", kr44::kProgramMimeType}, paths).out, QString::fromLatin1(kr44::kDesktopFileId));
        QCOMPARE(run(xdgMime, {"query", "default", kr44::kProgramMimeType}, paths, gnome).out,
                 QString::fromLatin1(kr44::kDesktopFileId));

        QVERIFY(kr44::unregisterFileType(paths).ok());
        QVERIFY(updateDatabases(paths));
        QCOMPARE(run(xdgMime, {"query", "filetype", program}, paths, gnome).out, QStringLiteral("text/plain"));
        QCOMPARE(run(xdgMime, {"query", "default", kr44::kProgramMimeType}, paths).out, QString());
    }

    // The databases are rebuilt only when they are older than what they are built from.
    void databaseUpdaterRunsWhenNeeded()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty())
            QSKIP("needs update-mime-database and update-desktop-database");
        const XdgPaths paths = freshPaths();
        QVERIFY(kr44::registerFileType(paths, QStringLiteral("/opt/kr44/kr44")).ok());
        DesktopDatabaseUpdater updater(paths);
        QVERIFY(!updater.mimeDatabaseIsCurrent());
        QVERIFY(!updater.desktopDatabaseIsCurrent());
        QSignalSpy done(&updater, &DesktopDatabaseUpdater::finished);
        QCOMPARE(updater.start(), 2);
        QVERIFY(updater.isRunning());
        QVERIFY(done.wait(30000));
        QVERIFY(!updater.isRunning());
        QVERIFY(updater.mimeDatabaseIsCurrent());
        QVERIFY(updater.desktopDatabaseIsCurrent());
        QCOMPARE(updater.start(), 0);
        QVERIFY(kr44test::readAll(paths.dataHome + QStringLiteral("/applications/mimeinfo.cache")).contains("kr44.desktop;"));
    }

    // Unregistering takes away everything registering (and the tools) put there, and nothing
    // that was there before.
    void unregisterLeavesNothingBehind_data()
    {
        QTest::addColumn<bool>("othersPresent");
        QTest::newRow("alone") << false;
        QTest::newRow("beside other applications") << true;
    }
    void unregisterLeavesNothingBehind()
    {
        QFETCH(bool, othersPresent);
        const XdgPaths paths = freshPaths();
        if (othersPresent) {
            QVERIFY(QDir().mkpath(paths.dataHome + QStringLiteral("/mime/packages")));
            QVERIFY(kr44test::writeAll(paths.dataHome + QStringLiteral("/mime/packages/other.xml"),
                                       "<?xml version=\"1.0\"?>\n<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">"
                                       "<mime-type type=\"application/x-other\"><glob pattern=\"*.oth\"/></mime-type></mime-info>\n"));
            QVERIFY(QDir().mkpath(paths.dataHome + QStringLiteral("/applications")));
            QVERIFY(kr44test::writeAll(paths.dataHome + QStringLiteral("/applications/other.desktop"),
                                       "[Desktop Entry]\nType=Application\nName=Other\nExec=other %f\nMimeType=application/x-other;\n"));
            QVERIFY(QDir().mkpath(paths.dataHome + QStringLiteral("/icons/hicolor/scalable/apps")));
            QVERIFY(kr44test::writeAll(paths.dataHome + QStringLiteral("/icons/hicolor/scalable/apps/other.svg"), "<svg/>"));
            QVERIFY(kr44test::writeAll(paths.configHome + QStringLiteral("/mimeapps.list"),
                                       "[Default Applications]\ntext/plain=other.desktop;\n"));
            QVERIFY(updateDatabases(paths));
        }
        const auto dataBefore = snapshot(paths.dataHome);
        const auto configBefore = snapshot(paths.configHome);

        QVERIFY(kr44::registerFileType(paths, QStringLiteral("/opt/kr44/kr44")).ok());
        QVERIFY(updateDatabases(paths));
        QVERIFY(snapshot(paths.dataHome).size() > dataBefore.size());

        const kr44::UnregisterResult result = kr44::unregisterFileType(paths);
        QVERIFY2(result.ok(), qPrintable(result.remaining.join(QLatin1Char(' '))));
        QVERIFY(updateDatabases(paths));
        QCOMPARE(names(snapshot(paths.dataHome)), names(dataBefore));
        QCOMPARE(snapshot(paths.configHome), configBefore);
        const bool tools = !QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()
            && !QStandardPaths::findExecutable(QStringLiteral("update-desktop-database")).isEmpty();
        if (othersPresent && tools) {
            const QByteArray cache = kr44test::readAll(paths.dataHome + QStringLiteral("/applications/mimeinfo.cache"));
            QVERIFY(cache.contains("other.desktop"));
            QVERIFY(!cache.contains("kr44"));
            QVERIFY(!kr44test::readAll(paths.dataHome + QStringLiteral("/mime/globs2")).contains("krp"));
        }
    }

    // A default line the user has since pointed at another application is not ours to remove.
    void unregisterKeepsTheUsersChoice()
    {
        const XdgPaths paths = freshPaths();
        QVERIFY(kr44::registerFileType(paths, QStringLiteral("/opt/kr44/kr44")).claimedDefault);
        const QString list = paths.configHome + QStringLiteral("/mimeapps.list");
        const QByteArray chosen = "[Default Applications]\napplication/x-kr44-program=other.desktop;\n";
        QVERIFY(kr44test::writeAll(list, chosen));
        QVERIFY(kr44::unregisterFileType(paths).ok());
        QCOMPARE(kr44test::readAll(list), chosen);
    }

    // What could not be removed is reported, and the rest is removed all the same.
    void unregisterReportsWhatRemains()
    {
        const XdgPaths paths = freshPaths();
        QVERIFY(kr44::registerFileType(paths, QStringLiteral("/opt/kr44/kr44")).ok());
        const QString desktopFile = paths.dataHome + QStringLiteral("/applications/kr44.desktop");
        // A folder in its place cannot be removed as a file, whoever runs the test.
        QVERIFY(QFile::remove(desktopFile));
        QVERIFY(QDir().mkpath(desktopFile + QStringLiteral("/inside")));
        const kr44::UnregisterResult result = kr44::unregisterFileType(paths);
        QCOMPARE(result.remaining, QStringList{desktopFile});
        QVERIFY(!QFileInfo::exists(paths.dataHome + QStringLiteral("/mime/packages/kr44-program.xml")));
        QVERIFY(!QFileInfo::exists(paths.configHome + QStringLiteral("/mimeapps.list")));
    }

    // The settings go with their file, and the organisation's folder when nothing else is in it.
    void settingsAreRemoved_data()
    {
        QTest::addColumn<bool>("otherApplication");
        QTest::newRow("only this application") << false;
        QTest::newRow("another application of the organisation") << true;
    }
    void settingsAreRemoved()
    {
        QFETCH(bool, otherApplication);
        QDir(m_settingsHome).removeRecursively();
        const QString organisation = QStringLiteral("Quelmark Controls");
        QSettings settings(organisation, QStringLiteral("KR44 Demo Program"));
        settings.setValue(QStringLiteral("Communication/COMPort"), QStringLiteral("/dev/ttyUSB0"));
        settings.setValue(QStringLiteral("Recent File List/File1"), QStringLiteral("/home/u/a.krp"));
        settings.sync();
        QCOMPARE(settings.fileName(), m_settingsHome + QStringLiteral("/Quelmark Controls/KR44 Demo Program.conf"));
        QVERIFY(QFileInfo::exists(settings.fileName()));
        if (otherApplication) {
            QSettings other(organisation, QStringLiteral("Other Tool"));
            other.setValue(QStringLiteral("x"), 1);
        }
        const XdgPaths paths = freshPaths();
        QVERIFY(kr44::registerFileType(paths, QStringLiteral("/opt/kr44/kr44")).ok());
        const kr44::UnregisterResult result = kr44::unregisterApplication(paths, settings);
        QVERIFY(result.ok());
        QVERIFY(!QFileInfo::exists(settings.fileName()));
        QCOMPARE(QFileInfo::exists(m_settingsHome + QLatin1Char('/') + organisation), otherApplication);
        QCOMPARE(kr44::unregisterMessage(result.ok()),
                 QStringLiteral("System registry entries have been removed and the INI file (if any) was deleted."));
    }

    void settingsThatCannotBeRemovedAreReported()
    {
        QDir(m_settingsHome).removeRecursively();
        QSettings settings(QStringLiteral("Quelmark Controls"), QStringLiteral("KR44 Demo Program"));
        // A folder where the file should be: neither written nor removed.
        QVERIFY(QDir().mkpath(settings.fileName() + QStringLiteral("/x")));
        const XdgPaths paths = freshPaths();
        const kr44::UnregisterResult result = kr44::unregisterApplication(paths, settings);
        QCOMPARE(result.remaining, QStringList{settings.fileName()});
        QCOMPARE(kr44::unregisterMessage(result.ok()),
                 QStringLiteral("Not all of the system registry entries (or INI file) were removed."));
        QDir(m_settingsHome).removeRecursively();
    }

    void versionInformation()
    {
        const QList<kr44::VersionEntry> entries = kr44::versionInformation(QStringLiteral("kr44"));
        QStringList lines;
        for (const kr44::VersionEntry &e : entries)
            lines.append(e.name + QLatin1Char('=') + e.value);
        QCOMPARE(lines, (QStringList{"File version=1.0.0.1", "FileVersion=2.0.00", "ProductVersion=2.0",
                                     "ProductName=KR44 Application", "FileDescription=KR44 Controller  Application",
                                     "InternalName=KR44", "OriginalFilename=kr44", "CompanyName="}));
        const QStringList text = kr44::versionText(QStringLiteral("kr44")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(text.value(0), QStringLiteral("kr44 (KR44 Application) 2.0"));
        QCOMPARE(text.size(), 1 + int(entries.size()));
        QCOMPARE(text.value(5).simplified(), QStringLiteral("FileDescription: KR44 Controller Application"));
        QVERIFY(text.value(5).endsWith(QStringLiteral("KR44 Controller  Application")));
        QCOMPARE(kr44::aboutVersionText(), QStringLiteral("KR44 Controller Version 1.0"));
    }

    void applicationIconHasEverySize()
    {
        const QIcon icon = kr44::applicationIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes().size(), 6);
        QCOMPARE(icon.pixmap(48, 48).size(), QSize(48, 48));
    }
    // ---- help ------------------------------------------------------------------------------

    // The help names every field of every instruction, with a text for each choice.
    void helpCoversEveryField()
    {
        for (int i = 0; i < kr44::kInstructionCount; ++i) {
            const char code = kr44::instructionCode(i);
            const QList<kr44::FieldSpec> specs = kr44::fieldSpecs(code);
            const QList<kr44::FieldHelp> help = kr44::fieldHelp(code);
            QVERIFY2(kr44::instructionHelp(code), &code);
            QCOMPARE(help.size(), specs.size());
            for (qsizetype f = 0; f < specs.size(); ++f) {
                const int choices = specs.at(f).kind == kr44::FieldKind::Choice ? specs.at(f).maximum + 1 : 0;
                QCOMPARE(help.at(f).choices.size(), choices);
                QVERIFY(!help.at(f).name.isEmpty());
            }
        }
    }

    // Every example line in the help is one the dialogs could have written: it reads into
    // fields within their ranges and composes back to itself.
    void helpExamplesAreValidLines()
    {
        for (int i = 0; i < kr44::kInstructionCount; ++i) {
            const char code = kr44::instructionCode(i);
            const QByteArray example = kr44::instructionHelp(code)->example;
            QCOMPARE(example.at(0), code);
            const QByteArray params = example.mid(1);
            if (!kr44::hasParamFields(code)) {
                QVERIFY(params.isEmpty());
                continue;
            }
            const kr44::ParamFields fields = kr44::readParams(code, params);
            const QList<kr44::FieldSpec> specs = kr44::fieldSpecs(code);
            for (qsizetype f = 0; f < specs.size(); ++f) {
                QVERIFY2(fields.at(f) >= specs.at(f).minimum && fields.at(f) <= specs.at(f).maximum, example.constData());
            }
            QCOMPARE(kr44::composeParams(code, fields), params);
        }
    }

    void instructionTableShowsRangesAndDefaults()
    {
        const QString table = kr44::instructionTableHtml();
        QCOMPARE(table.count(QStringLiteral("<tr>")), 1 + kr44::kInstructionCount);
        for (int i = 0; i < kr44::kInstructionCount; ++i)
            QVERIFY2(table.contains(QString::fromLatin1(kr44::kInstructionTable[i] + 2)), kr44::kInstructionTable[i]);
        for (const char *text : {"<i>steps</i>: 1 to 8388607", "<i>position</i>: -8388608 to 8388607",
                                 "<i>time</i>: 1 to 65535", "<i>mult</i>: 0 Off, 1, 2, 3, 4, 5, 6, 7",
                                 "<i>ramp</i>: 1 to 1599", "<i>count</i>: 0 to 255", "<i>eighth</i>: 30 to 600",
                                 "<code>X500,1000,20</code>", "<code>M30,60,120</code>", "<code>g+1L</code>",
                                 "<code>D0</code>, to be changed before OK", "a line number of the program, from 1"})
            QVERIFY2(table.contains(QLatin1String(text)), text);
    }

    void menusAndRepliesFollowTheProgram()
    {
        const QString program = kr44::menusHtml(kMenuProgram);
        for (const MenuSpec &menu : menuSpec(kMenuProgram)) {
            for (int id : menu.items) {
                if (const CommandInfo *info = id ? findCommand(id) : nullptr) {
                    const QString name = QString::fromLatin1(info->text).section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
                    QVERIFY2(program.contains(name.toHtmlEscaped()), info->text);
                }
            }
        }
        QVERIFY(program.contains(QStringLiteral("<td>Send program and run it</td><td>F5</td>")));
        QVERIFY(!kr44::menusHtml(kMenuNoProgram).contains(QStringLiteral("Send program")));
        const QString replies = kr44::repliesHtml();
        for (const char *text : {"<code>B</code></td><td>Busy", "<code>R</code></td><td>Ready",
                                 "<code>E3 n</code></td><td>Error - program error in line n",
                                 "Error - temperature exceeds 175\u00b0C"})
            QVERIFY2(replies.contains(QString::fromUtf8(text)), text);
        QCOMPARE(kr44::baudRatesHtml(), QStringLiteral("1200, 2400, 4800, 9600 or 19200 baud"));
        const QString keys = kr44::editKeysHtml();
        QVERIFY(keys.contains(QStringLiteral("<td>Ctrl+Z or Alt+Backspace</td><td>Undo:")));
        QVERIFY(keys.contains(QStringLiteral("<td>Ctrl+V or Shift+Ins</td><td>Paste:")));
    }

    // Every page is complete and every link between pages leads to a page.
    void helpPagesAndLinks()
    {
        QDir pages(QStringLiteral(":/kr44/help"));
        const QStringList html = pages.entryList({QStringLiteral("*.html")});
        QVERIFY(html.contains(QStringLiteral("index.html")));
        QVERIFY(html.size() >= 8);
        const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
        for (const QString &name : html) {
            const QString page = kr44::fillHelpPage(QString::fromUtf8(kr44test::readAll(pages.filePath(name))));
            QVERIFY2(!page.contains(QStringLiteral("<!--@")), qPrintable(name));
            QVERIFY2(page.contains(QStringLiteral("<title>")), qPrintable(name));
            for (auto it = link.globalMatch(page); it.hasNext();) {
                const QString target = it.next().captured(1);
                QVERIFY2(QFileInfo::exists(pages.filePath(target)), qPrintable(name + QStringLiteral(" -> ") + target));
            }
        }
    }

    void helpIndexOpensAtTheIndex()
    {
        HelpIndex help;
        QVERIFY(help.showIndex(nullptr));
        CHelpWindow *window = help.window();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->objectName(), QStringLiteral("CHelpWindow"));
        QCOMPARE(window->browser()->source(), kr44::helpIndexUrl());
        QCOMPARE(window->windowTitle(), QStringLiteral("KR44 Help - KR44 Controller Help"));
        QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("KR44 Controller Version 1.0")));

        // Following a link loads the page with its generated table.
        window->browser()->setSource(kr44::helpIndexUrl().resolved(QUrl(QStringLiteral("instructions.html"))));
        QCOMPARE(window->windowTitle(), QStringLiteral("KR44 Help - The instruction set"));
        QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("Acc Profile")));
        QVERIFY(window->browser()->isBackwardAvailable());

        // Help Index again: the same window, back at the index.
        QVERIFY(help.showIndex(nullptr));
        QCOMPARE(help.window(), window);
        QCOMPARE(window->browser()->source(), kr44::helpIndexUrl());
    }

    void helpThatCannotBeShownFails()
    {
        HelpIndex help(QUrl(QStringLiteral("qrc:/kr44/help/missing.html")));
        QVERIFY(!help.showIndex(nullptr));
        QVERIFY(!help.window());
        QCOMPARE(HelpIndex::failedMessage(), QStringLiteral("Failed to launch help."));
    }
};

KR44_TEST(TestDesktopIntegration)
#include "tst_desktopintegration.moc"
