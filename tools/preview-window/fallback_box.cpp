#include "tools/preview-window/fallback_box.h"

#include <algorithm>
#include <iterator>

#include "plugin/tag_pattern_setting.h"
#include "tagging/tag_pattern_matcher.h"
#include "tools/preview-window/pattern_box.h"
#include "tools/preview-window/preview_window.h"

namespace {

constexpr int kListButtons = 4;
constexpr int kListHeight = kListButtons * kTokenRowHeight + (kListButtons - 1) * kGap;

}  // namespace

void FallbackBox::Create(const ControlMaker& maker) {
    label_ = maker.Add("STATIC", "Fallbac&ks:", SS_LEFT, -1);
    list_ = maker.Add("LISTBOX", "",
                      WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                      kFallbackListId);
    upButton_ = maker.Add("BUTTON", "Mo&ve up", WS_TABSTOP | BS_PUSHBUTTON, kFallbackUpButtonId);
    downButton_ = maker.Add("BUTTON", "Move do&wn", WS_TABSTOP | BS_PUSHBUTTON,
                            kFallbackDownButtonId);
    removeButton_ = maker.Add("BUTTON", "&Remove", WS_TABSTOP | BS_PUSHBUTTON,
                              kRemoveFallbackButtonId);
    mainButton_ = maker.Add("BUTTON", "Make &main", WS_TABSTOP | BS_PUSHBUTTON, kMakeMainButtonId);
    edit_ = maker.Add("EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kFallbackEditId);
    addButton_ = maker.Add("BUTTON", "&Add fallback", WS_TABSTOP | BS_PUSHBUTTON,
                           kAddFallbackButtonId);
    changeButton_ = maker.Add("BUTTON", "&Change", WS_TABSTOP | BS_PUSHBUTTON,
                              kChangeFallbackButtonId);
    warnings_.Create(maker, kFallbackWarningsId);
    onlyWhenFitsBox_ = maker.Add("BUTTON", "Only &tag files that a pattern of the set fits",
                                 WS_TABSTOP | BS_AUTOCHECKBOX, kOnlyWhenFitsBoxId);
}

int FallbackBox::Place(Placer& placer, int y, int boxX, int width) {
    const int top = y;
    const int boxWidth = width - boxX - 2 * kMargin - kButtonWidth;
    const int buttonX = width - kMargin - kButtonWidth;
    placer.Move(label_, kMargin, y + 3, kLabelWidth, kTokenRowHeight - 3);
    placer.Move(list_, boxX, y, boxWidth, kListHeight);
    int buttonY = y;
    for (HWND button : {upButton_, downButton_, removeButton_, mainButton_}) {
        placer.Move(button, buttonX, buttonY, kButtonWidth, kTokenRowHeight);
        buttonY += kTokenRowHeight + kGap;
    }
    y += kListHeight + kGap;
    const int editWidth = boxWidth - kMargin - kButtonWidth;
    placer.Move(edit_, boxX, y, editWidth, kRowHeight);
    placer.Move(changeButton_, boxX + editWidth + kMargin, y, kButtonWidth, kRowHeight);
    placer.Move(addButton_, buttonX, y, kButtonWidth, kRowHeight);
    y += kRowHeight + kGap;
    y += warnings_.Place(placer, y, boxX, width - boxX - kMargin);
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

std::string FallbackBox::Typed() const {
    const std::string text = WindowText(edit_);
    const bool listed = std::find(fallbacks_.begin(), fallbacks_.end(), text) != fallbacks_.end();
    return listed ? "" : text;
}

bool FallbackBox::OnCommand(int id, int code) {
    if (id == kFallbackListId && code == LBN_SELCHANGE) OnChoose();
    if (id == kFallbackEditId && code == EN_CHANGE) {
        UpdateButtons();
        ShowWarnings();
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
        case kAddFallbackButtonId: return Add();
        case kChangeFallbackButtonId: return Change();
        case kFallbackUpButtonId: return Move(-1);
        case kFallbackDownButtonId: return Move(+1);
        case kRemoveFallbackButtonId: return Remove();
        case kOnlyWhenFitsBoxId:
            onlyWhenFits_ = SendMessageA(onlyWhenFitsBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
            return true;
        default: return false;
    }
}

bool FallbackBox::WarningsChanged() {
    const bool changed = warningsChanged_;
    warningsChanged_ = false;
    return changed;
}

int FallbackBox::Chosen() const { return int(SendMessageA(list_, LB_GETCURSEL, 0, 0)); }

void FallbackBox::ShowList(int chosen) {
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    for (const std::string& fallback : fallbacks_) {
        SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fallback.c_str()));
    }
    SendMessageA(list_, LB_SETCURSEL, WPARAM(chosen), 0);
    UpdateButtons();
    ShowWarnings();
}

// The chosen fallback goes into the box, to be changed in its place.
void FallbackBox::OnChoose() {
    const int chosen = Chosen();
    if (chosen >= 0 && chosen < int(fallbacks_.size())) {
        SetWindowTextA(edit_, fallbacks_[std::size_t(chosen)].c_str());
    }
    UpdateButtons();
}

// A fallback is refused where the plugin would read it as the end of the
// list: empty, or too long to read whole; and beyond the eight it reads.
void FallbackBox::UpdateButtons() {
    const int chosen = Chosen();
    const int count = int(fallbacks_.size());
    const std::string text = WindowText(edit_);
    const bool usable = !text.empty() && text.size() <= kMaxMatchInput;
    const bool differs = chosen >= 0 && chosen < count && text != fallbacks_[std::size_t(chosen)];
    const bool states[] = {chosen > 0,   chosen >= 0 && chosen + 1 < count, chosen >= 0,
                           chosen >= 0,  usable && count < kMaxFallbackPatterns,
                           usable && differs};
    const HWND buttons[] = {upButton_,   downButton_, removeButton_,
                            mainButton_, addButton_,  changeButton_};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        if (!states[i] && GetFocus() == buttons[i]) SetFocus(list_);
        EnableWindow(buttons[i], states[i]);
    }
}

// The same warnings as the pattern's, for the fallback in the box; and why
// a ninth cannot be added.
void FallbackBox::ShowWarnings() {
    const std::string typed = Typed();
    std::string text = PatternWarningsText(WindowText(edit_));
    if (!typed.empty() && fallbacks_.size() >= std::size_t(kMaxFallbackPatterns)) {
        text += std::string(text.empty() ? "" : "\r\n") +
                "Eight fallbacks are all the plugin reads: remove one before adding another.";
    }
    if (warnings_.Set(text)) warningsChanged_ = true;
}

bool FallbackBox::Add() {
    const std::string fallback = WindowText(edit_);
    if (fallback.empty() || fallback.size() > kMaxMatchInput ||
        fallbacks_.size() >= std::size_t(kMaxFallbackPatterns)) {
        return false;
    }
    fallbacks_.push_back(fallback);
    SetWindowTextA(edit_, "");
    ShowList(int(fallbacks_.size()) - 1);
    return true;
}

bool FallbackBox::Change() {
    const int chosen = Chosen();
    const std::string fallback = WindowText(edit_);
    if (chosen < 0 || chosen >= int(fallbacks_.size()) || fallback.empty() ||
        fallback.size() > kMaxMatchInput) {
        return false;
    }
    fallbacks_[std::size_t(chosen)] = fallback;
    ShowList(chosen);
    return true;
}

bool FallbackBox::Move(int by) {
    const int from = Chosen();
    const int to = from + by;
    if (from < 0 || to < 0 || to >= int(fallbacks_.size())) return false;
    std::swap(fallbacks_[std::size_t(from)], fallbacks_[std::size_t(to)]);
    ShowList(to);
    return true;
}

// The later ones move up: the stored list has no gaps.
bool FallbackBox::Remove() {
    const int chosen = Chosen();
    if (chosen < 0 || chosen >= int(fallbacks_.size())) return false;
    fallbacks_.erase(fallbacks_.begin() + chosen);
    SetWindowTextA(edit_, "");
    ShowList(std::min(chosen, int(fallbacks_.size()) - 1));
    return true;
}

// An empty pattern is not put among the fallbacks, where it would end the
// list the plugin reads.
bool FallbackBox::SwapChosen(std::string& pattern) {
    const int chosen = Chosen();
    if (chosen < 0 || chosen >= int(fallbacks_.size())) return false;
    std::string fallback = fallbacks_[std::size_t(chosen)];
    if (pattern.empty()) {
        fallbacks_.erase(fallbacks_.begin() + chosen);
    } else {
        fallbacks_[std::size_t(chosen)] = pattern;
    }
    pattern = std::move(fallback);
    SetWindowTextA(edit_, "");
    ShowList(std::min(chosen, int(fallbacks_.size()) - 1));
    return true;
}
