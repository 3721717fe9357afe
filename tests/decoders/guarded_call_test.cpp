#include "decoders/guarded_call.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/support/stack_overflows.h"

namespace {

void WriteThroughNull() {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

// What a plugin built with a compiler that raises C++ exceptions as
// structured exceptions does for a throw.
void RaiseForeignCppException() {
    RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

int DivideByZero() {
    volatile int numerator = 7;
    volatile int zero = 0;
    return numerator / zero;
}

TEST(GuardedCall, NormalBodyRunsToItsEnd) {
    int steps = 0;
    EXPECT_TRUE(Guarded([&] { steps = 2; }));
    EXPECT_EQ(steps, 2);
}

TEST(GuardedCall, FaultsEndTheBodyAndTheCallReportsThem) {
    int reached = 0;
    EXPECT_FALSE(Guarded([&] { WriteThroughNull(); reached = 1; }));
    EXPECT_FALSE(Guarded([&] { RaiseForeignCppException(); reached = 2; }));
    EXPECT_FALSE(Guarded([&] { reached = DivideByZero() + 3; }));
    EXPECT_EQ(reached, 0);
}

#if defined(__i386__)
TEST(GuardedCall, ChainIsIntactAfterAFault) {
    const DWORD before = __readfsdword(0);
    EXPECT_FALSE(Guarded([] { WriteThroughNull(); }));
    EXPECT_EQ(__readfsdword(0), before);
    EXPECT_TRUE(Guarded([] {}));
    EXPECT_EQ(__readfsdword(0), before);
}
#endif

TEST(GuardedCall, InnerGuardCatchesItsOwnFaultAndOuterGoesOn) {
    bool inner = true;
    bool afterInner = false;
    EXPECT_TRUE(Guarded([&] {
        inner = Guarded([] { WriteThroughNull(); });
        afterInner = true;
    }));
    EXPECT_FALSE(inner);
    EXPECT_TRUE(afterInner);
}

TEST(GuardedCall, FaultBelowAnInnerFrameIsCaughtByTheOuterGuard) {
    // The inner guard completes; the fault after it must find the outer one.
    bool afterFault = false;
    EXPECT_FALSE(Guarded([&] {
        Guarded([] {});
        WriteThroughNull();
        afterFault = true;
    }));
    EXPECT_FALSE(afterFault);
}

// Ending a call from deep inside it, as a decoder's call of a process-ending
// function does through ours.
TEST(GuardedCall, EndingFromInsideEndsOnlyTheCallAndOutsideDoesNothing) {
    bool after = false;
    EXPECT_FALSE(Guarded([&] {
        EndGuardedCallIfInside();
        after = true;
    }));
    EXPECT_FALSE(after);
    EndGuardedCallIfInside();
    std::thread([] { EndGuardedCallIfInside(); }).join();
    EXPECT_TRUE(Guarded([&] { after = true; }));
    EXPECT_TRUE(after);
}

// A signalled pair of events that two threads use to take turns.
struct Turns {
    HANDLE inside = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE goOn = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~Turns() {
        CloseHandle(inside);
        CloseHandle(goOn);
    }
};

// Every call is guarded however many run at once: all of them are inside
// together when they end.
TEST(GuardedCall, EveryOneOfManyConcurrentCallsIsGuarded) {
    constexpr int kCalls = 100;
    Turns all;
    std::atomic<int> inside{0};
    std::atomic<int> stopped{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kCalls; ++t) {
        threads.emplace_back([&] {
            stopped += !Guarded([&] {
                if (++inside == kCalls) SetEvent(all.inside);
                WaitForSingleObject(all.inside, INFINITE);
                EndGuardedCallIfInside();
            });
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(stopped, kCalls);
}

DWORD WINAPI EndInsideAGuardedCall(void* turns) {
    Guarded([&] {
        SetEvent(static_cast<Turns*>(turns)->inside);
        WaitForSingleObject(static_cast<Turns*>(turns)->goOn, INFINITE);
        ExitThread(7);
    });
    return 0;
}

// Threads that end inside a call, by their own hand or another's, leave no
// trace: later calls are guarded, and other threads are outside.
TEST(GuardedCall, ThreadsEndingInsideCallsLeaveNothingBehind) {
    Turns terminated;
    HANDLE hangs = CreateThread(nullptr, 0, EndInsideAGuardedCall, &terminated, 0, nullptr);
    WaitForSingleObject(terminated.inside, INFINITE);
    TerminateThread(hangs, 9);
    WaitForSingleObject(hangs, INFINITE);
    CloseHandle(hangs);
    for (int i = 0; i < 100; ++i) {
        Turns exiting;
        SetEvent(exiting.goOn);
        HANDLE exits = CreateThread(nullptr, 0, EndInsideAGuardedCall, &exiting, 0, nullptr);
        WaitForSingleObject(exits, INFINITE);
        CloseHandle(exits);
    }
    EXPECT_FALSE(Guarded([] { EndGuardedCallIfInside(); }));
    bool outsideWentOn = false;
    std::thread([&] {
        EndGuardedCallIfInside();
        outsideWentOn = true;
    }).join();
    EXPECT_TRUE(outsideWentOn);
}

constexpr DWORD kThreadWentOn = 42;

// Two overflows on one thread, then a call that runs normally. Without its
// guard page back after the first, the second cannot be reported: the
// platform ends the process (Windows) or the thread (Wine).
DWORD WINAPI OverflowTwiceThenTag(void* calls) {
    auto& returned = *static_cast<std::vector<bool>*>(calls);
    returned.push_back(Guarded([] { OverflowTheStack(); }));
    returned.push_back(Guarded([] { OverflowTheStack(); }));
    int depth = 0;
    returned.push_back(Guarded([&] { depth = 100; }));
    return depth == 100 ? kThreadWentOn : 0;
}

TEST(GuardedCall, TwoStackOverflowsOnOneThreadAreBothStoppedAndTheThreadGoesOn) {
    if (!StackOverflowsReachHandlers()) GTEST_SKIP() << "no handler sees a stack overflow here";
    for (SIZE_T stack : {SIZE_T(0), SIZE_T(256 * 1024)}) {
        std::vector<bool> returned;
        HANDLE thread = CreateThread(nullptr, stack, OverflowTwiceThenTag, &returned,
                                     stack ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr);
        ASSERT_NE(thread, nullptr);
        WaitForSingleObject(thread, INFINITE);
        DWORD ended = 0;
        GetExitCodeThread(thread, &ended);
        CloseHandle(thread);
        EXPECT_EQ(ended, kThreadWentOn) << "stack reserve " << stack;
        EXPECT_EQ(returned, (std::vector<bool>{false, false, true})) << "stack reserve " << stack;
    }
}

}  // namespace
