// Ownership of GDI objects. An owning wrapper deletes its handle (DeleteObject);
// borrowed handles (stock objects, the shared font set, a DC's current objects)
// stay raw HFONT/HBRUSH/... and are never deleted by the borrower.
#pragma once

#include <windows.h>

namespace fw {

// Move-only owner of one GDI object. Delete it only when it is selected into no DC
// (SelectGuard and MemoryDC put the previous objects back for that reason).
template <class Handle>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(other.Release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives the handle up without deleting it.
    Handle Release() {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }
    void Reset(Handle handle = nullptr) {
        if (handle_ && handle_ != handle) {
            DeleteObject(handle_);
        }
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Region = GdiObject<HRGN>;

// Selects an object into a DC and selects the previous one back at scope end.
// Regions are not selected this way (SelectObject answers a region with a
// complexity, not the previous object): use SelectClipRgn.
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    template <class Handle>
    SelectGuard(HDC dc, const GdiObject<Handle>& object) : SelectGuard(dc, object.Get()) {}
    SelectGuard(HDC dc, HRGN region) = delete;
    SelectGuard(HDC dc, const Region& region) = delete;
    ~SelectGuard() {
        if (previous_ && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

    // False when the object could not be selected (nothing will be restored).
    bool Selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace fw
