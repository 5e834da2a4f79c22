#include "model/programfile.h"
#include "processes.h"
#include "testmain.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <unistd.h>

using namespace kr44;
using kr44test::readAll;
using kr44test::writeAll;

namespace {

// Run as another user by saveInUnwritableFolder: loads SOURCE, saves it to TARGET and prints
// the error message, if any.
int saveAsHelper(const QStringList &args)
{
    const LoadResult loaded = loadProgramFile(args.value(0));
    const FileError error
            = loaded.error.ok() ? saveProgramFile(args.value(1), loaded.lines) : loaded.error;
    std::printf("%s\n", qPrintable(error.ok() ? QStringLiteral("saved") : error.message()));
    return error.ok() ? 0 : 1;
}
KR44_TEST_HELPER("save", saveAsHelper)

bool runOk(const QStringList &command) { return kr44test::runCommand(command).exitCode == 0; }

// A small tmpfs of its own, so that a full disk and a read-only folder are real even for root.
class SmallFileSystem
{
public:
    SmallFileSystem()
    {
        m_mounted = geteuid() == 0
                && runOk({QStringLiteral("mount"), QStringLiteral("-t"), QStringLiteral("tmpfs"),
                          QStringLiteral("-o"), QStringLiteral("size=64k"), QStringLiteral("tmpfs"),
                          m_dir.path()});
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            runOk({QStringLiteral("umount"), m_dir.path()});
    }
    Q_DISABLE_COPY_MOVE(SmallFileSystem)

    [[nodiscard]] bool mounted() const { return m_mounted; }
    [[nodiscard]] QString path(const QString &name) const { return m_dir.filePath(name); }
    [[nodiscard]] QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

LineArray bigProgram(int bytes)
{
    return parseProgram(
            QByteArray("+200\r\nW1H\r\n* a comment to fill the disk\r\n").repeated(bytes / 40 + 1));
}

} // namespace

class TestProgramFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("empty file") << QByteArray() << QByteArrayList {} << QByteArray();
        QTest::newRow("no final line end")
                << QByteArray("A\r\nB") << QByteArrayList {"A", "B"} << QByteArray("A\r\nB\r\n");
        QTest::newRow("one byte, no line end")
                << QByteArray("A\nK") << QByteArrayList {"A", "K"} << QByteArray("A\r\nK\r\n");
        QTest::newRow("LF") << QByteArray("A\nB\n") << QByteArrayList {"A", "B"}
                            << QByteArray("A\r\nB\r\n");
        QTest::newRow("ends CR LF CR LF")
                << QByteArray("A\r\n\r\n") << QByteArrayList {"A", ""} << QByteArray("A\r\n\r\n");
        QTest::newRow("ends CR LF CR")
                << QByteArray("A\r\n\r") << QByteArrayList {"A"} << QByteArray("A\r\n");
        QTest::newRow("ends lone CR CR")
                << QByteArray("A\r\r") << QByteArrayList {"A"} << QByteArray("A\r\n");
        QTest::newRow("only a CR") << QByteArray("\r") << QByteArrayList {} << QByteArray();
        QTest::newRow("ends CR LF CR past a block") << QByteArray("0123456789abcdef0123\r\n\r")
                                                    << QByteArrayList {"0123456789abcdef0123"}
                                                    << QByteArray("0123456789abcdef0123\r\n");
        QTest::newRow("lone CR") << QByteArray("A\rB\r") << QByteArrayList {"A", "B"}
                                 << QByteArray("A\r\nB\r\n");
        QTest::newRow("CR CR LF") << QByteArray("A\r\r\nB") << QByteArrayList {"A", "", "B"}
                                  << QByteArray("A\r\n\r\nB\r\n");
        QTest::newRow("LF CR") << QByteArray("A\n\rB") << QByteArrayList {"A", "", "B"}
                               << QByteArray("A\r\n\r\nB\r\n");
        QTest::newRow("NUL, raw star and 8-bit bytes stay")
                << QByteArray("+1\0\r\n*x\r\n* \xb0", 12)
                << QByteArrayList {QByteArray("+1\0", 3), "*x", "* \xb0"}
                << QByteArray("+1\0\r\n*x\r\n* \xb0\r\n", 14);
        // Line ends on both sides of the 16-byte blocks the parser scans at a time.
        QTest::newRow("CR LF across a block")
                << QByteArray("0123456789abcde\r\nX\r\n") << QByteArrayList {"0123456789abcde", "X"}
                << QByteArray("0123456789abcde\r\nX\r\n");
        QTest::newRow("long line") << QByteArray(129, 'p') << QByteArrayList {QByteArray(129, 'p')}
                                   << QByteArray(129, 'p') + "\r\n";
        QTest::newRow("empty line far in") << QByteArray("G1\r\n").repeated(40) + "\r\nK"
                                           << QByteArrayList(40, "G1") + QByteArrayList {"", "K"}
                                           << QByteArray("G1\r\n").repeated(40) + "\r\nK\r\n";
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArrayList, lines);
        const LineArray parsed = parseProgram(bytes);
        QCOMPARE(parsed.toList(), lines);
        QTEST(serializeProgram(parsed), "saved");
        // The program list takes the storage of a program known to hold no empty line as it is.
        const bool empty = lines.contains(QByteArray()) || lines.contains(QByteArray("*"));
        QCOMPARE(parsed.knownFreeOfEmptyLines(), !empty);
    }

    // Random bytes with every kind of line end: nothing but line ends is lost, and a file with
    // CR LF line ends (a saved one) is saved again byte for byte.
    void randomRoundTrips()
    {
        QRandomGenerator rng(1234);
        const char alphabet[] = {'\r', '\n', '\0', 'A', '*', ' ', ',', char(0xb0), '1'};
        for (int round = 0; round < 300; ++round) {
            QByteArray bytes;
            for (int i = int(rng.bounded(200)); i > 0; --i)
                bytes.append(alphabet[rng.bounded(int(sizeof alphabet))]);
            const LineArray first = parseProgram(bytes);
            QCOMPARE(first.toList().join(), QByteArray(bytes).replace('\r', "").replace('\n', ""));
            const QList<QByteArray> lines = first.toList();
            const QByteArray saved = serializeProgram(first);
            QCOMPARE(parseProgram(saved).toList(), lines);
            QCOMPARE(serializeProgram(parseProgram(saved)), saved);
            QCOMPARE(LineArray::fromList(lines).knownFreeOfEmptyLines(),
                     first.knownFreeOfEmptyLines());
        }
    }

    // A line appended from the array's own storage survives the storage growing under it, and
    // a copy changes independently of the array it came from.
    void lineStorage()
    {
        LineArray a = LineArray::fromList({"first line of the program", "+200"});
        const LineArray copy = a;
        for (int i = 0; i < 200; ++i)
            a.append(a.at(i % 2));
        QCOMPARE(a.size(), 202);
        QCOMPARE(a.at(201), QByteArrayView("+200"));
        QCOMPARE(a.at(200), QByteArrayView("first line of the program"));
        QCOMPARE(copy.toList(), QByteArrayList({"first line of the program", "+200"}));
    }

    void loadErrors()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("nope.krp"));
        QCOMPARE(loadProgramFile(missing).error.message(),
                 missing + QStringLiteral(" was not found."));
        const LoadResult folder = loadProgramFile(dir.path());
        QCOMPARE(folder.error.cause, FileErrorCause::AccessDenied);
        QVERIFY(folder.lines.isEmpty());
        QCOMPARE(
                fileErrorText(causeFromErrno(EMFILE), QStringLiteral("f.krp")),
                QStringLiteral("f.krp could not be opened because there are too many open files."));
        QCOMPARE(fileErrorText(causeFromErrno(EXDEV), QStringLiteral("f.krp")),
                 QStringLiteral("An unknown error occurred while accessing f.krp."));
    }

    void saveKeepsPermissionsAndLeavesNoTemporary()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.krp"));
        QVERIFY(writeAll(path, "K\r\n"));
        const auto perms
                = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(path, perms));
        QVERIFY(saveProgramFile(path, LineArray::fromList({"+1", "Z"})).ok());
        QCOMPARE(readAll(path), QByteArray("+1\r\nZ\r\n"));
        QCOMPARE(QFile::permissions(path) & QFileDevice::Permissions(0x7077), perms);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("p.krp")});
    }

    // A save that cannot be completed leaves the old file as it was and no other file behind.
    void saveOnFullDisk()
    {
        SmallFileSystem fs;
        if (!fs.mounted())
            QSKIP("mounting a small tmpfs needs root; the full-disk save is not exercised");
        const QString path = fs.path(QStringLiteral("prog.krp"));
        QVERIFY(writeAll(path, "+200\r\nW1H\r\n"));
        const FileError error = saveProgramFile(path, bigProgram(200 * 1024));
        QCOMPARE(error.message(), QStringLiteral("Disk full while accessing %1.").arg(path));
        QCOMPARE(readAll(path), QByteArray("+200\r\nW1H\r\n"));
        QCOMPARE(saveProgramFile(fs.path(QStringLiteral("new.krp")), bigProgram(200 * 1024)).cause,
                 FileErrorCause::DiskFull);
        QCOMPARE(fs.files(), QStringList {QStringLiteral("prog.krp")});
        // A program that nearly fills the disk still saves whole.
        const LineArray fits = bigProgram(20 * 1024);
        QVERIFY(saveProgramFile(path, fits).ok());
        QCOMPARE(readAll(path), serializeProgram(fits));
    }

    void saveToReadOnlyFileSystem()
    {
        SmallFileSystem fs;
        if (!fs.mounted())
            QSKIP("mounting a small tmpfs needs root; the read-only save is not exercised");
        const QString path = fs.path(QStringLiteral("prog.krp"));
        QVERIFY(writeAll(path, "+200\r\n"));
        QVERIFY(runOk({QStringLiteral("mount"), QStringLiteral("-o"), QStringLiteral("remount,ro"),
                       QFileInfo(path).path()}));
        QCOMPARE(saveProgramFile(path, LineArray::fromList({"K"})).message(),
                 QStringLiteral("Access to %1 was denied.").arg(path));
        QCOMPARE(readAll(path), QByteArray("+200\r\n"));
    }

    // As an ordinary user, a folder without write permission refuses the temporary file, so the
    // save fails although the file itself is writable.
    void saveInUnwritableFolder()
    {
        if (geteuid() != 0 || !QFile::exists(QStringLiteral("/usr/bin/setpriv")))
            QSKIP("needs root and setpriv to run the save as an unprivileged user");
        QTemporaryDir dir(QStringLiteral("/tmp/kr44-perm-XXXXXX"));
        const QString folder = dir.filePath(QStringLiteral("locked"));
        const QString source = dir.filePath(QStringLiteral("source.krp"));
        const QString target = folder + QStringLiteral("/prog.krp");
        QVERIFY(QDir().mkpath(folder) && writeAll(source, "K\r\n") && writeAll(target, "+200\r\n"));
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7555)));
        QVERIFY(QFile::setPermissions(source, QFileDevice::Permissions(0x6444)));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions(0x7555)));
        QVERIFY(QFile::setPermissions(target, QFileDevice::Permissions(0x6666)));
        const kr44test::ProcessResult run = kr44test::runCommand(
                QStringList {QStringLiteral("/usr/bin/setpriv"), QStringLiteral("--reuid=65534"),
                             QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")}
                + kr44test::helperCommand(QStringLiteral("save"), {source, target}));
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        QCOMPARE(run.out.trimmed(),
                 QStringLiteral("Access to %1 was denied.").arg(target).toLocal8Bit());
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(readAll(target), QByteArray("+200\r\n"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList {QStringLiteral("prog.krp")});
    }

    void saveIntoVanishedFolder()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(folder) && QDir(folder).removeRecursively());
        QCOMPARE(
                saveProgramFile(folder + QStringLiteral("/p.krp"), LineArray::fromList({"K"})).cause,
                FileErrorCause::NotFound);
    }
};

KR44_TEST(TestProgramFile)
#include "tst_programfile.moc"
