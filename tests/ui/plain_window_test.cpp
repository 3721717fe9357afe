#include "ui/plain_window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

PlainWindow MakeWindow(const char* className, DWORD style) {
    return PlainWindow("Plain", className, CS_HREDRAW, DefWindowProcA,
                       GetModuleHandleA(nullptr),
                       static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), nullptr, nullptr,
                       nullptr, 0, style, 40, 30, 320, 240, nullptr, nullptr);
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

bool ClassRegistered(const char* className) {
    WNDCLASSEXA found = {};
    found.cbSize = sizeof found;
    return GetClassInfoExA(GetModuleHandleA(nullptr), className, &found) != 0;
}

TEST(PlainWindow, CreatesItsWindowAndUndoesEverything) {
    HWND window = nullptr;
    {
        PlainWindow plain = MakeWindow("PtPlainCreate", WS_POPUP);
        window = plain.Window();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(ClassRegistered("PtPlainCreate"));
        char title[16];
        GetWindowTextA(window, title, sizeof title);
        EXPECT_STREQ(title, "Plain");
        const RECT rect = WindowRect(window);
        EXPECT_EQ(rect.left, 40);
        EXPECT_EQ(rect.bottom - rect.top, 240);
        EXPECT_FALSE(plain.Visible());
        plain.Show();
        EXPECT_TRUE(plain.Visible());
        EXPECT_TRUE(IsWindowVisible(window));
        plain.Hide();
        EXPECT_FALSE(plain.Visible());
        EXPECT_FALSE(IsWindowVisible(window));
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(ClassRegistered("PtPlainCreate"));
}

TEST(PlainWindow, StartsWithTheStateOfItsStyle) {
    PlainWindow plain = MakeWindow("PtPlainStyle", WS_POPUP | WS_VISIBLE | WS_MAXIMIZE);
    EXPECT_TRUE(plain.Visible());
    EXPECT_TRUE(plain.Maximised());
    EXPECT_FALSE(plain.Minimised());
    plain.Minimise();
    EXPECT_TRUE(plain.Minimised());
    EXPECT_FALSE(plain.Maximised());
    EXPECT_TRUE(IsIconic(plain.Window()));
    plain.Maximise();
    EXPECT_TRUE(plain.Maximised());
    EXPECT_FALSE(plain.Minimised());
    EXPECT_TRUE(IsZoomed(plain.Window()));
}

TEST(PlainWindow, MoveKeepsEveryValueGivenAsMinusOne) {
    PlainWindow plain = MakeWindow("PtPlainMove", WS_POPUP | WS_VISIBLE);
    plain.Move(-1, -1, 300, 200);
    RECT rect = WindowRect(plain.Window());
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 200);
    plain.Move(70, -1, -1, 150);
    rect = WindowRect(plain.Window());
    EXPECT_EQ(rect.left, 70);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right - rect.left, 300);
    EXPECT_EQ(rect.bottom - rect.top, 150);
}

// Cut, the name would register, and at the end unregister, another class.
TEST(PlainWindow, AClassNameThatDoesNotFitMakesNoWindow) {
    const std::string longName(300, 'C');
    PlainWindow plain = MakeWindow(longName.c_str(), WS_POPUP);
    EXPECT_EQ(plain.Window(), nullptr);
    EXPECT_STREQ(plain.ClassName(), "");
    WNDCLASSEXA registered{};
    registered.cbSize = sizeof registered;
    EXPECT_FALSE(GetClassInfoExA(GetModuleHandleA(nullptr), longName.substr(0, 199).c_str(),
                                 &registered));
}

}  // namespace
