// Pattern on the first line, path after it: the matcher, the value cleaning
// and the pattern check must stay within their texts and give the same
// answer twice.
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "tagging/pattern_check.h"
#include "tagging/misfit_description.h"
#include "tagging/pattern_fit.h"
#include "tagging/tag_pattern_matcher.h"
#include "tagging/tag_values.h"

namespace {

bool Bounded(const PathText& text) {
    return BoundedLength(text.CStr(), PathText::kCapacity) < PathText::kCapacity;
}

bool SameFields(const TagFields& a, const TagFields& b) {
    return a.artist == b.artist.CStr() && a.album == b.album.CStr() &&
           a.title == b.title.CStr() && a.genre == b.genre.CStr() && a.year == b.year &&
           a.trackNumber == b.trackNumber && a.disc == b.disc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TwoTexts input = SplitAtNewline(data, size);
    TagFields fields = Match(input.first.c_str(), input.second.c_str());
    FUZZ_CHECK(SameFields(fields, Match(input.first.c_str(), input.second.c_str())));
    // The fit check reads the same values, and a misfit always says why.
    TagFields fitted;
    Misfit why;
    const bool fits = PathFits(input.first.c_str(), FieldsNamedBy(input.first.c_str()),
                               input.second.c_str(), fitted, why);
    FUZZ_CHECK(SameFields(fields, fitted));
    FUZZ_CHECK(fits == (why.kind == MisfitKind::None));
    FUZZ_CHECK(fits || !DescribeMisfit(why).empty());
    FUZZ_CHECK(BoundedLength(why.literal, sizeof why.literal) < sizeof why.literal);
    for (const PathText* text : {&fields.artist, &fields.album, &fields.title, &fields.genre}) {
        FUZZ_CHECK(Bounded(*text));
        // Values are made of the path's characters (the numeric pre-pass may
        // have taken digits out between them).
        FUZZ_CHECK(text->Length() <= input.second.size());
    }
    NormaliseTagFields(fields);
    const TagWritePlan plan = PlanTagWrites(fields);
    FUZZ_CHECK(plan.count <= 6);
    for (std::size_t i = 0; i < plan.count; ++i) {
        const PathText& value = plan.writes[i].value;
        FUZZ_CHECK(Bounded(value) && !value.Empty());
        FUZZ_CHECK(value.CStr()[0] != ' ' && value.Last() != ' ');
    }
    const std::vector<PatternWarning> warnings = CheckPattern(input.first.c_str());
    FUZZ_CHECK(warnings.size() == CheckPattern(input.first.c_str()).size());
    for (const PatternWarning& w : warnings) {
        FUZZ_CHECK(*PatternWarningName(w.code) != '\0' && !w.message.empty());
    }
    return 0;
}
