#include "ui/widgets/SkinBitmaps.h"

#include <map>

#include "framework/Gdi.h"

HBITMAP SkinBitmap(UINT id) {
    static std::map<UINT, fw::Bitmap> loaded;
    auto found = loaded.find(id);
    if (found == loaded.end()) {
        auto* bitmap = static_cast<HBITMAP>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
        found = loaded.emplace(id, fw::Bitmap(bitmap)).first;
    }
    return found->second.Get();
}
