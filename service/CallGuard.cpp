#include "service/CallGuard.h"

#include "service/CallGuardFrame.h"

#include <windows.h>

namespace vantrel::service {
namespace {

thread_local unsigned long lastExceptionCode = 0;

NT_TIB* ThreadInformationBlock() {
    return reinterpret_cast<NT_TIB*>(NtCurrentTeb());
}

}  // namespace

long RunGuarded(GuardedBody body, void* context, unsigned long* exceptionCode) {
    // The thread's exception-registration list (FS:[0] on i386, GS:[0] on x86_64)
    // is put back as it was: 64-bit Wine's RPC runtime can leave a record of its
    // own on it after a failed call, and the next exception on this thread would
    // then be handed to a frame that no longer exists.
    NT_TIB* const tib = ThreadInformationBlock();
    EXCEPTION_REGISTRATION_RECORD* const listBefore = tib->ExceptionList;
    detail::GuardOutcome outcome;
    const long result = detail::CallInGuardFrame(body, context, outcome);
    tib->ExceptionList = listBefore;
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
