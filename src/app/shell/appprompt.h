#pragma once

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace kr44 {

// Every message box and file dialog of the application shell goes through here, so that tests
// can answer them without a modal loop.
class AppPrompt
{
    Q_DECLARE_TR_FUNCTIONS(kr44::AppPrompt)

public:
    virtual ~AppPrompt() = default;

    virtual QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon,
                                                const QString &text,
                                                QMessageBox::StandardButtons buttons
                                                = QMessageBox::Ok);
    // The Save As dialog, proposing `proposed`; an empty result cancels.
    virtual QString saveFileName(QWidget *parent, const QString &proposed);
    // The Open dialog; an empty result cancels.
    virtual QString openFileName(QWidget *parent);
};

// The filters of the Open and Save As dialogs.
[[nodiscard]] QString programFileFilters();

} // namespace kr44
