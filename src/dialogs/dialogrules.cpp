#include "dialogs/dialogrules.h"

#include "model/instructionset.h"

#include <QCoreApplication>

#include <climits>

namespace kr44 {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

qsizetype forbiddenCount(QStringView text)
{
    qsizetype n = 0;
    for (const QChar c : text) {
        if (c.unicode() > 0xFF || c == u'\r' || c == u'\n')
            ++n;
    }
    return n;
}

} // namespace

std::optional<qint64> parseFieldNumber(QStringView text, NumberSign sign)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && isBlank(text[i]))
        ++i;
    while (end > i && isBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (sign == NumberSign::Signed && i < end && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == end)
        return std::nullopt;
    const qint64 limit = sign == NumberSign::Unsigned ? qint64(UINT_MAX)
            : negative                                ? -qint64(INT_MIN)
                                                      : qint64(INT_MAX);
    qint64 value = 0;
    for (; i < end; ++i) {
        if (!isDigit(text[i]))
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > limit)
            return std::nullopt;
    }
    return negative ? -value : value;
}

QString parseFailureMessage(NumberSign sign)
{
    return sign == NumberSign::Unsigned
            ? QCoreApplication::translate("kr44::DataExchange", "Please enter a positive integer.")
            : QCoreApplication::translate("kr44::DataExchange", "Please enter an integer.");
}

QString rangeMessage(int minimum, int maximum)
{
    return QCoreApplication::translate("kr44::DataExchange",
                                       "Please enter an integer between %1 and %2.")
            .arg(minimum)
            .arg(maximum);
}

QString lengthMessage(int maximum)
{
    return QCoreApplication::translate("kr44::DataExchange",
                                       "Please enter no more than %1 characters.")
            .arg(maximum);
}

bool commentEditAllowed(QStringView previous, QStringView text, int maxChars)
{
    if (text.size() > maxChars && text.size() > previous.size())
        return false;
    return forbiddenCount(text) <= forbiddenCount(previous);
}

int openingJumpTarget(std::optional<int> lineTarget, const ProgramCodes &program, int fallback)
{
    if (lineTarget && *lineTarget >= 1)
        return *lineTarget;
    return defaultTarget(program).value_or(fallback);
}

} // namespace kr44
