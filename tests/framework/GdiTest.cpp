// GDI ownership: guards put the previous selection back, the memory DC gives its
// bitmap free again, and owners delete exactly once.
#include <windows.h>

#include <utility>

#include <gtest/gtest.h>

#include "framework/DeviceContexts.h"
#include "framework/Gdi.h"

namespace {

TEST(Gdi, SelectGuardSelectsThePreviousObjectBack) {
    fw::MemoryDC dc(nullptr);
    ASSERT_TRUE(dc);
    fw::Font font(
        CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    fw::Brush brush(CreateSolidBrush(RGB(250, 249, 228)));
    fw::Pen pen(CreatePen(PS_SOLID, 2, RGB(14, 75, 153)));
    fw::Bitmap bitmap(CreateCompatibleBitmap(dc.Get(), 8, 8));
    const struct {
        const char* name;
        UINT kind;
        HGDIOBJ object;
    } cases[] = {
        {"font", OBJ_FONT, font.Get()},
        {"brush", OBJ_BRUSH, brush.Get()},
        {"pen", OBJ_PEN, pen.Get()},
        {"bitmap", OBJ_BITMAP, bitmap.Get()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(nullptr, c.object);
        const HGDIOBJ before = GetCurrentObject(dc.Get(), c.kind);
        {
            fw::SelectGuard guard(dc.Get(), c.object);
            EXPECT_TRUE(guard.Selected());
            EXPECT_EQ(c.object, GetCurrentObject(dc.Get(), c.kind));
        }
        EXPECT_EQ(before, GetCurrentObject(dc.Get(), c.kind));
    }
}

TEST(Gdi, MemoryDCPutsItsOriginalBitmapBack) {
    fw::MemoryDC other(nullptr);
    fw::Bitmap bitmap(CreateCompatibleBitmap(other.Get(), 16, 16));
    ASSERT_TRUE(bitmap);
    {
        fw::MemoryDC first(nullptr);
        const HGDIOBJ original = GetCurrentObject(first.Get(), OBJ_BITMAP);
        ASSERT_TRUE(first.Select(bitmap.Get()));
        EXPECT_EQ(bitmap.Get(), GetCurrentObject(first.Get(), OBJ_BITMAP));
        // A bitmap is selected into one DC at a time.
        EXPECT_FALSE(other.Select(bitmap.Get()));
        ASSERT_TRUE(first.Select(nullptr));
        EXPECT_EQ(original, GetCurrentObject(first.Get(), OBJ_BITMAP));
        ASSERT_TRUE(first.Select(bitmap.Get()));
    }
    // After the DC (which put its original bitmap back, as Select(nullptr) does
    // above) the bitmap is free for another DC.
    EXPECT_TRUE(other.Select(bitmap.Get()));
}

TEST(Gdi, OwnerMovesAndDeletesOnce) {
    fw::Brush first(CreateSolidBrush(RGB(1, 2, 3)));
    const HBRUSH handle = first.Get();
    ASSERT_NE(nullptr, handle);
    fw::Brush second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(handle, second.Get());
    fw::Brush third;
    third = std::move(second);
    EXPECT_EQ(handle, third.Get());
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(handle));
    third.Reset();
    EXPECT_EQ(0u, GetObjectType(handle));

    fw::Pen released(CreatePen(PS_SOLID, 1, 0));
    HPEN pen = released.Release();
    EXPECT_FALSE(released);
    EXPECT_EQ(static_cast<DWORD>(OBJ_PEN), GetObjectType(pen));
    DeleteObject(pen);
}

}  // namespace
