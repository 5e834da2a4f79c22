#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace kr44 {

// The text of a comment line, at most 100 characters. Always closable: Escape and the close box
// cancel and leave the comment as it was.
class CommentDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit CommentDialog(QWidget *parent = nullptr);

    // The comment as stored in a program line: 8-bit characters.
    void setComment(const QByteArray &text);
    [[nodiscard]] QByteArray comment() const;
    [[nodiscard]] QPushButton *okButton() const { return m_ok; }

    void accept() override;

private:
    QString m_comment;
    QLineEdit *m_edit = nullptr;
    QPushButton *m_ok = nullptr;
};

} // namespace kr44
