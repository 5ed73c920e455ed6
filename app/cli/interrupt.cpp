#include "app/cli/interrupt.h"

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
