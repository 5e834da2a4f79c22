#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace kr44 {

class SerialLink;

// The progress of a program download that takes longer than about a second on the wire, with a
// Cancel button. It follows the link's transfer signals on its own: the main window only
// creates it. It is not modal, so the window stays usable; the link keeps the download's bytes
// in order whatever else is done meanwhile.
class TransferProgressDialog : public QDialog
{
    Q_OBJECT

public:
    // Downloads whose bytes take at least this long on the wire show the dialog.
    static constexpr qint64 kShowFromMs = 1000;

    explicit TransferProgressDialog(SerialLink *link, QWidget *parent = nullptr);

    [[nodiscard]] QString labelText() const;
    [[nodiscard]] int value() const;
    [[nodiscard]] int maximum() const;

    // Cancelling the dialog (Cancel, Escape, the close box) cancels the download.
    void reject() override;

private:
    void onStarted(qsizetype linesToSend, qint64 estimatedMs);
    void onProgress(qsizetype linesSent, qsizetype linesToSend);

    SerialLink *m_link;
    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
};

} // namespace kr44
