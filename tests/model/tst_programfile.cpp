#include "kr44doc.h"
#include "programfile.h"
#include "processes.h"
#include "testmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace kr44;

namespace {

QList<QByteArray> lines(const LineArray &a) { return a.toList(); }

QString helperPath()
{
    return kr44test::buildPath("tests/model/helper_savefile");
}

bool run(const QString &program, const QStringList &args, QByteArray *out = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000))
        return false;
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// A small tmpfs of its own, so that a full disk and a read-only folder are real even as root.
class SmallFileSystem
{
public:
    explicit SmallFileSystem(const QString &options)
    {
        if (geteuid() != 0)
            return;
        m_mounted = run(QStringLiteral("mount"),
                        {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                         QStringLiteral("tmpfs"), m_dir.path()});
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            run(QStringLiteral("umount"), {m_dir.path()});
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    [[nodiscard]] bool mounted() const { return m_mounted; }
    [[nodiscard]] QString path(const QString &name) const { return m_dir.filePath(name); }
    bool remountReadOnly()
    {
        return run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_dir.path()});
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

QByteArray bigProgram(int bytes)
{
    QByteArray out;
    while (out.size() < bytes)
        out.append("+200\r\nW1H\r\n* a comment to fill the disk\r\n");
    return out;
}

} // namespace

class TestProgramFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("expected");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("empty file") << QByteArray() << QList<QByteArray>{} << QByteArray();
        QTest::newRow("no final line end") << QByteArray("A\r\nB") << QList<QByteArray>{"A", "B"}
                                           << QByteArray("A\r\nB\r\n");
        QTest::newRow("LF only") << QByteArray("A\nB\n") << QList<QByteArray>{"A", "B"} << QByteArray("A\r\nB\r\n");
        QTest::newRow("empty middle line") << QByteArray("A\r\n\r\nB\r\n") << QList<QByteArray>{"A", "", "B"}
                                           << QByteArray("A\r\n\r\nB\r\n");
        QTest::newRow("ends CRLF CRLF") << QByteArray("A\r\n\r\n") << QList<QByteArray>{"A", ""}
                                        << QByteArray("A\r\n\r\n");
        QTest::newRow("ends CRLF CR") << QByteArray("A\r\n\r") << QList<QByteArray>{"A", ""}
                                      << QByteArray("A\r\n\r\n");
        QTest::newRow("final CR") << QByteArray("A\r\nB\r") << QList<QByteArray>{"A", "B"}
                                  << QByteArray("A\r\nB\r\n");
        QTest::newRow("lone CR splits") << QByteArray("A\rB\r\n") << QList<QByteArray>{"A", "B"}
                                        << QByteArray("A\r\nB\r\n");
        QTest::newRow("CR CR LF") << QByteArray("A\r\r\nB") << QList<QByteArray>{"A", "", "B"}
                                  << QByteArray("A\r\n\r\nB\r\n");
        QTest::newRow("LF CR") << QByteArray("A\n\rB") << QList<QByteArray>{"A", "", "B"}
                               << QByteArray("A\r\n\r\nB\r\n");
        QTest::newRow("only line ends") << QByteArray("\n\n") << QList<QByteArray>{"", ""} << QByteArray("\r\n\r\n");
        QTest::newRow("NUL stays in line") << QByteArray("+1\0002\r\n", 6) << QList<QByteArray>{QByteArray("+1\0002", 4)}
                                           << QByteArray("+1\0002\r\n", 6);
        QTest::newRow("raw star line") << QByteArray("*x\r\n") << QList<QByteArray>{"*x"} << QByteArray("*x\r\n");
        QTest::newRow("8-bit bytes") << QByteArray("* 175\xb0" "C\r\n") << QList<QByteArray>{"* 175\xb0" "C"}
                                     << QByteArray("* 175\xb0" "C\r\n");
        // Line ends falling on both sides of a 16-byte block boundary.
        QTest::newRow("block boundary CRLF") << QByteArray("0123456789abcde\r\nX\r\n")
                                             << QList<QByteArray>{"0123456789abcde", "X"}
                                             << QByteArray("0123456789abcde\r\nX\r\n");
        for (int len : {127, 128, 129, 256, 300}) {
            const QByteArray line(len, 'p');
            QTest::addRow("line of %d with end", len) << line + "\r\n" << QList<QByteArray>{line} << line + "\r\n";
            QTest::addRow("line of %d without end", len) << line << QList<QByteArray>{line} << line + "\r\n";
        }
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, expected);
        QFETCH(QByteArray, saved);
        const LineArray parsed = parseProgram(bytes);
        QCOMPARE(lines(parsed), expected);
        QCOMPARE(serializeProgram(parsed), saved);
    }

    // Random bytes with every kind of line end: no byte but line ends is lost, and a second
    // round gives the same file.
    void randomRoundTrips()
    {
        QRandomGenerator rng(1234);
        const char alphabet[] = {'\r', '\n', '\0', 'A', '*', ' ', ',', char(0xb0), char(0xff), '1'};
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes;
            const int size = int(rng.bounded(200));
            for (int i = 0; i < size; ++i)
                bytes.append(alphabet[rng.bounded(int(sizeof alphabet))]);
            const LineArray first = parseProgram(bytes);
            QByteArray kept = bytes;
            kept.replace("\r", "").replace("\n", "");
            QCOMPARE(QByteArray(first.toList().join()), kept);
            const QByteArray saved = serializeProgram(first);
            const LineArray second = parseProgram(saved);
            QCOMPARE(lines(second), lines(first));
            QCOMPARE(serializeProgram(second), saved);
        }
    }

    // A file with CR LF line ends only is saved back byte for byte.
    void crlfFilesSaveIdentical()
    {
        QRandomGenerator rng(99);
        QTemporaryDir dir;
        for (int round = 0; round < 50; ++round) {
            QByteArray bytes;
            const int count = int(rng.bounded(40));
            for (int l = 0; l < count; ++l) {
                const int len = int(rng.bounded(150));
                for (int i = 0; i < len; ++i) {
                    char c = char(rng.bounded(256));
                    if (c == '\r' || c == '\n')
                        c = 'x';
                    bytes.append(c);
                }
                bytes.append("\r\n");
            }
            const QString path = dir.filePath(QStringLiteral("r%1.krp").arg(round));
            QVERIFY(kr44test::writeAll(path, bytes));
            const LoadResult loaded = loadProgramFile(path);
            QVERIFY(loaded.error.ok());
            QVERIFY(saveProgramFile(path, loaded.lines).ok());
            QCOMPARE(kr44test::readAll(path), bytes);
        }
    }

    void loadErrors()
    {
        QTemporaryDir dir;
        const LoadResult missing = loadProgramFile(dir.filePath(QStringLiteral("nope.krp")));
        QCOMPARE(missing.error.cause, FileErrorCause::NotFound);
        QCOMPARE(missing.error.message(), dir.filePath(QStringLiteral("nope.krp")) + " was not found.");
        QVERIFY(missing.lines.isEmpty());

        const LoadResult folder = loadProgramFile(dir.path());
        QCOMPARE(folder.error.cause, FileErrorCause::AccessDenied);
        QVERIFY(folder.lines.isEmpty());

        const LoadResult badPath = loadProgramFile(dir.filePath(QStringLiteral("nope/x.krp")));
        QCOMPARE(badPath.error.cause, FileErrorCause::NotFound);
    }

    void messages_data()
    {
        QTest::addColumn<int>("err");
        QTest::addColumn<QString>("message");
        QTest::newRow("ENOENT") << ENOENT << "f.krp was not found.";
        QTest::newRow("EACCES") << EACCES << "Access to f.krp was denied.";
        QTest::newRow("EROFS") << EROFS << "Access to f.krp was denied.";
        QTest::newRow("ENOSPC") << ENOSPC << "Disk full while accessing f.krp.";
        QTest::newRow("EMFILE") << EMFILE << "f.krp could not be opened because there are too many open files.";
        QTest::newRow("ENAMETOOLONG") << ENAMETOOLONG << "f.krp contains an invalid path.";
        QTest::newRow("EIO") << EIO << "A hardware I/O error was reported while accessing f.krp.";
        QTest::newRow("other") << EXDEV << "An unknown error occurred while accessing f.krp.";
    }
    void messages()
    {
        QFETCH(int, err);
        QFETCH(QString, message);
        QCOMPARE(fileErrorText(causeFromErrno(err), QStringLiteral("f.krp")), message);
        QCOMPARE(fileErrorText(FileErrorCause::OpenFailed, QStringLiteral("f.krp")), QStringLiteral("Failed to open document."));
        QCOMPARE(fileErrorText(FileErrorCause::SaveFailed, QStringLiteral("f.krp")), QStringLiteral("Failed to save document."));
    }

    void saveKeepsPermissions()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.krp"));
        QVERIFY(kr44test::writeAll(path, "K\r\n"));
        const auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(path, perms));
        QVERIFY(saveProgramFile(path, LineArray::fromList({"+1", "Z"})).ok());
        QCOMPARE(kr44test::readAll(path), QByteArray("+1\r\nZ\r\n"));
        // Compare owner, group and other bits; the user bits mirror the owner's for the current user.
        QCOMPARE(QFile::permissions(path) & QFileDevice::Permissions(0x7077), perms);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).size() == 1); // no temporary left behind
    }

    void saveOnFullDiskKeepsOldFile()
    {
        SmallFileSystem fs(QStringLiteral("size=64k"));
        if (!fs.mounted())
            QSKIP("cannot mount a small tmpfs here (needs root); the full-disk case is not exercised");
        const QString path = fs.path(QStringLiteral("prog.krp"));
        const QByteArray old = "+200\r\nW1H\r\n";
        QVERIFY(kr44test::writeAll(path, old));
        const LineArray tooBig = parseProgram(bigProgram(200 * 1024));
        const FileError error = saveProgramFile(path, tooBig);
        QCOMPARE(error.cause, FileErrorCause::DiskFull);
        QCOMPARE(error.message(), "Disk full while accessing " + path + ".");
        QCOMPARE(kr44test::readAll(path), old);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files), QStringList{QStringLiteral("prog.krp")});

        // A new file that does not fit is not left behind half written.
        const QString fresh = fs.path(QStringLiteral("new.krp"));
        QCOMPARE(saveProgramFile(fresh, tooBig).cause, FileErrorCause::DiskFull);
        QVERIFY(!QFile::exists(fresh));

        // A file that nearly fills the disk still saves whole.
        const LineArray fits = parseProgram(bigProgram(20 * 1024));
        QVERIFY(saveProgramFile(path, fits).ok());
        QCOMPARE(kr44test::readAll(path), serializeProgram(fits));
    }

    void saveToReadOnlyFileSystemKeepsOldFile()
    {
        SmallFileSystem fs(QStringLiteral("size=64k"));
        if (!fs.mounted())
            QSKIP("cannot mount a small tmpfs here (needs root); the read-only case is not exercised");
        const QString path = fs.path(QStringLiteral("prog.krp"));
        const QByteArray old = "+200\r\n";
        QVERIFY(kr44test::writeAll(path, old));
        QVERIFY(fs.remountReadOnly());
        const FileError error = saveProgramFile(path, LineArray::fromList({"K"}));
        QCOMPARE(error.cause, FileErrorCause::AccessDenied);
        QCOMPARE(error.message(), "Access to " + path + " was denied.");
        QCOMPARE(kr44test::readAll(path), old);
    }

    // As an ordinary user, a folder without write permission refuses the temporary file: the
    // save fails and the file, although writable itself, stays as it was.
    void saveInUnwritableFolderAsUser()
    {
        if (geteuid() != 0 || !QFile::exists(QStringLiteral("/usr/bin/setpriv")))
            QSKIP("needs root and setpriv to run the save as an unprivileged user");
        QTemporaryDir dir(QStringLiteral("/tmp/kr44-perm-XXXXXX"));
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString source = dir.filePath(QStringLiteral("source.krp"));
        const QString target = folder + QStringLiteral("/prog.krp");
        QVERIFY(kr44test::writeAll(source, "K\r\n"));
        const QByteArray old = "+200\r\n";
        QVERIFY(kr44test::writeAll(target, old));
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7555)));
        QVERIFY(QFile::setPermissions(source, QFileDevice::Permissions(0x6444)));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7555)));
        QVERIFY(QFile::setPermissions(target, QFileDevice::Permissions(0x6666)));
        QByteArray out;
        const bool saved = run(QStringLiteral("/usr/bin/setpriv"),
                               {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups"), helperPath(), source, target},
                               &out);
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        if (out.isEmpty() && !saved)
            QSKIP("the unprivileged user cannot run the helper here");
        QVERIFY(!saved);
        QCOMPARE(out.trimmed(), ("Access to " + target + " was denied.").toLocal8Bit());
        QCOMPARE(kr44test::readAll(target), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("prog.krp")});
    }

    // A folder that disappears before the save leaves nothing behind and reports it.
    void saveIntoVanishedFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QDir(folder).removeRecursively());
        const FileError error = saveProgramFile(folder + QStringLiteral("/p.krp"), LineArray::fromList({"K"}));
        QCOMPARE(error.cause, FileErrorCause::NotFound);
    }
};

KR44_TEST(TestProgramFile)
#include "tst_programfile.moc"
