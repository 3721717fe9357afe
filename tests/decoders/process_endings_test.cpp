#include "decoders/process_endings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "decoders/guarded_call.h"
#include "tests/support/program_folder.h"

namespace {

// One of the test decoders in the program's decoder folder, with its ways
// of ending the process.
struct EndingDecoder {
    HMODULE module = nullptr;
    void(__cdecl* endByAbort)() = nullptr;
    void(__cdecl* endByExit)(int) = nullptr;
    void(__cdecl* endByUnderscoreExit)(int) = nullptr;
    void(__cdecl* endByCapitalExit)(int) = nullptr;
    void(__cdecl* endByExitProcess)(unsigned) = nullptr;

    explicit EndingDecoder(const char* name) {
        module = LoadLibraryA((OwnFolder() + "Multiplayer\\Input\\" + name + ".dll").c_str());
        Resolve("EndByAbort", endByAbort);
        Resolve("EndByExit", endByExit);
        Resolve("EndByUnderscoreExit", endByUnderscoreExit);
        Resolve("EndByCapitalExit", endByCapitalExit);
        Resolve("EndByExitProcess", endByExitProcess);
    }
    ~EndingDecoder() { FreeLibrary(module); }

    template <typename Function>
    void Resolve(const char* name, Function& function) {
        function = reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
        EXPECT_NE(function, nullptr) << name;
    }
};

// Both decoders loaded and intercepted for one test, as the catalogue holds
// them; let go afterwards.
class ProcessEndings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(msvcrt_.module, nullptr);
        ASSERT_NE(ucrt_.module, nullptr);
        InterceptProcessEndings(msvcrt_.module);
        InterceptProcessEndings(ucrt_.module);
    }
    void TearDown() override {
        RestoreProcessEndings(msvcrt_.module);
        RestoreProcessEndings(ucrt_.module);
    }

    EndingDecoder msvcrt_{"Ending"};
    EndingDecoder ucrt_{"UcrtEnding"};
};

void ExpectEveryEndingEndsOnlyTheCall(const EndingDecoder& decoder) {
    bool after = false;
    EXPECT_FALSE(Guarded([&] { decoder.endByAbort(); after = true; }));
    EXPECT_FALSE(Guarded([&] { decoder.endByExit(7); after = true; }));
    EXPECT_FALSE(Guarded([&] { decoder.endByUnderscoreExit(7); after = true; }));
    EXPECT_FALSE(Guarded([&] { decoder.endByCapitalExit(7); after = true; }));
    EXPECT_FALSE(Guarded([&] { decoder.endByExitProcess(7); after = true; }));
    EXPECT_FALSE(after);
    EXPECT_TRUE(Guarded([&] { after = true; }));
    EXPECT_TRUE(after);
}

TEST_F(ProcessEndings, InsideAGuardedCallEachEndingEndsOnlyThatCall) {
    ExpectEveryEndingEndsOnlyTheCall(msvcrt_);
}

TEST_F(ProcessEndings, ADecoderOfAnotherRunTimeIsStoppedAlike) {
    ExpectEveryEndingEndsOnlyTheCall(ucrt_);
}

// Outside a guarded call the host, decoding with the same plugin, gets the
// run-time's own ending.
TEST_F(ProcessEndings, OutsideAGuardedCallEachEndsTheProcessAsItsOriginalDoes) {
    EXPECT_EXIT(msvcrt_.endByExit(7), ::testing::ExitedWithCode(7), "");
    EXPECT_EXIT(msvcrt_.endByUnderscoreExit(8), ::testing::ExitedWithCode(8), "");
    EXPECT_EXIT(msvcrt_.endByExitProcess(9), ::testing::ExitedWithCode(9), "");
    EXPECT_EXIT(msvcrt_.endByAbort(), ::testing::ExitedWithCode(3), "");
    EXPECT_EXIT(ucrt_.endByExit(10), ::testing::ExitedWithCode(10), "");
    EXPECT_EXIT(ucrt_.endByAbort(), ::testing::ExitedWithCode(3), "");
}

// An ending that comes on a thread outside a call while another thread is
// inside one is still the process's end.
TEST_F(ProcessEndings, AnEndingOnAThreadOutsideACallIsNotTakenForTheCallsOne) {
    EXPECT_EXIT(
        {
            HANDLE inside = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            std::thread other([&] {
                Guarded([&] {
                    SetEvent(inside);
                    Sleep(INFINITE);
                });
            });
            WaitForSingleObject(inside, INFINITE);
            msvcrt_.endByExit(11);
        },
        ::testing::ExitedWithCode(11), "");
}

TEST_F(ProcessEndings, LetGoBySeveralHoldersTheSlotsGoBackWithTheLast) {
    InterceptProcessEndings(msvcrt_.module);
    RestoreProcessEndings(msvcrt_.module);
    EXPECT_FALSE(Guarded([&] { msvcrt_.endByExit(7); })) << "still held once";
    RestoreProcessEndings(msvcrt_.module);
    EXPECT_EXIT(Guarded([&] { msvcrt_.endByExit(12); }), ::testing::ExitedWithCode(12), "");
    EXPECT_EXIT(Guarded([&] { msvcrt_.endByAbort(); }), ::testing::ExitedWithCode(3), "");
    InterceptProcessEndings(msvcrt_.module);  // for TearDown's
}

// 8 threads released together, each aborting 2,000 times inside its calls:
// no abort reaches the run-time's signal table, so none can meet another
// there.
TEST_F(ProcessEndings, AbortsOnManyThreadsAtTheSameMomentAreAllStopped) {
    constexpr int kThreads = 8;
    constexpr int kAborts = 2000;
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> ready{0};
    std::atomic<int> stopped{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const EndingDecoder& decoder = t % 2 ? ucrt_ : msvcrt_;
            ++ready;
            WaitForSingleObject(start, INFINITE);
            for (int i = 0; i < kAborts; ++i) stopped += !Guarded([&] { decoder.endByAbort(); });
        });
    }
    while (ready < kThreads) Sleep(0);
    SetEvent(start);
    for (auto& thread : threads) thread.join();
    CloseHandle(start);
    EXPECT_EQ(stopped, kThreads * kAborts);
}

// The C run-time's SIGABRT handler, without changing it.
void(__cdecl* AbortHandlerNow())(int) {
    auto current = std::signal(SIGABRT, SIG_DFL);
    std::signal(SIGABRT, current);
    return current;
}

std::atomic<int> hostAborts{0};
extern "C" void __cdecl HostHandlerOnce(int) { ++hostAborts; }

// Crash reporters log and abort again, relying on the run-time to have put
// the default back before calling them.
extern "C" void __cdecl LogThenAbortAgain(int) {
    std::fputs("logged\n", stderr);
    std::fflush(stderr);
    std::abort();
}

// The host's handlers work as without us: the signal table is never ours.
class HostAbortHandlers : public ProcessEndings {
protected:
    void SetUp() override {
        ProcessEndings::SetUp();
        hostAborts = 0;
        previous_ = AbortHandlerNow();
    }
    void TearDown() override {
        std::signal(SIGABRT, previous_);
        ProcessEndings::TearDown();
    }
    void StopDecoderAborts() {
        EXPECT_FALSE(Guarded([&] { msvcrt_.endByAbort(); }));
        EXPECT_FALSE(Guarded([&] { ucrt_.endByAbort(); }));
    }

    void(__cdecl* previous_)(int) = SIG_DFL;
};

TEST_F(HostAbortHandlers, AOneShotHandlerStaysOneShot) {
    std::signal(SIGABRT, HostHandlerOnce);
    StopDecoderAborts();
    EXPECT_EQ(AbortHandlerNow(), HostHandlerOnce);
    std::raise(SIGABRT);
    EXPECT_EQ(hostAborts, 1);
    EXPECT_EQ(AbortHandlerNow(), SIG_DFL) << "the run-time took it out before the call";
    StopDecoderAborts();
    EXPECT_EQ(AbortHandlerNow(), SIG_DFL) << "a default the host has is the host's";
    EXPECT_EQ(hostAborts, 1);
}

TEST_F(HostAbortHandlers, AHandlerThatLogsAndAbortsAgainLogsOnceAndEndsAsTheRunTimeDoes) {
    EXPECT_EXIT(
        {
            std::signal(SIGABRT, LogThenAbortAgain);
            StopDecoderAborts();
            std::abort();
        },
        ::testing::ExitedWithCode(3), "^logged\\n$");
}

TEST_F(HostAbortHandlers, AnIgnoredAbortStaysIgnored) {
    StopDecoderAborts();
    std::signal(SIGABRT, SIG_IGN);
    StopDecoderAborts();
    EXPECT_EQ(std::raise(SIGABRT), 0);
    EXPECT_EQ(AbortHandlerNow(), SIG_IGN);
}

}  // namespace
