// One logical font with its colour and background mode, for windows that
// paint their own text: draws, measures and, once made multi-line, splits
// texts into lines at carriage returns.
#pragma once

#include <windows.h>

#include <cstdint>

class TextFont {
public:
    // An empty faceName means "Arial".
    TextFont(const char* faceName, std::int32_t height, std::int32_t width, bool bold,
             bool italic, bool underline, bool transparent, COLORREF colour,
             std::int32_t escapement);
    ~TextFont() { DeleteFont(); }
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    // Deletes the font; the result of DeleteObject, 0 when there was none.
    BOOL DeleteFont();
    // Each remakes the font with the one property changed.
    HFONT SetBold(bool bold);
    HFONT SetItalic(bool italic);
    HFONT SetUnderline(bool underline);
    void SetColour(COLORREF colour) { colour_ = colour; }
    // From now on texts are split into lines; there is no way back.
    void SetMultiLine() { multiLine_ = true; }

    // Single-line texts are clipped to clipRect (may be null); multi-line
    // texts are drawn line under line, unclipped.
    void Draw(HDC dc, std::int32_t x, std::int32_t y, const char* text,
              const RECT* clipRect) const;
    // Widest line, and line count times the height of "Ay", when
    // multi-line; 0 without a font.
    std::int32_t TextWidth(HDC dc, const char* text) const;
    std::int32_t TextHeight(HDC dc, const char* text) const;

    HGDIOBJ SelectInto(HDC dc);
    HGDIOBJ RestoreFrom(HDC dc) const;

    const LOGFONTA& LogFont() const { return logFont_; }
    HFONT Font() const { return font_; }

private:
    HFONT Remake();
    SIZE Extent(HDC dc, const char* text) const;

    HGDIOBJ previousObject_ = nullptr;
    bool transparent_;
    LOGFONTA logFont_;
    COLORREF colour_;
    bool multiLine_ = false;
    HFONT font_ = nullptr;
};
