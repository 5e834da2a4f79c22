// Feeds arbitrary bytes to the shell request parser and checks what must hold for any input.
#include "app/desktop/shellrequest.h"

#include <cstdint>
#include <cstdlib>

using namespace kr44;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<kr44::ShellRequest> request = kr44::parseShellRequest(bytes);
    if (!request)
        return 0;
    // Accepted requests are well formed ...
    if (!request->file.startsWith(QLatin1Char('/')))
        std::abort();
    if (request->kind == kr44::ShellRequest::Kind::PrintTo && request->printer.isEmpty())
        std::abort();
    if (request->kind != kr44::ShellRequest::Kind::PrintTo
        && !(request->printer.isEmpty() && request->driver.isEmpty() && request->port.isEmpty()))
        std::abort();
    // ... and have exactly one spelling: writing one out gives the bytes that were read.
    if (kr44::formatShellRequest(*request) != bytes)
        std::abort();
    return 0;
}
