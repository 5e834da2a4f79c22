#pragma once

#include <QCoreApplication>
#include <QString>

#include <memory>

class QPrinter;
class QWidget;

namespace kr44 {

class AppPrompt;
class ProgramWindow;

// Printing a program window's program: Print with its dialog, Print Preview and Print Setup on
// the run's printer, and printing without a dialog on that printer or another. A failed print is
// shown through the prompt.
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
    void printSetup();
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
    int m_previewPages = 0;
};

} // namespace kr44
