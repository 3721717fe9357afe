// A getter that fills a PathText, called for its text; "<refused>" when it
// answers that the text could not be had whole.
#pragma once

#include <string>

#include "util/fixed_text.h"

template <typename Getter>
std::string Text(Getter getter, bool fromRegistry) {
    PathText out;
    if (!getter(out, fromRegistry)) return out.Empty() ? "<refused>" : "<refused, not empty>";
    return out.CStr();
}
