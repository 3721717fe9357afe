#include "decoders/guarded_call.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

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

// The C run-time's SIGABRT handler, without changing it.
void(__cdecl* AbortHandlerNow())(int) {
    auto current = std::signal(SIGABRT, SIG_DFL);
    std::signal(SIGABRT, current);
    return current;
}

std::atomic<int> hostAborts{0};
// The run-time resets the handler before calling it; a host that wants to
// keep its handler installs it again.
extern "C" void __cdecl HostAbortHandler(int) {
    std::signal(SIGABRT, HostAbortHandler);
    ++hostAborts;
}
// A host that survives its aborts without installing its handler again.
extern "C" void __cdecl HostHandlerOnce(int) { ++hostAborts; }
std::atomic<int> otherHostAborts{0};
extern "C" void __cdecl OtherHostHandler(int) { ++otherHostAborts; }

// Installs a host handler for one test; afterwards the guard is released,
// as at the module's unload, and what was there before is put back.
class GuardedCallAborts : public ::testing::Test {
protected:
    void SetUp() override {
        hostAborts = 0;
        previous_ = std::signal(SIGABRT, HostAbortHandler);
    }
    void TearDown() override {
        ReleaseAbortGuard();
        std::signal(SIGABRT, previous_);
    }

    void(__cdecl* previous_)(int) = SIG_DFL;
};

TEST_F(GuardedCallAborts, AnAbortInsideEndsOnlyTheCallAndTheHostsHandlerIsBackAfterRelease) {
    bool afterAbort = false;
    EXPECT_FALSE(Guarded([&] { std::abort(); afterAbort = true; }));
    EXPECT_FALSE(afterAbort);
    EXPECT_TRUE(Guarded([] {}));
    EXPECT_FALSE(Guarded([] { WriteThroughNull(); }));
    EXPECT_EQ(hostAborts, 0);
    std::raise(SIGABRT);
    EXPECT_EQ(hostAborts, 1) << "an abort outside a call is the host's";
    EXPECT_FALSE(Guarded([] { std::abort(); })) << "still guarded after the host's abort";
    ReleaseAbortGuard();
    EXPECT_EQ(AbortHandlerNow(), HostAbortHandler);
    EXPECT_EQ(hostAborts, 1);
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

// Runs meanwhile() while another thread is inside a guarded call, then lets
// that call end, by an abort if asked; answers what the call returned.
template <typename Meanwhile>
bool WhileAnotherThreadIsInside(Meanwhile meanwhile, bool thenAbort) {
    Turns turns;
    bool returned = true;
    std::thread other([&] {
        returned = Guarded([&] {
            SetEvent(turns.inside);
            WaitForSingleObject(turns.goOn, INFINITE);
            if (thenAbort) std::abort();
        });
    });
    WaitForSingleObject(turns.inside, INFINITE);
    meanwhile();
    SetEvent(turns.goOn);
    other.join();
    return returned;
}

TEST_F(GuardedCallAborts, ACallEndingOnOneThreadLeavesAnotherThreadsCallGuarded) {
    EXPECT_FALSE(WhileAnotherThreadIsInside([] { EXPECT_TRUE(Guarded([] {})); }, true));
    EXPECT_EQ(hostAborts, 0);
}

TEST_F(GuardedCallAborts, AnAbortOutsideReachesTheHostWhileAnotherThreadIsInside) {
    EXPECT_TRUE(WhileAnotherThreadIsInside([] { std::raise(SIGABRT); }, false));
    EXPECT_EQ(hostAborts, 1);
}

// Threads that are all inside guarded calls at once, each aborting in its
// turn as soon as the one before was stopped. The turns are kept because
// the run-time puts the default handler in just before it calls ours: an
// abort on another thread in those few instructions ends the process, and
// nothing outside the run-time can close that moment.
class AbortTurns {
public:
    explicit AbortTurns(int threads) : turns_(std::size_t(threads)) {
        for (HANDLE& turn : turns_) turn = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    }
    ~AbortTurns() {
        for (HANDLE turn : turns_) CloseHandle(turn);
    }
    // Thread t's body: waits for its turn, aborts, and passes the turn on
    // once its call was stopped; every call stopped counts.
    void Take(int t, int rounds, std::atomic<int>& stopped) {
        for (int round = 0; round < rounds; ++round) {
            WaitFor(t);
            stopped += !Guarded([] { std::abort(); });
            PassOn(t);
        }
    }
    void WaitFor(int t) { WaitForSingleObject(turns_[std::size_t(t)], INFINITE); }
    void PassOn(int t) { SetEvent(turns_[std::size_t(t + 1) % turns_.size()]); }
    void Start() { SetEvent(turns_[0]); }

private:
    std::vector<HANDLE> turns_;
};

TEST_F(GuardedCallAborts, AbortsCloseTogetherOnManyThreadsAreAllStopped) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 250;
    AbortTurns turns(kThreads);
    std::atomic<int> stopped{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] { turns.Take(t, kRounds, stopped); });
    }
    turns.Start();
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(stopped, kThreads * kRounds);
    EXPECT_EQ(hostAborts, 0);
}

// Every call is guarded however many run at once: all of them are inside
// their decoder together, and abort in turn.
TEST_F(GuardedCallAborts, EveryOneOfManyConcurrentCallsIsGuarded) {
    constexpr int kCalls = 100;
    HANDLE allInside = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    AbortTurns turns(kCalls);
    std::atomic<int> inside{0};
    std::atomic<int> stopped{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kCalls; ++t) {
        threads.emplace_back([&, t] {
            stopped += !Guarded([&] {
                if (++inside == kCalls) SetEvent(allInside);
                WaitForSingleObject(allInside, INFINITE);
                turns.WaitFor(t);
                std::abort();
            });
            turns.PassOn(t);
        });
    }
    WaitForSingleObject(allInside, INFINITE);
    turns.Start();
    for (auto& thread : threads) thread.join();
    CloseHandle(allInside);
    EXPECT_EQ(stopped, kCalls);
    EXPECT_EQ(hostAborts, 0);
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
// trace: later calls, however many threads ended so, are guarded, and aborts
// on other threads, new ones included, are the host's.
TEST_F(GuardedCallAborts, ThreadsEndingInsideCallsLeaveNothingBehind) {
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
    EXPECT_FALSE(Guarded([] { std::abort(); }));
    for (int i = 0; i < 20; ++i) std::thread([] { std::raise(SIGABRT); }).join();
    std::raise(SIGABRT);
    EXPECT_EQ(hostAborts, 21);
    ReleaseAbortGuard();
    EXPECT_EQ(AbortHandlerNow(), HostAbortHandler);
}

// The host's abort comes while another thread is inside a call.
TEST_F(GuardedCallAborts, AHostThatIgnoresAbortsKeepsIgnoringThem) {
    std::signal(SIGABRT, SIG_IGN);
    WhileAnotherThreadIsInside([] { EXPECT_EQ(std::raise(SIGABRT), 0); }, false);
    EXPECT_FALSE(Guarded([] { std::abort(); }));
    ReleaseAbortGuard();
    EXPECT_EQ(AbortHandlerNow(), SIG_IGN);
}

TEST_F(GuardedCallAborts, AHandlerTheHostSurvivesStaysTheHosts) {
    std::signal(SIGABRT, HostHandlerOnce);
    EXPECT_TRUE(Guarded([] {}));
    std::raise(SIGABRT);
    std::raise(SIGABRT);
    EXPECT_EQ(hostAborts, 2);
    EXPECT_FALSE(Guarded([] { std::abort(); }));
    ReleaseAbortGuard();
    EXPECT_EQ(AbortHandlerNow(), HostHandlerOnce);
}

// A host that puts its own handler in for a while and then back, while
// calls start and end on another thread: afterwards its abort reaches one of
// its own handlers once, never ours in a loop, and calls stay guarded.
TEST_F(GuardedCallAborts, AHostSwappingHandlersInAndOutNeverMakesOursItsOwn) {
    otherHostAborts = 0;
    ASSERT_TRUE(Guarded([] {}));
    std::atomic<bool> done{false};
    std::thread calls([&] {
        while (!done) Guarded([] {});
    });
    for (int i = 0; i < 5000; ++i) {
        const auto before = std::signal(SIGABRT, OtherHostHandler);
        std::signal(SIGABRT, before);
    }
    done = true;
    calls.join();
    std::raise(SIGABRT);
    EXPECT_EQ(hostAborts + otherHostAborts, 1);
    EXPECT_FALSE(Guarded([] { std::abort(); }));
    ReleaseAbortGuard();
    const auto left = AbortHandlerNow();
    EXPECT_TRUE(left == HostAbortHandler || left == OtherHostHandler);
}

// A host that installs its handler after the guard went in keeps it for its
// own aborts, and the next call is guarded again.
TEST_F(GuardedCallAborts, AHandlerInstalledOverTheGuardIsTheHostsAndCallsStayGuarded) {
    ASSERT_TRUE(Guarded([] {}));
    std::signal(SIGABRT, HostHandlerOnce);
    EXPECT_FALSE(Guarded([] { std::abort(); }));
    std::raise(SIGABRT);
    EXPECT_EQ(hostAborts, 1);
    ReleaseAbortGuard();
    EXPECT_EQ(AbortHandlerNow(), HostHandlerOnce);
}

}  // namespace
