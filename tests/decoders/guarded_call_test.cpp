#include "decoders/guarded_call.h"

#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
