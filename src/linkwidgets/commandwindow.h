#pragma once

#include <QByteArray>
#include <QDialog>

class QPlainTextEdit;

namespace kr44 {

// The "Direct Command Window": a terminal onto the serial line. Every character typed into it
// is announced through characterTyped() before the field echoes it (the main window connects
// that to SerialLink::sendChar); what the unit sends arrives through appendText().
//
// The window is modeless and created hidden; the close box (and Escape) hides it and its text
// stays. It knows nothing of the port.
class CommandWindow : public QDialog
{
    Q_OBJECT

public:
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

Q_SIGNALS:
    // One byte per typed character: Enter gives CR (13), Backspace 8.
    void characterTyped(char ch);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    [[nodiscard]] qsizetype length() const;
    // Drops the oldest characters, at least 100, if `incoming` more would not fit, and puts
    // the caret at the end.
    void makeRoomFor(qsizetype incoming);
    void enforceCapacity();
    void dropFront(qsizetype count);
    void moveCaretToEnd();

    QPlainTextEdit *m_edit = nullptr;
    bool m_trimming = false;
};

} // namespace kr44
