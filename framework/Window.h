// The base of every window object of the program: a window, a dialog or a
// subclassed control, whose messages are routed through message tables
// (framework/MessageTable.h).
//
// Lifetime: the object is attached to its HWND for the window's life and
// detached at WM_NCDESTROY, after the window's own handlers saw WM_DESTROY and
// WM_NCDESTROY. Destroy() on a live window goes that ordinary way. Only the
// destructor detaches first: a window that still exists when its object is
// destroyed gets no message on a half-destroyed object and is then destroyed
// with default handling; a subclassed control is only detached (its parent owns
// it). A class whose handlers must see the window's end calls Destroy() in its
// own destructor, because the base class destructor runs after the derived part
// is gone.
//
// Where an object may be deleted: anywhere outside its own message handlers, or
// from OnFinalMessage (the last call the layer makes on it). Never delete it from
// one of its handlers: the layer still uses the object when the handler returns.
// A window destroyed while one of its handlers runs (a handler that calls
// Destroy()) is detached and gets OnFinalMessage only once the outermost of its
// handlers has returned; routing stops as soon as the window is gone.
//
// A C++ exception that escapes a handler stops at the window procedure (it must
// not unwind through the system's frames): the message then answers 0.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <span>
#include <string>

#include "framework/Message.h"
#include "framework/MessageTable.h"

namespace fw {

// A child control's fixed place in its parent's client area.
struct PlacedItem {
    int id;
    int x, y, width, height;
};

class Window {
  public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return hwnd_ ? GetDlgItem(hwnd_, id) : nullptr; }

    // Plain windows of the layer's own class ("VantrelWindow": CS_DBLCLKS, arrow
    // cursor, no background brush) or of a class made with RegisterWindowClass.
    // The object is attached at WM_NCCREATE; false when a window exists already or
    // creation fails.
    bool CreateEx(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int width,
                  int height, HWND parent, HMENU menuOrId = nullptr,
                  const wchar_t* className = nullptr);
    bool Create(const wchar_t* title, DWORD style, HWND parent = nullptr);
    // Registers a class whose windows route through this layer; true if it is
    // registered (now or before).
    static bool RegisterWindowClass(const wchar_t* className, UINT classStyle, HBRUSH background,
                                    HICON icon, HICON smallIcon);
    static const wchar_t* DefaultClassName();

    // Destroys the window (nothing when there is none); its handlers see WM_DESTROY
    // and WM_NCDESTROY, and the object is detached at the end.
    void Destroy();

    // The object attached to a window of this layer (window, dialog or control); null otherwise.
    static Window* FromHandle(HWND hwnd);

    // True from the window's WM_NCDESTROY until the object is detached.
    bool WindowGone() const { return windowGone_; }

    // Runs before a message taken from the queue is dispatched; true = consumed.
    // The message loops of the layer call it for the message's window and each
    // parent up to the top-level window (see MessageLoop.h).
    virtual bool PreTranslateMessage(MSG& msg);

    bool SetTimer(UINT_PTR id, UINT milliseconds);
    void KillTimer(UINT_PTR id);
    void Invalidate(const RECT* rect = nullptr, bool erase = false);

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    void Show(int command = SW_SHOW);
    bool IsVisible() const;
    void Enable(bool enable);
    void SetText(const wchar_t* text);
    std::wstring Text() const;
    RECT ClientRect() const;

    void ShowItem(int id, bool show);
    void EnableItem(int id, bool enable);
    void MoveItem(int id, int x, int y, int width, int height);
    // Moves every listed child control to its place.
    void PlaceItems(std::span<const PlacedItem> items);
    // Puts the listed child windows first among their siblings, in this order: the
    // order in which Tab visits them (the dialog manager follows the z-order). The
    // others stay behind them in their order.
    static void SetTabOrder(std::initializer_list<HWND> children);
    void SetItemText(int id, const wchar_t* text);
    std::wstring ItemText(int id) const;
    // The window keeps using `font` and does not own it.
    void SetItemFont(int id, HFONT font, bool redraw = false);

  protected:
    static const MessageTable kTable;
    // The most-derived class's table; each table chains to its base class's table.
    virtual const MessageTable& Messages() const;
    // What a message no handler took gets: DefWindowProc here.
    virtual LRESULT DefaultProcessing(Message& m);
    // Called after WM_NCDESTROY, when the object is already detached; an object
    // that owns itself may delete itself here.
    virtual void OnFinalMessage() {}

    // Offers the message to the tables, then to DefaultProcessing; stores and returns the result.
    LRESULT Route(Message& m);
    // Route as the window procedures call it: a C++ exception stops here and the
    // message answers 0. Counts how deep the object's handlers are nested; after the
    // window's WM_NCDESTROY the outermost call detaches it and runs OnFinalMessage
    // (the object may be gone when this returns).
    static LRESULT RouteAtBoundary(Window& window, Message& m);
    // For destructors: detaches first, so that the destruction's messages get
    // default handling, then destroys the window.
    void DetachAndDestroy();
    void SetHandle(HWND hwnd) { hwnd_ = hwnd; }
    // Removes the window's pointer to this object (each kind keeps it elsewhere)
    // and forgets the handle; the window itself stays.
    virtual void Unbind();

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    // Owner-draw reflection: WM_DRAWITEM / WM_MEASUREITEM for a child that is an
    // attached fw::Control go to that control's DrawItem / MeasureItem.
    bool ReflectDrawItem(Message& m);
    bool ReflectMeasureItem(Message& m);
    // WM_PRINTCLIENT: the window's paint handler draws into the given DC (a child that
    // shows part of its parent's picture asks for it this way).
    bool PrintClient(Message& m);

    HWND hwnd_ = nullptr;
    int dispatchDepth_ = 0;
    bool windowGone_ = false;
};

}  // namespace fw
