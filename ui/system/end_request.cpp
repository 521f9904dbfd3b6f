#include "ui/system/end_request.h"

#include <QSocketNotifier>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace ui {

#ifndef Q_OS_WIN
namespace {

// The handler writes the signal's number into a pipe the event loop watches.
int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP};

extern "C" void NoteEndRequest(int signal) {
    const int saved = errno;
    const char number = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = saved;
}

}  // namespace

EndRequestWatch::EndRequestWatch(std::function<void(int)> onEnd, QObject* parent)
    : QObject(parent), onEnd_(std::move(onEnd)) {
    if (g_pipe[0] >= 0 || ::pipe(g_pipe) != 0) return;
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char number = 0;
        if (::read(g_pipe[0], &number, 1) == 1 && onEnd_) onEnd_(number);
    });
    struct sigaction action = {};
    action.sa_handler = NoteEndRequest;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

EndRequestWatch::~EndRequestWatch() {
    if (!notifier_) return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) ::sigaction(signal, &action, nullptr);
    delete notifier_;
    for (int& fd : g_pipe) {
        ::close(fd);
        fd = -1;
    }
}

#else

// Windows ends a program at log-off through its window messages, which Qt
// turns into a close.
EndRequestWatch::EndRequestWatch(std::function<void(int)> onEnd, QObject* parent)
    : QObject(parent), onEnd_(std::move(onEnd)) {}

EndRequestWatch::~EndRequestWatch() = default;

#endif

}  // namespace ui
