#include "commandline.h"
#include "shellrequest.h"
#include "testmain.h"

#include <QRandomGenerator>
#include <QTest>

using kr44::ShellRequest;
using Kind = ShellRequest::Kind;

Q_DECLARE_METATYPE(ShellRequest)

namespace {

ShellRequest open(const QString &file) { return {Kind::Open, file, {}, {}, {}}; }
ShellRequest print(const QString &file) { return {Kind::Print, file, {}, {}, {}}; }
ShellRequest printTo(const QString &file, const QString &printer, const QString &driver, const QString &port)
{
    return {Kind::PrintTo, file, printer, driver, port};
}

} // namespace

namespace QTest {
template<>
char *toString(const ShellRequest &r)
{
    const char *kinds[] = {"open", "print", "printto"};
    return qstrdup(QStringLiteral("%1(%2|%3|%4|%5)")
                       .arg(QLatin1String(kinds[int(r.kind)]), r.file, r.printer, r.driver, r.port)
                       .toUtf8()
                       .constData());
}
} // namespace QTest

class TestShellRequest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The texts the desktop and a second start send, and what they mean.
    void parsesRequests_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<ShellRequest>("expected");
        QTest::newRow("open") << QByteArray("[open(\"/home/u/a.krp\")]") << open("/home/u/a.krp");
        QTest::newRow("print") << QByteArray("[print(\"/home/u/a.krp\")]") << print("/home/u/a.krp");
        QTest::newRow("printto") << QByteArray("[printto(\"/a.krp\",\"Laser 5\",\"drv\",\"lp0\")]")
                                 << printTo("/a.krp", "Laser 5", "drv", "lp0");
        QTest::newRow("printto, empty driver and port") << QByteArray("[printto(\"/a.krp\",\"PDF\",\"\",\"\")]")
                                                        << printTo("/a.krp", "PDF", "", "");
        QTest::newRow("blanks in the path") << QByteArray("[open(\"/home/u/my programs/a b.krp\")]")
                                            << open("/home/u/my programs/a b.krp");
        QTest::newRow("doubled quote") << QByteArray("[open(\"/tmp/say \"\"hi\"\".krp\")]") << open("/tmp/say \"hi\".krp");
        QTest::newRow("quote at the end of a path") << QByteArray("[open(\"/tmp/x\"\"\")]") << open("/tmp/x\"");
        QTest::newRow("comma and brackets") << QByteArray("[open(\"/tmp/a,b)]([c.krp\")]") << open("/tmp/a,b)]([c.krp");
        QTest::newRow("backslash stays") << QByteArray("[open(\"/tmp/a\\b.krp\")]") << open("/tmp/a\\b.krp");
        QTest::newRow("UTF-8") << QByteArray("[open(\"/tmp/M\xc3\xbcller \xe2\x82\xac.krp\")]")
                               << open(QStringLiteral("/tmp/M\u00fcller \u20ac.krp"));
        QTest::newRow("leading byte-order mark kept") << QByteArray("[printto(\"/a\",\"\xef\xbb\xbfP\",\"\",\"\")]")
                                                      << printTo("/a", QStringLiteral("\ufeffP"), "", "");
        QTest::newRow("newline in a path") << QByteArray("[open(\"/tmp/a\nb\")]") << open("/tmp/a\nb");
    }
    void parsesRequests()
    {
        QFETCH(QByteArray, text);
        QFETCH(ShellRequest, expected);
        const std::optional<ShellRequest> parsed = kr44::parseShellRequest(text);
        QVERIFY(parsed);
        QCOMPARE(*parsed, expected);
    }

    void refusesEverythingElse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("just brackets") << QByteArray("[]");
        QTest::newRow("unknown command") << QByteArray("[delete(\"/a.krp\")]");
        QTest::newRow("command case") << QByteArray("[Open(\"/a.krp\")]");
        QTest::newRow("no brackets") << QByteArray("open(\"/a.krp\")");
        QTest::newRow("unquoted") << QByteArray("[open(/a.krp)]");
        QTest::newRow("single quotes") << QByteArray("[open('/a.krp')]");
        QTest::newRow("relative path") << QByteArray("[open(\"a.krp\")]");
        QTest::newRow("byte-order mark before the slash") << QByteArray("[open(\"\xef\xbb\xbf/a.krp\")]");
        QTest::newRow("empty path") << QByteArray("[open(\"\")]");
        QTest::newRow("no arguments") << QByteArray("[open()]");
        QTest::newRow("two arguments to open") << QByteArray("[open(\"/a\",\"/b\")]");
        QTest::newRow("printto short") << QByteArray("[printto(\"/a\",\"P\",\"d\")]");
        QTest::newRow("printto long") << QByteArray("[printto(\"/a\",\"P\",\"d\",\"p\",\"x\")]");
        QTest::newRow("printto without printer") << QByteArray("[printto(\"/a\",\"\",\"d\",\"p\")]");
        QTest::newRow("blank before argument") << QByteArray("[open( \"/a.krp\")]");
        QTest::newRow("blank after argument") << QByteArray("[open(\"/a.krp\" )]");
        QTest::newRow("blank after comma") << QByteArray("[printto(\"/a\", \"P\",\"d\",\"p\")]");
        QTest::newRow("blank outside") << QByteArray(" [open(\"/a.krp\")]");
        QTest::newRow("trailing newline") << QByteArray("[open(\"/a.krp\")]\n");
        QTest::newRow("two requests") << QByteArray("[open(\"/a\")][open(\"/b\")]");
        QTest::newRow("text after") << QByteArray("[open(\"/a\")]x");
        QTest::newRow("unterminated quote") << QByteArray("[open(\"/a.krp)]");
        QTest::newRow("lone quote inside") << QByteArray("[open(\"/a\"b\")]");
        QTest::newRow("missing paren") << QByteArray("[open(\"/a\"]");
        QTest::newRow("missing bracket") << QByteArray("[open(\"/a\")\"");
        QTest::newRow("trailing comma") << QByteArray("[open(\"/a\",)]");
        QTest::newRow("NUL in path") << QByteArray("[open(\"/a\0b\")]", 14);
        QTest::newRow("invalid UTF-8") << QByteArray("[open(\"/a\xff.krp\")]");
        QTest::newRow("overlong UTF-8 slash") << QByteArray("[open(\"\xc0\xaf" "etc\")]");
        QTest::newRow("UTF-16 surrogate") << QByteArray("[open(\"/a\xed\xa0\x80\")]");
        QTest::newRow("too long") << QByteArray("[open(\"/") + QByteArray(kr44::kMaxShellRequestSize, 'a') + "\")]";
    }
    void refusesEverythingElse()
    {
        QFETCH(QByteArray, text);
        QVERIFY(!kr44::parseShellRequest(text));
    }

    // The request texts keep their plain form for ordinary paths.
    void formatsPlainPathsAsTheShellDoes()
    {
        QCOMPARE(kr44::formatShellRequest(open("/home/u/a.krp")), QByteArray("[open(\"/home/u/a.krp\")]"));
        QCOMPARE(kr44::formatShellRequest(print("/home/u/a.krp")), QByteArray("[print(\"/home/u/a.krp\")]"));
        QCOMPARE(kr44::formatShellRequest(printTo("/a.krp", "Laser", "drv", "lp0")),
                 QByteArray("[printto(\"/a.krp\",\"Laser\",\"drv\",\"lp0\")]"));
        QCOMPARE(kr44::formatShellRequest(open("/x/\"q\".krp")), QByteArray("[open(\"/x/\"\"q\"\".krp\")]"));
    }

    // Whatever the path, the text read back is the request that was written.
    void roundTripsAnyPath()
    {
        QRandomGenerator random(4711);
        const QString alphabet = QStringLiteral("ab /\"\"\\,()[]\u00e9\u20ac\U0001F600'%$\t\n");
        for (int n = 0; n < 2000; ++n) {
            QString parts[4];
            for (QString &p : parts) {
                const int length = int(random.bounded(12));
                for (int i = 0; i < length; ++i) {
                    const QChar c = alphabet.at(int(random.bounded(alphabet.size())));
                    // Keep surrogate pairs together.
                    if (c.isHighSurrogate() || c.isLowSurrogate())
                        p += QStringLiteral("\U0001F600");
                    else
                        p += c;
                }
            }
            const ShellRequest request{Kind(random.bounded(3)), QLatin1Char('/') + parts[0],
                                       QLatin1Char('P') + parts[1], parts[2], parts[3]};
            ShellRequest expected = request;
            if (request.kind != Kind::PrintTo)
                expected.printer = expected.driver = expected.port = QString();
            const std::optional<ShellRequest> back = kr44::parseShellRequest(kr44::formatShellRequest(expected));
            QVERIFY2(back, kr44::formatShellRequest(expected).constData());
            QCOMPARE(*back, expected);
        }
    }

    // A second start hands over what its command line asks, with the path made absolute against
    // its own working folder.
    void requestForCommandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("makesRequest");
        QTest::addColumn<ShellRequest>("expected");
        QTest::newRow("relative file") << QStringList{"a.krp"} << true << open("/work/dir/a.krp");
        QTest::newRow("absolute file") << QStringList{"/x/a.krp"} << true << open("/x/a.krp");
        QTest::newRow("subfolder and dots") << QStringList{"../b/./a.krp"} << true << open("/work/dir/../b/./a.krp");
        QTest::newRow("quoted name") << QStringList{"\"my a.krp\""} << true << open("/work/dir/my a.krp");
        QTest::newRow("print") << QStringList{"/p", "a.krp"} << true << print("/work/dir/a.krp");
        QTest::newRow("shell print") << QStringList{"/dde", "/p", "a.krp"} << true << print("/work/dir/a.krp");
        QTest::newRow("print to") << QStringList{"/pt", "a.krp", "Laser", "drv", "lp0"} << true
                                  << printTo("/work/dir/a.krp", "Laser", "drv", "lp0");
        QTest::newRow("print to without printer") << QStringList{"/pt", "a.krp"} << true << print("/work/dir/a.krp");
        QTest::newRow("plain start") << QStringList{} << false << ShellRequest{};
        QTest::newRow("dde alone") << QStringList{"/dde"} << false << ShellRequest{};
        QTest::newRow("unregister") << QStringList{"/Unregister"} << false << ShellRequest{};
        QTest::newRow("help") << QStringList{"--help", "a.krp"} << false << ShellRequest{};
    }
    void requestForCommandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, makesRequest);
        QFETCH(ShellRequest, expected);
        const std::optional<ShellRequest> request = kr44::shellRequestFor(parseCommandLine(args), QStringLiteral("/work/dir"));
        QCOMPARE(bool(request), makesRequest);
        if (makesRequest) {
            QCOMPARE(*request, expected);
            QVERIFY(kr44::parseShellRequest(kr44::formatShellRequest(*request)));
        }
    }
};

KR44_TEST(TestShellRequest)
#include "tst_shellrequest.moc"
