// The stored pattern and the configuration page, driven through real windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/plugin/page_driver.h"
#include "tests/plugin/plugin_session.h"

namespace {

DWORD WINAPI DoNothing(void*) { return 0; }

class ConfigPage : public LoadedPluginFixture {
protected:
    void TearDown() override {
        Unload();
        ForgetStoredPattern();
    }
    // The pages go before the plugin whose procedure they use.
    void Unload() {
        if (parent_) DestroyWindow(parent_);
        parent_ = nullptr;
        UnloadPlugin(plugin_);
    }
    // Loads the plugin, so that its process attach reads the stored pattern,
    // and opens its page.
    HWND OpenPage(int width = 500) {
        Unload();
        LoadPluginNow();
        parent_ = CreateParentWindow(width, width / 2);
        return ShowPage(plugin_, parent_);
    }
    std::string PatternInForce() {
        HWND page = OpenPage();
        return page ? EditText(page) : "<no page>";
    }

    HWND parent_ = nullptr;
};

TEST_F(ConfigPage, NoStoredValueGivesTheDefaultAndOpeningStoresIt) {
    ForgetStoredPattern();
    EXPECT_EQ(PatternInForce(), "[artist]-[track]");
    EXPECT_EQ(StoredPattern(), "[artist]-[track]")
        << "setting the initial text notifies the page, which stores it";
}

TEST_F(ConfigPage, StoredPatternLimits) {
    const std::string fits(259, 'p');
    StorePattern(fits);
    EXPECT_EQ(PatternInForce(), fits);
    StorePattern(std::string(260, 'q'));
    EXPECT_EQ(PatternInForce(), "[artist]-[track]");
    StorePattern("");
    EXPECT_EQ(PatternInForce(), "[artist]-[track]");

    const std::string noTerminator(260, 'r');
    StoreRawPattern(noTerminator.data(), 260);
    EXPECT_EQ(PatternInForce(), "[artist]-[track]");
}

TEST_F(ConfigPage, ThreadAttachReloadsTheStoredPattern) {
    StorePattern("[album]\\[artist]-[track]");
    LoadPluginNow();
    StorePattern("[genre]-[track]");
    HANDLE thread = CreateThread(nullptr, 0, DoNothing, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    parent_ = CreateParentWindow(500, 300);
    HWND page = ShowPage(plugin_, parent_);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(EditText(page), "[genre]-[track]");
}

TEST_F(ConfigPage, PlacedAt20By37WhateverTheParentsSize) {
    ForgetStoredPattern();
    for (int width : {300, 900}) {
        HWND page = OpenPage(width);
        ASSERT_NE(page, nullptr);
        RECT rect;
        GetWindowRect(page, &rect);
        POINT corner = {rect.left, rect.top};
        ScreenToClient(parent_, &corner);
        EXPECT_EQ(corner.x, 20);
        EXPECT_EQ(corner.y, 37);
        EXPECT_EQ(GetParent(page), parent_);
        EXPECT_TRUE(IsWindowVisible(page));
    }
}

TEST_F(ConfigPage, ASecondCallPlacesASecondPage) {
    HWND first = OpenPage();
    HWND second = ShowPage(plugin_, parent_);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Pages(parent_).size(), 2u);
    EXPECT_TRUE(IsWindow(first));
    RECT a, b;
    GetWindowRect(first, &a);
    GetWindowRect(second, &b);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
}

// What a user reads: each label, drawn in the page's own font, fits the
// control the template gives it, so no help line is cut short. The font must
// be the one the template names; a stand-in of other widths proves nothing.
TEST_F(ConfigPage, EveryStaticTextFitsItsControlInThePagesFont) {
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    HDC dc = GetDC(page);
    const HGDIOBJ previous = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    EXPECT_STREQ(face, "MS Sans Serif") << "the prefix lacks Wine's fonts";

    int statics = 0;
    for (HWND child = GetWindow(page, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0) continue;
        ++statics;
        char text[256] = "";
        const int length = GetWindowTextA(child, text, sizeof text);
        SIZE needed = {};
        ASSERT_TRUE(GetTextExtentPoint32A(dc, text, length, &needed));
        RECT box;
        GetClientRect(child, &box);
        EXPECT_LE(needed.cx, box.right) << '"' << text << '"';
        EXPECT_LE(needed.cy, box.bottom) << '"' << text << '"';
    }
    EXPECT_EQ(statics, 3);
    SelectObject(dc, previous);
    ReleaseDC(page, dc);
}

TEST_F(ConfigPage, TypingStoresAtOnceAndTheNextOpeningShowsIt) {
    ForgetStoredPattern();
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    SetEditText(page, "");
    EXPECT_EQ(StoredPattern(), "");
    Type(page, "[album]\\[track]");
    EXPECT_EQ(StoredPattern(), "[album]\\[track]");
    EXPECT_EQ(EditText(ShowPage(plugin_, parent_)), "[album]\\[track]")
        << "the pattern in force follows the edits";
}

TEST_F(ConfigPage, MoreThan259TypedCharactersKeepTheFirst259) {
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    SetEditText(page, "");
    const std::string typed = std::string(200, 'a') + std::string(100, 'b');
    Type(page, typed);
    EXPECT_EQ(EditText(page), typed) << "the edit box itself has no limit";
    EXPECT_EQ(StoredPattern(), typed.substr(0, 259));
    EXPECT_EQ(EditText(ShowPage(plugin_, parent_)), typed.substr(0, 259));
}

TEST_F(ConfigPage, ClearingEmptiesThePatternUntilTheNextAttach) {
    HWND page = OpenPage();
    ASSERT_NE(page, nullptr);
    SetEditText(page, "");
    EXPECT_EQ(StoredPattern(), "");
    EXPECT_EQ(EditText(ShowPage(plugin_, parent_)), "");
    EXPECT_EQ(PatternInForce(), "[artist]-[track]");
}

}  // namespace
