// Suggest: ranks layouts against the folder's files off the window's
// thread, then lets the user choose among them.
#pragma once

#include <functional>
#include <memory>
#include <shared_mutex>
#include <string>

#include "tools/preview-window/suggest_worker.h"
#include "tools/preview-window/suggestion_dialog.h"
#include "tools/preview-window/window_settings.h"
#include "tools/preview-window/window_controls.h"

class SuggestButton {
public:
    // The worker first: it only posts to the window, never waits for it.
    ~SuggestButton() { worker_.reset(); }

    void Create(const ControlMaker& maker);
    void Place(Placer& placer, int x, int y);
    bool Clicked(int id, int code) const;
    // Only once the folder is read whole, and one ranking at a time; focus
    // goes to fallBackTo when the button loses it.
    void Update(bool folderRead, std::size_t files, HWND fallBackTo);
    // The files of folder number serial.
    void Start(const PreviewRows& rows, std::shared_mutex& rowsLock, std::uint32_t serial);
    // Shows the suggestions, previewing each highlighted one; false when
    // none was chosen, or when they were of an earlier folder than serial.
    bool OnReady(std::uint32_t serial,
                 const std::function<void(const SuggestedPatterns&)>& preview,
                 SuggestedPatterns& chosen);

private:
    HWND parent_ = nullptr;
    HWND button_ = nullptr;
    std::unique_ptr<SuggestWorker> worker_;
    std::uint32_t serial_ = 0;
};

// The set as a suggestion changes it: a suggested set replaces the pattern
// and the fallbacks and leaves alone the files none of its patterns fits; a
// single layout replaces the pattern alone.
PatternSet SetWithSuggestion(const PatternSet& set, const SuggestedPatterns& suggested);
