// The i386 guard frame: a record on the thread's exception-registration chain
// (FS:[0]) whose handler unwinds the frames above it and jumps back.
#include "service/CallGuardFrame.h"

#include <windows.h>

#include <intrin.h>

namespace vantrel::service::detail {
namespace {

// The registration record must come first: the system hands the handler the
// address of the record, and the handler finds the resume point through it.
struct GuardFrame {
    EXCEPTION_REGISTRATION_RECORD registration;
    void* resume[5];  // __builtin_setjmp buffer
    unsigned long code;
};

EXCEPTION_REGISTRATION_RECORD* ChainHead() {
    return reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(__readfsdword(0));
}

void SetChainHead(EXCEPTION_REGISTRATION_RECORD* record) {
    __writefsdword(0, reinterpret_cast<DWORD>(record));
}

// RtlUnwind does not preserve EBX, ESI and EDI on every Windows version, so the
// call is made from assembly that tells the compiler those registers are lost.
__attribute__((noinline)) void UnwindTo(void* targetFrame, EXCEPTION_RECORD* record) {
    void* frame = targetFrame;
    void* exception = record;
    __asm__ __volatile__(
        "pushl $0\n\t"
        "pushl %1\n\t"
        "pushl $0\n\t"
        "pushl %0\n\t"
        "call _RtlUnwind@16\n\t"
        : "+a"(frame), "+d"(exception)
        :
        : "ecx", "ebx", "esi", "edi", "memory", "cc");
}

EXCEPTION_DISPOSITION __cdecl CatchEverything(EXCEPTION_RECORD* record, void* establisherFrame,
                                              CONTEXT*, void*) {
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0) {
        return ExceptionContinueSearch;
    }
    auto* frame = static_cast<GuardFrame*>(establisherFrame);
    frame->code = record->ExceptionCode;
    // Let every frame above the guard (the RPC runtime's among them) clean up.
    UnwindTo(establisherFrame, record);
    SetChainHead(frame->registration.Next);
    __builtin_longjmp(frame->resume, 1);
}

}  // namespace

long CallInGuardFrame(GuardedBody body, void* context, GuardOutcome& outcome) {
    GuardFrame frame{};
    frame.registration.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(&CatchEverything);
    frame.registration.Next = ChainHead();
    if (__builtin_setjmp(frame.resume) == 0) {
        SetChainHead(&frame.registration);
        const long result = body(context);
        SetChainHead(frame.registration.Next);
        return result;
    }
    // Resumed by the handler, which has already taken the record off the chain.
    outcome.raised = true;
    outcome.code = *static_cast<volatile unsigned long*>(&frame.code);
    return 0;
}

}  // namespace vantrel::service::detail
