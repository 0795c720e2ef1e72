// Ownership of the user-interface handles that are not GDI objects: icons
// (DestroyIcon) and menus (DestroyMenu). Move-only, like the GDI owners in Gdi.h;
// a borrowed handle (a shared icon, a submenu of an owned menu) stays raw.
#pragma once

#include <windows.h>

namespace fw {

template <class Handle, BOOL(WINAPI* Destroy)(Handle)>
class UserHandle {
  public:
    UserHandle() = default;
    explicit UserHandle(Handle handle) : handle_(handle) {}
    ~UserHandle() { Reset(); }
    UserHandle(UserHandle&& other) noexcept : handle_(other.Release()) {}
    UserHandle& operator=(UserHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    UserHandle(const UserHandle&) = delete;
    UserHandle& operator=(const UserHandle&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle Release() {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void Reset(Handle handle = nullptr) {
        if (handle_ && handle_ != handle) {
            Destroy(handle_);
        }
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

using Icon = UserHandle<HICON, &DestroyIcon>;
using Menu = UserHandle<HMENU, &DestroyMenu>;

// The wait cursor for the length of a scope, then the cursor shown before.
class WaitCursor {
  public:
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

}  // namespace fw
