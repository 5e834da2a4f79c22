#include "app/shell/printsetupdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kr44 {

namespace {

// Offered where a printer names no paper, or none is installed: the Print dialog can still
// print into a PDF file.
QList<QPageSize> commonPapers()
{
    const QPageSize::PageSizeId ids[]
            = {QPageSize::A4, QPageSize::Letter, QPageSize::Legal,    QPageSize::A3,
               QPageSize::A5, QPageSize::B5,     QPageSize::Executive};
    QList<QPageSize> papers;
    for (const QPageSize::PageSizeId id : ids)
        papers.append(QPageSize(id));
    return papers;
}

QString stateText(QPrinter::PrinterState state)
{
    switch (state) {
    case QPrinter::Idle:
        return PrintSetupDialog::tr("Ready");
    case QPrinter::Active:
        return PrintSetupDialog::tr("Printing");
    case QPrinter::Aborted:
        return PrintSetupDialog::tr("Stopped");
    case QPrinter::Error:
        break;
    }
    return PrintSetupDialog::tr("Error");
}

} // namespace

int paperIndex(const QList<QPageSize> &papers, const QPageSize &wanted, const QPageSize &fallback)
{
    for (const QPageSize &paper : {wanted, fallback}) {
        for (qsizetype i = 0; paper.isValid() && i < papers.size(); ++i) {
            if (papers.at(i).isEquivalentTo(paper))
                return int(i);
        }
    }
    return papers.isEmpty() ? -1 : 0;
}

PrintSetupDialog::PrintSetupDialog(const PrinterChoice &initial, QWidget *parent)
    : QDialog(parent), m_printer(new QComboBox), m_status(new QLabel), m_type(new QLabel),
      m_where(new QLabel), m_comment(new QLabel), m_paper(new QComboBox),
      m_portrait(new QRadioButton(tr("P&ortrait"))), m_landscape(new QRadioButton(tr("&Landscape")))
{
    setObjectName(QStringLiteral("printSetupDialog"));
    setWindowTitle(tr("Print Setup"));
    setAccessibleName(windowTitle());
    m_printer->setObjectName(QStringLiteral("printerName"));
    m_paper->setObjectName(QStringLiteral("paperSize"));
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_landscape->setObjectName(QStringLiteral("landscape"));

    auto *printerForm = new QFormLayout;
    printerForm->addRow(tr("&Name:"), m_printer);
    printerForm->addRow(tr("Status:"), m_status);
    printerForm->addRow(tr("Type:"), m_type);
    printerForm->addRow(tr("Where:"), m_where);
    printerForm->addRow(tr("Comment:"), m_comment);
    auto *printerBox = new QGroupBox(tr("Printer"));
    printerBox->setLayout(printerForm);
    auto *paperForm = new QFormLayout;
    paperForm->addRow(tr("Si&ze:"), m_paper);
    auto *paperBox = new QGroupBox(tr("Paper"));
    paperBox->setLayout(paperForm);
    auto *orientation = new QVBoxLayout;
    orientation->addWidget(m_portrait);
    orientation->addWidget(m_landscape);
    auto *orientationBox = new QGroupBox(tr("Orientation"));
    orientationBox->setLayout(orientation);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *lower = new QHBoxLayout;
    lower->addWidget(paperBox, 1);
    lower->addWidget(orientationBox);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(printerBox);
    layout->addLayout(lower);
    layout->addWidget(buttons);

    const QString name = initial.printerName.isEmpty() ? QPrinterInfo::defaultPrinterName()
                                                       : initial.printerName;
    {
        const QSignalBlocker quiet(m_printer);
        m_printer->addItems(QPrinterInfo::availablePrinterNames());
        m_printer->setCurrentIndex(qMax(0, m_printer->findText(name)));
    }
    m_printer->setEnabled(m_printer->count() > 0);
    showPrinter(m_printer->currentText(), initial.pageSize);
    (initial.orientation == QPageLayout::Landscape ? m_landscape : m_portrait)->setChecked(true);
    connect(m_printer, &QComboBox::currentTextChanged, this,
            [this](const QString &printer) { showPrinter(printer, choice().pageSize); });
    m_printer->setFocus();
}

PrinterChoice PrintSetupDialog::choice() const
{
    PrinterChoice chosen;
    chosen.printerName = m_printer->currentText();
    const int paper = m_paper->currentIndex();
    if (paper >= 0 && paper < m_papers.size())
        chosen.pageSize = m_papers.at(paper);
    chosen.orientation = m_landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    return chosen;
}

void PrintSetupDialog::showPrinter(const QString &name, const QPageSize &paper)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    m_status->setText(info.isNull() ? tr("No printers are installed.") : stateText(info.state()));
    m_type->setText(info.makeAndModel());
    m_where->setText(info.location());
    m_comment->setText(info.description());
    m_papers = info.supportedPageSizes();
    if (m_papers.isEmpty())
        m_papers = commonPapers();
    m_paper->clear();
    for (const QPageSize &size : std::as_const(m_papers))
        m_paper->addItem(size.name());
    m_paper->setCurrentIndex(paperIndex(m_papers, paper, info.defaultPageSize()));
}

bool execPrintSetupDialog(QWidget *parent, PrinterChoice &choice)
{
    PrintSetupDialog dialog(choice, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.choice();
    return true;
}

} // namespace kr44
