#include "commandwnd.h"
#include "fakedevice.h"
#include "replytext.h"
#include "seriallink.h"
#include "testmain.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>

namespace {

int caret(const CCommandWnd &wnd)
{
    return wnd.editField()->textCursor().position();
}

int endPosition(const CCommandWnd &wnd)
{
    return wnd.editField()->document()->characterCount() - 1;
}

} // namespace

// The Direct Command Window: what typing sends, what appending shows, where the caret goes,
// and the capacity rule.
class TestCommandWnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void identity();
    void appendText_data();
    void appendText();
    void appendInsertsAtTheCaretAndDropsTheSelection();
    void appendIsNotUndoable();
    void typingSendsEachCharacterFirst();
    void keysWithoutCharactersSendNothing();
    void typingReachesTheLinkOneWriteEach();
    void typingWithNoPortStillEchoes();
    void showPutsTheCaretAtTheEnd();
    void closeHidesAndKeepsText();
    void toggle();
    void capacityDropsTheOldest();
    void receivedTextIsShownWholeWhenFull();
    void typingWhenFullKeepsGoing();
    void staysBoundedWhileStreaming();
};

void TestCommandWnd::identity()
{
    CCommandWnd wnd;
    QCOMPARE(wnd.windowTitle(), QStringLiteral("Direct Command Window"));
    QVERIFY(!wnd.objectName().isEmpty());
    QVERIFY(!wnd.accessibleName().isEmpty());
    QVERIFY(!wnd.editField()->objectName().isEmpty());
    QVERIFY(!wnd.editField()->accessibleName().isEmpty());
    QVERIFY(!wnd.isVisible());
    QVERIFY(!wnd.isModal());
    QVERIFY(!wnd.editField()->isReadOnly());
    QCOMPARE(wnd.editField()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

void TestCommandWnd::appendText_data()
{
    QTest::addColumn<QList<QByteArray>>("appended");
    QTest::addColumn<QString>("text");

    const QString lf(kr44::kLoneLineFeedSymbol);
    QTest::newRow("busy on an empty field") << QList<QByteArray>{"Busy\r"} << QStringLiteral("Busy\n");
    QTest::newRow("ready's LF is no line break")
        << QList<QByteArray>{"Ready\n", "Yes\r"} << (QStringLiteral("Ready") + lf + QStringLiteral("Yes\n"));
    QTest::newRow("two CRs two line breaks") << QList<QByteArray>{"a\r\rb"} << QStringLiteral("a\n\nb");
    QTest::newRow("byte 167 is a line break") << QList<QByteArray>{"a\xA7" "b"} << QStringLiteral("a\nb");
    QTest::newRow("degree sign") << QList<QByteArray>{"175\xB0" "C"} << QStringLiteral("175\u00B0C");
    QTest::newRow("pieces join") << QList<QByteArray>{"R", "\r"} << QStringLiteral("R\n");
    QTest::newRow("nothing") << QList<QByteArray>{QByteArray()} << QString();
}

void TestCommandWnd::appendText()
{
    QFETCH(QList<QByteArray>, appended);
    QFETCH(QString, text);
    CCommandWnd wnd;
    for (const QByteArray &a : appended)
        wnd.AppendText(a);
    QCOMPARE(wnd.text(), text);
    QCOMPARE(caret(wnd), endPosition(wnd));
}

void TestCommandWnd::appendInsertsAtTheCaretAndDropsTheSelection()
{
    CCommandWnd wnd;
    wnd.AppendText("hello world");
    QTextCursor c = wnd.editField()->textCursor();
    c.setPosition(0);
    c.setPosition(5, QTextCursor::KeepAnchor);
    wnd.editField()->setTextCursor(c);

    wnd.AppendText("X\r");
    QCOMPARE(wnd.text(), QStringLiteral("helloX\n world"));
    QVERIFY(!wnd.editField()->textCursor().hasSelection());
    QCOMPARE(caret(wnd), 7);
}

void TestCommandWnd::appendIsNotUndoable()
{
    CCommandWnd wnd;
    wnd.AppendText("Busy\r");
    QVERIFY(!wnd.editField()->document()->isUndoAvailable());
}

void TestCommandWnd::typingSendsEachCharacterFirst()
{
    CCommandWnd wnd;
    wnd.showAndRaise();
    QList<int> sent;
    QStringList shownWhenSent;
    connect(&wnd, &CCommandWnd::characterTyped, this, [&](char ch) {
        sent << int(static_cast<unsigned char>(ch));
        shownWhenSent << wnd.text();
    });
    QTest::keyClicks(wnd.editField(), QStringLiteral("AB"));
    QTest::keyClick(wnd.editField(), Qt::Key_Return);
    QCOMPARE(sent, (QList<int>{65, 66, 13}));
    QCOMPARE(wnd.text(), QStringLiteral("AB\n"));
    // Each byte went out before the field echoed it.
    QCOMPARE(shownWhenSent, (QStringList{QString(), QStringLiteral("A"), QStringLiteral("AB")}));

    QTest::keyClick(wnd.editField(), Qt::Key_Backspace);
    QCOMPARE(sent.last(), 8);
    QCOMPARE(wnd.text(), QStringLiteral("AB"));
}

void TestCommandWnd::keysWithoutCharactersSendNothing()
{
    CCommandWnd wnd;
    wnd.showAndRaise();
    QSignalSpy typed(&wnd, &CCommandWnd::characterTyped);
    QTest::keyClick(wnd.editField(), Qt::Key_Left);
    QTest::keyClick(wnd.editField(), Qt::Key_F5);
    QTest::keyClick(wnd.editField(), Qt::Key_Shift);
    QTest::keyClick(wnd.editField(), Qt::Key_Delete);
    QCOMPARE(typed.size(), 0);
}

void TestCommandWnd::typingReachesTheLinkOneWriteEach()
{
    auto dev = std::make_unique<FakeDevice>();
    FakeDevice *raw = dev.get();
    CSerialLink link(std::move(dev));
    QByteArray ignored;
    QVERIFY(link.PortIO(ignored, CSerialLink::PORT_OPEN));
    CCommandWnd wnd;
    connect(&wnd, &CCommandWnd::characterTyped, &link, &CSerialLink::SendChar);
    wnd.showAndRaise();
    QTest::keyClicks(wnd.editField(), QStringLiteral("AB"));
    QTest::keyClick(wnd.editField(), Qt::Key_Return);
    QCOMPARE(raw->writes, (QList<QByteArray>{"A", "B", "\r"}));
}

void TestCommandWnd::typingWithNoPortStillEchoes()
{
    CSerialLink link(std::make_unique<FakeDevice>());
    CCommandWnd wnd;
    connect(&wnd, &CCommandWnd::characterTyped, &link, &CSerialLink::SendChar);
    wnd.showAndRaise();
    QTest::keyClicks(wnd.editField(), QStringLiteral("K"));
    QTest::keyClick(wnd.editField(), Qt::Key_Return);
    QCOMPARE(wnd.text(), QStringLiteral("K\n"));
}

void TestCommandWnd::showPutsTheCaretAtTheEnd()
{
    CCommandWnd wnd;
    for (int i = 0; i < 200; ++i)
        wnd.AppendText("Busy\r");
    QTextCursor c = wnd.editField()->textCursor();
    c.setPosition(0);
    wnd.editField()->setTextCursor(c);

    wnd.showAndRaise();
    QVERIFY(QTest::qWaitForWindowExposed(&wnd));
    QCOMPARE(caret(wnd), endPosition(wnd));
    QVERIFY(wnd.editField()->verticalScrollBar()->maximum() > 0);
    // The last line is in view.
    const QPlainTextEdit *edit = wnd.editField();
    QTRY_VERIFY(edit->viewport()->rect().contains(edit->cursorRect()));
}

void TestCommandWnd::closeHidesAndKeepsText()
{
    CCommandWnd wnd;
    wnd.showAndRaise();
    wnd.AppendText("Yes\r");
    QVERIFY(wnd.close());
    QVERIFY(!wnd.isVisible());
    wnd.AppendText("Ready\n");
    wnd.showAndRaise();
    QCOMPARE(wnd.text(), QStringLiteral("Yes\nReady") + kr44::kLoneLineFeedSymbol);

    QSignalSpy typed(&wnd, &CCommandWnd::characterTyped);
    QTest::keyClick(wnd.editField(), Qt::Key_Escape);
    QVERIFY(!wnd.isVisible());
    QCOMPARE(typed.size(), 0);
    QCOMPARE(wnd.text(), QStringLiteral("Yes\nReady") + kr44::kLoneLineFeedSymbol);
}

void TestCommandWnd::toggle()
{
    CCommandWnd wnd;
    wnd.toggleVisible();
    QVERIFY(wnd.isVisible());
    wnd.toggleVisible();
    QVERIFY(!wnd.isVisible());
}

void TestCommandWnd::capacityDropsTheOldest()
{
    CCommandWnd wnd;
    QByteArray full;
    for (int i = 0; i < CCommandWnd::kCapacity; ++i)
        full += char('a' + i % 26);
    wnd.AppendText(full);
    QCOMPARE(wnd.text().size(), CCommandWnd::kCapacity);

    wnd.AppendText("XYZ");
    QCOMPARE(wnd.text().size(), CCommandWnd::kCapacity + 3 - 100);
    QVERIFY(wnd.text().endsWith(QStringLiteral("XYZ")));
    QCOMPARE(wnd.text().left(5), QString::fromLatin1(full.mid(100, 5)));
    QCOMPARE(caret(wnd), endPosition(wnd));
}

void TestCommandWnd::receivedTextIsShownWholeWhenFull()
{
    CCommandWnd wnd;
    wnd.AppendText(QByteArray(CCommandWnd::kCapacity - 10, 'a'));
    // The caret among the oldest text, where the drop will happen.
    QTextCursor c = wnd.editField()->textCursor();
    c.setPosition(5);
    wnd.editField()->setTextCursor(c);

    const QByteArray reply = "Error - program error in line 12\r\r";
    wnd.AppendText(reply);
    QVERIFY(wnd.text().endsWith(kr44::commandWindowText(reply)));
    QVERIFY(wnd.text().size() <= CCommandWnd::kCapacity);

    // Text longer than the whole field keeps its newest part.
    QByteArray huge(CCommandWnd::kCapacity * 2, 'b');
    huge += "END";
    wnd.AppendText(huge);
    QCOMPARE(wnd.text().size(), CCommandWnd::kCapacity);
    QVERIFY(wnd.text().endsWith(QStringLiteral("bbEND")));
}

void TestCommandWnd::typingWhenFullKeepsGoing()
{
    CCommandWnd wnd;
    wnd.AppendText(QByteArray(CCommandWnd::kCapacity, 'a'));
    wnd.showAndRaise();
    QTest::keyClicks(wnd.editField(), QStringLiteral("Q"));
    QCOMPARE(wnd.text().size(), CCommandWnd::kCapacity + 1 - 100);
    QVERIFY(wnd.text().endsWith(u'Q'));
}

void TestCommandWnd::staysBoundedWhileStreaming()
{
    CCommandWnd wnd;
    QByteArray chunk;
    for (int i = 0; i < 10; ++i)
        chunk += "E3 1234\rR\r";
    for (int i = 0; i < 5000; ++i) {
        wnd.AppendText(chunk);
        QVERIFY(wnd.text().size() <= CCommandWnd::kCapacity);
    }
    QVERIFY(wnd.text().size() > CCommandWnd::kCapacity - 200);
    QCOMPARE(caret(wnd), endPosition(wnd));
}

KR44_TEST(TestCommandWnd)
#include "tst_commandwnd.moc"
