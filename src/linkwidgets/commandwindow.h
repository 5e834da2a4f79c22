#pragma once

#include <QByteArray>
#include <QDialog>
#include <QTime>

#include <functional>

class QAction;
class QKeyEvent;
class QMenu;
class QPlainTextEdit;

namespace kr44 {

// `text`, about to be inserted, with `stamp` before each line it begins: at its start when it
// is inserted at the start of a line (`atLineStart`), and after each of its line breaks ('\n')
// that more text follows. A line whose break ends `text` is stamped when its first character
// comes.
[[nodiscard]] QString stampLines(const QString &text, bool atLineStart, const QString &stamp);

// The "Direct Command Window": a terminal onto the serial line. Every character typed into it
// is announced through characterTyped() before the field echoes it (the main window connects
// that to SerialLink::sendChar); what the unit sends arrives through appendText().
//
// The window is modeless and created hidden; the close box (and Escape) hides it and its text
// stays. It knows nothing of the port.
//
// Its context menu, and the keys shown there, copy, select all, clear, save the text as shown,
// and switch time stamps on received lines; those keys send nothing to the unit.
class CommandWindow : public QDialog
{
    Q_OBJECT

public:
    using Clock = std::function<QTime()>;
    // The file name Save As writes to; empty cancels.
    using FileChooser = std::function<QString(QWidget *parent)>;
    using MessageBox = std::function<void(QWidget *parent, const QString &text)>;

    // The field keeps at most this many characters; the oldest are dropped, at least 100 at a
    // time, to make room.
    static constexpr qsizetype kCapacity = 32767;

    explicit CommandWindow(QWidget *parent = nullptr);

    // Inserts `text` (Windows-1252 bytes) at the caret, each CR as a line break, without an
    // undo record, and keeps the caret in view.
    void appendText(const QByteArray &text);

    // Shows the window and brings it to the top.
    void showAndRaise();
    // Hides a visible window, else shows and raises it.
    void toggleVisible();

    [[nodiscard]] QString text() const;
    [[nodiscard]] QPlainTextEdit *editField() const { return m_edit; }
    [[nodiscard]] QMenu *contextMenu() const { return m_menu; }

    // Received lines begin with the time they arrived, as "hh:mm:ss.zzz ".
    void setTimeStamps(bool on);
    [[nodiscard]] bool timeStamps() const;
    // Writes the text as shown, each line break as the platform ends lines; a failure is shown
    // in a message box. False when nothing was written.
    bool saveAs();
    void clear();

    // Replace the wall clock of the time stamps, the file dialog and the message box (tests).
    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setMessageBox(MessageBox box) { m_messageBox = std::move(box); }

Q_SIGNALS:
    // One byte per typed character: Enter gives CR (13), Backspace 8.
    void characterTyped(char ch);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createActions();
    [[nodiscard]] QAction *actionForKey(const QKeyEvent &key) const;
    [[nodiscard]] qsizetype length() const;
    // Drops the oldest characters, at least 100, if `incoming` more would not fit, and puts
    // the caret at the end.
    void makeRoomFor(qsizetype incoming);
    void enforceCapacity();
    void dropFront(qsizetype count);
    void moveCaretToEnd();

    QPlainTextEdit *m_edit = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_timeStamps = nullptr;
    Clock m_clock;
    FileChooser m_chooseFile;
    MessageBox m_messageBox;
    bool m_trimming = false;
};

} // namespace kr44
