#pragma once

// Text helpers that the help's generated tables share; not for use outside this folder.

#include <QCoreApplication>
#include <QString>

#include <initializer_list>

namespace kr44::internal {

// A text of the help marked with QT_TRANSLATE_NOOP("kr44::Help", ...), as shown; empty for "".
[[nodiscard]] inline QString helpText(const char *text)
{
    return *text ? QCoreApplication::translate("kr44::Help", text) : QString();
}

[[nodiscard]] inline QString escaped(const QString &text) { return text.toHtmlEscaped(); }

// A table's header row from its column titles, each marked in the context "kr44::Help".
[[nodiscard]] inline QString headerRow(std::initializer_list<const char *> titles)
{
    QString row = QStringLiteral("<tr>");
    for (const char *title : titles)
        row += QStringLiteral("<th>%1</th>").arg(escaped(helpText(title)));
    return row + QStringLiteral("</tr>\n");
}

} // namespace kr44::internal
