// The call guard turns any structured exception inside a call into the answer 0,
// keeps the thread's exception chain intact, and can be used again and again.
#include "service/CallGuard.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <intrin.h>

#include "service/DefragClient.h"
#include "service/DefragRpc_c.h"

namespace vantrel::service {
namespace {

// The thread's exception-registration list (FS:[0] on i386, GS:[0] on x86_64).
void* ChainHead() {
    return reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList;
}

TEST(CallGuard, AnswersZeroAndTheCodeForEveryKindOfFault) {
    struct Case {
        const char* name;
        long (*body)(void*);
        long expectedResult;
        unsigned long expectedCode;
    };
    const Case cases[] = {
        {"normal return", [](void*) -> long { return 42; }, 42, 0},
        {"raised RPC status",
         [](void*) -> long {
             RaiseException(RPC_S_SERVER_UNAVAILABLE, 0, 0, nullptr);
             return 1;
         },
         0, RPC_S_SERVER_UNAVAILABLE},
        {"non-continuable",
         [](void*) -> long {
             RaiseException(0xE0000001, EXCEPTION_NONCONTINUABLE, 0, nullptr);
             return 1;
         },
         0, 0xE0000001},
        {"access violation",
         [](void*) -> long {
             volatile int* nowhere = nullptr;
             *nowhere = 1;
             return 1;
         },
         0, static_cast<unsigned long>(EXCEPTION_ACCESS_VIOLATION)},
        {"integer division by zero",
         [](void* context) -> long {
             volatile int zero = *static_cast<int*>(context);
             return 10 / zero;
         },
         0, static_cast<unsigned long>(EXCEPTION_INT_DIVIDE_BY_ZERO)},
    };
    for (const Case& test : cases) {
        int zero = 0;
        void* const chainBefore = ChainHead();
        unsigned long code = 0xFFFFFFFF;
        EXPECT_EQ(RunGuarded(test.body, &zero, &code), test.expectedResult) << test.name;
        EXPECT_EQ(code, test.expectedCode) << test.name;
        EXPECT_EQ(LastGuardedExceptionCode(), test.expectedCode) << test.name;
        EXPECT_EQ(ChainHead(), chainBefore) << test.name << ": the guard left the chain changed";
    }
}

TEST(CallGuard, OuterGuardStillCatchesAfterAnInnerOneCaught) {
    auto inner = [] {
        RaiseException(0xE0000002, 0, 0, nullptr);
        return 1L;
    };
    auto outer = [&inner] {
        const long innerResult = Guarded(inner);
        if (innerResult != 0) {
            return 5L;
        }
        RaiseException(0xE0000003, 0, 0, nullptr);
        return 6L;
    };
    unsigned long code = 0;
    EXPECT_EQ(Guarded(outer, &code), 0);
    EXPECT_EQ(code, 0xE0000003u);
}

TEST(CallGuard, SurvivesManyFaultsInARow) {
    int caught = 0;
    for (int i = 0; i < 1000; ++i) {
        auto call = [i] {
            RaiseException(0xE0000100 + (i % 7), 0, 0, nullptr);
            return 1L;
        };
        unsigned long code = 0;
        caught += Guarded(call, &code) == 0 && code == 0xE0000100u + (i % 7) ? 1 : 0;
    }
    EXPECT_EQ(caught, 1000);
}

// Remote calls to a pipe where no server listens make the RPC runtime raise from deep inside
// its own frames. Afterwards the thread must still dispatch exceptions normally:
// 64-bit Wine's runtime can leave one of its records on the thread's list, and an
// exception raised after that would loop for ever (this test would hang).
TEST(CallGuard, ExceptionsStillDispatchAfterFailedRemoteCalls) {
    // Bound to a pipe of this test's own where nothing listens (the service's
    // pipe may be served by a stand-in that another test left running).
    RPC_WSTR composed = nullptr;
    wchar_t protocol[] = L"ncacn_np";
    wchar_t endpoint[] = L"\\pipe\\vantrel_call_guard_nobody";
    ASSERT_EQ(RpcStringBindingComposeW(nullptr, reinterpret_cast<RPC_WSTR>(protocol), nullptr,
                                       reinterpret_cast<RPC_WSTR>(endpoint), nullptr, &composed),
              RPC_S_OK);
    ASSERT_EQ(RpcBindingFromStringBindingW(composed, &DefragRpc_Binding), RPC_S_OK);
    RpcStringFreeW(&composed);
    void* const chainBefore = ChainHead();
    for (int i = 0; i < 20; ++i) {
        long state = -1;
        long detail = -1;
        EXPECT_EQ(GetJobState(state, detail), 0);
        EXPECT_NE(LastGuardedExceptionCode(), 0u);
        EXPECT_EQ(ChainHead(), chainBefore);
    }
    auto raise = [] {
        RaiseException(0xE0000005, 0, 0, nullptr);
        return 1L;
    };
    unsigned long code = 0;
    EXPECT_EQ(Guarded(raise, &code), 0);
    EXPECT_EQ(code, 0xE0000005u);
    bool caught = false;
    try {
        throw 7;
    } catch (int) {
        caught = true;
    }
    EXPECT_TRUE(caught);
    RpcBindingFree(&DefragRpc_Binding);
}

#if defined(__i386__)
// A frame between the guard and the fault registers its own handler, to see that
// frames above the guard are unwound (their handlers called with the unwinding
// flag) before the guard answers. The record must live in that frame: the chain
// has to run towards higher stack addresses.
struct UnwindProbe {
    EXCEPTION_REGISTRATION_RECORD registration;
    int* unwindCalls;
};

EXCEPTION_DISPOSITION __cdecl ProbeHandler(EXCEPTION_RECORD* record, void* frame, CONTEXT*, void*) {
    if ((record->ExceptionFlags & EXCEPTION_UNWINDING) != 0) {
        ++*static_cast<UnwindProbe*>(frame)->unwindCalls;
    }
    return ExceptionContinueSearch;
}

__attribute__((noinline)) long RaiseInsideProbe(void* context) {
    UnwindProbe probe{};
    probe.unwindCalls = static_cast<int*>(context);
    probe.registration.Next = static_cast<EXCEPTION_REGISTRATION_RECORD*>(ChainHead());
    probe.registration.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(&ProbeHandler);
    __writefsdword(0, reinterpret_cast<DWORD>(&probe.registration));
    RaiseException(0xE0000004, 0, 0, nullptr);
    __writefsdword(0, reinterpret_cast<DWORD>(probe.registration.Next));
    return 1;
}

TEST(CallGuard, UnwindsTheFramesAboveIt) {
    int unwindCalls = 0;
    void* const chainBefore = ChainHead();
    EXPECT_EQ(RunGuarded(&RaiseInsideProbe, &unwindCalls), 0);
    EXPECT_EQ(unwindCalls, 1);
    EXPECT_EQ(ChainHead(), chainBefore);
}
#endif

}  // namespace
}  // namespace vantrel::service
