#include "dialogs/commentdialog.h"

#include "dialogs/controls.h"
#include "dialogs/dataexchange.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace kr44 {

using namespace kr44;

namespace {

// Refuses what commentEditAllowed refuses. The field's text before each edit is fed back in from
// textChanged, because a validator sees only the text the edit would leave.
class CommentValidator final : public QValidator
{
public:
    explicit CommentValidator(QObject *parent) : QValidator(parent) {}

    void setPrevious(const QString &text) { m_previous = text; }

    State validate(QString &input, int &pos) const override
    {
        Q_UNUSED(pos);
        return commentEditAllowed(m_previous, input) ? Acceptable : Invalid;
    }

private:
    QString m_previous;
};

} // namespace

CommentDialog::CommentDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("commentDialog"));
    setAccessibleName(tr("Comment"));
    setWindowTitle(tr("Comment"));

    m_edit = new QLineEdit(this);
    setNames(m_edit, QStringLiteral("commentEdit"), tr("Comment"));
    // Setting a maximum length would cut a longer comment read from a file; the validator lets it
    // be shown whole and only shortened.
    auto *validator = new CommentValidator(m_edit);
    m_edit->setValidator(validator);
    connect(m_edit, &QLineEdit::textChanged, validator, &CommentValidator::setPrevious);
    m_edit->setMinimumWidth(m_edit->fontMetrics().averageCharWidth() * 60);

    auto *buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    m_ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    setNames(m_ok, QStringLiteral("okButton"), tr("OK"));
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CommentDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
}

void CommentDialog::setComment(const QByteArray &text)
{
    m_comment = QString::fromLatin1(text);
    DataExchange dx(this, DataExchange::Direction::Push);
    dx.text(m_edit, m_comment, kCommentMaxChars);
    m_edit->selectAll();
}

QByteArray CommentDialog::comment() const { return m_comment.toLatin1(); }

void CommentDialog::accept()
{
    DataExchange dx(this, DataExchange::Direction::Pull);
    if (!dx.text(m_edit, m_comment, kCommentMaxChars))
        return;
    QDialog::accept();
}

} // namespace kr44
