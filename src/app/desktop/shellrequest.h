#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kr44 {

struct CommandLineRequest;

// An open or print request that the desktop, or a second start of the program, hands to the
// running instance.
struct ShellRequest
{
    enum class Kind { Open, Print, PrintTo };

    Kind kind = Kind::Open;
    QString file;    // always an absolute path
    QString printer; // PrintTo only: printer, driver and port
    QString driver;
    QString port;

    friend bool operator==(const ShellRequest &a, const ShellRequest &b)
    {
        return a.kind == b.kind && a.file == b.file && a.printer == b.printer
                && a.driver == b.driver && a.port == b.port;
    }
    friend bool operator!=(const ShellRequest &a, const ShellRequest &b) { return !(a == b); }
};

// Longer request texts are refused unread.
inline constexpr qsizetype kMaxShellRequestSize = 32 * 1024;

// Reads exactly one of
//     [open("FILE")]   [print("FILE")]   [printto("FILE","PRINTER","DRIVER","PORT")]
// Every argument stands in double quotes; a quote inside an argument is written twice, so a plain
// path reads as itself and any path has exactly one spelling. The text is UTF-8. FILE must be an
// absolute path and PRINTER must not be empty. Anything else gives nothing: another command, a
// missing, extra or unquoted argument, a blank outside the quotes, text after the closing bracket,
// a NUL byte, invalid UTF-8, or more than kMaxShellRequestSize bytes.
[[nodiscard]] std::optional<ShellRequest> parseShellRequest(QByteArrayView text);

// The text parseShellRequest reads back as `request`.
[[nodiscard]] QByteArray formatShellRequest(const ShellRequest &request);

// The request a command line hands to a running instance: a file to open, print or print on a
// printer, its path made absolute against `workingDirectory` (the starting program's, which the
// running instance does not know). Nothing for a command line without a file request. One pair
// of enclosing double quotes around the file name is dropped, as when opening a file directly.
[[nodiscard]] std::optional<ShellRequest> shellRequestFor(const CommandLineRequest &commandLine,
                                                          const QString &workingDirectory);

} // namespace kr44
