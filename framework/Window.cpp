#include "framework/Window.h"

#include <mutex>

#include "framework/Control.h"

namespace fw {

const MessageTable Window::kTable{nullptr,
                                  {
                                      OnMessage(WM_DRAWITEM, &Window::ReflectDrawItem),
                                      OnMessage(WM_MEASUREITEM, &Window::ReflectMeasureItem),
                                      OnMessage(WM_PRINTCLIENT, &Window::PrintClient),
                                  }};

namespace {

HINSTANCE ProgramModule() {
    return GetModuleHandleW(nullptr);
}

}  // namespace

Window::~Window() {
    DetachAndDestroy();
}

const MessageTable& Window::Messages() const {
    return kTable;
}

LRESULT Window::DefaultProcessing(Message& m) {
    return DefWindowProcW(m.hwnd, m.message, m.wParam, m.lParam);
}

LRESULT Window::Route(Message& m) {
    if (!DispatchThroughTable(Messages(), *this, m) && !windowGone_) {
        m.result = DefaultProcessing(m);
    }
    return m.result;
}

bool Window::RegisterWindowClass(const wchar_t* className, UINT classStyle, HBRUSH background,
                                 HICON icon, HICON smallIcon) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::WindowProc;
    wc.hInstance = ProgramModule();
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (RegisterClassExW(&wc)) {
        return true;
    }
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

const wchar_t* Window::DefaultClassName() {
    static constexpr const wchar_t* kName = L"VantrelWindow";
    static std::once_flag once;
    std::call_once(once, [] { RegisterWindowClass(kName, CS_DBLCLKS, nullptr, nullptr, nullptr); });
    return kName;
}

bool Window::CreateEx(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int width,
                      int height, HWND parent, HMENU menuOrId, const wchar_t* className) {
    if (hwnd_) {
        return false;
    }
    HWND created =
        CreateWindowExW(exStyle, className ? className : DefaultClassName(), title, style, x, y,
                        width, height, parent, menuOrId, ProgramModule(), this);
    return created != nullptr && created == hwnd_;
}

bool Window::Create(const wchar_t* title, DWORD style, HWND parent) {
    return CreateEx(0, title, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    parent);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    Message m{hwnd, message, wParam, lParam};
    return RouteAtBoundary(*self, m);
}

LRESULT Window::RouteAtBoundary(Window& window, Message& m) {
    ++window.dispatchDepth_;
    try {
        window.Route(m);
    } catch (...) {
        m.result = 0;
    }
    if (m.message == WM_NCDESTROY) {
        window.windowGone_ = true;
    }
    if (--window.dispatchDepth_ == 0 && window.windowGone_) {
        window.windowGone_ = false;
        window.Unbind();
        window.OnFinalMessage();
    }
    return m.result;
}

void Window::Unbind() {
    if (hwnd_ && GetWindowLongPtrW(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    }
    hwnd_ = nullptr;
}

void Window::Destroy() {
    if (!hwnd_) {
        return;
    }
    // The window procedure routes WM_DESTROY and WM_NCDESTROY and detaches at the
    // end. A window of another thread cannot be destroyed from here: it is only
    // detached then.
    if (!DestroyWindow(hwnd_)) {
        Unbind();
    }
}

void Window::DetachAndDestroy() {
    if (!hwnd_) {
        return;
    }
    HWND hwnd = hwnd_;
    // Stop dispatching first: the object is being destroyed.
    Unbind();
    DestroyWindow(hwnd);
}

bool Window::PreTranslateMessage(MSG&) {
    return false;
}

bool Window::ReflectDrawItem(Message& m) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
    if (!item || item->CtlType == ODT_MENU) {
        return false;
    }
    Control* control = Control::FromHandle(item->hwndItem);
    if (!control) {
        return false;
    }
    control->DrawItem(*item);
    m.result = TRUE;
    return true;
}

bool Window::PrintClient(Message& m) {
    // The window's own paint handler, into the DC the caller gives.
    Message paint{m.hwnd, WM_PAINT, m.wParam, 0};
    if (m.wParam == 0 || !DispatchThroughTable(Messages(), *this, paint)) {
        return false;
    }
    m.result = 0;
    return true;
}

bool Window::ReflectMeasureItem(Message& m) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(m.lParam);
    if (!item || item->CtlType == ODT_MENU) {
        return false;
    }
    Control* control = Control::FromHandle(Item(static_cast<int>(item->CtlID)));
    if (!control || !control->MeasureItem(*item)) {
        return false;
    }
    m.result = TRUE;
    return true;
}

bool Window::SetTimer(UINT_PTR id, UINT milliseconds) {
    return hwnd_ && ::SetTimer(hwnd_, id, milliseconds, nullptr) != 0;
}

void Window::KillTimer(UINT_PTR id) {
    if (hwnd_) {
        ::KillTimer(hwnd_, id);
    }
}

void Window::Invalidate(const RECT* rect, bool erase) {
    if (hwnd_) {
        InvalidateRect(hwnd_, rect, erase ? TRUE : FALSE);
    }
}

LRESULT Window::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return hwnd_ ? SendMessageW(hwnd_, message, wParam, lParam) : 0;
}

bool Window::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
    return hwnd_ && PostMessageW(hwnd_, message, wParam, lParam);
}

void Window::Show(int command) {
    if (hwnd_) {
        ShowWindow(hwnd_, command);
    }
}

bool Window::IsVisible() const {
    return hwnd_ && IsWindowVisible(hwnd_);
}

void Window::Enable(bool enable) {
    if (hwnd_) {
        EnableWindow(hwnd_, enable ? TRUE : FALSE);
    }
}

void Window::SetText(const wchar_t* text) {
    if (hwnd_) {
        SetWindowTextW(hwnd_, text);
    }
}

namespace {

std::wstring TextOf(HWND hwnd) {
    if (!hwnd) {
        return {};
    }
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

}  // namespace

std::wstring Window::Text() const {
    return TextOf(hwnd_);
}

RECT Window::ClientRect() const {
    RECT rect{};
    if (hwnd_) {
        GetClientRect(hwnd_, &rect);
    }
    return rect;
}

void Window::ShowItem(int id, bool show) {
    if (HWND item = Item(id)) {
        ShowWindow(item, show ? SW_SHOW : SW_HIDE);
    }
}

void Window::EnableItem(int id, bool enable) {
    if (HWND item = Item(id)) {
        EnableWindow(item, enable ? TRUE : FALSE);
    }
}

void Window::MoveItem(int id, int x, int y, int width, int height) {
    if (HWND item = Item(id)) {
        SetWindowPos(item, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Window::PlaceItems(std::span<const PlacedItem> items) {
    for (const PlacedItem& item : items) {
        MoveItem(item.id, item.x, item.y, item.width, item.height);
    }
}

void Window::SetTabOrder(std::initializer_list<HWND> children) {
    HWND previous = HWND_TOP;
    for (HWND child : children) {
        if (child == nullptr) {
            continue;
        }
        SetWindowPos(child, previous, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        previous = child;
    }
}

void Window::SetItemText(int id, const wchar_t* text) {
    if (HWND item = Item(id)) {
        SetWindowTextW(item, text);
    }
}

std::wstring Window::ItemText(int id) const {
    return TextOf(Item(id));
}

void Window::SetItemFont(int id, HFONT font, bool redraw) {
    if (HWND item = Item(id)) {
        SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
    }
}

}  // namespace fw
