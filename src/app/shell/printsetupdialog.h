#pragma once

#include "app/shell/printcommands.h"

#include <QDialog>
#include <QList>
#include <QPageSize>

class QComboBox;
class QLabel;
class QRadioButton;

namespace kr44 {

// Which of `papers` to offer first: the one equivalent to `wanted`, else `fallback` (the
// printer's default), else the first; -1 when there is none.
[[nodiscard]] int paperIndex(const QList<QPageSize> &papers, const QPageSize &wanted,
                             const QPageSize &fallback);

// Print Setup: the printer (with its status, type, place and comment), its paper and the
// orientation. The dialog only fills in a choice; it changes no printer.
class PrintSetupDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PrintSetupDialog(const PrinterChoice &initial, QWidget *parent = nullptr);

    [[nodiscard]] PrinterChoice choice() const;

private:
    // Describes printer `name` and lists its paper, keeping `paper` where the printer has it.
    void showPrinter(const QString &name, const QPageSize &paper);

    QComboBox *m_printer;
    QLabel *m_status;
    QLabel *m_type;
    QLabel *m_where;
    QLabel *m_comment;
    QComboBox *m_paper;
    QRadioButton *m_portrait;
    QRadioButton *m_landscape;
    QList<QPageSize> m_papers; // in the order m_paper lists them
};

// Shows Print Setup over `parent`; true, with `choice` filled in, when it is confirmed.
bool execPrintSetupDialog(QWidget *parent, PrinterChoice &choice);

} // namespace kr44
