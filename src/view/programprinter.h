#pragma once

#include "model/linearray.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QFont>
#include <QString>

class QPageLayout;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QPrintPreviewDialog;
class QPrintPreviewWidget;
class QWidget;

namespace kr44 {

// The four texts of one printed row, the same texts the program list shows.
struct PrintRow
{
    QString number;
    QString code;
    QString command;
    QString parameters;
};

// Row `index` (0-based) of the program, made from its stored line. A comment row has an empty
// code and command and its text under the parameters.
[[nodiscard]] PrintRow printRow(qsizetype index, QByteArrayView line);

// Arial, 8 points; fontconfig substitutes a metric-compatible face where Arial is missing.
[[nodiscard]] QFont printFont();

// Where things go on the pages of one device. The page is laid out in units of 1/300 inch and
// x() and y() scale them to the device's pixels, so that every resolution gives the same page
// and a 300 dpi page is drawn in whole pixels exactly as laid out.
struct PageGeometry
{
    int dpiX = 300;
    int dpiY = 300;
    int width = 0; // the printable area, in device pixels
    int height = 0;
    int lineHeight = 1; // in units, from the font's metrics at 300 dpi
    int linesPerPage = 1;

    [[nodiscard]] int x(int units) const;
    [[nodiscard]] int y(int units) const;
    // The frame's line: one pixel at 300 dpi, as thick on every other device.
    [[nodiscard]] int frameThickness() const;
};

// The line height in units: the font's height and external leading at 300 dpi, plus a fifth.
[[nodiscard]] int printLineHeight();
// Measures the device's page: its resolution, printable area, the line height and how many
// program rows fit on a page (never fewer than 1).
[[nodiscard]] PageGeometry measurePage(QPagedPaintDevice &device);
// A program always prints one more page than its rows fill, so an empty program has one page.
[[nodiscard]] int pageCountFor(qsizetype lineCount, int linesPerPage);
[[nodiscard]] int pageCount(QPagedPaintDevice &device, qsizetype lineCount);

// Paints a program's pages. The printer keeps its own copy of the lines, so the program may
// change while a preview that uses it stays open.
class ProgramPrinter
{
    Q_DECLARE_TR_FUNCTIONS(kr44::ProgramPrinter)

public:
    ProgramPrinter(LineArray lines, QString title);

    [[nodiscard]] const QString &title() const { return m_title; }
    [[nodiscard]] qsizetype lineCount() const { return m_lines.size(); }
    [[nodiscard]] int pageCount(QPagedPaintDevice &device) const;

    // Prints onto `printer`: the pages of its page ranges (those that exist) when it has some,
    // else every page, each copy in the order the printer asks for. A printer that is painting a
    // preview gets every page once. The printer's document name becomes the title. False when
    // the printer cannot be opened or no requested page exists.
    bool print(QPrinter *printer) const;
    // Paints pages first to last (1-based, clipped to the pages that exist) onto any paged
    // device, one device page each. False when the device cannot be opened or no page is left.
    bool paintPages(QPagedPaintDevice &device, int first, int last) const;
    // Draws page `page` with an active painter on a device measured as `geometry`.
    void paintPage(QPainter &painter, const PageGeometry &geometry, int page) const;

private:
    LineArray m_lines;
    QString m_title;
};

// Writes every page of the program into a PDF file at 1200 dpi, on A4 (Letter where the locale
// measures in inches) with 10 point margins, or on `layout`. The file is replaced only when the
// whole document was written. On failure returns false and, when `error` is given, says why.
bool printProgramToPdf(const QString &pdfPath, const LineArray &lines, const QString &title,
                       QString *error);
bool printProgramToPdf(const QString &pdfPath, const LineArray &lines, const QString &title,
                       const QPageLayout &layout, QString *error);

// The print-preview dialog's view for the "PreviewPages" setting: 2 shows facing pages, any
// other value a single page.
void setPreviewPages(QPrintPreviewDialog *dialog, int pages);
// The setting for the view the dialog shows now: 2 for facing pages, 1 for a single page, or
// `fallback` for the overview of all pages, which the setting cannot express.
[[nodiscard]] int previewPages(const QPrintPreviewDialog *dialog, int fallback);

// Makes the preview paint the program's pages with the same routine as printing.
void connectPreview(QPrintPreviewWidget *preview, const ProgramPrinter &program);
void connectPreview(QPrintPreviewDialog *dialog, const ProgramPrinter &program);

// Shows the standard print dialog (starting from all pages, on the printer's paper unless the user
// picks another printer or paper there) and prints when it is confirmed.
// False when the user cancels or printing fails.
bool execPrintDialog(QPrinter *printer, const ProgramPrinter &program, QWidget *parent);
// Shows Qt's print preview on `printer` in the view `pages` asks for ("PreviewPages") and returns
// the setting for the view the user left it in.
int execPrintPreview(QPrinter *printer, const ProgramPrinter &program, int pages, QWidget *parent);

} // namespace kr44
