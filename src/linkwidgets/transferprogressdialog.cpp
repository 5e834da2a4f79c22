#include "linkwidgets/transferprogressdialog.h"

#include "link/seriallink.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kr44 {

namespace {
QString progressText(qsizetype sent, qsizetype total)
{
    return QCoreApplication::translate("kr44::TransferProgressDialog", "Line %1 of %2")
            .arg(sent)
            .arg(total);
}
} // namespace

TransferProgressDialog::TransferProgressDialog(SerialLink *link, QWidget *parent)
    : QDialog(parent), m_link(link)
{
    setObjectName(QStringLiteral("transferProgressDialog"));
    setAccessibleName(tr("Send Program"));
    setWindowTitle(tr("Send Program"));
    setModal(false);

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("transferLabel"));
    m_label->setAccessibleName(tr("Lines sent"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("transferBar"));
    m_bar->setAccessibleName(tr("Download progress"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("transferButtons"));
    buttons->setAccessibleName(tr("Download buttons"));
    QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cancelTransferButton"));
    cancel->setAccessibleName(tr("Cancel download"));
    connect(buttons, &QDialogButtonBox::rejected, this, &TransferProgressDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(buttons);

    connect(m_link, &SerialLink::transferStarted, this, &TransferProgressDialog::onStarted);
    connect(m_link, &SerialLink::transferProgress, this, &TransferProgressDialog::onProgress);
    connect(m_link, &SerialLink::transferFinished, this, &QWidget::hide);
}

QString TransferProgressDialog::labelText() const { return m_label->text(); }

int TransferProgressDialog::value() const { return m_bar->value(); }

int TransferProgressDialog::maximum() const { return m_bar->maximum(); }

void TransferProgressDialog::reject()
{
    m_link->cancelTransfer();
    QDialog::reject();
}

void TransferProgressDialog::onStarted(qsizetype linesToSend, qint64 estimatedMs)
{
    m_bar->setRange(0, int(qMax<qsizetype>(linesToSend, 1)));
    m_bar->setValue(0);
    m_label->setText(progressText(0, linesToSend));
    if (estimatedMs >= kShowFromMs)
        show();
}

void TransferProgressDialog::onProgress(qsizetype linesSent, qsizetype linesToSend)
{
    if (!isVisible())
        return;
    m_bar->setValue(int(linesSent));
    m_label->setText(progressText(linesSent, linesToSend));
}

} // namespace kr44
