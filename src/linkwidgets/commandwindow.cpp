#include "linkwidgets/commandwindow.h"

#include "link/replytext.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

namespace kr44 {

namespace {

// Dialog units of the window's layout, converted with the dialog font's metrics.
QSize dialogUnits(const QFontMetrics &fm, int x, int y)
{
    return {x * fm.averageCharWidth() / 4, y * fm.height() / 8};
}

} // namespace

CommandWindow::CommandWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("commandWindow"));
    setAccessibleName(tr("Direct Command Window"));
    setWindowTitle(tr("Direct Command Window"));
    setModal(false);

    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QStringLiteral("commandEdit"));
    m_edit->setAccessibleName(tr("Command text"));
    m_edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setTabChangesFocus(true);
    // A terminal log: an undo stack would only grow with every received byte.
    m_edit->setUndoRedoEnabled(false);
    m_edit->installEventFilter(this);
    connect(m_edit->document(), &QTextDocument::contentsChanged, this,
            &CommandWindow::enforceCapacity);

    const QFontMetrics fm(font());
    const QSize margin = dialogUnits(fm, 7, 7);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin.width(), margin.height(), margin.width(), margin.height());
    layout->addWidget(m_edit);
    resize(dialogUnits(fm, 390, 202));
}

void CommandWindow::appendText(const QByteArray &text)
{
    QString converted = kr44::commandWindowText(text);
    if (converted.isEmpty())
        return;
    if (converted.size() > kCapacity)
        converted = converted.right(kCapacity);
    // Room is made before inserting, so received text is always shown whole even when the
    // caret sits among the oldest characters.
    makeRoomFor(converted.size());

    m_trimming = true;
    QTextCursor cursor = m_edit->textCursor();
    cursor.clearSelection();
    cursor.insertText(converted);
    m_edit->setTextCursor(cursor);
    m_trimming = false;
    m_edit->ensureCursorVisible();
}

void CommandWindow::showAndRaise()
{
    show();
    raise();
    activateWindow();
}

void CommandWindow::toggleVisible()
{
    if (isVisible())
        hide();
    else
        showAndRaise();
}

QString CommandWindow::text() const { return m_edit->toPlainText(); }

bool CommandWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QByteArray bytes = kr44::bytesForKey(key->key(), key->text());
        // Sent before the field handles the key, so the unit gets it whatever the echo does.
        for (const char byte : bytes)
            Q_EMIT characterTyped(byte);
        qsizetype inserted = 0;
        for (const QChar c : key->text())
            inserted += (c.isPrint() || c == u'\r') ? 1 : 0;
        if (!bytes.isEmpty() && inserted > 0)
            makeRoomFor(inserted);
    }
    return QDialog::eventFilter(watched, event);
}

void CommandWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_edit->setFocus();
    moveCaretToEnd();
}

qsizetype CommandWindow::length() const { return m_edit->document()->characterCount() - 1; }

void CommandWindow::makeRoomFor(qsizetype incoming)
{
    dropFront(kr44::charactersToDrop(length() + incoming, kCapacity));
}

void CommandWindow::enforceCapacity()
{
    // Catches what arrives other than by typing or appendText, a paste for instance.
    if (!m_trimming)
        dropFront(kr44::charactersToDrop(length(), kCapacity));
}

void CommandWindow::dropFront(qsizetype count)
{
    count = qMin(count, length());
    if (count <= 0)
        return;
    m_trimming = true;
    QTextCursor cursor(m_edit->document());
    cursor.setPosition(int(count), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_trimming = false;
    moveCaretToEnd();
}

void CommandWindow::moveCaretToEnd()
{
    QTextCursor cursor = m_edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_edit->setTextCursor(cursor);
    m_edit->ensureCursorVisible();
}

} // namespace kr44
