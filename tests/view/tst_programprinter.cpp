// Printing a program, read back from the PDF it makes with poppler-utils: the pages a program
// fills, the printer's page ranges and copies, the example printout against its stored text and
// image, and the PDF convenience and the preview agreeing with the print path.

#include "model/programfile.h"
#include "processes.h"
#include "testmain.h"
#include "view/programprinter.h"

#include <QDir>
#include <QLocale>
#include <QPageLayout>
#include <QPageRanges>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kr44;

using kr44::LineArray;

namespace {

QString poppler(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.start(tool, args);
    return process.waitForFinished(60000) && process.exitCode() == 0
            ? QString::fromUtf8(process.readAllStandardOutput())
            : QStringLiteral("%1 failed (poppler-utils)").arg(tool);
}

// The text of each page as laid out on it, every run of blanks made one.
QStringList pageTexts(const QString &pdf)
{
    QStringList pages = poppler("pdftotext", {"-layout", pdf, "-"}).split(u'\f');
    pages.removeLast(); // after the last form feed
    for (QString &page : pages)
        page = page.simplified();
    return pages;
}

QImage renderPage(const QString &pdf, int page)
{
    const QString png = pdf + QString::number(page);
    poppler("pdftoppm",
            {"-r", "100", "-gray", "-f", QString::number(page), "-l", QString::number(page),
             "-singlefile", "-png", pdf, png});
    return QImage(png + QStringLiteral(".png"));
}

QPageLayout a4()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Point);
}

void setUpPdf(QPrinter &printer, const QString &path, int dpi = 300)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(dpi);
    printer.setPageLayout(a4());
}

int linesPerPage()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPdf(printer, QStringLiteral("/dev/null"));
    return kr44::measurePage(printer).linesPerPage;
}

LineArray kills(int lines) { return LineArray::fromList(QByteArrayList(lines, "K")); }

// Page `page` of the printout "R" of `lines` K lines: its title and headings, then its rows,
// running on from page to page, a full page of them on each.
QString killsPage(int page, int lines, int perPage)
{
    QString text
            = QStringLiteral("Printout of 'R', page %1 Line Code Command Parameters").arg(page);
    for (int row = (page - 1) * perPage + 1; row <= std::min(page * perPage, lines); ++row)
        text += QStringLiteral(" %1 K Kill").arg(row);
    return text;
}

} // namespace

class TestProgramPrinter : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // One page more than the rows fill: an empty program has one page.
    void pageCount_data()
    {
        QTest::addColumn<qsizetype>("lines");
        QTest::addColumn<int>("linesPerPage");
        QTest::addColumn<int>("pages");
        QTest::newRow("empty program") << qsizetype(0) << 60 << 1;
        QTest::newRow("one short of a page") << qsizetype(59) << 60 << 1;
        QTest::newRow("exactly one page") << qsizetype(60) << 60 << 2;
        QTest::newRow("no room counts as one") << qsizetype(5) << 0 << 6;
        QTest::newRow("more pages than an int") << qsizetype(INT_MAX) * 3 << 1 << INT_MAX;
    }
    void pageCount()
    {
        QFETCH(qsizetype, lines);
        QFETCH(int, linesPerPage);
        QFETCH(int, pages);
        QCOMPARE(kr44::pageCountFor(lines, linesPerPage), pages);
    }

    void examplePrintout()
    {
        const QString data = qEnvironmentVariable("KR44_TEST_DATA");
        const kr44::LoadResult loaded = kr44::loadProgramFile(data + "/print-example.krp");
        const QString pdf = m_dir.filePath(QStringLiteral("example.pdf"));
        QString error;
        QVERIFY2(kr44::printProgramToPdf(pdf, loaded.lines, "print-example.krp", a4(), &error),
                 qPrintable(error));
        const QString expected = QString::fromUtf8(kr44test::readAll(data + "/print-example.ref"));
        QCOMPARE(pageTexts(pdf), QStringList(expected.simplified()));
        QCOMPARE(renderPage(pdf, 1), QImage(data + "/print-example.png"));
    }

    // The last page is spare: the rows fill two.
    void rangesAndCopies_data()
    {
        QTest::addColumn<QString>("ranges");   // empty for all pages
        QTest::addColumn<QString>("copies");   // how many, then how they come out
        QTest::addColumn<QList<int>>("pages"); // none: nothing printed
        QTest::newRow("list") << "1,3"
                              << "1" << QList<int> {1, 3};
        QTest::newRow("past the end") << "2-9"
                                      << "1" << QList<int> {2, 3};
        QTest::newRow("outside") << "4-5"
                                 << "1" << QList<int> {};
        QTest::newRow("collated") << ""
                                  << "2" << QList<int> {1, 2, 3, 1, 2, 3};
        QTest::newRow("uncollated") << "1-2"
                                    << "2 uncollated" << QList<int> {1, 1, 2, 2};
        QTest::newRow("last page first") << ""
                                         << "1 last first" << QList<int> {3, 2, 1};
    }
    void rangesAndCopies()
    {
        QFETCH(QString, ranges);
        QFETCH(QString, copies);
        QFETCH(QList<int>, pages);
        const QString pdf = QTest::currentDataTag() + QStringLiteral(".pdf");
        const int lpp = linesPerPage();
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, m_dir.filePath(pdf));
        printer.setPrintRange(ranges.isEmpty() ? QPrinter::AllPages : QPrinter::PageRange);
        printer.setPageRanges(QPageRanges::fromString(ranges));
        printer.setCopyCount(copies.section(u' ', 0, 0).toInt());
        printer.setCollateCopies(!copies.contains(u"uncollated"));
        printer.setPageOrder(copies.contains(u"last") ? QPrinter::LastPageFirst
                                                      : QPrinter::FirstPageFirst);
        QCOMPARE(kr44::ProgramPrinter(kills(2 * lpp), "R").print(&printer), !pages.isEmpty());
        QStringList expected;
        for (const int page : std::as_const(pages))
            expected.append(killsPage(page, 2 * lpp, lpp));
        QCOMPARE(pageTexts(m_dir.filePath(pdf)), expected);
        QCOMPARE(QFile::exists(m_dir.filePath(pdf)), !pages.isEmpty());
    }

    // The convenience prints what the print path prints; it reports a file it cannot write and
    // leaves nothing behind.
    void pdfConvenience()
    {
        const LineArray lines = kills(linesPerPage() + 5);
        QLocale::setDefault(QLocale(QLocale::German)); // A4 paper, as the printer's
        const QString pdf = m_dir.filePath(QStringLiteral("direct.pdf"));
        QString error;
        QVERIFY(kr44::printProgramToPdf(pdf, lines, "Direct", &error));
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, m_dir.filePath(QStringLiteral("printed.pdf")), 1200);
        QVERIFY(kr44::ProgramPrinter(lines, "Direct").print(&printer));
        QCOMPARE(pageTexts(pdf), pageTexts(printer.outputFileName()));
        QCOMPARE(renderPage(pdf, 2), renderPage(printer.outputFileName(), 2));
        QLocale::setDefault(QLocale::c());

        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("folder.pdf")));
        for (const char *bad : {"missing/out.pdf", "folder.pdf"}) {
            QVERIFY(!kr44::printProgramToPdf(m_dir.filePath(bad), lines, "X", &error));
            QVERIFY2(error.contains(m_dir.filePath(bad)), qPrintable(error));
        }
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).filter("folder"), QStringList());
    }

    // The preview shows every page once, whatever the last print asked for.
    void preview()
    {
        QPrinter printer(QPrinter::HighResolution);
        setUpPdf(printer, m_dir.filePath(QStringLiteral("unused.pdf")));
        printer.setCopyCount(2);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setPageRanges(QPageRanges::fromString(QStringLiteral("2")));
        QPrintPreviewWidget preview(&printer);
        kr44::connectPreview(&preview, kr44::ProgramPrinter(kills(linesPerPage() + 7), "P"));
        preview.updatePreview();
        QCOMPARE(preview.pageCount(), 2);
        QCOMPARE(printer.docName(), QStringLiteral("P"));
    }
};

KR44_TEST(TestProgramPrinter)
#include "tst_programprinter.moc"
