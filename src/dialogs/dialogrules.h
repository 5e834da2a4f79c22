#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace kr44 {

class ProgramCodes;

enum class NumberSign {
    Unsigned, // digits only
    Signed,   // digits after an optional sign
};

// The value of a number field's text: blanks around it are allowed; nothing when the text is no
// such number or lies outside 32 bits (0 to 4294967295 unsigned, -2147483648 to 2147483647 signed).
[[nodiscard]] std::optional<qint64> parseFieldNumber(QStringView text, NumberSign sign);

[[nodiscard]] QString parseFailureMessage(NumberSign sign);
[[nodiscard]] QString rangeMessage(int minimum, int maximum);
[[nodiscard]] QString lengthMessage(int maximum);

inline constexpr int kCommentMaxChars = 100;

// Whether an edit of a comment field may turn `previous` into `text`. The field never grows past
// its limit (a longer text read from a file may only shrink), and never gains a character that a
// program line cannot hold: a line break, or one outside the 8-bit character set.
[[nodiscard]] bool commentEditAllowed(QStringView previous, QStringView text,
                                      int maxChars = kCommentMaxChars);

// The target a jump dialog opens with: the line's own target if it has one of at least 1, else
// the first line the default search finds, else `fallback`. 0 means there is none to offer.
[[nodiscard]] int openingJumpTarget(std::optional<int> lineTarget, const ProgramCodes &program,
                                    int fallback);

} // namespace kr44
