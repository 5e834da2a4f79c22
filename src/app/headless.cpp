#include "headless.h"

#include <cstdio>

int runCheckCommand(const CommandLineRequest &request)
{
    Q_UNUSED(request);
    std::fputs("kr44: --check is not available yet\n", stderr);
    return 2;
}

int runSendCommand(const CommandLineRequest &request)
{
    Q_UNUSED(request);
    std::fputs("kr44: --send is not available yet\n", stderr);
    return 2;
}
