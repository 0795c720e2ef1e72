#include "tools/vantrel-image/HeldSignals.h"

#include <ctime>
#include <initializer_list>

namespace vantrel::image {

HeldSignals::HeldSignals() {
    sigemptyset(&held_);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&held_, signal);
    }
    sigprocmask(SIG_BLOCK, &held_, nullptr);
    // Output nobody reads any more is lost, and the run goes on to its end.
    signal(SIGPIPE, SIG_IGN);
}

bool HeldSignals::Arrived() {
    if (arrived_ != 0) {
        return true;
    }
    sigset_t pending;
    if (sigpending(&pending) != 0) {
        return false;
    }
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        if (sigismember(&pending, signal) == 1) {
            const timespec now{};
            arrived_ = sigtimedwait(&held_, nullptr, &now);
            arrived_ = arrived_ > 0 ? arrived_ : signal;
            return true;
        }
    }
    return false;
}

const char* SignalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "a signal";
    }
}

}  // namespace vantrel::image
