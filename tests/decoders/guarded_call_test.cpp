#include "decoders/guarded_call.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <thread>

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

TEST(GuardedCall, ChainIsIntactAfterAFault) {
    const DWORD before = __readfsdword(0);
    EXPECT_FALSE(Guarded([] { WriteThroughNull(); }));
    EXPECT_EQ(__readfsdword(0), before);
    EXPECT_TRUE(Guarded([] {}));
    EXPECT_EQ(__readfsdword(0), before);
}

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

// The C run-time's SIGABRT handler, without changing it.
void(__cdecl* AbortHandlerNow())(int) {
    auto current = std::signal(SIGABRT, SIG_DFL);
    std::signal(SIGABRT, current);
    return current;
}

int hostAborts = 0;
// The run-time resets the handler before calling it; a host that wants to
// keep its handler installs it again.
extern "C" void __cdecl HostAbortHandler(int) {
    std::signal(SIGABRT, HostAbortHandler);
    ++hostAborts;
}

// Installs HostAbortHandler for one test and puts back what was there.
class GuardedCallAborts : public ::testing::Test {
protected:
    void SetUp() override {
        hostAborts = 0;
        previous_ = std::signal(SIGABRT, HostAbortHandler);
    }
    void TearDown() override { std::signal(SIGABRT, previous_); }

    void(__cdecl* previous_)(int) = SIG_DFL;
};

TEST_F(GuardedCallAborts, AnAbortInsideEndsTheCallAndTheHostsHandlerIsBackAfterIt) {
    bool afterAbort = false;
    EXPECT_FALSE(Guarded([&] { std::abort(); afterAbort = true; }));
    EXPECT_FALSE(afterAbort);
    EXPECT_EQ(AbortHandlerNow(), HostAbortHandler);
    EXPECT_TRUE(Guarded([] {}));
    EXPECT_FALSE(Guarded([] { WriteThroughNull(); }));
    EXPECT_EQ(AbortHandlerNow(), HostAbortHandler);
    EXPECT_EQ(hostAborts, 0);
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

TEST_F(GuardedCallAborts, ACallEndingOnOneThreadLeavesAnotherThreadsCallGuarded) {
    Turns turns;
    bool otherReturned = true;
    std::thread other([&] {
        otherReturned = Guarded([&] {
            SetEvent(turns.inside);
            WaitForSingleObject(turns.goOn, INFINITE);
            std::abort();
        });
    });
    WaitForSingleObject(turns.inside, INFINITE);
    EXPECT_TRUE(Guarded([] {}));
    SetEvent(turns.goOn);
    other.join();
    EXPECT_FALSE(otherReturned);
    EXPECT_EQ(AbortHandlerNow(), HostAbortHandler);
    EXPECT_EQ(hostAborts, 0);
}

TEST_F(GuardedCallAborts, AnAbortOutsideReachesTheHostWhileAnotherThreadIsInside) {
    Turns turns;
    std::thread other([&] {
        Guarded([&] {
            SetEvent(turns.inside);
            WaitForSingleObject(turns.goOn, INFINITE);
        });
    });
    WaitForSingleObject(turns.inside, INFINITE);
    std::raise(SIGABRT);
    SetEvent(turns.goOn);
    other.join();
    EXPECT_EQ(hostAborts, 1);
    EXPECT_EQ(AbortHandlerNow(), HostAbortHandler);
}

}  // namespace
