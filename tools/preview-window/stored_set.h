// The set the plugin tags with, as stored, against the set edited in the
// window: whether the edited one can and should be stored, storing it, and
// the one question asked before closing over an unstored edit.
#pragma once

#include <windows.h>

#include <string>

#include "tools/preview-window/window_settings.h"

class StoredSet {
public:
    void Read() { stored_ = ReadStoredPatternSet(); }
    const PatternSet& Get() const { return stored_; }
    // A pattern the setting would cut is refused rather than stored cut, and
    // an empty one would read back as the default pattern: neither is
    // stored. Nor is a set equal to the stored one.
    bool Storable(const PatternSet& edited) const;
    // Stores the set and reads back what was stored, as the plugin will
    // read it; says so over owner where a value could not be written.
    void Store(HWND owner, const PatternSet& edited);

    enum class Closing { Store, Drop, Stay };
    // Asked once, about an unstored set and a fallback typed and never
    // added; Drop without asking when there is neither.
    Closing AskBeforeClosing(HWND owner, const PatternSet& edited,
                             const std::string& typedFallback) const;

private:
    PatternSet stored_;
};
