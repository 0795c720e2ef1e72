#include "ui/widgets/SharedBrushes.h"

#include <gtest/gtest.h>

namespace {

struct BrushCase {
    const char* name;
    HBRUSH (*brush)();
    COLORREF colour;
};

const BrushCase kSolidBrushes[] = {
    {"white", WhiteBrush, RGB(255, 255, 255)},
    {"cream", CreamBrush, RGB(250, 249, 228)},
    {"mint", MintBrush, RGB(237, 246, 241)},
};

TEST(SharedBrushes, SolidBrushesHaveTheirColours) {
    BuildSharedBrushes();
    for (const BrushCase& c : kSolidBrushes) {
        SCOPED_TRACE(c.name);
        LOGBRUSH description{};
        ASSERT_EQ(GetObjectW(c.brush(), sizeof description, &description),
                  static_cast<int>(sizeof description));
        EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_SOLID));
        EXPECT_EQ(description.lbColor, c.colour);
    }
}

TEST(SharedBrushes, HollowIsTheStockHollowBrush) {
    EXPECT_EQ(HollowBrush(), GetStockObject(HOLLOW_BRUSH));
    LOGBRUSH description{};
    ASSERT_NE(GetObjectW(HollowBrush(), sizeof description, &description), 0);
    EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_HOLLOW));
}

}  // namespace
