// Runs a remote call so that any structured exception it raises (an RPC failure
// such as an absent server, a broken pipe or a missing binding, or any other
// fault) turns into the answer 0 instead of ending the process.
//
// GCC has no __try/__except; the guard registers its own handler on the thread's
// exception chain for the duration of the call. Frames between the guard and the
// fault are unwound the structured way, which does not run C++ destructors: the
// guarded body must therefore not own objects with destructors (it should only
// call the generated stub).
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
