// A getter that fills a PathText, called for its text.
#pragma once

#include <string>

#include "util/fixed_text.h"

template <typename Getter>
std::string Text(Getter getter, bool fromRegistry) {
    PathText out;
    getter(out, fromRegistry);
    return out.CStr();
}
