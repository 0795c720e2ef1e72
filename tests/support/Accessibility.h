// What assistive technology reads of a window, asked the way a screen reader asks:
// through the system's accessibility layer (AccessibleObjectFromWindow), not from
// the window's own members.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>
#include <vector>

namespace vantrel::testsupport {

enum class AccessibleField { Name, Value };

// The name or value of `window`'s client object; empty when it has none.
inline std::wstring ReadAccessible(HWND window, AccessibleField field) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // balanced by the process end
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return std::wstring();
    }
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    const HRESULT result = field == AccessibleField::Name ? object->get_accName(self, &text)
                                                          : object->get_accValue(self, &text);
    std::wstring answer;
    if (result == S_OK && text != nullptr) {
        answer.assign(text, SysStringLen(text));
    }
    SysFreeString(text);
    object->Release();
    return answer;
}

// "class #id" of each visible control inside `window` (pages included, the pages
// themselves not) that the accessibility layer gives no name.
inline std::vector<std::wstring> UnnamedVisibleControls(HWND window) {
    struct Walk {
        std::vector<std::wstring> unnamed;
    } walk;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM context) -> BOOL {
            wchar_t className[64] = {};
            GetClassNameW(child, className, 64);
            if (!IsWindowVisible(child) || std::wstring(className) == L"#32770") {
                return TRUE;  // hidden, or a page (its controls are walked too)
            }
            if (ReadAccessible(child, AccessibleField::Name).empty()) {
                reinterpret_cast<Walk*>(context)->unnamed.push_back(
                    std::wstring(className) + L" #" + std::to_wstring(GetDlgCtrlID(child)));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.unnamed;
}

}  // namespace vantrel::testsupport
