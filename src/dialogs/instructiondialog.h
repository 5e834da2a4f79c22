#pragma once

#include "dialogs/dataexchange.h"
#include "dialogs/dialogrunner.h"

#include <QByteArray>
#include <QDialog>

class QGridLayout;
class QPushButton;
class QVBoxLayout;

namespace kr44 {

// What every instruction dialog shares: new mode (the caller's text is empty: no Cancel button,
// Escape and the close box ignored) or edit mode, filling the controls when it opens, and on OK
// pulling and checking the fields, then composing the caller's text.
class InstructionDialog : public QDialog
{
    Q_OBJECT

public:
    // `params` is the caller's parameter text, read when the dialog opens and replaced on OK;
    // it must outlive the dialog.
    InstructionDialog(QByteArray &params, const QString &title, const QString &objectName,
                      QWidget *parent);

    [[nodiscard]] bool isNewMode() const { return m_newMode; }
    // Both exist from initDialog() on.
    [[nodiscard]] QPushButton *okButton() const { return m_ok; }
    [[nodiscard]] QPushButton *cancelButton() const { return m_cancel; }

    // Fills the controls before the dialog is shown. False when the dialog has ended itself
    // (with Rejected) and must not be shown.
    bool initDialog();
    // initDialog, then the modal loop.
    kr44::DialogResult run();

    void accept() override;
    void reject() override;

protected:
    // Edit mode only: the caller's text into the fields, through the model's reading rules.
    virtual void readFields(const QByteArray &params) = 0;
    // The fields in their exchange order.
    virtual void exchange(kr44::DataExchange &dx) = 0;
    // Checks that relate fields, after a successful pull.
    virtual void checkFields(kr44::DataExchange &dx) { Q_UNUSED(dx); }
    [[nodiscard]] virtual QByteArray composeText() = 0;
    // The dialog's own opening steps, after the fields were pushed. False ends the dialog.
    virtual bool opened() { return true; }

    // Pushes or pulls; a pull also runs checkFields. False when a pull failed.
    bool updateData(kr44::DataExchange::Direction direction);
    [[nodiscard]] QGridLayout *grid() const { return m_grid; }

private:
    void addButtons();
    void selectFirstField();

    QByteArray &m_params;
    const bool m_newMode;
    QVBoxLayout *m_outer = nullptr;
    QGridLayout *m_grid = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace kr44
