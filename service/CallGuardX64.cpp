// The x86_64 guard frame. There is no exception-registration chain on x86_64:
// exceptions are dispatched through unwind tables. The guard is therefore a small
// assembly function whose table entry names the C runtime's structured-exception
// handler with one scope (the call of the body), a filter that accepts every
// exception, and a landing point. The handler unwinds every frame above the guard
// (their structured termination handlers run) and resumes at the landing point,
// which answers 0.
#include "service/CallGuardFrame.h"

#include <windows.h>

extern "C" {
long vantrel_guard_frame_x64(vantrel::service::GuardedBody body, void* context,
                             vantrel::service::detail::GuardOutcome* outcome);
LONG vantrel_guard_filter_x64(EXCEPTION_POINTERS* pointers, void* establisherFrame);
}

// The outcome pointer is kept at [rsp+32] of the guard frame: the filter receives
// the frame's stack pointer as establisherFrame and finds the outcome there.
asm(R"(
    .text
    .p2align 4
    .globl vantrel_guard_frame_x64
    .def vantrel_guard_frame_x64; .scl 2; .type 32; .endef
    .seh_proc vantrel_guard_frame_x64
vantrel_guard_frame_x64:
    subq $40, %rsp
    .seh_stackalloc 40
    .seh_endprologue
    movq %r8, 32(%rsp)
.Lvantrel_guard_begin:
    movq %rcx, %rax
    movq %rdx, %rcx
    callq *%rax
    nop
.Lvantrel_guard_end:
    addq $40, %rsp
    ret
.Lvantrel_guard_landing:
    xorl %eax, %eax
    addq $40, %rsp
    ret
    .seh_handler __C_specific_handler, @except
    .seh_handlerdata
    .long 1
    .rva .Lvantrel_guard_begin, .Lvantrel_guard_end, vantrel_guard_filter_x64, .Lvantrel_guard_landing
    .text
    .seh_endproc
)");

namespace vantrel::service::detail {

constexpr int kOutcomeSlot = 32;

}  // namespace vantrel::service::detail

extern "C" LONG vantrel_guard_filter_x64(EXCEPTION_POINTERS* pointers, void* establisherFrame) {
    using vantrel::service::detail::GuardOutcome;
    auto* outcome = *reinterpret_cast<GuardOutcome**>(static_cast<char*>(establisherFrame) +
                                                      vantrel::service::detail::kOutcomeSlot);
    outcome->raised = true;
    outcome->code = pointers->ExceptionRecord->ExceptionCode;
    return EXCEPTION_EXECUTE_HANDLER;
}

namespace vantrel::service::detail {

long CallInGuardFrame(GuardedBody body, void* context, GuardOutcome& outcome) {
    return vantrel_guard_frame_x64(body, context, &outcome);
}

}  // namespace vantrel::service::detail
