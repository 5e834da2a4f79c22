#include "commandwnd.h"

#include "replytext.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

// Dialog units of the window's layout, converted with the dialog font's metrics.
QSize dialogUnits(const QFontMetrics &fm, int x, int y)
{
    return {x * fm.averageCharWidth() / 4, y * fm.height() / 8};
}

} // namespace

CCommandWnd::CCommandWnd(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("commandWindow"));
    setAccessibleName(QStringLiteral("Direct Command Window"));
    setWindowTitle(QStringLiteral("Direct Command Window"));
    setModal(false);

    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QStringLiteral("commandEdit"));
    m_edit->setAccessibleName(QStringLiteral("Command text"));
    m_edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setTabChangesFocus(true);
    // A terminal log: an undo stack would only grow with every received byte.
    m_edit->setUndoRedoEnabled(false);
    m_edit->installEventFilter(this);
    connect(m_edit->document(), &QTextDocument::contentsChanged, this,
            &CCommandWnd::enforceCapacity);

    const QFontMetrics fm(font());
    const QSize margin = dialogUnits(fm, 7, 7);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin.width(), margin.height(), margin.width(), margin.height());
    layout->addWidget(m_edit);
    resize(dialogUnits(fm, 390, 202));
}

void CCommandWnd::AppendText(const QByteArray &text)
{
    QString converted = kr44::commandWindowText(text);
    if (converted.isEmpty())
        return;
    if (converted.size() > kCapacity)
        converted = converted.right(kCapacity);

    // The capacity is enforced once the caret has been placed, so that a trim leaves the caret
    // at the end rather than where this insertion ended.
    m_trimming = true;
    QTextCursor cursor = m_edit->textCursor();
    cursor.clearSelection();
    cursor.insertText(converted);
    m_edit->setTextCursor(cursor);
    m_trimming = false;
    enforceCapacity();
    m_edit->ensureCursorVisible();
}

void CCommandWnd::showAndRaise()
{
    show();
    raise();
    activateWindow();
}

void CCommandWnd::toggleVisible()
{
    if (isVisible())
        hide();
    else
        showAndRaise();
}

QString CCommandWnd::text() const
{
    return m_edit->toPlainText();
}

bool CCommandWnd::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Sent before the field handles the key, so the unit gets it whatever the echo does.
        for (const char byte : kr44::bytesForKey(key->key(), key->text()))
            Q_EMIT characterTyped(byte);
    }
    return QDialog::eventFilter(watched, event);
}

void CCommandWnd::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_edit->setFocus();
    moveCaretToEnd();
}

void CCommandWnd::enforceCapacity()
{
    if (m_trimming)
        return;
    QTextDocument *doc = m_edit->document();
    const qsizetype drop = kr44::charactersToDrop(doc->characterCount() - 1, kCapacity);
    if (drop == 0)
        return;
    m_trimming = true;
    QTextCursor cursor(doc);
    cursor.setPosition(int(drop), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_trimming = false;
    moveCaretToEnd();
}

void CCommandWnd::moveCaretToEnd()
{
    QTextCursor cursor = m_edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_edit->setTextCursor(cursor);
    m_edit->ensureCursorVisible();
}
