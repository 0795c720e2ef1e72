// The architecture-specific half of the call guard: one implementation per
// architecture (CallGuardI386.cpp, CallGuardX64.cpp).
#pragma once

#include "service/CallGuard.h"

namespace vantrel::service::detail {

struct GuardOutcome {
    bool raised = false;
    unsigned long code = 0;
};

// Runs body(context) inside the architecture's guard frame. When the body raised,
// returns 0 with outcome.raised set and the exception code.
long CallInGuardFrame(GuardedBody body, void* context, GuardOutcome& outcome);

}  // namespace vantrel::service::detail
