#include "view/lineclipboard.h"

#include "model/programfile.h"

namespace kr44 {

QString clipboardText(const QList<QByteArrayView> &lines)
{
    QByteArray bytes;
    for (const QByteArrayView line : lines) {
        bytes.append(line.data(), line.size());
        bytes.append('\n');
    }
    return QString::fromLatin1(bytes);
}

LineArray linesFromClipboardText(const QString &text) { return parseProgram(text.toLatin1()); }

} // namespace kr44
