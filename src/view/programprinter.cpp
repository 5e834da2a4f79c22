#include "view/programprinter.h"

#include "model/instructionset.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QColor>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPageLayout>
#include <QPageRanges>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>
#include <climits>

namespace kr44 {

namespace {

// The layout's fixed positions, in 1/300 inch.
constexpr int kUnitsPerInch = 300;
constexpr int kUnitsPerMetre = 11811; // 300 dpi, as QImage keeps its resolution
constexpr int kBandLeft = 100;
constexpr int kBandTop = 60;
constexpr int kTitleLeft = 108;
constexpr int kTitleTop = 68;
constexpr int kFrameLeft = 100;
constexpr int kFrameTop = 100;
constexpr int kFrameRightInset = 101;
constexpr int kFrameBottomInset = 68;
constexpr int kHeadingTop = 60;
constexpr int kColumnX[4] = {140, 640, 960, 1700};

const QColor kBandColour(220, 220, 220);
const QColor kFrameColour(0, 0, 32);

QString printText(QByteArrayView bytes)
{
    // Program lines are 8-bit text with no declared encoding; Latin-1 shows every byte.
    return QString::fromLatin1(bytes.data(), bytes.size());
}

QPageLayout defaultPdfLayout()
{
    const QPageSize size(QLocale().measurementSystem() == QLocale::ImperialUSSystem
                                 ? QPageSize::Letter
                                 : QPageSize::A4);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Point);
}

// The pages of one copy of the document, in the order they go to the device.
QList<int> requestedPages(const QPrinter &printer, int pageCount)
{
    QList<int> pages;
    const QPageRanges ranges = printer.pageRanges();
    const bool useRanges = printer.printRange() == QPrinter::PageRange && !ranges.isEmpty();
    for (int page = 1; page <= pageCount; ++page) {
        if (!useRanges || ranges.contains(page))
            pages.append(page);
    }
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    return pages;
}

} // namespace

PrintRow printRow(qsizetype index, QByteArrayView line)
{
    PrintRow row;
    row.number = QString::number(index + 1);
    const LineParts parts = splitLine(line);
    if (!isCommentCode(parts.code)) {
        row.code = printText(parts.code);
        row.command = instructionName(parts.code);
    }
    row.parameters = printText(parts.params);
    return row;
}

QFont printFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

int PageGeometry::x(int units) const
{
    return int((qint64(units) * dpiX + kUnitsPerInch / 2) / kUnitsPerInch);
}

int PageGeometry::y(int units) const
{
    return int((qint64(units) * dpiY + kUnitsPerInch / 2) / kUnitsPerInch);
}

int PageGeometry::frameThickness() const { return std::max(1, std::min(x(1), y(1))); }

int printLineHeight()
{
    // Measured on a stand-in device of 300 dpi, so that the line height, and with it every row
    // position and the number of rows on a page, is the same on every printer.
    QImage reference(1, 1, QImage::Format_Mono);
    reference.setDotsPerMeterX(kUnitsPerMetre);
    reference.setDotsPerMeterY(kUnitsPerMetre);
    const QFontMetrics metrics(printFont(), &reference);
    const int leading = std::max(0, metrics.leading());
    return std::max(1, (metrics.height() + leading) * 12 / 10);
}

PageGeometry measurePage(QPagedPaintDevice &device)
{
    PageGeometry g;
    g.dpiX = std::max(1, device.logicalDpiX());
    g.dpiY = std::max(1, device.logicalDpiY());
    g.width = device.width();
    g.height = device.height();
    g.lineHeight = printLineHeight();

    // A quarter inch is kept free within the printable area's height. The printable area ends at
    // the device's own bottom strip, which may be wider than the top one.
    const qint64 heightUnits = qint64(g.height) * kUnitsPerInch / g.dpiY;
    const qint64 usable = heightUnits - kUnitsPerInch * 250 / 1000;
    // A page too short for the band, headings and a row still prints one row per page.
    g.linesPerPage = int(std::max<qint64>(1, usable / g.lineHeight - 4));
    return g;
}

int pageCountFor(qsizetype lineCount, int linesPerPage)
{
    const qsizetype pages = std::max<qsizetype>(lineCount, 0) / std::max(1, linesPerPage) + 1;
    return int(std::min<qsizetype>(pages, INT_MAX));
}

int pageCount(QPagedPaintDevice &device, qsizetype lineCount)
{
    return pageCountFor(lineCount, measurePage(device).linesPerPage);
}

ProgramPrinter::ProgramPrinter(LineArray lines, QString title)
    : m_lines(std::move(lines)), m_title(std::move(title))
{}

int ProgramPrinter::pageCount(QPagedPaintDevice &device) const
{
    return kr44::pageCount(device, m_lines.size());
}

namespace {

bool paintSequence(const ProgramPrinter &program, QPagedPaintDevice &device, const QList<int> &pages)
{
    if (pages.isEmpty())
        return false;
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const PageGeometry geometry = measurePage(device);
    bool firstPage = true;
    for (const int page : pages) {
        if (!firstPage && !device.newPage()) {
            painter.end();
            return false;
        }
        firstPage = false;
        program.paintPage(painter, geometry, page);
    }
    return painter.end();
}

} // namespace

bool ProgramPrinter::paintPages(QPagedPaintDevice &device, int first, int last) const
{
    const int count = pageCount(device);
    QList<int> pages;
    for (int page = std::max(1, first); page <= std::min(last, count); ++page)
        pages.append(page);
    return paintSequence(*this, device, pages);
}

bool ProgramPrinter::print(QPrinter *printer) const
{
    printer->setDocName(m_title);
    const int count = pageCount(*printer);

    // A preview shows the whole document once, whatever the last print asked for. Its paint
    // engine is the one that records pictures.
    const QPaintEngine *engine = printer->paintEngine();
    if (engine && engine->type() == QPaintEngine::Picture)
        return paintPages(*printer, 1, count);

    const QList<int> document = requestedPages(*printer, count);
    // A printer that makes the copies itself gets the document once.
    const int copies = printer->supportsMultipleCopies() ? 1 : std::max(1, printer->copyCount());
    QList<int> pages;
    pages.reserve(document.size() * copies);
    if (printer->collateCopies()) {
        for (int copy = 0; copy < copies; ++copy)
            pages.append(document);
    } else {
        for (const int page : document)
            pages.append(QList<int>(copies, page));
    }
    return paintSequence(*this, *printer, pages);
}

void ProgramPrinter::paintPage(QPainter &painter, const PageGeometry &g, int page) const
{
    painter.save();
    painter.setFont(printFont());
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(Qt::black);
    const int ascent = painter.fontMetrics().ascent();
    const int h = g.lineHeight;
    const auto drawAt = [&painter, ascent](int x, int top, const QString &text) {
        if (!text.isEmpty())
            painter.drawText(QPoint(x, top + ascent), text);
    };

    const qsizetype lpp = g.linesPerPage;
    const qsizetype first = qsizetype(std::max(page, 1) - 1) * lpp;
    // The list's end row is never printed: the last row is the last program line.
    const qsizetype last = std::min(first + lpp - 1, m_lines.size() - 1);

    const int bandLeft = g.x(kBandLeft);
    const int bandTop = g.y(kBandTop);
    painter.fillRect(QRect(bandLeft, bandTop, g.width - bandLeft, g.y(kBandTop + h) - bandTop),
                     kBandColour);
    drawAt(g.x(kTitleLeft), g.y(kTitleTop),
           tr("Printout of '%1', page %2").arg(m_title, QString::number(page)));

    const int left = g.x(kFrameLeft);
    const int top = g.y(kFrameTop);
    const int right = g.width - g.x(kFrameRightInset); // exclusive
    const int bottom = g.height - g.y(kFrameBottomInset);
    const int t = g.frameThickness();
    if (right - left >= 2 * t && bottom - top >= 2 * t) {
        painter.fillRect(QRect(left, top, right - left, t), kFrameColour);
        painter.fillRect(QRect(left, bottom - t, right - left, t), kFrameColour);
        painter.fillRect(QRect(left, top, t, bottom - top), kFrameColour);
        painter.fillRect(QRect(right - t, top, t, bottom - top), kFrameColour);
    }

    // Row tops are placed in units and scaled one by one, so no rounding adds up down the page.
    int y = kHeadingTop + (3 * h) / 2;
    const QString headings[4] = {tr("Line"), tr("Code"), tr("Command"), tr("Parameters")};
    for (int column = 0; column < 4; ++column)
        drawAt(g.x(kColumnX[column]), g.y(y), headings[column]);

    for (qsizetype i = first; i <= last; ++i) {
        y += h;
        const int rowTop = g.y(y);
        const PrintRow row = printRow(i, m_lines.at(i));
        drawAt(g.x(kColumnX[0]), rowTop, row.number);
        drawAt(g.x(kColumnX[1]), rowTop, row.code);
        drawAt(g.x(kColumnX[2]), rowTop, row.command);
        drawAt(g.x(kColumnX[3]), rowTop, row.parameters);
    }
    painter.restore();
}

bool printProgramToPdf(const QString &pdfPath, const LineArray &lines, const QString &title,
                       QString *error)
{
    return printProgramToPdf(pdfPath, lines, title, defaultPdfLayout(), error);
}

bool printProgramToPdf(const QString &pdfPath, const LineArray &lines, const QString &title,
                       const QPageLayout &layout, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly))
        return fail(ProgramPrinter::tr("Cannot write %1: %2").arg(pdfPath, file.errorString()));

    const ProgramPrinter program(lines, title);
    bool painted = false;
    {
        // The writer finishes the document when it goes out of scope, before the commit.
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setPageLayout(layout);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("KR44 Controller"));
        painted = program.paintPages(writer, 1, program.pageCount(writer));
    }
    if (!painted) {
        file.cancelWriting();
        return fail(ProgramPrinter::tr("Cannot print %1").arg(QFileInfo(pdfPath).fileName()));
    }
    if (!file.commit())
        return fail(ProgramPrinter::tr("Cannot write %1: %2").arg(pdfPath, file.errorString()));
    return true;
}

void setPreviewPages(QPrintPreviewDialog *dialog, int pages)
{
    // The dialog keeps its toolbar in step only when its own action switches the view.
    const QString name
            = pages == 2 ? QStringLiteral("facingModeAction") : QStringLiteral("singleModeAction");
    if (auto *action = dialog->findChild<QAction *>(name))
        action->trigger();
}

int previewPages(const QPrintPreviewDialog *dialog, int fallback)
{
    const auto *preview = dialog->findChild<QPrintPreviewWidget *>();
    if (!preview)
        return fallback;
    switch (preview->viewMode()) {
    case QPrintPreviewWidget::SinglePageView:
        return 1;
    case QPrintPreviewWidget::FacingPagesView:
        return 2;
    case QPrintPreviewWidget::AllPagesView:
        break;
    }
    return fallback;
}

void connectPreview(QPrintPreviewWidget *preview, const ProgramPrinter &program)
{
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, preview,
                     [program](QPrinter *printer) { program.print(printer); });
}

void connectPreview(QPrintPreviewDialog *dialog, const ProgramPrinter &program)
{
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [program](QPrinter *printer) { program.print(printer); });
}

bool execPrintDialog(QPrinter *printer, const ProgramPrinter &program, QWidget *parent)
{
    printer->setPrintRange(QPrinter::AllPages);
    printer->setPageRanges(QPageRanges());
    const QString name = printer->printerName();
    const QPageSize paper = printer->pageLayout().pageSize();
    QPrintDialog dialog(printer, parent);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setAccessibleName(dialog.windowTitle());
    // On CUPS, Qt's dialog resets the paper to the printer's default unless the user opens its
    // Properties, where the paper is chosen; otherwise the paper set beforehand is put back.
    bool paperShown = false;
    if (auto *properties = dialog.findChild<QAbstractButton *>(QStringLiteral("properties"))) {
        QObject::connect(properties, &QAbstractButton::clicked, &dialog,
                         [&paperShown] { paperShown = true; });
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (!paperShown && printer->outputFormat() == QPrinter::NativeFormat
        && printer->printerName() == name)
        printer->setPageSize(paper);
    return program.print(printer);
}

namespace {

// The preview dialog leaves its zoom box, its page field and the page view without a name
// that a screen reader could read.
void nameUnnamedControls(QPrintPreviewDialog *dialog)
{
    for (QComboBox *zoom : dialog->findChildren<QComboBox *>()) {
        // A combo box is read by its label and its value: a label the tool bar does not show.
        auto *label = new QLabel(ProgramPrinter::tr("Zoom"), zoom->parentWidget());
        label->setBuddy(zoom);
        label->hide();
    }
    for (QLineEdit *edit : dialog->findChildren<QLineEdit *>()) {
        if (!qobject_cast<QComboBox *>(edit->parentWidget()))
            edit->setAccessibleName(ProgramPrinter::tr("Page"));
    }
    if (auto *preview = dialog->findChild<QPrintPreviewWidget *>()) {
        preview->setAccessibleName(ProgramPrinter::tr("Pages"));
        // The page view scrolls with the arrow keys once Tab has reached it.
        for (auto *view : preview->findChildren<QAbstractScrollArea *>()) {
            view->setFocusPolicy(Qt::StrongFocus);
            view->setAccessibleName(ProgramPrinter::tr("Pages"));
            view->viewport()->setAccessibleName(ProgramPrinter::tr("Pages"));
        }
    }
}

} // namespace

int execPrintPreview(QPrinter *printer, const ProgramPrinter &program, int pages, QWidget *parent)
{
    QPrintPreviewDialog dialog(printer, parent);
    dialog.setObjectName(QStringLiteral("printPreviewDialog"));
    dialog.setAccessibleName(dialog.windowTitle());
    nameUnnamedControls(&dialog);
    connectPreview(&dialog, program);
    setPreviewPages(&dialog, pages);
    dialog.exec();
    return previewPages(&dialog, pages);
}

} // namespace kr44
