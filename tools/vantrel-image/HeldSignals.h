// The signals that would end the program (SIGINT, SIGTERM, SIGHUP), held while it
// writes to an image: one that arrives waits until the program asks for it between
// two moves, so that no move is cut off halfway. A move rewrites a file's run list
// record by record, without a journal; ended between two of those writes, the
// file could be lost.
#pragma once

#include <signal.h>

namespace vantrel::image {

class HeldSignals {
  public:
    // Blocks the signals for the rest of the process's life: the program ends by
    // returning from main, and a signal still pending then is dropped with it.
    // SIGPIPE is ignored: a closed output does not end the run either.
    HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

    // Whether one of them arrived since; it is taken off the queue. Calls after the
    // first that answers true keep answering true.
    bool Arrived();
    // The signal that arrived (0 before one did).
    int Which() const { return arrived_; }

  private:
    sigset_t held_;
    int arrived_ = 0;
};

// "SIGINT", "SIGTERM" or "SIGHUP" ("a signal" for any other).
const char* SignalName(int signal);

}  // namespace vantrel::image
