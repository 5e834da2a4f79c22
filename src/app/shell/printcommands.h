#pragma once

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace kr44 {

class AppPrompt;
class ProgramWindow;

// The printer, paper and orientation Print Setup chose: what Print and Print Preview print on for
// the rest of the run.
struct PrinterChoice
{
    QString printerName; // empty: the system's default printer
    QPageSize pageSize;  // invalid: the printer's own default paper
    QPageLayout::Orientation orientation = QPageLayout::Portrait;

    [[nodiscard]] static PrinterChoice of(const QPrinter &printer);
    // Points `printer` at the chosen printer and then sets the paper, because changing printers
    // drops a paper the new one lacks. A printer that is not installed is left out; the paper and
    // orientation apply all the same.
    void applyTo(QPrinter &printer) const;
};

// Shows Print Setup over the parent; true, with the choice filled in, when it is confirmed.
using PrintSetupRunner = std::function<bool(QWidget *parent, PrinterChoice &choice)>;

// Printing a program window's program: Print with its dialog, Print Preview and Print Setup on
// the run's printer (which the Print dialog may change as well), and printing without a dialog on
// that printer or another. A failed print is shown through the prompt.
class PrintCommands
{
    Q_DECLARE_TR_FUNCTIONS(kr44::PrintCommands)

public:
    // `prompt` and `window` must outlive the commands.
    PrintCommands(AppPrompt &prompt, QWidget *window);
    ~PrintCommands();
    Q_DISABLE_COPY_MOVE(PrintCommands)

    // The run's printer, made when first needed.
    [[nodiscard]] QPrinter *printer();
    void print(ProgramWindow *child);
    void printPreview(ProgramWindow *child);
    // Print Setup: what the runner confirms becomes the run's printer, paper and orientation.
    void printSetup();
    // Replaces the Print Setup dialog (tests).
    void setPrintSetupRunner(PrintSetupRunner runner) { m_setupRunner = std::move(runner); }
    // Prints without a dialog; false (the failure shown) when nothing could be printed.
    bool printOn(ProgramWindow *child, QPrinter *printer);

    // How the preview shows its pages, kept for the next preview and the next run.
    [[nodiscard]] int previewPages() const { return m_previewPages; }
    void setPreviewPages(int pages) { m_previewPages = pages; }

    // Points `printer` at a named printer; a name ending in ".pdf" is a PDF file to print into.
    static void choosePrinter(QPrinter &printer, const QString &name);

private:
    AppPrompt &m_prompt;
    QWidget *m_window;
    std::unique_ptr<QPrinter> m_printer;
    PrintSetupRunner m_setupRunner;
    int m_previewPages = 0;
};

} // namespace kr44
