#include "model/canonicalparams.h"

#include <climits>

namespace kr44 {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLevel(char c) { return c == 'L' || c == 'H'; }

// A number as "%d" prints an int, starting at `pos`: "0", or digits without a leading zero after
// an optional minus. Returns the characters it takes, 0 if there is no such number.
qsizetype printedInt(QByteArrayView t, qsizetype pos, qint64 &value)
{
    qsizetype i = pos;
    const bool negative = i < t.size() && t[i] == '-';
    if (negative)
        ++i;
    if (i >= t.size() || !isDigit(t[i]))
        return 0;
    if (t[i] == '0') {
        if (negative)
            return 0;
        value = 0;
        return i + 1 - pos;
    }
    qint64 v = 0;
    const qsizetype first = i;
    for (; i < t.size() && isDigit(t[i]); ++i) {
        if (i - first >= 10)
            return 0;
        v = v * 10 + (t[i] - '0');
    }
    if (negative)
        v = -v;
    if (v < INT_MIN || v > INT_MAX)
        return 0;
    value = v;
    return i - pos;
}

// Numbers separated by commas that fill the whole text.
bool printedInts(QByteArrayView t, int count, CanonicalFields &f)
{
    qsizetype pos = 0;
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            if (pos >= t.size() || t[pos] != ',')
                return false;
            ++pos;
        }
        const qsizetype n = printedInt(t, pos, f.values[size_t(k)]);
        if (n == 0)
            return false;
        pos += n;
    }
    f.count = count;
    return pos == t.size();
}

} // namespace

bool readCanonicalParams(char code, QByteArrayView t, CanonicalFields &f)
{
    f = {};
    const qsizetype n = t.size();
    switch (code) {
    case '+':
    case '-':
    case 'D':
    case 'f':
    case 'G':
    case 'T':
    case 'j':
        return printedInts(t, 1, f);
    case 'A':
    case 'B':
    case 'C':
        if (!printedInts(t, 1, f))
            return false;
        f.values[0] -= 1;
        return true;
    case 'L':
        // A loop start is written "0"; composing never writes a negative count.
        return printedInts(t, 1, f) && f.values[0] >= 0;
    case 'h':
        return printedInts(t, 2, f);
    case 'M':
    case 'X':
        return printedInts(t, 3, f);
    case 'V':
        if (n != 1 || !isDigit(t[0]))
            return false;
        f.count = 1;
        f.values[0] = (t[0] - '0') - 1;
        return true;
    case 'H':
        if (n != 1 || (t[0] != '+' && t[0] != '-'))
            return false;
        f.count = 1;
        f.values[0] = t[0] == '-' ? 1 : 0;
        return true;
    case 'I':
        if (n != 1 || t[0] < '0' || t[0] > '3')
            return false;
        f.count = 2;
        f.values[0] = (t[0] - '0') & 1;
        f.values[1] = ((t[0] - '0') >> 1) & 1;
        return true;
    case 'U':
    case 'W':
        if (n != 2 || !isDigit(t[0]) || !isLevel(t[1]))
            return false;
        f.count = 2;
        f.values[0] = t[0] - '0';
        f.values[1] = t[1] == 'H' ? 1 : 0;
        return true;
    case 'g': {
        if (n < 3 || (t[0] != '+' && t[0] != '-') || !isLevel(t[n - 1]))
            return false;
        if (1 + printedInt(t, 1, f.values[1]) != n - 1)
            return false;
        f.count = 3;
        f.values[0] = t[0] == '-' ? 1 : 0;
        f.values[2] = t[n - 1] == 'H' ? 1 : 0;
        return true;
    }
    case 'J': {
        // Read by position: the input digit, the level, the comma, the target.
        if (n < 4 || !isDigit(t[0]) || !isLevel(t[1]) || t[2] != ',')
            return false;
        const qsizetype taken = printedInt(t, 3, f.values[2]);
        if (taken == 0 || 3 + taken != n)
            return false;
        f.count = 3;
        f.values[0] = t[0] - '0';
        f.values[1] = t[1] == 'H' ? 1 : 0;
        return true;
    }
    case 'K':
    case 'Z':
        return n == 0;
    default:
        return false;
    }
}

} // namespace kr44
