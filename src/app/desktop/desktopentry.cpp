#include "app/desktop/desktopentry.h"

#include "app/desktop/xdgpaths.h"

#include <QFile>

namespace kr44 {

namespace {

QByteArray resource(const QString &name)
{
    QFile file(QStringLiteral(":/kr44/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The escapes of a desktop entry's string values.
QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

QString desktopExecArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString arg = argument;
    arg.replace(QLatin1Char('%'), QLatin1String("%%"));
    bool needsQuotes = arg.isEmpty();
    for (const QChar c : arg)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (needsQuotes) {
        QString quoted = QStringLiteral("\"");
        for (const QChar c : arg) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
                || c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        quoted += QLatin1Char('"');
        arg = quoted;
    }
    return escapeValue(arg);
}

QByteArray desktopEntry(const QString &executablePath)
{
    QByteArray text = resource(QStringLiteral("desktop/kr44.desktop.in"));
    text.replace("@KR44_APP_ID@", kAppIconName);
    text.replace("@TRYEXEC@", escapeValue(executablePath).toUtf8());
    text.replace("@EXEC@", desktopExecArgument(executablePath).toUtf8());
    return text;
}

QByteArray mimePackage() { return resource(QStringLiteral("desktop/kr44-program.xml")); }

QList<RegistrationFile> registrationFiles(const XdgPaths &paths, const QString &executablePath)
{
    const QString icons = paths.dataHome + QStringLiteral("/icons/hicolor/scalable/");
    return {
            {paths.dataHome + QStringLiteral("/applications/") + QLatin1String(kDesktopFileId),
             desktopEntry(executablePath)},
            {paths.dataHome + QStringLiteral("/mime/packages/") + QLatin1String(kMimePackageName),
             mimePackage()},
            {icons + QStringLiteral("apps/") + QLatin1String(kAppIconName) + QStringLiteral(".svg"),
             resource(QStringLiteral("icons/kr44.svg"))},
            {icons + QStringLiteral("mimetypes/") + QLatin1String(kProgramIconName)
                     + QStringLiteral(".svg"),
             resource(QStringLiteral("icons/application-x-kr44-program.svg"))},
    };
}

} // namespace kr44
