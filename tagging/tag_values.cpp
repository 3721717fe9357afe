#include "tagging/tag_values.h"

#include <cstdio>
#include <cstring>

void TrimSpaces(PathText& text) {
    const char* chars = text.CStr();
    std::size_t end = text.Length();
    while (end > 0 && chars[end - 1] == ' ') --end;
    std::size_t start = 0;
    while (start < end && chars[start] == ' ') ++start;
    // A part of the text itself always fits.
    text.AssignOrCut(chars + start, end - start);
}

std::int32_t FixTwoDigitYear(std::int32_t year) {
    if (year == 0) return 0;
    if (year < 50) year += 2000;
    if (year < 100) year += 1900;
    return year;
}

void NormaliseTagFields(TagFields& fields) {
    TrimSpaces(fields.artist);
    TrimSpaces(fields.album);
    TrimSpaces(fields.title);
    TrimSpaces(fields.genre);
    fields.year = FixTwoDigitYear(fields.year);
}

namespace {

void AddText(TagWritePlan& plan, const char* fieldName, const PathText& text) {
    if (text.Empty()) return;
    TagWrite& write = plan.writes[plan.count++];
    write.fieldName = fieldName;
    write.value = text;
}

void AddNumber(TagWritePlan& plan, const char* fieldName, std::int32_t number) {
    if (number == 0) return;
    TagWrite& write = plan.writes[plan.count++];
    write.fieldName = fieldName;
    std::snprintf(write.value.Data(), PathText::kCapacity, "%d", int(number));
}

}  // namespace

TagWritePlan PlanTagWrites(const TagFields& fields) {
    TagWritePlan plan;
    AddText(plan, "Artist", fields.artist);
    AddText(plan, "Album", fields.album);
    AddText(plan, "Title", fields.title);
    AddText(plan, "Genre", fields.genre);
    AddNumber(plan, "Year", fields.year);
    AddNumber(plan, "Track", fields.trackNumber);
    return plan;
}
