// The skin painter's copies onto real memory device contexts.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/ui/widgets/DibCanvas.h"
#include "ui/widgets/SkinPainter.h"

namespace {

// A 32-bit top-down DIB section whose pixels the test can read directly.
struct Surface {
    Surface(int w, int h, COLORREF fill) : width(w) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<DWORD*>(bits);
        for (int i = 0; i < w * h; ++i) {
            pixels[i] = ToPixel(fill);
        }
    }
    ~Surface() { DeleteObject(bitmap); }

    static DWORD ToPixel(COLORREF color) {
        return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const DWORD pixel = pixels[y * width + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }
    void Set(int x, int y, COLORREF color) { pixels[y * width + x] = ToPixel(color); }

    int width;
    HBITMAP bitmap = nullptr;
    DWORD* pixels = nullptr;
};

class SkinPainterTest : public testing::Test {
  protected:
    SkinPainterTest() : target_(8, 8, kWhite), source_(4, 4, RGB(10, 20, 30)) {
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, target_.bitmap);
        source_.Set(0, 0, RGB(200, 0, 0));
        source_.Set(3, 3, RGB(0, 0, 200));
    }
    ~SkinPainterTest() override {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }

    Surface target_;
    Surface source_;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

TEST_F(SkinPainterTest, CopiesTheRectangleFromTheBitmapOrigin) {
    SkinPainter(dc_).Draw(source_.bitmap, 2, 3, 4, 4);
    EXPECT_EQ(RGB(200, 0, 0), target_.At(2, 3));
    EXPECT_EQ(RGB(0, 0, 200), target_.At(5, 6));
    EXPECT_EQ(RGB(10, 20, 30), target_.At(3, 4));
    EXPECT_EQ(kWhite, target_.At(1, 3));
    EXPECT_EQ(kWhite, target_.At(6, 6));
    EXPECT_EQ(kWhite, target_.At(2, 7));
}

TEST_F(SkinPainterTest, CopiesOnlyTheGivenSize) {
    SkinPainter(dc_).Draw(source_.bitmap, 0, 0, 2, 1);
    EXPECT_EQ(RGB(200, 0, 0), target_.At(0, 0));
    EXPECT_EQ(RGB(10, 20, 30), target_.At(1, 0));
    EXPECT_EQ(kWhite, target_.At(2, 0));
    EXPECT_EQ(kWhite, target_.At(0, 1));
}

TEST_F(SkinPainterTest, OnePainterDrawsSeveralBitmapsAndReleasesThemAfterwards) {
    {
        Surface other(2, 2, RGB(0, 99, 0));
        SkinPainter skin(dc_);
        skin.Draw(source_.bitmap, 0, 0, 4, 4);
        skin.Draw(other.bitmap, 6, 6, 2, 2);
        skin.Draw(source_.bitmap, 4, 0, 1, 1);
        EXPECT_EQ(RGB(0, 99, 0), target_.At(7, 7));
        EXPECT_EQ(RGB(200, 0, 0), target_.At(4, 0)) << "back to the first bitmap";
    }
    // A bitmap can be selected into one context at a time: this fails if the painter
    // left it selected into its own.
    HDC other = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(other, source_.bitmap);
    EXPECT_NE(nullptr, old);
    SelectObject(other, old);
    DeleteDC(other);
}

TEST_F(SkinPainterTest, DoesNothingWithoutABitmapOrContext) {
    SkinPainter(dc_).Draw(static_cast<HBITMAP>(nullptr), 0, 0, 8, 8);
    SkinPainter(nullptr).Draw(source_.bitmap, 0, 0, 8, 8);
    EXPECT_EQ(kWhite, target_.At(0, 0));
}

}  // namespace
