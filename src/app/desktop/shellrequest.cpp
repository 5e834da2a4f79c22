#include "app/desktop/shellrequest.h"

#include "app/cli/commandline.h"

#include <QDir>
#include <QStringDecoder>

namespace kr44 {

namespace {

struct Command
{
    const char *name;
    ShellRequest::Kind kind;
    int arguments;
};

constexpr Command kCommands[] = {
        {"open", ShellRequest::Kind::Open, 1},
        {"print", ShellRequest::Kind::Print, 1},
        {"printto", ShellRequest::Kind::PrintTo, 4},
};

// Strict UTF-8: an invalid sequence refuses the request instead of turning into U+FFFD, and a
// leading byte-order mark stays part of the argument.
std::optional<QString> decodeUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless
                                   | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QByteArray quoted(const QString &argument)
{
    QByteArray out = argument.toUtf8();
    out.replace('"', QByteArrayLiteral("\"\""));
    out.prepend('"');
    out.append('"');
    return out;
}

} // namespace

std::optional<ShellRequest> parseShellRequest(QByteArrayView text)
{
    if (text.size() > kMaxShellRequestSize || text.size() < 2 || text.front() != '['
        || text.back() != ']')
        return std::nullopt;
    const qsizetype open = text.indexOf('(');
    if (open < 0)
        return std::nullopt;
    const QByteArrayView name = text.sliced(1, open - 1);
    const Command *command = nullptr;
    for (const Command &c : kCommands) {
        if (name == QByteArrayView(c.name))
            command = &c;
    }
    if (!command)
        return std::nullopt;

    QList<QString> arguments;
    qsizetype i = open + 1;
    const qsizetype end = text.size() - 1; // the closing ']'
    for (;;) {
        if (i >= end || text[i] != '"')
            return std::nullopt;
        ++i;
        QByteArray raw;
        bool closed = false;
        while (i < end) {
            const char c = text[i];
            if (c == '\0')
                return std::nullopt;
            if (c == '"') {
                if (i + 1 < end && text[i + 1] == '"') {
                    raw.append('"');
                    i += 2;
                    continue;
                }
                ++i;
                closed = true;
                break;
            }
            raw.append(c);
            ++i;
        }
        if (!closed)
            return std::nullopt;
        std::optional<QString> argument = decodeUtf8(raw);
        if (!argument)
            return std::nullopt;
        arguments.append(*argument);
        if (arguments.size() > command->arguments || i >= end)
            return std::nullopt;
        if (text[i] == ',') {
            ++i;
            continue;
        }
        if (text[i] == ')' && i + 1 == end)
            break;
        return std::nullopt;
    }
    if (arguments.size() != command->arguments)
        return std::nullopt;

    ShellRequest request;
    request.kind = command->kind;
    request.file = arguments.at(0);
    if (!request.file.startsWith(QLatin1Char('/')))
        return std::nullopt;
    if (request.kind == ShellRequest::Kind::PrintTo) {
        request.printer = arguments.at(1);
        request.driver = arguments.at(2);
        request.port = arguments.at(3);
        if (request.printer.isEmpty())
            return std::nullopt;
    }
    return request;
}

QByteArray formatShellRequest(const ShellRequest &request)
{
    QByteArray out("[");
    switch (request.kind) {
    case ShellRequest::Kind::Open:
        out += "open(" + quoted(request.file);
        break;
    case ShellRequest::Kind::Print:
        out += "print(" + quoted(request.file);
        break;
    case ShellRequest::Kind::PrintTo:
        out += "printto(" + quoted(request.file) + ',' + quoted(request.printer) + ','
                + quoted(request.driver) + ',' + quoted(request.port);
        break;
    }
    out += ")]";
    return out;
}

std::optional<ShellRequest> shellRequestFor(const CommandLineRequest &commandLine,
                                            const QString &workingDirectory)
{
    using A = CommandLineRequest::Action;
    ShellRequest request;
    switch (commandLine.action) {
    case A::Open:
        request.kind = ShellRequest::Kind::Open;
        break;
    case A::Print:
        request.kind = ShellRequest::Kind::Print;
        break;
    case A::PrintTo:
        // Without a printer this is a print on the default printer, as when carried out directly.
        request.kind = commandLine.printer.isEmpty() ? ShellRequest::Kind::Print
                                                     : ShellRequest::Kind::PrintTo;
        break;
    default:
        return std::nullopt;
    }
    QString name = commandLine.fileName;
    if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2);
    if (name.isEmpty())
        return std::nullopt;
    // Not cleaned: ".." after a symbolic link is the file system's business, not the text's.
    request.file = QDir(workingDirectory).absoluteFilePath(name);
    if (request.kind == ShellRequest::Kind::PrintTo) {
        // A printer named as a PDF file prints into that file, found from where the user is.
        request.printer = commandLine.printer.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
                ? QDir(workingDirectory).absoluteFilePath(commandLine.printer)
                : commandLine.printer;
        request.driver = commandLine.driver;
        request.port = commandLine.port;
    }
    return request;
}

} // namespace kr44
