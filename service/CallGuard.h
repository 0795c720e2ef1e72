// Runs a remote call so that any structured exception it raises (an RPC failure
// such as an absent server, a broken pipe or a missing binding, or any other
// fault) turns into the answer 0 instead of ending the process.
//
// GCC has no __try/__except. The guard is one small frame of its own per
// architecture: on i386 a record on the thread's exception chain, on x86_64 a
// function whose unwind table names a handler. Either way the exception is caught
// only after every frame above the guard declined it, those frames are unwound
// the structured way, and nothing of the guard stays behind after the call.
// That unwinding does not run C++ destructors of the frames it passes: the guarded
// body should own no objects with destructors (it should only call the stub).
#pragma once

namespace vantrel::service {

using GuardedBody = long (*)(void* context);

// Returns body(context), or 0 when it raised. exceptionCode (optional) receives
// the exception code, or 0 when the body returned normally.
long RunGuarded(GuardedBody body, void* context, unsigned long* exceptionCode = nullptr);

template <typename Call>
long Guarded(Call& call, unsigned long* exceptionCode = nullptr) {
    return RunGuarded([](void* context) -> long { return (*static_cast<Call*>(context))(); }, &call,
                      exceptionCode);
}

// The exception code of the last guarded call on this thread that raised, or 0
// when the last guarded call completed.
unsigned long LastGuardedExceptionCode();

}  // namespace vantrel::service
