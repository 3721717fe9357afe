#include "ui/text_font.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A white 200 x 100 bitmap selected into a memory device context.
class Canvas {
public:
    Canvas() : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = 200;
        info.bmiHeader.biHeight = -100;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        const RECT all = {0, 0, 200, 100};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    int CountNot(COLORREF colour, const RECT& area) const {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) count += GetPixel(dc_, x, y) != colour;
        return count;
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

TextFont MakeFont(const char* face, bool bold, bool transparent) {
    return TextFont(face, 16, 0, bold, false, false, transparent, kBlack, 0);
}

TEST(TextFont, BuildsItsLogicalFont) {
    TextFont plain("", -12, 5, false, true, true, true, kRed, 900);
    EXPECT_STREQ(plain.LogFont().lfFaceName, "Arial");
    EXPECT_EQ(plain.LogFont().lfWeight, 400);
    EXPECT_EQ(plain.LogFont().lfHeight, -12);
    EXPECT_EQ(plain.LogFont().lfWidth, 5);
    EXPECT_EQ(plain.LogFont().lfEscapement, 900);
    EXPECT_EQ(plain.LogFont().lfOrientation, 0);
    EXPECT_TRUE(plain.LogFont().lfItalic);
    EXPECT_TRUE(plain.LogFont().lfUnderline);
    EXPECT_NE(plain.Font(), nullptr);

    TextFont bold("Tahoma", 16, 0, true, false, false, false, kRed, 0);
    EXPECT_STREQ(bold.LogFont().lfFaceName, "Tahoma");
    EXPECT_EQ(bold.LogFont().lfWeight, 700);

    // Cut, a face name would ask for another font.
    const std::string longFace(100, 'F');
    TextFont tooLong(longFace.c_str(), 16, 0, false, false, false, false, kRed, 0);
    EXPECT_STREQ(tooLong.LogFont().lfFaceName, "Arial");
}

TEST(TextFont, SettersRemakeTheFontAndDeleteLeavesNone) {
    TextFont font = MakeFont("Arial", false, false);
    EXPECT_NE(font.SetBold(true), nullptr);
    EXPECT_EQ(font.LogFont().lfWeight, 700);
    EXPECT_NE(font.SetItalic(true), nullptr);
    EXPECT_TRUE(font.LogFont().lfItalic);
    EXPECT_NE(font.SetUnderline(true), nullptr);
    EXPECT_TRUE(font.LogFont().lfUnderline);
    EXPECT_NE(font.SetBold(false), nullptr);
    EXPECT_EQ(font.LogFont().lfWeight, 400);
    EXPECT_NE(font.DeleteFont(), 0);
    EXPECT_EQ(font.DeleteFont(), 0);
    Canvas canvas;
    EXPECT_EQ(font.TextWidth(canvas.Dc(), "text"), 0);
    EXPECT_EQ(font.TextHeight(canvas.Dc(), "text"), 0);
    font.Draw(canvas.Dc(), 0, 0, "text", nullptr);
    EXPECT_EQ(canvas.CountNot(kWhite, {0, 0, 200, 100}), 0);
}

TEST(TextFont, MeasuresMultiLineTextsByLines) {
    Canvas canvas;
    TextFont font = MakeFont("Arial", false, true);
    const std::int32_t lineHeight = font.TextHeight(canvas.Dc(), "Ay");
    const std::int32_t wideWidth = font.TextWidth(canvas.Dc(), "a much wider line");
    ASSERT_GT(lineHeight, 0);
    ASSERT_GT(wideWidth, font.TextWidth(canvas.Dc(), "short"));
    const char text[] = "short\r\na much wider line\r\nmid";
    font.SetMultiLine();
    EXPECT_EQ(font.TextHeight(canvas.Dc(), text), 3 * lineHeight);
    EXPECT_EQ(font.TextWidth(canvas.Dc(), text), wideWidth);
    EXPECT_EQ(font.TextHeight(canvas.Dc(), ""), 0);
}

TEST(TextFont, DrawsIntoABitmapAndRestoresTheSelection) {
    Canvas canvas;
    const HGDIOBJ before = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    TextFont font = MakeFont("Arial", true, true);
    font.Draw(canvas.Dc(), 5, 5, "Drawn", nullptr);
    EXPECT_GT(canvas.CountNot(kWhite, {0, 0, 200, 40}), 0);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), before);

    font.SetMultiLine();
    font.Draw(canvas.Dc(), 5, 50, "one\r\ntwo", nullptr);
    const std::int32_t lineHeight = font.TextHeight(canvas.Dc(), "Ay");
    EXPECT_GT(canvas.CountNot(kWhite, {0, 50, 200, 50 + lineHeight}), 0);
    EXPECT_GT(canvas.CountNot(kWhite, {0, 50 + lineHeight, 200, 50 + 2 * lineHeight}), 0)
        << "the second line goes one line height lower";

    EXPECT_EQ(font.SelectInto(canvas.Dc()), before);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), font.Font());
    EXPECT_EQ(font.RestoreFrom(canvas.Dc()), font.Font());
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), before);
}

TEST(TextFont, OpaqueTextFillsItsClipRectangleOnly) {
    Canvas opaqueCanvas;
    SetBkColor(opaqueCanvas.Dc(), kRed);
    TextFont opaque = MakeFont("Arial", false, false);
    const RECT clip = {0, 0, 40, 30};
    opaque.Draw(opaqueCanvas.Dc(), 2, 2, "Clipped away text", &clip);
    EXPECT_EQ(GetPixel(opaqueCanvas.Dc(), 39, 29), kRed) << "ETO_OPAQUE fills the rectangle";
    EXPECT_EQ(opaqueCanvas.CountNot(kWhite, {40, 0, 200, 100}), 0) << "ETO_CLIPPED";

    Canvas clearCanvas;
    SetBkColor(clearCanvas.Dc(), kRed);
    TextFont transparent = MakeFont("Arial", false, true);
    transparent.Draw(clearCanvas.Dc(), 2, 2, "Clipped away text", &clip);
    EXPECT_EQ(GetPixel(clearCanvas.Dc(), 39, 29), kWhite);
    EXPECT_GT(clearCanvas.CountNot(kWhite, clip), 0);
    EXPECT_EQ(clearCanvas.CountNot(kWhite, {40, 0, 200, 100}), 0);
}

}  // namespace
