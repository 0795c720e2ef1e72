#include "ui/format/ResourceString.h"

HMODULE GetResourceModule() {
    return GetModuleHandleW(nullptr);
}

std::wstring LoadResourceString(UINT id) {
    // With a zero buffer size LoadStringW hands out a read-only pointer into the
    // resource itself, so texts of any length load without a fixed buffer.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return {};
    }
    return std::wstring(text, static_cast<std::size_t>(length));
}
