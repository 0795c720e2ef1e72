#include "ui/widgets/XTMemDC.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/widgets/DibCanvas.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

struct Probe {
    int x;
    int y;
    COLORREF expected;
};

struct PaintCase {
    const char* name;
    RECT area;   // handed to CXTMemDC; empty = the clip box
    RECT clip;   // clip rectangle of the target; empty = none
    RECT drawn;  // filled red through CXTMemDC, in target coordinates; empty = nothing
    RECT expectedArea;
    std::vector<Probe> probes;  // the target (black before) after CXTMemDC is gone
};

const PaintCase kPaintCases[] = {
    {"whole target",
     {0, 0, kWidth, kHeight},
     {},
     {10, 10, 20, 20},
     {0, 0, kWidth, kHeight},
     {{15, 15, kRed},
      {10, 10, kRed},
      {19, 19, kRed},
      {20, 20, kWhite},
      {5, 5, kWhite},
      {kWidth - 1, kHeight - 1, kWhite}}},
    {"nothing drawn",
     {0, 0, kWidth, kHeight},
     {},
     {},
     {0, 0, kWidth, kHeight},
     {{0, 0, kWhite}, {30, 20, kWhite}, {kWidth - 1, kHeight - 1, kWhite}}},
    {"area away from the origin",
     {20, 10, 50, 40},
     {},
     {30, 20, 35, 25},
     {20, 10, 50, 40},
     {{30, 20, kRed},
      {34, 24, kRed},
      {35, 25, kWhite},
      {20, 10, kWhite},
      {49, 39, kWhite},
      {19, 10, kBlack},
      {20, 9, kBlack},
      {50, 39, kBlack},
      {49, 40, kBlack}}},
    {"drawing beyond the area is cut off",
     {20, 10, 50, 40},
     {},
     {0, 0, 25, 15},
     {20, 10, 50, 40},
     {{20, 10, kRed}, {24, 14, kRed}, {10, 5, kBlack}, {19, 12, kBlack}, {25, 15, kWhite}}},
    {"empty area takes the clip box",
     {},
     {8, 8, 24, 24},
     {12, 12, 16, 16},
     {8, 8, 24, 24},
     {{8, 8, kWhite},
      {23, 23, kWhite},
      {12, 12, kRed},
      {7, 7, kBlack},
      {24, 24, kBlack},
      {40, 40, kBlack}}},
};

void FillRed(HDC dc, const RECT& r) {
    fw::Brush red(CreateSolidBrush(kRed));
    FillRect(dc, &r, red.Get());
}

TEST(CXTMemDC, CopiesTheBufferToTheTargetOnDestruction) {
    for (const PaintCase& c : kPaintCases) {
        SCOPED_TRACE(c.name);
        DibCanvas target(kWidth, kHeight, kBlack);
        ASSERT_TRUE(target.Valid());
        if (!IsRectEmpty(&c.clip)) {
            fw::Region clip(CreateRectRgnIndirect(&c.clip));
            SelectClipRgn(target.Dc(), clip.Get());  // the DC keeps a copy
        }
        {
            CXTMemDC dc(target.Dc(), c.area);
            ASSERT_TRUE(dc.IsBuffered());
            EXPECT_TRUE(EqualRect(&dc.Area(), &c.expectedArea));
            if (!IsRectEmpty(&c.drawn)) {
                FillRed(dc.Get(), c.drawn);
            }
            // Nothing reaches the target before the one copy at the end.
            EXPECT_EQ(target.Pixel(c.expectedArea.left, c.expectedArea.top), kBlack);
        }
        SelectClipRgn(target.Dc(), nullptr);
        for (const Probe& p : c.probes) {
            EXPECT_EQ(target.Pixel(p.x, p.y), p.expected) << "at " << p.x << "," << p.y;
        }
    }
}

TEST(CXTMemDC, TextBackgroundIsTransparent) {
    DibCanvas target(kWidth, kHeight, kBlack);
    CXTMemDC dc(target.Dc(), RECT{0, 0, kWidth, kHeight});
    EXPECT_EQ(GetBkMode(dc.Get()), TRANSPARENT);
}

TEST(CXTMemDC, NothingToPaintLeavesTheTargetAlone) {
    DibCanvas target(kWidth, kHeight, kBlack);
    fw::Region nothing(CreateRectRgn(0, 0, 0, 0));
    SelectClipRgn(target.Dc(), nothing.Get());
    {
        CXTMemDC dc(target.Dc());
        EXPECT_FALSE(dc.IsBuffered());
        EXPECT_TRUE(IsRectEmpty(&dc.Area()));
    }
    SelectClipRgn(target.Dc(), nullptr);
    EXPECT_EQ(target.Pixel(0, 0), kBlack);
    EXPECT_EQ(target.Pixel(kWidth / 2, kHeight / 2), kBlack);

    CXTMemDC noTarget(nullptr);
    EXPECT_FALSE(noTarget.IsBuffered());
    EXPECT_EQ(noTarget.Get(), nullptr);
}

}  // namespace
