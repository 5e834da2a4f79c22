#include "app/shell/appprompt.h"

#include <QFileDialog>

namespace kr44 {

QString programFileFilters()
{
    return QCoreApplication::translate("kr44::AppPrompt",
                                       "KR44 Program Files (*.krp);;All Files (*)");
}

QMessageBox::StandardButton AppPrompt::message(QWidget *parent, QMessageBox::Icon icon,
                                               const QString &text,
                                               QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, tr("KR44 Demo Program"), text, buttons, parent);
    box.setObjectName(QStringLiteral("appMessageBox"));
    box.setAccessibleName(text);
    return QMessageBox::StandardButton(box.exec());
}

QString AppPrompt::saveFileName(QWidget *parent, const QString &proposed)
{
    QFileDialog dialog(parent, tr("Save As"), QString(), programFileFilters());
    dialog.setObjectName(QStringLiteral("saveAsDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("krp"));
    dialog.selectFile(proposed);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString AppPrompt::openFileName(QWidget *parent)
{
    QFileDialog dialog(parent, tr("Open"), QString(), programFileFilters());
    dialog.setObjectName(QStringLiteral("openDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace kr44
