#include "app/shell/selectwindowdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kr44 {

SelectWindowDialog::SelectWindowDialog(const QStringList &titles, int current, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("SelectWindowDialog"));
    setWindowTitle(tr("Select Window"));
    setAccessibleName(windowTitle());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *label = new QLabel(tr("&Select Window:"), this);
    label->setObjectName(QStringLiteral("selectWindowLabel"));
    label->setBuddy(m_list);
    m_list->setObjectName(QStringLiteral("selectWindowList"));
    m_list->setAccessibleName(tr("Program windows"));
    m_list->addItems(titles);
    m_list->setCurrentRow(current >= 0 ? current : 0);
    // Enter and a double-click choose the row, as OK does.
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("selectWindowButtons"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    m_list->setFocus();
}

int SelectWindowDialog::selectedIndex() const { return m_list->currentRow(); }

} // namespace kr44
