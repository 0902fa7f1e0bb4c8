// The quit signals set one flag; the loops that wait look at it at least once a frame.
#include "shell/quit_signals.h"

#include <signal.h>

#include <initializer_list>

namespace {
volatile sig_atomic_t quitSignalled = 0;

void OnQuitSignal(int)
{
    quitSignalled = 1;
}
}  // namespace

void CatchQuitSignals()
{
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool QuitSignalled()
{
    return quitSignalled != 0;
}
