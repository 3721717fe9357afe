#include "tools/preview-window/fallback_box.h"

#include <algorithm>
#include <iterator>

#include "plugin/tag_pattern_setting.h"
#include "tagging/tag_pattern_matcher.h"
#include "tools/preview-window/preview_window.h"
#include "tools/preview-window/window_settings.h"

namespace {

constexpr int kListHeight = 3 * kTokenRowHeight + 2 * kGap;  // beside its three buttons

}  // namespace

void FallbackBox::Create(const ControlMaker& maker) {
    parent_ = maker.parent;
    label_ = maker.Add("STATIC", "Fallbac&ks:", SS_LEFT, -1);
    list_ = maker.Add("LISTBOX", "",
                      WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                      kFallbackListId);
    upButton_ = maker.Add("BUTTON", "Move up", WS_TABSTOP | BS_PUSHBUTTON, kFallbackUpButtonId);
    downButton_ = maker.Add("BUTTON", "Move down", WS_TABSTOP | BS_PUSHBUTTON,
                            kFallbackDownButtonId);
    removeButton_ = maker.Add("BUTTON", "&Remove", WS_TABSTOP | BS_PUSHBUTTON,
                              kRemoveFallbackButtonId);
    edit_ = maker.Add("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kFallbackEditId);
    addButton_ = maker.Add("BUTTON", "&Add fallback", WS_TABSTOP | BS_PUSHBUTTON,
                           kAddFallbackButtonId);
    onlyWhenFitsBox_ = maker.Add("BUTTON", "Only &tag files the pattern fits",
                                 WS_TABSTOP | BS_AUTOCHECKBOX, kOnlyWhenFitsBoxId);
}

int FallbackBox::Place(Placer& placer, int y, int boxX, int width) {
    const int top = y;
    const int boxWidth = width - boxX - 2 * kMargin - kButtonWidth;
    const int buttonX = width - kMargin - kButtonWidth;
    placer.Move(label_, kMargin, y + 3, kLabelWidth, kTokenRowHeight - 3);
    placer.Move(list_, boxX, y, boxWidth, kListHeight);
    int buttonY = y;
    for (HWND button : {upButton_, downButton_, removeButton_}) {
        placer.Move(button, buttonX, buttonY, kButtonWidth, kTokenRowHeight);
        buttonY += kTokenRowHeight + kGap;
    }
    y += kListHeight + kGap;
    placer.Move(edit_, boxX, y, boxWidth, kRowHeight);
    placer.Move(addButton_, buttonX, y, kButtonWidth, kRowHeight);
    y += kRowHeight + kGap;
    placer.Move(onlyWhenFitsBox_, boxX, y, boxWidth, kCheckBoxHeight);
    y += kCheckBoxHeight + kMargin;
    return y - top;
}

void FallbackBox::Set(const std::vector<std::string>& fallbacks, bool onlyWhenFits) {
    fallbacks_ = fallbacks;
    onlyWhenFits_ = onlyWhenFits;
    SendMessageA(onlyWhenFitsBox_, BM_SETCHECK, onlyWhenFits ? BST_CHECKED : BST_UNCHECKED, 0);
    ShowList(-1);
}

bool FallbackBox::OnCommand(int id, int code) {
    if ((id == kFallbackListId && code == LBN_SELCHANGE) ||
        (id == kFallbackEditId && code == EN_CHANGE)) {
        UpdateButtons();
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
        case kAddFallbackButtonId: return Add();
        case kFallbackUpButtonId: return Move(-1);
        case kFallbackDownButtonId: return Move(+1);
        case kRemoveFallbackButtonId: return Remove();
        case kOnlyWhenFitsBoxId:
            onlyWhenFits_ = SendMessageA(onlyWhenFitsBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (!StoreOnlyWhenFits(onlyWhenFits_)) {
                MessageBoxA(parent_, "The setting could not be stored.", "PathTagger Preview",
                            MB_OK | MB_ICONERROR);
            }
            return true;
        default: return false;
    }
}

bool FallbackBox::OnEnter() { return Add(); }

int FallbackBox::Selected() const { return int(SendMessageA(list_, LB_GETCURSEL, 0, 0)); }

void FallbackBox::ShowList(int selected) {
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& fallback : fallbacks_) {
        SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fallback.c_str()));
    }
    SendMessageA(list_, LB_SETCURSEL, WPARAM(selected), 0);
    UpdateButtons();
}

// A fallback is refused where the plugin would read it as the end of the
// list: empty, or too long to read whole.
void FallbackBox::UpdateButtons() {
    const int selected = Selected();
    const int count = int(fallbacks_.size());
    const std::size_t length = std::size_t(GetWindowTextLengthA(edit_));
    const bool states[] = {selected > 0, selected >= 0 && selected + 1 < count, selected >= 0,
                           length > 0 && length <= kMaxMatchInput && count < kMaxFallbackPatterns};
    const HWND buttons[] = {upButton_, downButton_, removeButton_, addButton_};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        if (!states[i] && GetFocus() == buttons[i]) SetFocus(list_);
        EnableWindow(buttons[i], states[i]);
    }
}

void FallbackBox::Store(int selected) {
    if (!StoreFallbackPatterns(fallbacks_)) {
        MessageBoxA(parent_, "The fallback patterns could not be stored.", "PathTagger Preview",
                    MB_OK | MB_ICONERROR);
    }
    ShowList(selected);
}

bool FallbackBox::Add() {
    const std::string fallback = WindowText(edit_);
    if (fallback.empty() || fallback.size() > kMaxMatchInput ||
        fallbacks_.size() >= std::size_t(kMaxFallbackPatterns)) {
        return false;
    }
    fallbacks_.push_back(fallback);
    SetWindowTextA(edit_, "");
    Store(int(fallbacks_.size()) - 1);
    return true;
}

bool FallbackBox::Move(int by) {
    const int from = Selected();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= int(fallbacks_.size())) return false;
    std::swap(fallbacks_[std::size_t(from)], fallbacks_[std::size_t(to)]);
    Store(to);
    return true;
}

// The later ones move up: the stored list has no gaps.
bool FallbackBox::Remove() {
    const int selected = Selected();
    if (selected < 0 || selected >= int(fallbacks_.size())) return false;
    fallbacks_.erase(fallbacks_.begin() + selected);
    Store(std::min(selected, int(fallbacks_.size()) - 1));
    return true;
}
