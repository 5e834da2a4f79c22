#pragma once

#include "model/linearray.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// The clipboard's text for program lines: each line as it is stored, one character per byte,
// followed by a line feed, so that the lines paste into a text editor as a file's lines.

namespace kr44 {

[[nodiscard]] QString clipboardText(const QList<QByteArrayView> &lines);

// The program lines of clipboard text, each text line read as a program file's line is: line
// feeds, CR LF pairs and lone carriage returns end lines, every other character stays in its
// line as one byte. A character that has no one-byte form becomes '?'.
[[nodiscard]] LineArray linesFromClipboardText(const QString &text);

} // namespace kr44
