#include "app/shell/printcommands.h"

#include "app/shell/appprompt.h"
#include "app/shell/printsetupdialog.h"
#include "app/shell/programwindow.h"
#include "model/programdocument.h"
#include "view/programprinter.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

namespace kr44 {

PrinterChoice PrinterChoice::of(const QPrinter &printer)
{
    PrinterChoice choice;
    if (printer.outputFormat() == QPrinter::NativeFormat)
        choice.printerName = printer.printerName();
    choice.pageSize = printer.pageLayout().pageSize();
    choice.orientation = printer.pageLayout().orientation();
    return choice;
}

void PrinterChoice::applyTo(QPrinter &printer) const
{
    const QString name = printerName.isEmpty() ? QPrinterInfo::defaultPrinterName() : printerName;
    if (QPrinterInfo::availablePrinterNames().contains(name)) {
        // A file to print into, left there by the Print dialog or a print request, would take
        // the job instead of the printer.
        printer.setOutputFileName(QString());
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(name);
    }
    if (pageSize.isValid())
        printer.setPageSize(pageSize);
    printer.setPageOrientation(orientation);
}

PrintCommands::PrintCommands(AppPrompt &prompt, QWidget *window)
    : m_prompt(prompt), m_window(window), m_setupRunner(execPrintSetupDialog)
{}

PrintCommands::~PrintCommands() = default;

QPrinter *PrintCommands::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void PrintCommands::choosePrinter(QPrinter &printer, const QString &name)
{
    if (name.isEmpty())
        return;
    if (name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QFileInfo(name).absoluteFilePath());
    } else {
        printer.setPrinterName(name);
    }
}

bool PrintCommands::printOn(ProgramWindow *child, QPrinter *target)
{
    if (!child)
        return false;
    const ProgramPrinter program(child->document()->lines(), child->document()->title());
    if (!program.print(target)) {
        m_prompt.message(m_window, QMessageBox::Warning,
                         tr("Failed to print %1.").arg(program.title()));
        return false;
    }
    return true;
}

void PrintCommands::print(ProgramWindow *child)
{
    if (!child || !child->document()->canPrint())
        return;
    const ProgramPrinter program(child->document()->lines(), child->document()->title());
    execPrintDialog(printer(), program, m_window);
}

void PrintCommands::printPreview(ProgramWindow *child)
{
    if (!child)
        return;
    const ProgramPrinter program(child->document()->lines(), child->document()->title());
    m_previewPages = execPrintPreview(printer(), program, m_previewPages, m_window);
}

void PrintCommands::printSetup()
{
    PrinterChoice choice = PrinterChoice::of(*printer());
    if (m_setupRunner(m_window, choice))
        choice.applyTo(*printer());
}

} // namespace kr44
