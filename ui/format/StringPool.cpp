#include "ui/format/StringPool.h"

#include <array>
#include <cstddef>

#include "ui/format/ResourceString.h"

namespace {

// 32 strings exist but only slots 0..30 rotate; the counter is advanced before use,
// so the first call after start lands in slot 1.
constexpr std::size_t kPoolSize = 32;
constexpr std::size_t kLastRotatingSlot = 30;

}  // namespace

const std::wstring& LoadPooledString(UINT id) {
    static std::array<std::wstring, kPoolSize> pool;
    static std::size_t slot = 0;

    slot = (slot >= kLastRotatingSlot) ? 0 : slot + 1;
    std::wstring& text = pool[slot];
    text.clear();
    text = LoadResourceString(id);
    return text;
}
