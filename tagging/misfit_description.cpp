#include "tagging/misfit_description.h"

#include <cstring>

namespace {

std::string Quoted(const char* literal) {
    if (std::strspn(literal, " ") == std::strlen(literal)) return "blank";
    return std::string("`") + literal + "`";
}

std::string Before(TagToken token) {
    return token == TagToken::None ? "" : std::string(" before the ") + NameOfToken(token);
}

}  // namespace

std::string DescribeMisfit(const Misfit& why) {
    const std::string name = NameOfToken(why.token);
    switch (why.kind) {
        case MisfitKind::None: return "";
        case MisfitKind::LiteralMissing:
            return why.token == TagToken::None
                       ? "no " + Quoted(why.literal) + " where the pattern has it"
                       : "no " + Quoted(why.literal) + Before(why.token);
        case MisfitKind::NotDigits: return "the " + name + " is not only digits";
        case MisfitKind::TwoValues: return "two different values for the " + name;
        case MisfitKind::ExtraText:
            return "more text" + Before(why.token) + " than the pattern has";
        case MisfitKind::PathTooShort: return "fewer folders or less text than the pattern";
        case MisfitKind::NoValue: return "no value for the " + name;
        case MisfitKind::PathTooLong: return "the path is longer than 259 characters";
    }
    return "";
}

