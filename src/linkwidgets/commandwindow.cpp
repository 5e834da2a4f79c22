#include "linkwidgets/commandwindow.h"

#include "link/replytext.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace kr44 {

namespace {

// Dialog units of the window's layout, converted with the dialog font's metrics.
QSize dialogUnits(const QFontMetrics &fm, int x, int y)
{
    return {x * fm.averageCharWidth() / 4, y * fm.height() / 8};
}

QString chooseTextFile(QWidget *parent)
{
    QFileDialog dialog(parent, CommandWindow::tr("Save As"), QString(),
                       CommandWindow::tr("Text Files (*.txt);;All Files (*)"));
    dialog.setObjectName(QStringLiteral("saveTextDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void showWarning(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, CommandWindow::tr("KR44 Demo Program"), text,
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("commandWindowMessageBox"));
    box.exec();
}

} // namespace

QString stampLines(const QString &text, bool atLineStart, const QString &stamp)
{
    if (stamp.isEmpty())
        return text;
    QString out;
    out.reserve(text.size() + stamp.size());
    bool lineStart = atLineStart;
    for (const QChar c : text) {
        if (lineStart)
            out += stamp;
        out += c;
        lineStart = c == u'\n';
    }
    return out;
}

CommandWindow::CommandWindow(QWidget *parent)
    : QDialog(parent), m_clock(&QTime::currentTime), m_chooseFile(chooseTextFile),
      m_messageBox(showWarning)
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
    createActions();
}

void CommandWindow::createActions()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("commandMenu"));
    const auto add
            = [this](const char *name, const QString &text, const QList<QKeySequence> &keys) {
                  QAction *action = m_menu->addAction(text);
                  action->setObjectName(QString::fromLatin1(name));
                  action->setShortcuts(keys);
                  return action;
              };
    // Ctrl with a letter types a control character, which goes to the unit like any other;
    // the window's own keys add Shift, as terminal programs do.
    const auto ctrl = [](Qt::Key key) {
        return QList<QKeySequence> {QKeySequence(Qt::CTRL | Qt::SHIFT | key)};
    };
    QAction *copy = add("copyAction", tr("&Copy"), ctrl(Qt::Key_C));
    copy->setEnabled(false);
    connect(copy, &QAction::triggered, m_edit, &QPlainTextEdit::copy);
    connect(m_edit, &QPlainTextEdit::copyAvailable, copy, &QAction::setEnabled);
    connect(add("selectAllAction", tr("Select &All"), ctrl(Qt::Key_A)), &QAction::triggered, m_edit,
            &QPlainTextEdit::selectAll);
    m_menu->addSeparator();
    connect(add("clearAction", tr("C&lear"), ctrl(Qt::Key_L)), &QAction::triggered, this,
            &CommandWindow::clear);
    connect(add("saveAsAction", tr("&Save As..."), ctrl(Qt::Key_S)), &QAction::triggered, this,
            &CommandWindow::saveAs);
    m_menu->addSeparator();
    m_timeStamps = add("timeStampsAction", tr("&Time stamps"), ctrl(Qt::Key_T));
    m_timeStamps->setCheckable(true);

    m_edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_edit, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_edit->viewport()->mapToGlobal(pos)); });
}

QAction *CommandWindow::actionForKey(const QKeyEvent &key) const
{
    const QKeySequence pressed(key.keyCombination());
    const QList<QAction *> actions = m_menu->actions();
    const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction *action) {
        return !action->isSeparator() && action->shortcuts().contains(pressed);
    });
    return found == actions.end() ? nullptr : *found;
}

void CommandWindow::appendText(const QByteArray &text)
{
    QString converted = kr44::commandWindowText(text);
    if (converted.isEmpty())
        return;
    const QString stamp
            = timeStamps() ? m_clock().toString(QStringLiteral("hh:mm:ss.zzz ")) : QString();
    // Room is made before inserting, so received text is always shown whole even when the
    // caret sits among the oldest characters. Making room can move the caret to another line,
    // so it is made for the most stamps the text can take.
    makeRoomFor(qMin(kCapacity, kr44::stampLines(converted, true, stamp).size()));

    m_trimming = true;
    QTextCursor cursor = m_edit->textCursor();
    cursor.clearSelection();
    converted = kr44::stampLines(converted, cursor.atBlockStart(), stamp);
    if (converted.size() > kCapacity)
        converted = converted.right(kCapacity);
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

void CommandWindow::setTimeStamps(bool on) { m_timeStamps->setChecked(on); }

bool CommandWindow::timeStamps() const { return m_timeStamps->isChecked(); }

bool CommandWindow::saveAs()
{
    const QString path = m_chooseFile(this);
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    // Text mode writes each line break as the platform ends lines.
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        const QByteArray bytes = text().toUtf8();
        if (file.write(bytes) == bytes.size() && file.commit())
            return true;
    }
    m_messageBox(this, tr("The text could not be saved to %1: %2").arg(path, file.errorString()));
    return false;
}

void CommandWindow::clear()
{
    m_trimming = true;
    m_edit->clear();
    m_trimming = false;
}

bool CommandWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        if (QAction *action = actionForKey(*static_cast<QKeyEvent *>(event))) {
            // Claimed as a key press of the field, so that no other shortcut takes it.
            event->accept();
            if (event->type() == QEvent::KeyPress && action->isEnabled())
                action->trigger();
            return true;
        }
    }
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
