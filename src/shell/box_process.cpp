// The box's helper process: a fork handler marks it to die with the game and notes its id; its locale.
#include "shell/box_process.h"

#include <langinfo.h>
#include <locale.h>
#include <pthread.h>
#include <signal.h>

#include <initializer_list>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {
// Shared with the child, which writes its own id here: the parent learns it
// without any help from the library that forks.
std::atomic<pid_t>* boxChild = nullptr;
pid_t gamePid = 0;

void InChild()
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::signal(signal, SIG_DFL);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The game may have died between the fork and the line above.
    if (getppid() != gamePid) _exit(0);
    if (boxChild != nullptr) boxChild->store(getpid());
}
}  // namespace

void WatchBoxProcess()
{
    if (boxChild != nullptr) return;
    void* page = mmap(nullptr, sizeof(std::atomic<pid_t>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED) return;
    boxChild = new (page) std::atomic<pid_t>(0);
    gamePid = getpid();
    pthread_atfork(nullptr, nullptr, InChild);
}

void EndBoxProcess()
{
    if (boxChild == nullptr) return;
    pid_t child = boxChild->exchange(0);
    if (child > 0) kill(child, SIGKILL);
}

void GiveBoxUtf8Locale()
{
    bool utf8 = false;
    locale_t wanted = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (wanted != static_cast<locale_t>(nullptr)) {
        utf8 = std::strcmp(nl_langinfo_l(CODESET, wanted), "UTF-8") == 0;
        freelocale(wanted);
    }
    if (!utf8) setenv("LC_ALL", "C.UTF-8", 1);
}
