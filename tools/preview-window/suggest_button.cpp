#include "tools/preview-window/suggest_button.h"

#include "tools/preview-window/preview_window.h"

namespace {

constexpr std::size_t kSuggestionsShown = 10;

}  // namespace

void SuggestButton::Create(const ControlMaker& maker) {
    parent_ = maker.parent;
    button_ = maker.Add("BUTTON", "Su&ggest...", WS_TABSTOP | BS_PUSHBUTTON, kSuggestButtonId);
}

void SuggestButton::Place(Placer& placer, int x, int y) {
    placer.Move(button_, x, y, kButtonWidth, kRowHeight);
}

bool SuggestButton::Clicked(int id, int code) const {
    return id == kSuggestButtonId && code == BN_CLICKED;
}

void SuggestButton::Update(bool folderRead, std::size_t files, HWND fallBackTo) {
    const bool ready = folderRead && !worker_ && files > 0;
    if (!ready && GetFocus() == button_) SetFocus(fallBackTo);
    EnableWindow(button_, ready);
}

void SuggestButton::Start(const PreviewRows& rows, std::shared_mutex& rowsLock,
                          std::uint32_t serial) {
    if (worker_ || rows.Size() == 0) return;
    serial_ = serial;
    HWND parent = parent_;
    worker_ = std::make_unique<SuggestWorker>(rows, rowsLock, rows.Size(), kSuggestionsShown,
                                              [parent] {
                                                  PostMessageA(parent, kSuggestionsReady, 0, 0);
                                              });
    SetWindowTextA(button_, "Suggesting...");
}

bool SuggestButton::OnReady(std::uint32_t serial,
                            const std::function<void(const SuggestedPatterns&)>& preview,
                            SuggestedPatterns& chosen) {
    Suggestions suggestions;
    if (!worker_ || !worker_->Take(suggestions)) return false;
    worker_.reset();
    SetWindowTextA(button_, "Su&ggest...");
    if (serial_ != serial) return false;
    return ChooseSuggestion(parent_, suggestions.set, suggestions.singles, preview, chosen);
}

PatternSet SetWithSuggestion(const PatternSet& set, const SuggestedPatterns& suggested) {
    PatternSet changed = set;
    if (suggested.patterns.empty()) return changed;
    changed.pattern = suggested.patterns.front();
    if (suggested.isSet) {
        changed.fallbacks.assign(suggested.patterns.begin() + 1, suggested.patterns.end());
        changed.onlyWhenFits = true;
    }
    return changed;
}
