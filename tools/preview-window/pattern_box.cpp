#include "tools/preview-window/pattern_box.h"

#include <iterator>

#include "plugin/tag_pattern_setting.h"
#include "tagging/pattern_check.h"
#include "tagging/tag_pattern_matcher.h"
#include "tools/preview-window/preview_window.h"

void PatternBox::Create(const ControlMaker& maker) {
    parent_ = maker.parent;
    font_ = maker.font;
    label_ = maker.Add("STATIC", "&Pattern:", SS_LEFT, -1);
    edit_ = maker.Add("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kPatternEditId);
    useButton_ = maker.Add("BUTTON", "&Use this set", WS_TABSTOP | BS_PUSHBUTTON,
                           kUsePatternButtonId);
}

// One button per token, labelled with what it fills where its name alone
// would mislead; they insert into the box being edited, the pattern's or a
// fallback's.
void PatternBox::CreateTokens(const ControlMaker& maker) {
    tokenLabel_ = maker.Add("STATIC", "Insert:", SS_LEFT | SS_NOPREFIX, -1);
    for (int i = 0; i < int(std::size(tokenButtons_)); ++i) {
        const TagToken token = TagToken(int(TagToken::Artist) + i);
        std::string label = SpellingOfToken(token);
        if (token == TagToken::Title) label += " = title";
        tokenButtons_[i] = maker.Add("BUTTON", label.c_str(), WS_TABSTOP | BS_PUSHBUTTON,
                                     kFirstTokenButtonId + i);
    }
    warnings_.Create(maker, kWarningsTextId);
}

int PatternBox::Place(Placer& placer, int y, int boxX, int boxWidth, int width) {
    const int top = y;
    placer.Move(label_, kMargin, y + 4, kLabelWidth, kRowHeight - 4);
    placer.Move(edit_, boxX, y, boxWidth, kRowHeight);
    placer.Move(useButton_, boxX + boxWidth + kMargin, y, kButtonWidth, kRowHeight);
    y += kRowHeight + kGap;
    placer.Move(tokenLabel_, kMargin, y + 3, kLabelWidth, kTokenRowHeight - 3);
    y += PlaceTokenButtons(placer, boxX, y, width - kMargin);
    y += warnings_.Place(placer, y, boxX, width - boxX - kMargin);
    return y - top;
}

// As many rows as the width needs.
int PatternBox::PlaceTokenButtons(Placer& placer, int left, int y, int right) {
    HDC dc = GetDC(parent_);
    HGDIOBJ old = SelectObject(dc, font_);
    const int top = y;
    int x = left;
    for (HWND button : tokenButtons_) {
        const std::string label = WindowText(button);
        SIZE size{};
        GetTextExtentPoint32A(dc, label.c_str(), int(label.size()), &size);
        const int width = int(size.cx) + 16;
        if (x > left && x + width > right) {
            x = left;
            y += kTokenRowHeight + kGap;
        }
        placer.Move(button, x, y, width, kTokenRowHeight);
        x += width + kGap;
    }
    SelectObject(dc, old);
    ReleaseDC(parent_, dc);
    return y - top + kTokenRowHeight + kGap;
}

void PatternBox::SetPattern(const std::string& pattern) {
    // Sends the box's change, as typing would.
    SetWindowTextA(edit_, pattern.c_str());
}

std::string PatternWarningsText(const std::string& pattern) {
    std::string text;
    if (pattern.empty()) return text;
    for (const PatternWarning& w : CheckPattern(pattern.c_str())) {
        if (!text.empty()) text += "\r\n";
        text += w.message;
    }
    return text;
}

// An empty pattern is never stored, and the plugin would not leave files
// alone with one: it reads an empty stored pattern as its default.
bool PatternBox::OnChanged() {
    pattern_ = WindowText(edit_);
    if (pattern_.empty()) {
        return warnings_.Set(std::string("The pattern is empty, so it cannot be stored: the plugin"
                                         " puts its default ") + kDefaultTagPattern +
                             " in place of an empty pattern each time the host starts a"
                             " conversion, so clearing the pattern does not stop tagging.");
    }
    return warnings_.Set(PatternWarningsText(pattern_));
}

void PatternBox::EnableUse(bool storable) {
    if (!storable && GetFocus() == useButton_) SetFocus(edit_);
    EnableWindow(useButton_, storable);
}

int PatternBox::TokenOf(int id, int code) const {
    const bool token = id >= kFirstTokenButtonId &&
                       id < kFirstTokenButtonId + int(std::size(tokenButtons_));
    return token && code == BN_CLICKED ? id - kFirstTokenButtonId : -1;
}

void InsertToken(HWND edit, int index) {
    const char* spelling = SpellingOfToken(TagToken(int(TagToken::Artist) + index));
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(spelling));
    SetFocus(edit);
}
