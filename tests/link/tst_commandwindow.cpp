#include "fakedevice.h"
#include "link/linelog.h"
#include "link/replytext.h"
#include "link/seriallink.h"
#include "linkwidgets/commandwindow.h"
#include "processes.h"
#include "testmain.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace kr44;

// The text rules of the reply monitor and the command window, byte by byte. The reply table
// lives here; the monitor's test only proves that the monitor uses it.
class TestReplyText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void translate()
    {
        const std::initializer_list<std::pair<QByteArray, QByteArray>> table = {
                {"B\r", "Busy\r"},
                {"R\r", "Ready\n"},
                {"Y\r", "Yes\r"},
                {"E1\r", "Error - checksum\r"},
                {"E2\r", "Error - bad parameter\r"},
                {"E3 12\r", "Error - program error in line 12\r\r"},
                {"E3", "Error - program error in line \r"},
                {"E4\r", "Error - bad command\r"},
                {"E5\r",
                 "Error - temperature exceeds 175\xB0"
                 "C\r"}, // the degree sign is byte 176
                {"E7\r", "Error - end of travel\r"},
                {"E8\r", "Error - loop error\r"},
                {"E9\r", "Error - out of memory\r"},
                {"EA\r", "Error - invalid slew rate\r"},
                {"EB\r", "Error - KR44 is in Manual mode\r"},
                {"E6\r", "Error - unknown\r"},
                {"EC\r", "Error - KR44 is in Internal mode\r"},
                {"Ea\r", "Error - unknown\r"},
                {"E\r", "Error - unknown\r"},
                {"E4", "Error - bad command\r"},
                // The whole reply is compared: anything else passes unchanged.
                {"E", "E"},
                {"B\r\n", "B\r\n"},
                {"b\r", "b\r"},
                {"", ""},
        };
        for (const auto &[received, shown] : table)
            QCOMPARE(kr44::translateReply(received), shown);
    }

    // The replies in what the polls read, each up to its CR: several in one poll, one across
    // two polls, and a text without CR that the next poll does not finish. An empty entry is a
    // poll that read nothing.
    void replyStream()
    {
        const std::initializer_list<std::pair<QByteArrayList, QByteArrayList>> table = {
                {{"B\rB\r", "R\rE4\r"}, {"Busy\rBusy\r", "Ready\nError - bad command\r"}},
                {{"E", "4\rR", "\r"}, {"", "Error - bad command\r", "Ready\n"}},
                {{"E3 1", "2\r"}, {"", "Error - program error in line 12\r\r"}},
                {{"Inputs HLH\rY\r"}, {"Inputs HLH\rYes\r"}},
                {{"E", ""}, {"", "E"}},
                {{"Y", "es", "B\r"}, {"", "Yes", "Busy\r"}},
                {{"", "\r\rB"}, {"", "\r\r"}},
        };
        for (const auto &[polls, shown] : table) {
            kr44::ReplyStream stream;
            QByteArrayList out;
            for (const QByteArray &poll : polls)
                out << (poll.isEmpty() ? stream.idle() : stream.take(poll));
            QCOMPARE(out, shown);
        }
    }

    // CR and byte 167 break the line; a lone LF shows as a symbol; bytes are Windows-1252.
    // A key sends one byte per character, its low 8 bits, unless the window acts on the key.
    void commandWindowTextAndKeys()
    {
        const QString lf(kr44::kLoneLineFeedSymbol);
        QCOMPARE(kr44::commandWindowText("a\r\xA7"
                                         "b\r\nc\n"),
                 "a\n\nb\n" + lf + "c" + lf);
        QCOMPARE(kr44::commandWindowText("\x80\x81\x9F\xB0\xFF"),
                 QStringLiteral("\u20AC\u0081\u0178\u00B0\u00FF"));
        QCOMPARE(kr44::bytesForKey(0, QStringLiteral("a\u20AC")), QByteArray("a\xAC"));
        for (const int key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Escape, Qt::Key_Delete})
            QCOMPARE(kr44::bytesForKey(key, "\t\x1b\x7f"), QByteArray());
    }

    // What is dropped leaves the text within capacity and is at least 100 characters (or all
    // there is), never more than there is, and no more than needed beyond those 100.
    void charactersToDrop()
    {
        for (const qsizetype capacity : {0, 10, 150}) {
            for (qsizetype length = 0; length < capacity + 300; ++length) {
                const qsizetype drop = kr44::charactersToDrop(length, capacity);
                const qsizetype least = length <= capacity ? 0 : qMin<qsizetype>(100, length);
                QVERIFY2(drop >= least && drop <= length && length - drop <= capacity
                                 && drop <= qMax<qsizetype>(100, length - capacity),
                         QByteArray::number(length) + '/' + QByteArray::number(capacity));
            }
        }
    }
};

// The Direct Command Window: what typing sends, where appended text goes, and the capacity
// rule (the text rules themselves are TestReplyText's).
class TestCommandWindow : public QObject
{
    Q_OBJECT

    static int caret(const CommandWindow &wnd) { return wnd.editField()->textCursor().position(); }

private Q_SLOTS:
    // Each typed character goes to the unit before the field echoes it; Escape hides the
    // window and sends nothing. Hidden, the window keeps its text and goes on collecting, at
    // the caret and never over a selection; showing it puts the caret at the end.
    void typingSendsBeforeTheEcho()
    {
        CommandWindow wnd;
        wnd.toggleVisible();
        QList<int> sent;
        QStringList shownWhenSent;
        connect(&wnd, &CommandWindow::characterTyped, this, [&](char ch) {
            sent << int(uchar(ch));
            shownWhenSent << wnd.text();
        });
        QTest::keyClicks(wnd.editField(), QStringLiteral("AB"));
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Escape})
            QTest::keyClick(wnd.editField(), key);
        QCOMPARE(sent, (QList<int> {'A', 'B', '\r', '\b'}));
        QCOMPARE(shownWhenSent, (QStringList {"", "A", "AB", "AB\n"}));
        QVERIFY(!wnd.isVisible());
        wnd.editField()->moveCursor(QTextCursor::Start, QTextCursor::KeepAnchor);
        wnd.appendText("Ready\n\xA7");
        QCOMPARE(wnd.text(), "Ready" + QString(kr44::kLoneLineFeedSymbol) + "\nAB");
        wnd.toggleVisible();
        QVERIFY(caret(wnd) == 9 && wnd.close() && !wnd.isVisible());
    }

    // A full field keeps all it holds; more drops the oldest 100 characters first, so received
    // text is shown whole wherever the caret is, and text longer than the field keeps its end.
    void capacityDropsTheOldestHundred()
    {
        constexpr qsizetype full = CommandWindow::kCapacity;
        CommandWindow wnd;
        const QByteArray text = QByteArray("abcdefghijklmnopqrstuvwxyz").repeated(1261).left(full);
        wnd.appendText(text);
        QCOMPARE(wnd.text(), QString::fromLatin1(text));
        wnd.editField()->moveCursor(QTextCursor::Start);
        wnd.appendText("E3\r");
        QCOMPARE(wnd.text(), QString::fromLatin1(text.mid(100) + "E3\n"));
        wnd.showAndRaise();
        wnd.appendText(QByteArray(97, 'b'));
        QCOMPARE(wnd.text().size(), full);
        QTest::keyClicks(wnd.editField(), QStringLiteral("Q"));
        QVERIFY(wnd.text().size() == full + 1 - 100 && wnd.text().endsWith("bQ"));
        wnd.appendText(QByteArray(full * 2, 'c') + "END");
        QCOMPARE(wnd.text(), QString(full - 3, u'c') + "END");
    }

    // With time stamps on, a received line begins with the time its first character came, also
    // when it comes in pieces; a line typed before is not stamped again. The window's own keys
    // send nothing to the unit.
    void timeStampsLinesAsTheyBegin()
    {
        CommandWindow wnd;
        wnd.showAndRaise();
        int tick = 0;
        wnd.setClock([&] { return QTime(8, 0, 0).addMSecs(++tick); });
        QByteArray sent;
        connect(&wnd, &CommandWindow::characterTyped, this, [&](char ch) { sent += ch; });
        QTest::keyClicks(wnd.editField(), QStringLiteral("E4"));
        QTest::keyClick(wnd.editField(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        for (const char *chunk : {"B", "usy\r", "Rea", "dy\r\rY"})
            wnd.appendText(chunk);
        QTest::keyClick(wnd.editField(), Qt::Key_Return);
        wnd.appendText("E4\r");
        QCOMPARE(wnd.text(),
                 "E4Busy\n08:00:00.003 Ready\n08:00:00.004 \n08:00:00.004 Y\n08:00:00.005 E4\n");
        QTest::keyClick(wnd.editField(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(wnd.text().isEmpty() && sent == "E4\r" && wnd.timeStamps());
    }

    // Save As writes the text as shown, line breaks as the platform ends lines; a file that
    // cannot be written is said in a message.
    void saveAsWritesTheShownText()
    {
        QTemporaryDir dir;
        CommandWindow wnd;
        QString target = dir.filePath(QStringLiteral("t.txt"));
        QStringList messages;
        wnd.setFileChooser([&](QWidget *) { return target; });
        wnd.setMessageBox([&](QWidget *, const QString &text) { messages << text; });
        wnd.appendText("Busy\rReady\n\xB0");
        QVERIFY(wnd.saveAs());
        QCOMPARE(kr44test::readAll(target), QByteArray("Busy\nReady\xE2\x90\x8A\xC2\xB0"));
        target = dir.filePath(QStringLiteral("no/t.txt"));
        QVERIFY(!wnd.saveAs() && messages.size() == 1 && messages.at(0).contains(target));
    }
};

// The record of the line: the form of its entries, and a log file that fails.
class TestLineLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entries()
    {
        const std::initializer_list<std::pair<QByteArray, QByteArray>> table = {
                {"E3 12\r\n", "E3 12<CR><LF>"},
                {QByteArray("\x07\x00\x1f\x7f", 4), "<0x07><0x00><0x1F><0x7F>"},
                {"\x80\xB0\xFF", "<0x80><0xB0><0xFF>"},
                {" ~a<b>", " ~a<0x3C>b>"},
        };
        for (const auto &[bytes, written] : table)
            QCOMPARE(lineLogBytes(bytes), written);
        const QDateTime when(QDate(2026, 12, 7), QTime(8, 9, 10, 11));
        QCOMPARE(lineLogEntry(when, LineDirection::ToUnit, "K\r")
                         + lineLogEntry(when, LineDirection::FromUnit, "R"),
                 "2026-12-07 08:09:10.011 -> K<CR>\n2026-12-07 08:09:10.011 <- R\n");
    }

    // A log on a full disk stops with one report while the download it records goes on to its
    // end.
    void fullDiskStopsTheLogNotTheLine()
    {
        auto *device = new FakeDevice;
        device->holdOutput = true;
        SerialLink link {std::unique_ptr<SerialDevice>(device)};
        LineLog log;
        log.follow(&link);
        QVERIFY(link.openPort() && log.setFile(QStringLiteral("/dev/full")));
        QSignalSpy failed(&log, &LineLog::failed);
        QSignalSpy finished(&link, &SerialLink::transferFinished);
        QVERIFY(link.sendProgram(LineArray::fromList(QByteArrayList(100, "+200"))));
        QTRY_VERIFY(!log.isActive() && finished.isEmpty());
        device->drainAll();
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(failed.count() == 1 && device->wire.count("+200\r") == 100
                && failed.at(0).at(0).toString().contains(QStringLiteral("/dev/full")));
    }
};

KR44_TEST(TestReplyText)
KR44_TEST(TestLineLog)
KR44_TEST(TestCommandWindow)
#include "tst_commandwindow.moc"
