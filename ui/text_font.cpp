#include "ui/text_font.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "util/fixed_text.h"
#include "util/text_lines.h"

namespace {

constexpr LONG kBold = FW_BOLD;
constexpr LONG kNormal = FW_NORMAL;
constexpr char kLineHeightSample[] = "Ay";

int LengthOf(const char* text) { return static_cast<int>(std::strlen(text)); }

// Selects font into dc for the lifetime of the object.
class Selection {
public:
    Selection(HDC dc, HFONT font) : dc_(dc), previous_(SelectObject(dc, font)) {}
    ~Selection() { SelectObject(dc_, previous_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Calls visit(line) for every line of text, in order.
template <typename Visit>
void ForEachLine(const char* text, Visit visit) {
    for (std::int32_t index = 0;; ++index) {
        const std::unique_ptr<char[]> line(GetLine(index, text));
        if (!line) return;
        visit(line.get());
    }
}

}  // namespace

TextFont::TextFont(const char* faceName, std::int32_t height, std::int32_t width,
                   bool bold, bool italic, bool underline, bool transparent,
                   COLORREF colour, std::int32_t escapement)
    : transparent_(transparent), logFont_{}, colour_(colour) {
    logFont_.lfHeight = height;
    logFont_.lfWidth = width;
    logFont_.lfEscapement = escapement;
    logFont_.lfWeight = bold ? kBold : kNormal;
    logFont_.lfItalic = italic;
    logFont_.lfUnderline = underline;
    // A cut face name would ask for another font: the default face instead.
    constexpr char kDefaultFace[] = "Arial";
    const char* face = faceName && faceName[0] ? faceName : kDefaultFace;
    if (!BoundedCopy(logFont_.lfFaceName, LF_FACESIZE, face, std::strlen(face))) {
        std::memcpy(logFont_.lfFaceName, kDefaultFace, sizeof kDefaultFace);
    }
    font_ = CreateFontIndirectA(&logFont_);
}

BOOL TextFont::DeleteFont() {
    if (font_ == nullptr) return 0;
    const BOOL deleted = DeleteObject(font_);
    font_ = nullptr;
    return deleted;
}

HFONT TextFont::Remake() {
    font_ = CreateFontIndirectA(&logFont_);
    return font_;
}

HFONT TextFont::SetBold(bool bold) {
    DeleteFont();
    logFont_.lfWeight = bold ? kBold : kNormal;
    return Remake();
}

HFONT TextFont::SetItalic(bool italic) {
    DeleteFont();
    logFont_.lfItalic = italic;
    return Remake();
}

HFONT TextFont::SetUnderline(bool underline) {
    DeleteFont();
    logFont_.lfUnderline = underline;
    return Remake();
}

void TextFont::Draw(HDC dc, std::int32_t x, std::int32_t y, const char* text,
                    const RECT* clipRect) const {
    if (font_ == nullptr) return;
    const std::int32_t lineHeight = TextHeight(dc, kLineHeightSample);
    SetTextColor(dc, colour_);
    const Selection selection(dc, font_);
    SetBkMode(dc, transparent_ ? TRANSPARENT : OPAQUE);
    UINT options = transparent_ ? 0 : ETO_OPAQUE;
    if (clipRect) options |= ETO_CLIPPED;
    if (multiLine_) {
        ForEachLine(text, [&](const char* line) {
            TabbedTextOutA(dc, x, y, line, LengthOf(line), 0, nullptr, 0);
            y += lineHeight;
        });
        return;
    }
    ExtTextOutA(dc, x, y, options, clipRect, text, LengthOf(text), nullptr);
}

SIZE TextFont::Extent(HDC dc, const char* text) const {
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, LengthOf(text), &size);
    return size;
}

std::int32_t TextFont::TextWidth(HDC dc, const char* text) const {
    if (font_ == nullptr) return 0;
    const Selection selection(dc, font_);
    if (!multiLine_) return Extent(dc, text).cx;
    std::int32_t widest = 0;
    ForEachLine(text, [&](const char* line) {
        const DWORD extent = GetTabbedTextExtentA(dc, line, LengthOf(line), 0, nullptr);
        widest = std::max<std::int32_t>(widest, LOWORD(extent));
    });
    return widest;
}

std::int32_t TextFont::TextHeight(HDC dc, const char* text) const {
    if (font_ == nullptr) return 0;
    const Selection selection(dc, font_);
    if (!multiLine_) return Extent(dc, text).cy;
    std::int32_t lines = 0;
    ForEachLine(text, [&](const char*) { ++lines; });
    return lines * Extent(dc, kLineHeightSample).cy;
}

HGDIOBJ TextFont::SelectInto(HDC dc) {
    previousObject_ = SelectObject(dc, font_);
    return previousObject_;
}

HGDIOBJ TextFont::RestoreFrom(HDC dc) const { return SelectObject(dc, previousObject_); }
