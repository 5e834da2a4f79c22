#pragma once

#include <QByteArray>
#include <QString>

namespace kr44 {

// The text shown for one reply of the unit. The whole reply is compared: "B" CR, "R" CR and
// "Y" CR become "Busy" CR, "Ready" LF and "Yes" CR; a reply of at least two bytes starting with
// 'E' becomes "Error - ", the description of its second byte and a CR; anything else is returned
// unchanged. Bytes are Windows-1252 (the degree sign is 176).
[[nodiscard]] QByteArray translateReply(const QByteArray &received);

// What the unit sends, split into replies at each CR, each reply translated by translateReply().
// The unit's bytes come in polls that may cut a reply in two or hold several: a reply still
// without its CR at the end of a poll waits for the next one, and is shown as received when
// that poll brings no CR.
class ReplyStream
{
public:
    // The text to show for the bytes one poll read.
    [[nodiscard]] QByteArray take(QByteArrayView received);
    // A poll that read nothing: a reply held since the poll before is shown as received.
    [[nodiscard]] QByteArray idle();
    [[nodiscard]] bool isHolding() const { return !m_held.isEmpty(); }

private:
    QByteArray m_held;
};

// The description of an error reply's code byte; "unknown" for an unlisted code. Code '3'
// carries the line number, which translateReply() appends.
[[nodiscard]] QByteArray errorDescription(char code);

// The command window's line-end rule: every CR, and every byte 167 already in the text,
// becomes CR LF; a lone LF stays a lone LF.
[[nodiscard]] QByteArray expandLineEnds(const QByteArray &text);

// Decodes Windows-1252 bytes (not Latin-1: 0x80 to 0x9F are printable there).
[[nodiscard]] QString fromWindows1252(QByteArrayView bytes);

// The text the command window inserts for appended bytes: line ends expanded, each CR LF a
// line break, and a lone LF shown as the LF symbol (U+240A) because it is not a line break.
[[nodiscard]] QString commandWindowText(const QByteArray &appended);

// The bytes sent to the unit for a key pressed in the command window: one byte per character
// the key produces, the low 8 bits of its code. Keys that produce no character send nothing,
// and neither do the keys the window itself acts on (Tab and Backtab move the focus, Escape
// hides the window) or Delete, which deletes in the field but types no character.
[[nodiscard]] QByteArray bytesForKey(int key, const QString &text);

// How many characters to drop from the front of a command window holding `length` characters
// when its capacity is `capacity`: none while it fits, else at least 100 and as many as needed
// to fit again.
[[nodiscard]] qsizetype charactersToDrop(qsizetype length, qsizetype capacity);

inline constexpr QChar kLoneLineFeedSymbol = QChar(0x240A);

} // namespace kr44
