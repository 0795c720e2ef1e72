// Message tables: each window class lists the messages, commands, notifications
// and timers it handles, each with the member function that handles it.
//
//   const fw::MessageTable MyDlg::kTable{&fw::Dialog::kTable, {
//       fw::OnCommand(IDC_START, &MyDlg::OnStart),
//       fw::OnTimer(1000, &MyDlg::OnTick),
//       fw::OnPaint(&MyDlg::OnPaint),
//       fw::OnMouse(WM_LBUTTONUP, &MyDlg::OnLButtonUp),
//       fw::OnSize(&MyDlg::OnSize),
//       fw::OnCtlColor(&MyDlg::OnCtlColor),
//       fw::OnRegisteredMessage(L"some name", &MyDlg::OnHandOver),
//   }};
//   const fw::MessageTable& MyDlg::Messages() const { return kTable; }
//
// Lookup: the entries of the most-derived table in order, then those of its base
// table, and so on; the first entry that matches and handles the message wins; a
// message no entry handles gets the window's default processing.
//
// What a handler returns decides whether it handled the message:
//   void            handled, result 0;
//   bool            true = handled, false = look further (later entries, the base
//                   table, then default processing);
//   anything else   handled, the value (an integer or a handle) is the result.
// A raw handler `bool OnX(fw::Message&)` sets `result` itself.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <type_traits>
#include <vector>

#include "framework/Message.h"

namespace fw {

class Window;

// The control (or timer) and the notification a message concerns:
// WM_COMMAND: control id and notification code (menus and accelerators: code 0);
// WM_NOTIFY: idFrom and code; WM_TIMER: the timer id; other messages: zero.
struct MessageKey {
    UINT_PTR id = 0;
    UINT code = 0;
};
MessageKey KeyOf(const Message& m);

// The mouse position of a mouse message in client coordinates (messages that
// carry screen coordinates are converted; WM_MOUSELEAVE reads the cursor).
POINT ClientPointOf(const Message& m);

class MessageEntry {
  public:
    using Handler = std::function<bool(Window&, Message&)>;

    // An empty id or code matches any. A message number of 0 never matches
    // (a registration that failed).
    MessageEntry(UINT message, std::optional<UINT_PTR> id, std::optional<UINT> code,
                 Handler handler);
    // Every message from `first` to `last` (inclusive), whatever its id or code.
    MessageEntry(UINT first, UINT last, Handler handler);

    bool Matches(const Message& m) const;
    bool Invoke(Window& window, Message& m) const { return handler_(window, m); }
    UINT MessageId() const { return message_; }

  private:
    UINT message_;
    UINT lastMessage_;
    std::optional<UINT_PTR> id_;
    std::optional<UINT> code_;
    Handler handler_;
};

class MessageTable {
  public:
    MessageTable(const MessageTable* base, std::initializer_list<MessageEntry> entries)
        : base_(base), entries_(entries) {}
    MessageTable(const MessageTable&) = delete;
    MessageTable& operator=(const MessageTable&) = delete;

    const MessageTable* Base() const { return base_; }
    std::span<const MessageEntry> Entries() const { return entries_; }

  private:
    const MessageTable* base_;
    std::vector<MessageEntry> entries_;
};

// Offers the message to the entries of `table` and its bases; true when one handled it.
bool DispatchThroughTable(const MessageTable& table, Window& window, Message& m);

// The number of a registered window message, registered on first use.
UINT RegisteredMessage(const wchar_t* name);

namespace detail {

template <class T>
struct MemberOf;
template <class C, class F>
struct MemberOf<F C::*> {
    using Class = C;
};
template <class H>
using ClassOf = typename MemberOf<H>::Class;

template <class H>
constexpr void RequireWindowMember() {
    static_assert(std::is_member_function_pointer_v<H>, "a handler is a member function");
    static_assert(std::is_base_of_v<Window, ClassOf<H>>, "a handler belongs to a fw::Window class");
}

// Applies the return-value rule described at the top of this file.
template <class Call>
bool Complete(Message& m, Call&& call) {
    using R = decltype(call());
    if constexpr (std::is_void_v<R>) {
        call();
        return true;
    } else if constexpr (std::is_same_v<R, bool>) {
        return call();
    } else if constexpr (std::is_pointer_v<R>) {
        m.result = reinterpret_cast<LRESULT>(call());
        return true;
    } else {
        m.result = static_cast<LRESULT>(call());
        return true;
    }
}

template <class C>
C& Self(Window& window) {
    return static_cast<C&>(window);
}

bool RunPaint(Message& m, const std::function<bool(HDC, const PAINTSTRUCT&)>& paint);

template <class H>
MessageEntry::Handler CommandHandler(H handler) {
    RequireWindowMember<H>();
    using C = ClassOf<H>;
    return [handler](Window& window, Message& m) {
        C& self = Self<C>(window);
        const MessageKey key = KeyOf(m);
        const int id = static_cast<int>(key.id);
        return Complete(m, [&] {
            if constexpr (std::is_invocable_v<H, C&, int, UINT>) {
                return (self.*handler)(id, key.code);
            } else if constexpr (std::is_invocable_v<H, C&, int>) {
                return (self.*handler)(id);
            } else {
                static_assert(std::is_invocable_v<H, C&>,
                              "a command handler takes (), (int id) or (int id, UINT code)");
                return (self.*handler)();
            }
        });
    };
}

template <class H>
MessageEntry::Handler RawHandler(H handler) {
    RequireWindowMember<H>();
    using C = ClassOf<H>;
    return [handler](Window& window, Message& m) {
        C& self = Self<C>(window);
        return Complete(m, [&] {
            if constexpr (std::is_invocable_v<H, C&, Message&>) {
                return (self.*handler)(m);
            } else {
                static_assert(std::is_invocable_v<H, C&>,
                              "a message handler takes (fw::Message&) or ()");
                return (self.*handler)();
            }
        });
    };
}

}  // namespace detail

// WM_COMMAND from a menu item, an accelerator or a button click (notification 0).
// Handler: `void OnX()`, `void OnX(int id)` or `void OnX(int id, UINT code)`.
template <class H>
MessageEntry OnCommand(int id, H handler) {
    return MessageEntry(WM_COMMAND, static_cast<WORD>(id), 0u, detail::CommandHandler(handler));
}

// WM_COMMAND with one notification code from a control (EN_CHANGE, LBN_SELCHANGE...).
template <class H>
MessageEntry OnNotification(int id, UINT code, H handler) {
    return MessageEntry(WM_COMMAND, static_cast<WORD>(id), code, detail::CommandHandler(handler));
}

// Every WM_COMMAND; the handler usually takes (int id, UINT code) and returns bool.
template <class H>
MessageEntry OnAnyCommand(H handler) {
    return MessageEntry(WM_COMMAND, std::nullopt, std::nullopt, detail::CommandHandler(handler));
}

// WM_NOTIFY from control `id` with notification `code`.
// Handler: `OnX(NMHDR&)` or `OnX()`; a non-void, non-bool return value is the result.
template <class H>
MessageEntry OnNotify(int id, UINT code, H handler) {
    detail::RequireWindowMember<H>();
    using C = detail::ClassOf<H>;
    return MessageEntry(WM_NOTIFY, static_cast<UINT_PTR>(static_cast<INT_PTR>(id)), code,
                        [handler](Window& window, Message& m) {
                            C& self = detail::Self<C>(window);
                            NMHDR& header = *reinterpret_cast<NMHDR*>(m.lParam);
                            return detail::Complete(m, [&] {
                                if constexpr (std::is_invocable_v<H, C&, NMHDR&>) {
                                    return (self.*handler)(header);
                                } else {
                                    static_assert(std::is_invocable_v<H, C&>,
                                                  "a notify handler takes (NMHDR&) or ()");
                                    return (self.*handler)();
                                }
                            });
                        });
}

namespace detail {
template <class H>
MessageEntry::Handler TimerHandler(H handler) {
    RequireWindowMember<H>();
    using C = ClassOf<H>;
    return [handler](Window& window, Message& m) {
        C& self = Self<C>(window);
        const UINT_PTR id = m.wParam;
        return Complete(m, [&] {
            if constexpr (std::is_invocable_v<H, C&, UINT_PTR>) {
                return (self.*handler)(id);
            } else {
                static_assert(std::is_invocable_v<H, C&>, "a timer handler takes (UINT_PTR) or ()");
                return (self.*handler)();
            }
        });
    };
}
}  // namespace detail

// WM_TIMER for one timer id. Handler: `void OnTick()` or `void OnTick(UINT_PTR id)`.
template <class H>
MessageEntry OnTimer(UINT_PTR id, H handler) {
    return MessageEntry(WM_TIMER, id, std::nullopt, detail::TimerHandler(handler));
}

// WM_TIMER for any timer id.
template <class H>
MessageEntry OnAnyTimer(H handler) {
    return MessageEntry(WM_TIMER, std::nullopt, std::nullopt, detail::TimerHandler(handler));
}

// WM_PAINT. The layer brackets the handler with BeginPaint/EndPaint (or, when
// the sender passes a DC in wParam, paints into that DC over the client area).
// Handler: `void OnPaint(HDC)` or `void OnPaint(HDC, const PAINTSTRUCT&)`.
template <class H>
MessageEntry OnPaint(H handler) {
    detail::RequireWindowMember<H>();
    using C = detail::ClassOf<H>;
    return MessageEntry(
        WM_PAINT, std::nullopt, std::nullopt, [handler](Window& window, Message& m) {
            C& self = detail::Self<C>(window);
            return detail::RunPaint(m, [&](HDC dc, const PAINTSTRUCT& ps) {
                return detail::Complete(m, [&] {
                    if constexpr (std::is_invocable_v<H, C&, HDC, const PAINTSTRUCT&>) {
                        return (self.*handler)(dc, ps);
                    } else {
                        static_assert(std::is_invocable_v<H, C&, HDC>,
                                      "a paint handler takes (HDC) or (HDC, PAINTSTRUCT)");
                        return (self.*handler)(dc);
                    }
                });
            });
        });
}

// A mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEHOVER, WM_MOUSELEAVE...).
// Handler: `OnX(POINT)`, `OnX(POINT, UINT keys)` or `OnX()`, the point in client
// coordinates. Return bool to let default processing follow (false).
template <class H>
MessageEntry OnMouse(UINT message, H handler) {
    detail::RequireWindowMember<H>();
    using C = detail::ClassOf<H>;
    return MessageEntry(message, std::nullopt, std::nullopt, [handler](Window& window, Message& m) {
        C& self = detail::Self<C>(window);
        const POINT point = ClientPointOf(m);
        const UINT keys = GET_KEYSTATE_WPARAM(m.wParam);
        return detail::Complete(m, [&] {
            if constexpr (std::is_invocable_v<H, C&, POINT, UINT>) {
                return (self.*handler)(point, keys);
            } else if constexpr (std::is_invocable_v<H, C&, POINT>) {
                return (self.*handler)(point);
            } else {
                static_assert(std::is_invocable_v<H, C&>,
                              "a mouse handler takes (POINT), (POINT, UINT keys) or ()");
                return (self.*handler)();
            }
        });
    });
}

// Any message, raw. Handler: `bool OnX(fw::Message&)` (sets m.result) or `void OnX()`.
template <class H>
MessageEntry OnMessage(UINT message, H handler) {
    return MessageEntry(message, std::nullopt, std::nullopt, detail::RawHandler(handler));
}

// WM_SIZE. Handler: `void OnSize()` or `void OnSize(UINT type, int width, int height)`.
template <class H>
MessageEntry OnSize(H handler) {
    detail::RequireWindowMember<H>();
    using C = detail::ClassOf<H>;
    return MessageEntry(WM_SIZE, std::nullopt, std::nullopt, [handler](Window& window, Message& m) {
        C& self = detail::Self<C>(window);
        return detail::Complete(m, [&] {
            if constexpr (std::is_invocable_v<H, C&, UINT, int, int>) {
                return (self.*handler)(static_cast<UINT>(m.wParam), LOWORD(m.lParam),
                                       HIWORD(m.lParam));
            } else {
                static_assert(std::is_invocable_v<H, C&>,
                              "a size handler takes () or (UINT type, int width, int height)");
                return (self.*handler)();
            }
        });
    });
}

// WM_ERASEBKGND, taken over from default erasing. Handler: `bool
// OnEraseBackground(HDC)`, answering whether the background counts as erased.
template <class H>
MessageEntry OnEraseBackground(H handler) {
    detail::RequireWindowMember<H>();
    using C = detail::ClassOf<H>;
    return MessageEntry(
        WM_ERASEBKGND, std::nullopt, std::nullopt, [handler](Window& window, Message& m) {
            C& self = detail::Self<C>(window);
            m.result = (self.*handler)(reinterpret_cast<HDC>(m.wParam)) ? TRUE : FALSE;
            return true;
        });
}

// Every WM_CTLCOLOR* message (message boxes, edits, list boxes, buttons, the dialog,
// scroll bars, statics). Handler: `HBRUSH OnCtlColor(HDC dc, HWND control, UINT
// message)`; a null brush leaves the message to default processing.
template <class H>
MessageEntry OnCtlColor(H handler) {
    detail::RequireWindowMember<H>();
    using C = detail::ClassOf<H>;
    return MessageEntry(
        WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, [handler](Window& window, Message& m) {
            C& self = detail::Self<C>(window);
            const HBRUSH brush = (self.*handler)(reinterpret_cast<HDC>(m.wParam),
                                                 reinterpret_cast<HWND>(m.lParam), m.message);
            if (brush == nullptr) {
                return false;
            }
            m.result = reinterpret_cast<LRESULT>(brush);
            return true;
        });
}

// WM_SETCURSOR. Handler: `bool OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage)`;
// true = the handler set the cursor, false = default processing sets it.
template <class H>
MessageEntry OnSetCursor(H handler) {
    detail::RequireWindowMember<H>();
    using C = detail::ClassOf<H>;
    return MessageEntry(WM_SETCURSOR, std::nullopt, std::nullopt,
                        [handler](Window& window, Message& m) {
                            C& self = detail::Self<C>(window);
                            if (!(self.*handler)(reinterpret_cast<HWND>(m.wParam), LOWORD(m.lParam),
                                                 HIWORD(m.lParam))) {
                                return false;
                            }
                            m.result = TRUE;
                            return true;
                        });
}

// A message registered by name (RegisterWindowMessage); the number is looked up
// when the table is built.
template <class H>
MessageEntry OnRegisteredMessage(const wchar_t* name, H handler) {
    return MessageEntry(RegisteredMessage(name), std::nullopt, std::nullopt,
                        detail::RawHandler(handler));
}

}  // namespace fw
