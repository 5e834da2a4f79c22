#include "programprinter.h"

#include "linearray.h"
#include "programfile.h"
#include "processes.h"
#include "testmain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QPageLayout>
#include <QPageRanges>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

using kr44::LineArray;

namespace {

struct Word
{
    int page = 0; // 1-based
    QRectF box;   // in points
    QString text;
};

// A fixed, known page so that positions can be checked in points.
QPageLayout a4Layout(double marginPoints = 10)
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(marginPoints, marginPoints, marginPoints, marginPoints),
                       QPageLayout::Point);
}

void setUpPdfPrinter(QPrinter &printer, const QString &path, int dpi,
                     const QPageLayout &layout = a4Layout())
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(dpi);
    printer.setPageLayout(layout);
}

QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPageCount(const QString &pdf)
{
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                                         QRegularExpression::MultilineOption)
                                          .match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The text of every page, as laid out on it.
QStringList pageTexts(const QString &pdf)
{
    QStringList pages = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf,
                                                          QStringLiteral("-")})
                            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString unescapeHtml(QString text)
{
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

QList<Word> pdfWords(const QString &pdf)
{
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf,
                                                           QStringLiteral("-")});
    static const QRegularExpression re(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<Word> words;
    int page = 0;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        Word w;
        w.page = page;
        w.box = QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                       QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
        w.text = unescapeHtml(m.captured(5));
        words.append(w);
    }
    return words;
}

QList<Word> wordsOn(const QList<Word> &words, int page)
{
    QList<Word> out;
    std::copy_if(words.cbegin(), words.cend(), std::back_inserter(out),
                 [page](const Word &w) { return w.page == page; });
    return out;
}

const Word *findWord(const QList<Word> &words, int page, const QString &text)
{
    const auto it = std::find_if(words.cbegin(), words.cend(), [&](const Word &w) {
        return w.page == page && w.text == text;
    });
    return it == words.cend() ? nullptr : &*it;
}

// Words whose baseline band overlaps the row that `anchor` stands in.
QList<Word> sameRow(const QList<Word> &words, const Word &anchor)
{
    QList<Word> out;
    for (const Word &w : words) {
        if (w.page == anchor.page && std::abs(w.box.center().y() - anchor.box.center().y()) < 2)
            out.append(w);
    }
    std::sort(out.begin(), out.end(),
              [](const Word &a, const Word &b) { return a.box.left() < b.box.left(); });
    return out;
}

QImage renderPage(const QString &pdf, int page, int dpi)
{
    const QString prefix = pdf + QStringLiteral("-page%1-%2dpi").arg(page).arg(dpi);
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
                   QString::number(page), QStringLiteral("-l"), QString::number(page),
                   QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QImage();
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// Mean absolute grey difference per pixel, 0 to 255; 255 when the sizes differ.
double meanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 255;
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *ra = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *rb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(ra[x]) - qGray(rb[x]));
    }
    return double(sum) / (qint64(a.width()) * a.height());
}

// A program with every kind of row, `count` lines long.
LineArray mixedProgram(int count)
{
    static const QByteArray kinds[] = {"G1000", "J1H,5", "K", "* Start position", "Q12",
                                       "+200", "W1H", "*raw comment", "g-2H", ""};
    QList<QByteArray> lines;
    for (int i = 0; i < count; ++i)
        lines.append(kinds[i % std::size(kinds)]);
    return LineArray::fromList(lines);
}

int linesPerPageFor(const QPageLayout &layout, int dpi)
{
    QPdfWriter probe(QStringLiteral("/dev/null"));
    probe.setResolution(dpi);
    probe.setPageLayout(layout);
    return kr44::measurePage(probe).linesPerPage;
}

QList<int> rowNumbersOf(const QString &pageText)
{
    // A row starts with its number in the Line column; the title and headings start with words.
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d+)(\\s|$)"),
                                       QRegularExpression::MultilineOption);
    QList<int> numbers;
    for (auto it = re.globalMatch(pageText); it.hasNext();)
        numbers.append(it.next().captured(1).toInt());
    return numbers;
}

} // namespace

// The printouts are read back with poppler-utils; without them those tests skip.
#define REQUIRE_POPPLER()                                                                         \
    do {                                                                                          \
        if (!m_havePoppler)                                                                       \
            QSKIP("pdftotext, pdftoppm and pdfinfo (poppler-utils) read the printouts back");    \
    } while (false)

class TestProgramPrinter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void printRow_data();
    void printRow();
    void pageCountFor_data();
    void pageCountFor();
    void shortPageStillPrintsOneRowPerPage();

    void pageCountAndRows_data();
    void pageCountAndRows();
    void exampleProgramPrintsAsExpected();
    void titleAndHeadingsOnEveryPage();
    void columnsLineUpWithTheirHeadings_data();
    void columnsLineUpWithTheirHeadings();
    void longCommentIsNotCut();
    void bandAndFrameColours_data();
    void bandAndFrameColours();
    void sameLayoutAtEveryResolution();

    void pageRangesAndCopies_data();
    void pageRangesAndCopies();
    void rangeOutsideTheDocumentPrintsNothing();

    void pdfConvenienceMatchesThePrintPath();
    void pdfConvenienceReportsFailure_data();
    void pdfConvenienceReportsFailure();
    void previewShowsThePrintedPages();
    void previewOfAnEmptyProgramHasOnePage();
    void previewPagesSetting();
    void execPrintPreviewReturnsTheViewLeft();
    void cancelledPrintDialogPrintsNothing();

private:
    bool m_havePoppler = false;
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void TestProgramPrinter::initTestCase()
{
    m_havePoppler = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
                    && !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()
                    && !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
    QVERIFY(m_dir.isValid());
    if (qEnvironmentVariableIsSet("KR44_KEEP_PRINTOUTS")) {
        m_dir.setAutoRemove(false);
        qInfo("printouts kept in %s", qPrintable(m_dir.path()));
    }
}

void TestProgramPrinter::printRow_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("cells");

    QTest::newRow("instruction") << QByteArray("G1000") << 0
                                 << QStringList{"1", "G", "Go to", "1000"};
    QTest::newRow("jump if") << QByteArray("J1H,5") << 1
                             << QStringList{"2", "J", "Jump if", "1H,5"};
    QTest::newRow("no parameters") << QByteArray("K") << 2 << QStringList{"3", "K", "Kill", ""};
    QTest::newRow("comment") << QByteArray("* Start position") << 3
                             << QStringList{"4", "", "", "Start position"};
    QTest::newRow("unknown code") << QByteArray("Q12") << 4 << QStringList{"5", "Q", "", "12"};
    QTest::newRow("lower-case code") << QByteArray("g-2H") << 5
                                     << QStringList{"6", "g", "Go until", "-2H"};
    QTest::newRow("empty line") << QByteArray() << 6 << QStringList{"7", "", "", ""};
    QTest::newRow("lone asterisk") << QByteArray("*") << 7 << QStringList{"8", "", "", ""};
    QTest::newRow("comment without blank") << QByteArray("*raw") << 8
                                           << QStringList{"9", "", "", "raw"};
    QTest::newRow("8-bit bytes") << QByteArray("* caf\xe9 \xb5s") << 99
                                 << QStringList{"100", "", "", QString::fromUtf8("café µs")};
}

void TestProgramPrinter::printRow()
{
    QFETCH(QByteArray, line);
    QFETCH(int, index);
    QFETCH(QStringList, cells);
    const kr44::PrintRow row = kr44::printRow(index, line);
    QCOMPARE((QStringList{row.number, row.code, row.command, row.parameters}), cells);
}

void TestProgramPrinter::pageCountFor_data()
{
    QTest::addColumn<qsizetype>("lines");
    QTest::addColumn<int>("linesPerPage");
    QTest::addColumn<int>("pages");

    QTest::newRow("empty program") << qsizetype(0) << 60 << 1;
    QTest::newRow("one short of a page") << qsizetype(59) << 60 << 1;
    QTest::newRow("exactly one page") << qsizetype(60) << 60 << 2;
    QTest::newRow("one over") << qsizetype(61) << 60 << 2;
    QTest::newRow("exactly two pages") << qsizetype(120) << 60 << 3;
    QTest::newRow("no room counts as one") << qsizetype(5) << 0 << 6;
    QTest::newRow("negative room counts as one") << qsizetype(5) << -3 << 6;
    QTest::newRow("more pages than an int holds") << qsizetype(INT_MAX) * 3 << 1 << INT_MAX;
}

void TestProgramPrinter::pageCountFor()
{
    QFETCH(qsizetype, lines);
    QFETCH(int, linesPerPage);
    QFETCH(int, pages);
    QCOMPARE(kr44::pageCountFor(lines, linesPerPage), pages);
}

void TestProgramPrinter::shortPageStillPrintsOneRowPerPage()
{
    REQUIRE_POPPLER();
    // 0.8 inch high: too short for the band, the headings and four spare line heights, which
    // would leave room for fewer than no rows at all.
    const QPageLayout strip(QPageSize(QSizeF(4, 0.8), QPageSize::Inch), QPageLayout::Portrait,
                            QMarginsF(0, 0, 0, 0));
    QCOMPARE(linesPerPageFor(strip, 300), 1);

    const QString pdf = path(QStringLiteral("strip.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, 300, strip);
    const kr44::ProgramPrinter program(mixedProgram(3), QStringLiteral("Strip"));
    QCOMPARE(program.pageCount(printer), 4);
    QVERIFY(program.print(&printer));

    const QStringList pages = pageTexts(pdf);
    QCOMPARE(pages.size(), 4);
    for (int p = 0; p < 3; ++p)
        QCOMPARE(rowNumbersOf(pages.at(p)), QList<int>{p + 1});
    QVERIFY(rowNumbersOf(pages.at(3)).isEmpty());
}

void TestProgramPrinter::pageCountAndRows_data()
{
    const int lpp = linesPerPageFor(a4Layout(), 300);
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("pages");

    QTest::newRow("empty program") << 0 << 1;
    QTest::newRow("one line") << 1 << 1;
    QTest::newRow("exactly a page") << lpp << 2;
    QTest::newRow("one more than a page") << lpp + 1 << 2;
    QTest::newRow("exactly two pages") << 2 * lpp << 3;
}

void TestProgramPrinter::pageCountAndRows()
{
    REQUIRE_POPPLER();
    QFETCH(int, lines);
    QFETCH(int, pages);
    const int lpp = linesPerPageFor(a4Layout(), 300);
    QVERIFY(lpp > 20);

    const QString pdf = path(QStringLiteral("count-%1.pdf").arg(lines));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, 300);
    const kr44::ProgramPrinter program(mixedProgram(lines), QStringLiteral("Count"));
    QCOMPARE(program.pageCount(printer), pages);
    QVERIFY(program.print(&printer));
    QCOMPARE(pdfPageCount(pdf), pages);

    // Rows run on from page to page, each page but the last holds a full page of them, and the
    // end row (number lines + 1) never shows.
    const QStringList texts = pageTexts(pdf);
    QCOMPARE(texts.size(), pages);
    QList<int> all;
    for (int p = 0; p < pages; ++p) {
        const QList<int> rows = rowNumbersOf(texts.at(p));
        if (p < pages - 1)
            QCOMPARE(rows.size(), lpp);
        all.append(rows);
    }
    QList<int> expected(lines);
    std::iota(expected.begin(), expected.end(), 1);
    QCOMPARE(all, expected);
}

void TestProgramPrinter::exampleProgramPrintsAsExpected()
{
    REQUIRE_POPPLER();
    const QString data = qEnvironmentVariable("KR44_TEST_DATA");
    if (data.isEmpty())
        QSKIP("KR44_TEST_DATA is not set (run through ctest)");
    const kr44::LoadResult loaded =
        kr44::loadProgramFile(data + QStringLiteral("/print-example.krp"));
    QVERIFY(loaded.error.ok());

    const QString pdf = path(QStringLiteral("print-example.pdf"));
    QString error;
    QVERIFY2(kr44::printProgramToPdf(pdf, loaded.lines, QStringLiteral("print-example.krp"),
                                     a4Layout(), &error),
             qPrintable(error));
    const QStringList pages = pageTexts(pdf);
    QCOMPARE(pages.size(), 1);
    QStringList shown;
    for (const QString &line : pages.first().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.trimmed().isEmpty())
            shown.append(line.simplified());
    }
    const QString expected = QString::fromLatin1(
        kr44test::readAll(data + QStringLiteral("/print-example.ref")));
    QCOMPARE(shown, expected.split(QLatin1Char('\n'), Qt::SkipEmptyParts));
}

void TestProgramPrinter::titleAndHeadingsOnEveryPage()
{
    REQUIRE_POPPLER();
    const int lpp = linesPerPageFor(a4Layout(), 300);
    const QString pdf = path(QStringLiteral("titles.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, 300);
    const kr44::ProgramPrinter program(mixedProgram(2 * lpp + 3), QStringLiteral("Demo 100%1.krp"));
    QVERIFY(program.print(&printer));

    const QStringList texts = pageTexts(pdf);
    QCOMPARE(texts.size(), 3);
    const QList<Word> words = pdfWords(pdf);
    for (int p = 1; p <= 3; ++p) {
        const QStringList lines = texts.at(p - 1).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 2);
        QCOMPARE(lines.at(0).trimmed(),
                 QStringLiteral("Printout of 'Demo 100%1.krp', page ") + QString::number(p));
        QCOMPARE(lines.at(1).simplified(), QStringLiteral("Line Code Command Parameters"));

        // The title sits in the band above the frame and the headings under the band.
        const Word *title = findWord(words, p, QStringLiteral("Printout"));
        const Word *heading = findWord(words, p, QStringLiteral("Line"));
        QVERIFY(title && heading);
        QVERIFY(title->box.bottom() < heading->box.top());
        const QList<Word> headingRow = sameRow(wordsOn(words, p), *heading);
        QStringList order;
        for (const Word &w : headingRow)
            order.append(w.text);
        QCOMPARE(order, (QStringList{"Line", "Code", "Command", "Parameters"}));
    }
}

void TestProgramPrinter::columnsLineUpWithTheirHeadings_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("96 dpi") << 96;
    QTest::newRow("300 dpi") << 300;
    QTest::newRow("600 dpi") << 600;
    QTest::newRow("1200 dpi") << 1200;
}

void TestProgramPrinter::columnsLineUpWithTheirHeadings()
{
    REQUIRE_POPPLER();
    QFETCH(int, dpi);
    const QString pdf = path(QStringLiteral("columns-%1.pdf").arg(dpi));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, dpi);
    const kr44::ProgramPrinter program(
        LineArray::fromList({"G1000", "* Start position", "J1H,5", "K"}), QStringLiteral("Cols"));
    QVERIFY(program.print(&printer));
    const QList<Word> words = pdfWords(pdf);

    const QString headings[] = {"Line", "Code", "Command", "Parameters"};
    double columnX[4];
    for (int c = 0; c < 4; ++c) {
        const Word *w = findWord(words, 1, headings[c]);
        QVERIFY2(w, qPrintable(headings[c]));
        columnX[c] = w->box.left();
    }
    // Column starts as 1/300 inch offsets from the printable area's left edge (10 pt margin).
    QCOMPARE(qRound(columnX[0]), qRound(10 + 140 * 72 / 300.0));
    QCOMPARE(qRound(columnX[3]), qRound(10 + 1700 * 72 / 300.0));

    const auto cellsOfRow = [&](const QString &firstParam) {
        const Word *anchor = findWord(words, 1, firstParam);
        QList<int> columns;
        QStringList texts;
        if (!anchor)
            return std::make_pair(columns, texts);
        for (const Word &w : sameRow(words, *anchor)) {
            for (int c = 0; c < 4; ++c) {
                if (std::abs(w.box.left() - columnX[c]) < 0.5) {
                    columns.append(c);
                    texts.append(w.text);
                }
            }
        }
        return std::make_pair(columns, texts);
    };

    const auto instruction = cellsOfRow(QStringLiteral("1000"));
    QCOMPARE(instruction.first, (QList<int>{0, 1, 2, 3}));
    QCOMPARE(instruction.second, (QStringList{"1", "G", "Go", "1000"}));

    // A comment shows its number and its text at the Parameters column, nothing between.
    const auto comment = cellsOfRow(QStringLiteral("Start"));
    QCOMPARE(comment.first, (QList<int>{0, 3}));
    QCOMPARE(comment.second, (QStringList{"2", "Start"}));
    const Word *start = findWord(words, 1, QStringLiteral("Start"));
    QCOMPARE(sameRow(words, *start).size(), 3); // "2", "Start", "position"

    const auto kill = cellsOfRow(QStringLiteral("Kill"));
    QCOMPARE(kill.first, (QList<int>{0, 1, 2}));
}

void TestProgramPrinter::longCommentIsNotCut()
{
    REQUIRE_POPPLER();
    // Long enough to cross the frame's right edge, short enough to stay on the paper.
    const QByteArray text = "this comment runs on past the frame edge";
    const QString pdf = path(QStringLiteral("long.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, 300);
    QVERIFY(kr44::ProgramPrinter(LineArray::fromList({"* " + text}), QStringLiteral("Long"))
                .print(&printer));

    const QList<Word> words = pdfWords(pdf);
    const Word *first = findWord(words, 1, QStringLiteral("this"));
    QVERIFY(first);
    QStringList shown;
    double right = 0;
    for (const Word &w : sameRow(words, *first)) {
        if (w.box.left() >= first->box.left()) {
            shown.append(w.text);
            right = w.box.right();
        }
    }
    QCOMPARE(shown.join(QLatin1Char(' ')), QString::fromLatin1(text));
    const double frameRight = 10 + (printer.width() - 101) * 72.0 / 300;
    QVERIFY2(right > frameRight + 2, qPrintable(QStringLiteral("%1 %2").arg(right).arg(frameRight)));
}

void TestProgramPrinter::bandAndFrameColours_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("300 dpi") << 300;
    QTest::newRow("1200 dpi") << 1200;
}

void TestProgramPrinter::bandAndFrameColours()
{
    REQUIRE_POPPLER();
    QFETCH(int, dpi);
    // No margins, so a pixel of the 300 dpi image is one 1/300 inch unit of the layout.
    const QPageLayout layout = a4Layout(0);
    const QString pdf = path(QStringLiteral("colours-%1.pdf").arg(dpi));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, dpi, layout);
    QVERIFY(kr44::ProgramPrinter(mixedProgram(3), QStringLiteral("C")).print(&printer));

    const QImage page = renderPage(pdf, 1, 300);
    QVERIFY(!page.isNull());
    const QColor band(220, 220, 220);
    const QColor frame(0, 0, 32);
    const auto near = [](QRgb pixel, const QColor &colour) {
        return std::abs(qRed(pixel) - colour.red()) <= 8
               && std::abs(qGreen(pixel) - colour.green()) <= 8
               && std::abs(qBlue(pixel) - colour.blue()) <= 8;
    };
    // The device's pixels, not the image's: the rasteriser rounds the page size up.
    const QSize device = layout.fullRectPixels(300).size();
    const int midY = device.height() / 2;
    const int midX = device.width() / 2;
    // The band starts at x 100 and y 60 and runs to the right edge of the printable area.
    QVERIFY(near(page.pixel(101, 62), band));
    QVERIFY(near(page.pixel(device.width() - 2, 62), band));
    QVERIFY(!near(page.pixel(98, 62), band));
    QVERIFY(!near(page.pixel(101, 57), band));
    // The frame: left 100, top 100, right W - 101, bottom H - 68, one 1/300 inch line.
    QVERIFY(near(page.pixel(100, midY), frame));
    QVERIFY(!near(page.pixel(102, midY), frame));
    QVERIFY(!near(page.pixel(98, midY), frame));
    QVERIFY(near(page.pixel(device.width() - 102, midY), frame));
    QVERIFY(!near(page.pixel(device.width() - 100, midY), frame));
    QVERIFY(!near(page.pixel(device.width() - 104, midY), frame));
    QVERIFY(near(page.pixel(midX, device.height() - 69), frame));
    QVERIFY(!near(page.pixel(midX, device.height() - 67), frame));
    QVERIFY(!near(page.pixel(midX, device.height() - 71), frame));
    // The band's height is one line height, more than the 40 units down to the frame's top edge,
    // so the top edge runs through the band.
    QVERIFY(near(page.pixel(midX, 100), frame));
    QVERIFY(near(page.pixel(midX, 98), band));
}

void TestProgramPrinter::sameLayoutAtEveryResolution()
{
    REQUIRE_POPPLER();
    const LineArray lines = mixedProgram(30);
    QList<Word> words[2];
    QImage images[2];
    const int dpis[2] = {300, 1200};
    for (int i = 0; i < 2; ++i) {
        const QString pdf = path(QStringLiteral("layout-%1.pdf").arg(dpis[i]));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdfPrinter(printer, pdf, dpis[i]);
        QVERIFY(kr44::ProgramPrinter(lines, QStringLiteral("Same")).print(&printer));
        words[i] = pdfWords(pdf);
        images[i] = renderPage(pdf, 1, 100);
    }
    QVERIFY(words[0].size() > 60);
    QCOMPARE(words[1].size(), words[0].size());
    QList<double> cellStarts;
    for (const char *heading : {"Line", "Code", "Command", "Parameters", "Printout"})
        cellStarts.append(findWord(words[0], 1, QString::fromLatin1(heading))->box.left());
    for (qsizetype i = 0; i < words[0].size(); ++i) {
        const Word &a = words[0].at(i);
        const Word &b = words[1].at(i);
        QCOMPARE(b.text, a.text);
        // Where a text starts differs only by the rounding to whole 1/300 inch pixels. Inside a
        // text the glyph advances are rounded to the device's pixels, so later words drift a
        // little on the coarser device.
        const bool startsCell = std::any_of(cellStarts.cbegin(), cellStarts.cend(),
                                            [&a](double x) { return std::abs(a.box.left() - x) < 0.5; });
        const double xTolerance = startsCell ? 0.25 : 1.0;
        QVERIFY2(std::abs(a.box.left() - b.box.left()) < xTolerance
                     && std::abs(a.box.top() - b.box.top()) < 0.25,
                 qPrintable(QStringLiteral("%1 at %2,%3 and %4,%5")
                                .arg(a.text)
                                .arg(a.box.left())
                                .arg(a.box.top())
                                .arg(b.box.left())
                                .arg(b.box.top())));
    }
    QVERIFY2(meanDifference(images[0], images[1]) < 1.0,
             qPrintable(QString::number(meanDifference(images[0], images[1]))));
}

void TestProgramPrinter::pageRangesAndCopies_data()
{
    QTest::addColumn<QString>("ranges"); // empty for all pages
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<bool>("lastFirst");
    QTest::addColumn<QList<int>>("pages");

    QTest::newRow("all") << QString() << 1 << true << false << QList<int>{1, 2, 3};
    QTest::newRow("one page") << QStringLiteral("2") << 1 << true << false << QList<int>{2};
    QTest::newRow("list") << QStringLiteral("1,3") << 1 << true << false << QList<int>{1, 3};
    QTest::newRow("past the end") << QStringLiteral("2-9") << 1 << true << false
                                  << QList<int>{2, 3};
    QTest::newRow("collated copies") << QString() << 2 << true << false
                                     << QList<int>{1, 2, 3, 1, 2, 3};
    QTest::newRow("uncollated copies") << QStringLiteral("1-2") << 2 << false << false
                                       << QList<int>{1, 1, 2, 2};
    QTest::newRow("last page first") << QString() << 1 << true << true << QList<int>{3, 2, 1};
}

void TestProgramPrinter::pageRangesAndCopies()
{
    REQUIRE_POPPLER();
    QFETCH(QString, ranges);
    QFETCH(int, copies);
    QFETCH(bool, collate);
    QFETCH(bool, lastFirst);
    QFETCH(QList<int>, pages);

    const int lpp = linesPerPageFor(a4Layout(), 300);
    const QString pdf = path(QStringLiteral("ranges-%1.pdf").arg(QTest::currentDataTag()));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, 300);
    if (!ranges.isEmpty()) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(QPageRanges::fromString(ranges));
    }
    printer.setCopyCount(copies);
    printer.setCollateCopies(collate);
    printer.setPageOrder(lastFirst ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
    QVERIFY(!printer.supportsMultipleCopies());
    QVERIFY(kr44::ProgramPrinter(mixedProgram(2 * lpp + 1), QStringLiteral("R")).print(&printer));

    QList<int> printed;
    static const QRegularExpression title(QStringLiteral("page (\\d+)"));
    for (const QString &text : pageTexts(pdf))
        printed.append(title.match(text).captured(1).toInt());
    QCOMPARE(printed, pages);
}

void TestProgramPrinter::rangeOutsideTheDocumentPrintsNothing()
{
    const QString pdf = path(QStringLiteral("outside.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, 300);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setPageRanges(QPageRanges::fromString(QStringLiteral("4-5")));
    QVERIFY(!kr44::ProgramPrinter(mixedProgram(3), QStringLiteral("O")).print(&printer));
    QVERIFY(!QFile::exists(pdf));
}

void TestProgramPrinter::pdfConvenienceMatchesThePrintPath()
{
    REQUIRE_POPPLER();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int lpp = linesPerPageFor(a4Layout(), 1200);
    const LineArray lines = mixedProgram(lpp + 5);
    const QString direct = path(QStringLiteral("direct.pdf"));
    QString error;
    QVERIFY(kr44::printProgramToPdf(direct, lines, QStringLiteral("Direct"), &error));
    QVERIFY(error.isEmpty());

    const QString printed = path(QStringLiteral("printed.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, printed, 1200);
    QVERIFY(kr44::ProgramPrinter(lines, QStringLiteral("Direct")).print(&printer));

    QCOMPARE(pdfPageCount(direct), 2);
    QCOMPARE(pageTexts(direct), pageTexts(printed));
    QVERIFY(meanDifference(renderPage(direct, 2, 100), renderPage(printed, 2, 100)) < 0.01);

    // Where paper is measured in inches the page is a Letter sheet.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString letter = path(QStringLiteral("letter.pdf"));
    QVERIFY(kr44::printProgramToPdf(letter, lines, QStringLiteral("Letter"), &error));
    QLocale::setDefault(QLocale::c());
    QVERIFY(run(QStringLiteral("pdfinfo"), {letter}).contains(QLatin1String("612 x 792 pts")));
}

void TestProgramPrinter::pdfConvenienceReportsFailure_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("missing folder") << QStringLiteral("missing-folder/out.pdf");
    QTest::newRow("a folder") << QStringLiteral("folder.pdf");
}

void TestProgramPrinter::pdfConvenienceReportsFailure()
{
    QFETCH(QString, target);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder.pdf")));
    const QString full = path(target);
    QString error;
    QVERIFY(!kr44::printProgramToPdf(full, mixedProgram(2), QStringLiteral("X"), &error));
    QVERIFY2(error.contains(full), qPrintable(error));
    QVERIFY(!QFileInfo(full).isFile());
    // No temporary file is left behind either.
    QCOMPARE(QDir(QFileInfo(full).absolutePath()).entryList(QDir::Files).filter("out.pdf"),
             QStringList());
}

void TestProgramPrinter::previewShowsThePrintedPages()
{
    REQUIRE_POPPLER();
    const int lpp = linesPerPageFor(a4Layout(), 300);
    const kr44::ProgramPrinter program(mixedProgram(lpp + 7), QStringLiteral("Preview"));

    const QString pdf = path(QStringLiteral("beside-preview.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, 300);
    // What the last print asked for does not narrow or multiply the preview's pages.
    printer.setCopyCount(2);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2")));
    printer.setPageOrder(QPrinter::LastPageFirst);

    QPrintPreviewWidget preview(&printer);
    kr44::connectPreview(&preview, program);
    preview.resize(600, 800);
    preview.show();
    preview.updatePreview();
    QTRY_COMPARE(preview.pageCount(), 2);

    printer.setCopyCount(1);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageOrder(QPrinter::FirstPageFirst);
    QVERIFY(program.print(&printer));
    QCOMPARE(pdfPageCount(pdf), 2);

    auto *view = preview.findChild<QGraphicsView *>();
    QVERIFY(view && view->scene());
    QList<QGraphicsItem *> pageItems = view->scene()->items();
    QCOMPARE(pageItems.size(), 2);
    std::sort(pageItems.begin(), pageItems.end(), [](QGraphicsItem *a, QGraphicsItem *b) {
        return a->pos().y() < b->pos().y();
    });

    const int dpi = 300;
    const QSizeF paper = printer.pageLayout().fullRectPixels(printer.resolution()).size();
    const QRectF target(QPointF(0, 0), paper * dpi / printer.resolution());
    QList<QImage> previewPages, printedPages;
    for (int p = 1; p <= 2; ++p) {
        printedPages.append(renderPage(pdf, p, dpi));
        QVERIFY(!printedPages.last().isNull());
        QImage image(printedPages.last().size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QRectF source = pageItems.at(p - 1)->mapRectToScene(QRectF(QPointF(0, 0), paper));
        view->scene()->render(&painter, target, source, Qt::IgnoreAspectRatio);
        painter.end();
        previewPages.append(image);
    }
    // Two rasterisers never agree pixel for pixel on text; a different page differs far more.
    for (int p = 0; p < 2; ++p) {
        const auto blurred = [](const QImage &image) {
            return image.scaled(image.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        const double same = meanDifference(blurred(previewPages.at(p)), blurred(printedPages.at(p)));
        const double other =
            meanDifference(blurred(previewPages.at(p)), blurred(printedPages.at(1 - p)));
        if (same >= 0.5) {
            previewPages.at(p).save(path(QStringLiteral("preview-%1.png").arg(p + 1)));
            printedPages.at(p).save(path(QStringLiteral("printed-%1.png").arg(p + 1)));
        }
        QVERIFY2(same < 0.5 && other > 1.5,
                 qPrintable(QStringLiteral("page %1: %2 against its printout, %3 against the other")
                                .arg(p + 1)
                                .arg(same)
                                .arg(other)));
    }
}

void TestProgramPrinter::previewOfAnEmptyProgramHasOnePage()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, path(QStringLiteral("unused.pdf")), 300);
    QPrintPreviewWidget preview(&printer);
    kr44::connectPreview(&preview, kr44::ProgramPrinter(LineArray(), QStringLiteral("Program1")));
    preview.updatePreview();
    QCOMPARE(preview.pageCount(), 1);
    QCOMPARE(printer.docName(), QStringLiteral("Program1"));
}

void TestProgramPrinter::previewPagesSetting()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, path(QStringLiteral("unused.pdf")), 300);
    QPrintPreviewDialog dialog(&printer);
    kr44::connectPreview(&dialog, kr44::ProgramPrinter(mixedProgram(3), QStringLiteral("S")));
    auto *preview = dialog.findChild<QPrintPreviewWidget *>();
    QVERIFY(preview);

    kr44::setPreviewPages(&dialog, 2);
    QCOMPARE(preview->viewMode(), QPrintPreviewWidget::FacingPagesView);
    QCOMPARE(kr44::previewPages(&dialog, 1), 2);
    kr44::setPreviewPages(&dialog, 1);
    QCOMPARE(preview->viewMode(), QPrintPreviewWidget::SinglePageView);
    QCOMPARE(kr44::previewPages(&dialog, 2), 1);
    kr44::setPreviewPages(&dialog, 7);
    QCOMPARE(kr44::previewPages(&dialog, 2), 1);

    auto *overview = dialog.findChild<QAction *>(QStringLiteral("overviewModeAction"));
    QVERIFY(overview);
    overview->trigger();
    QCOMPARE(kr44::previewPages(&dialog, 2), 2);
    QCOMPARE(kr44::previewPages(&dialog, 1), 1);
}

void TestProgramPrinter::execPrintPreviewReturnsTheViewLeft()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, path(QStringLiteral("unused.pdf")), 300);
    const kr44::ProgramPrinter program(mixedProgram(3), QStringLiteral("Exec"));

    int pagesSeen = -1;
    QPrintPreviewWidget::ViewMode modeSeen = QPrintPreviewWidget::AllPagesView;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&]() {
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        auto *preview = dialog->findChild<QPrintPreviewWidget *>();
        pagesSeen = preview->pageCount();
        modeSeen = preview->viewMode();
        preview->setViewMode(QPrintPreviewWidget::SinglePageView);
        dialog->reject();
    });
    poll.start();
    QCOMPARE(kr44::execPrintPreview(&printer, program, 2, nullptr), 1);
    QCOMPARE(pagesSeen, 1);
    QCOMPARE(modeSeen, QPrintPreviewWidget::FacingPagesView);
}

void TestProgramPrinter::cancelledPrintDialogPrintsNothing()
{
    const QString pdf = path(QStringLiteral("cancelled.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    setUpPdfPrinter(printer, pdf, 300);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2")));

    bool sawDialog = false;
    bool allPagesOffered = false;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&]() {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        sawDialog = dialog->objectName() == QLatin1String("printDialog");
        allPagesOffered = printer.printRange() == QPrinter::AllPages;
        dialog->reject();
    });
    poll.start();
    QVERIFY(!kr44::execPrintDialog(&printer, kr44::ProgramPrinter(mixedProgram(3), "P"), nullptr));
    QVERIFY(sawDialog);
    QVERIFY(allPagesOffered);
    QVERIFY(!QFile::exists(pdf));
}

KR44_TEST(TestProgramPrinter)
#include "tst_programprinter.moc"
