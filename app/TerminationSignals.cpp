#include "app/TerminationSignals.h"

#include "platform/SoundFunctions.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <semaphore.h>
#include <thread>
#include <unistd.h>

namespace zavrio {

namespace {

int wakePipe[2] = {-1, -1};
pthread_t guiThread;

constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t signalled = 0;

// The fallback. Giving the mute back talks to the sound server (memory,
// sockets, locks), none of which a signal handler may touch, and SIGALRM's
// default action would skip it altogether. So the handler only posts a
// semaphore (async-signal-safe) to a thread started beforehand, which, in
// ordinary thread context, waits out the grace time, gives the mute back
// and ends the process. A last alarm stays behind it, in case that release
// itself hangs.
sem_t fallbackStart;
std::function<void()> fallbackLastWords;
std::chrono::milliseconds fallbackGrace;

void runFallback() {
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr); // the signals are the GUI thread's
    while (::sem_wait(&fallbackStart) != 0) {
    }
    timespec deadline{};
    ::clock_gettime(CLOCK_MONOTONIC, &deadline);
    const auto grace = fallbackGrace.count();
    deadline.tv_sec += grace / 1000;
    deadline.tv_nsec += (grace % 1000) * 1000000;
    if (deadline.tv_nsec >= 1000000000) {
        deadline.tv_nsec -= 1000000000;
        ++deadline.tv_sec;
    }
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) != 0) {
    }
    std::fputs("zavrio-screensaver: still running after the termination signal; ending now\n",
               stderr);
    ::alarm(3);
    if (fallbackLastWords)
        fallbackLastWords();
    ReleaseSessionMute();
    std::fflush(nullptr);
    ::_exit(1);
}

extern "C" void onTerminationSignal(int number) {
    const int savedErrno = errno;
    // Started here rather than in the loop, so a program whose loop never
    // comes round still ends.
    if (!signalled) {
        signalled = 1;
        ::sem_post(&fallbackStart);
    }
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(wakePipe[1], &byte, 1);
    // A signal that lands on another thread would leave the GUI thread
    // asleep in its wait; pass it on, so the wait ends with EINTR.
    if (!pthread_equal(pthread_self(), guiThread))
        pthread_kill(guiThread, number);
    errno = savedErrno;
}

void closeEverything() {
    // A modal window runs a loop of its own: it goes first. Bounded, in case
    // one refuses to close.
    for (int i = 0; i < 8; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            break;
        modal->close();
    }
    // Each window on its own: closeAllWindows skips a window that lives
    // inside another program's (the daemon's), and gives up there.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            window->close();
    // exit, not quit: quit asks every window to close again, and the
    // daemon's window, which is not ours to close, declines.
    QCoreApplication::exit(0);
}

} // namespace

void EndOnTerminationSignals(std::function<void()> lastWords, std::chrono::milliseconds grace) {
    if (::pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0 || ::sem_init(&fallbackStart, 0, 0) != 0) {
        std::perror("zavrio-screensaver: cannot watch for termination signals");
        return;
    }
    guiThread = pthread_self();
    fallbackLastWords = std::move(lastWords);
    fallbackGrace = grace;
    std::thread(runFallback).detach();

    auto* notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier] {
        char bytes[16];
        while (::read(wakePipe[0], bytes, sizeof bytes) > 0) {
        }
        if (!notifier->isEnabled())
            return;
        notifier->setEnabled(false); // once is enough
        closeEverything();
    });

    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait the signal interrupts returns, and the download
    // loop runs the event loop at once.
    action.sa_flags = 0;
    for (const int number : Signals)
        ::sigaction(number, &action, nullptr);
}

} // namespace zavrio
