#include "cli/interrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t received = 0;

extern "C" void onSignal(int signal)
{
    received = signal;
    // The next SIGINT takes its default course: the user wants out now.
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

namespace Interrupt {

void install()
{
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    // A write to a closed pipe fails with EPIPE instead, and the log output says so.
    std::signal(SIGPIPE, SIG_IGN);
    // Past a file-size limit a write fails with EFBIG ("File too large"),
    // which becomes an error line, instead of killing the program mid-change.
    std::signal(SIGXFSZ, SIG_IGN);
}

void outputClosed()
{
    if (received == 0)
        received = SIGPIPE;
}

bool requested()
{
    return received != 0;
}

int exitStatus()
{
    return received == 0 ? 0 : 128 + int(received);
}

} // namespace Interrupt
