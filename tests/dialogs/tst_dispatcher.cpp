// The dispatcher as the editor calls it: real modal loops, answered with keys from inside.

#include "dialogtesting.h"
#include "instructiondialogs.h"
#include "testmain.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace kr44test;
using kr44::DialogResult;

namespace {

// Runs `act` on the first modal dialog that opens, once it is active, from inside its modal loop.
// Returns a flag that tells whether it ran.
std::shared_ptr<bool> whenModal(QObject *context, std::function<void(QDialog *)> act)
{
    auto ran = std::make_shared<bool>(false);
    auto *timer = new QTimer(context);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, context, [timer, act, ran] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isActiveWindow())
            return;
        timer->stop();
        timer->deleteLater();
        *ran = true;
        act(dialog);
    });
    timer->start();
    return ran;
}

QWidget *focused(QDialog *dialog)
{
    return dialog->focusWidget() ? dialog->focusWidget() : dialog;
}

} // namespace

class TestDispatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noDialog_data();
    void noDialog();
    void newInstructionTyped();
    void editCancelledWithEscape();
    void comment_data();
    void comment();
    void jumpWithNothingToOffer();
};

void TestDispatcher::noDialog_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("params");
    QTest::newRow("K") << QByteArray("K") << QByteArray();
    QTest::newRow("Z") << QByteArray("Z") << QByteArray();
    QTest::newRow("unknown Q") << QByteArray("Q") << QByteArray("7");
}

void TestDispatcher::noDialog()
{
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, params);
    QObject context;
    const auto opened = whenModal(&context, [](QDialog *d) { d->done(QDialog::Rejected); });
    const kr44::CodeList program({code});
    QByteArray text = params;
    QCOMPARE(kr44::runInstructionDialog(nullptr, code, text, program, 0), DialogResult::NoDialog);
    QCOMPARE(text, params);
    QCoreApplication::processEvents();
    QVERIFY(!*opened);
}

// A new instruction: Escape is ignored, the typed value replaces the default, Enter confirms.
void TestDispatcher::newInstructionTyped()
{
    QObject context;
    bool stayedOpen = false;
    const auto ran = whenModal(&context, [&stayedOpen](QDialog *d) {
        QTest::keyClick(focused(d), Qt::Key_Escape);
        stayedOpen = d->isVisible();
        QTest::keyClicks(focused(d), QStringLiteral("25000"));
        QTest::keyClick(focused(d), Qt::Key_Return);
    });
    const kr44::CodeList program({"+", "G"});
    QByteArray text;
    QCOMPARE(kr44::runInstructionDialog(nullptr, "G", text, program, 1), DialogResult::Accepted);
    QVERIFY(*ran);
    QVERIFY(stayedOpen);
    QCOMPARE(text, QByteArray("25000"));
}

void TestDispatcher::editCancelledWithEscape()
{
    QObject context;
    const auto ran = whenModal(&context, [](QDialog *d) {
        QTest::keyClicks(focused(d), QStringLiteral("9"));
        QTest::keyClick(focused(d), Qt::Key_Escape);
    });
    const kr44::CodeList program({"X"});
    QByteArray text("500,1000,20");
    QCOMPARE(kr44::runInstructionDialog(nullptr, "X", text, program, 0), DialogResult::Rejected);
    QVERIFY(*ran);
    QCOMPARE(text, QByteArray("500,1000,20"));
}

void TestDispatcher::comment_data()
{
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("params");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("end row, typed, Enter")
            << QByteArray() << QByteArray() << "set up" << int(Qt::Key_Return)
            << int(DialogResult::Accepted) << QByteArray("set up");
    QTest::newRow("comment replaced")
            << QByteArray() << QByteArray("old") << "new" << int(Qt::Key_Return)
            << int(DialogResult::Accepted) << QByteArray("new");
    QTest::newRow("comment, Escape")
            << QByteArray() << QByteArray("old") << "new" << int(Qt::Key_Escape)
            << int(DialogResult::Rejected) << QByteArray("old");
    // A stored comment without the blank after "*" edits the same way.
    QTest::newRow("raw comment")
            << QByteArray("*") << QByteArray("no blank") << "blank" << int(Qt::Key_Return)
            << int(DialogResult::Accepted) << QByteArray("blank");
}

void TestDispatcher::comment()
{
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, params);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, result);
    QFETCH(QByteArray, stored);

    QObject context;
    QString title;
    const auto ran = whenModal(&context, [&](QDialog *d) {
        title = d->windowTitle();
        QTest::keyClicks(focused(d), typed);
        QTest::keyClick(focused(d), Qt::Key(key));
    });
    const kr44::CodeList program({code});
    QByteArray text = params;
    QCOMPARE(int(kr44::runInstructionDialog(nullptr, code, text, program, 0)), result);
    QVERIFY(*ran);
    QCOMPARE(title, QStringLiteral("Comment"));
    QCOMPARE(text, stored);
}

void TestDispatcher::jumpWithNothingToOffer()
{
    PromptRecorder prompts;
    QObject context;
    const auto opened = whenModal(&context, [](QDialog *d) { d->done(QDialog::Accepted); });
    const kr44::CodeList program({"", "j"});
    QByteArray text;
    QCOMPARE(kr44::runInstructionDialog(nullptr, "j", text, program, 1), DialogResult::Rejected);
    QCOMPARE(prompts.texts(),
             QStringList{QStringLiteral("There are no valid lines for a jump instruction")});
    QVERIFY(text.isEmpty());
    QCoreApplication::processEvents();
    QVERIFY(!*opened);
}

KR44_TEST(TestDispatcher)
#include "tst_dispatcher.moc"
