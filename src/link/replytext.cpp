#include "link/replytext.h"

#include <array>

namespace kr44 {

QByteArray errorDescription(char code)
{
    switch (code) {
    case '1':
        return QByteArrayLiteral("checksum");
    case '2':
        return QByteArrayLiteral("bad parameter");
    case '3':
        return QByteArrayLiteral("program error in line ");
    case '4':
        return QByteArrayLiteral("bad command");
    case '5':
        return QByteArrayLiteral("temperature exceeds 175\xB0"
                                 "C");
    case '7':
        return QByteArrayLiteral("end of travel");
    case '8':
        return QByteArrayLiteral("loop error");
    case '9':
        return QByteArrayLiteral("out of memory");
    case 'A':
        return QByteArrayLiteral("invalid slew rate");
    case 'B':
        return QByteArrayLiteral("KR44 is in Manual mode");
    case 'C':
        return QByteArrayLiteral("KR44 is in Internal mode");
    default:
        return QByteArrayLiteral("unknown");
    }
}

QByteArray translateReply(const QByteArray &received)
{
    if (received == "B\r")
        return QByteArrayLiteral("Busy\r");
    if (received == "R\r")
        return QByteArrayLiteral("Ready\n");
    if (received == "Y\r")
        return QByteArrayLiteral("Yes\r");
    if (received.size() >= 2 && received.front() == 'E') {
        QByteArray shown = QByteArrayLiteral("Error - ") + errorDescription(received.at(1));
        if (received.at(1) == '3' && received.size() > 3)
            shown += received.mid(3);
        shown += '\r';
        return shown;
    }
    return received;
}

QByteArray ReplyStream::take(QByteArrayView received)
{
    const qsizetype lastCr = received.lastIndexOf('\r');
    if (lastCr < 0) {
        if (m_held.isEmpty()) {
            m_held = received.toByteArray();
            return {};
        }
        QByteArray shown = m_held.append(received);
        m_held.clear();
        return shown;
    }
    QByteArray shown;
    qsizetype start = 0;
    while (start <= lastCr) {
        const qsizetype end = received.indexOf('\r', start) + 1;
        const QByteArrayView piece = received.sliced(start, end - start);
        start = end;
        // Only two-byte replies and error replies are translated; the rest (a report, say)
        // passes as it came, without a copy of its own.
        if (!m_held.isEmpty()) {
            shown += translateReply(m_held.append(piece));
            m_held.clear();
        } else if (piece.size() == 2 || piece.front() == 'E') {
            shown += translateReply(piece.toByteArray());
        } else {
            shown += piece;
        }
    }
    m_held = received.sliced(start).toByteArray();
    return shown;
}

QByteArray ReplyStream::idle()
{
    QByteArray shown;
    shown.swap(m_held);
    return shown;
}

QByteArray expandLineEnds(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 8 + 2);
    for (const char c : text) {
        if (c == '\r' || static_cast<unsigned char>(c) == 167)
            out.append("\r\n", 2);
        else
            out.append(c);
    }
    return out;
}

QString fromWindows1252(QByteArrayView bytes)
{
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D are unassigned and decode as their Latin-1 controls.
    static constexpr std::array<char16_t, 32> kHigh = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *dst++ = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

QString commandWindowText(const QByteArray &appended)
{
    const QByteArray expanded = expandLineEnds(appended);
    QString out = fromWindows1252(expanded);
    // After the expansion every CR is followed by its LF, so the pairs are the line breaks and
    // any other LF stands alone.
    qsizetype w = 0;
    for (qsizetype r = 0; r < out.size(); ++r) {
        const QChar c = out.at(r);
        if (c == u'\r' && r + 1 < out.size() && out.at(r + 1) == u'\n') {
            out[w++] = u'\n';
            ++r;
        } else if (c == u'\n') {
            out[w++] = kLoneLineFeedSymbol;
        } else {
            out[w++] = c;
        }
    }
    out.truncate(w);
    return out;
}

QByteArray bytesForKey(int key, const QString &text)
{
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape
        || key == Qt::Key_Delete)
        return {};
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text)
        out.append(static_cast<char>(c.unicode() & 0xFF));
    return out;
}

qsizetype charactersToDrop(qsizetype length, qsizetype capacity)
{
    if (length <= capacity)
        return 0;
    return qMin(length, qMax<qsizetype>(100, length - capacity));
}

} // namespace kr44
