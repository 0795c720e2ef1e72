#include "service/CallGuard.h"

#include "service/CallGuardFrame.h"

#include <windows.h>
#include <intrin.h>

#include <cstdint>

namespace vantrel::service {
namespace {

thread_local unsigned long lastExceptionCode = 0;

// The head of the thread's exception-registration list is the first field of its
// information block, read and written through the segment register so that the
// optimiser sees no object access it could bound-check.
std::uintptr_t ExceptionListHead() {
#if defined(_WIN64)
    return static_cast<std::uintptr_t>(__readgsqword(0));
#else
    return static_cast<std::uintptr_t>(__readfsdword(0));
#endif
}

void SetExceptionListHead(std::uintptr_t head) {
#if defined(_WIN64)
    __writegsqword(0, static_cast<unsigned long long>(head));
#else
    __writefsdword(0, static_cast<unsigned long>(head));
#endif
}

}  // namespace

long RunGuarded(GuardedBody body, void* context, unsigned long* exceptionCode) {
    // The thread's exception-registration list (FS:[0] on i386, GS:[0] on x86_64)
    // is put back as it was: 64-bit Wine's RPC runtime can leave a record of its
    // own on it after a failed call, and the next exception on this thread would
    // then be handed to a frame that no longer exists.
    const std::uintptr_t listBefore = ExceptionListHead();
    detail::GuardOutcome outcome;
    const long result = detail::CallInGuardFrame(body, context, outcome);
    SetExceptionListHead(listBefore);
    lastExceptionCode = outcome.raised ? outcome.code : 0;
    if (exceptionCode != nullptr) {
        *exceptionCode = lastExceptionCode;
    }
    return outcome.raised ? 0 : result;
}

unsigned long LastGuardedExceptionCode() {
    return lastExceptionCode;
}

}  // namespace vantrel::service
