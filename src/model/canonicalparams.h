#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <array>

// The parameter fields of a text, read without allocating.

namespace kr44 {

struct CanonicalFields
{
    int count = 0;                     // as many as fieldSpecs(code) has
    std::array<qint64, 3> values = {}; // as readParams gives them (choices as indexes)
};

// True when `text` is exactly what composeParams writes for some fields of `code`; `fields`
// then holds what readParams reads from it. False for any other text, which the caller takes to
// readParams and composeParams: this is their fast path for the texts that are already right,
// not a second set of rules. Empty text is never canonical for a code with fields, and the only
// canonical text for K and Z. (For A, B and C the index of the number -2147483648 is given
// without overflowing, one below the int range.)
[[nodiscard]] bool readCanonicalParams(char code, QByteArrayView text, CanonicalFields &fields);

} // namespace kr44
