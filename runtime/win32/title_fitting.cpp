#include "runtime/win32/title_fitting.hpp"

#include "runtime/win32/dpi.hpp"
#include "runtime/win32/wide_text.hpp"
#include "runtime/window_title.hpp"

#include <algorithm>
#include <vector>

namespace rt::win32 {

namespace {

// The caption font of the window's monitor, for as long as it lives.
class CaptionFont {
  public:
    explicit CaptionFont(HWND window) : dc_(::GetDC(nullptr)) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                         windowDpi(window)) ||
            ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
            font_ = ::CreateFontIndirectW(&metrics.lfCaptionFont);
        }
        if (font_ != nullptr) {
            previous_ = ::SelectObject(dc_, font_);
        }
    }
    CaptionFont(const CaptionFont&) = delete;
    CaptionFont& operator=(const CaptionFont&) = delete;
    ~CaptionFont() {
        if (previous_ != nullptr) {
            ::SelectObject(dc_, previous_);
        }
        if (font_ != nullptr) {
            ::DeleteObject(font_);
        }
        ::ReleaseDC(nullptr, dc_);
    }

    int width(const std::wstring& text) const {
        SIZE size{};
        if (text.empty() ||
            !::GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size)) {
            return 0;
        }
        return size.cx;
    }

  private:
    HDC dc_;
    HFONT font_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// What the title bar takes besides the title: the frame, the close box and room on both
// sides of the text.
int captionOverhead(HWND window) {
    RECT frame{}, client{};
    ::GetWindowRect(window, &frame);
    ::GetClientRect(window, &client);
    const UINT dpi = windowDpi(window);
    return (frame.right - frame.left) - (client.right - client.left) +
           2 * ::GetSystemMetricsForDpi(SM_CXSIZE, dpi) +
           ::GetSystemMetricsForDpi(SM_CXSMICON, dpi) +
           2 * ::GetSystemMetricsForDpi(SM_CXEDGE, dpi);
}

RECT workAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return monitor.rcWork;
    }
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

std::vector<HWND> buttonsOf(HWND dialog) {
    std::vector<HWND> buttons;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        ::GetClassNameW(child, kind, 16);
        if (::lstrcmpiW(kind, L"Button") == 0) {
            buttons.push_back(child);
        }
    }
    return buttons;
}

RECT inClient(HWND dialog, HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The buttons keep their place in the row: a row at the right edge (as Windows lays out
// its message boxes) stays there, a centred one (Wine's) stays centred.
void moveButtons(HWND dialog, int oldClientWidth, int added) {
    const std::vector<HWND> buttons = buttonsOf(dialog);
    if (buttons.empty()) {
        return;
    }
    int left = oldClientWidth, right = 0;
    for (const HWND button : buttons) {
        const RECT r = inClient(dialog, button);
        left = std::min<int>(left, r.left);
        right = std::max<int>(right, r.right);
    }
    const int rightGap = oldClientWidth - right;
    const int shift = 2 * rightGap < left ? added : added / 2;
    for (const HWND button : buttons) {
        const RECT r = inClient(dialog, button);
        ::SetWindowPos(button, nullptr, r.left + shift, r.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

struct BoxBeingShown {
    std::string title;
    const std::function<void(HWND)>* onShown = nullptr;
    bool fitted = false;
};

thread_local BoxBeingShown* boxBeingShown = nullptr;

// The message box has laid itself out once its WM_INITDIALOG returns.
LRESULT CALLBACK afterWindowProcedure(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    BoxBeingShown* box = boxBeingShown;
    if (code == HC_ACTION && call != nullptr && call->message == WM_INITDIALOG && box != nullptr &&
        !box->fitted) {
        box->fitted = true;
        fitToTitle(call->hwnd, box->title);
        if (box->onShown != nullptr && *box->onShown) {
            (*box->onShown)(call->hwnd);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

int titleTextWidth(HWND window, const std::wstring& title) {
    return CaptionFont(window).width(title);
}

void fitToTitle(HWND dialog, const std::string& title) {
    const std::string line = oneLineTitle(title);
    RECT frame{}, client{};
    if (!::GetWindowRect(dialog, &frame) || !::GetClientRect(dialog, &client)) {
        return;
    }
    const CaptionFont font(dialog);
    const int overhead = captionOverhead(dialog);
    const RECT area = workAreaOf(dialog);
    const int width = frame.right - frame.left;
    const int widest = std::max<int>(width, area.right - area.left);
    const int wanted = std::clamp(font.width(wide(line)) + overhead, width, widest);

    const std::string shown =
        shortenedTitle(line, wanted - overhead, [&font](std::string_view text) {
            return static_cast<long>(font.width(wide(text)));
        });
    ::SetWindowTextW(dialog, wide(shown).c_str());
    if (wanted == width) {
        return;
    }
    const int added = wanted - width;
    moveButtons(dialog, client.right - client.left, added);
    // Widened on both sides, within the work area.
    const int left = std::clamp<int>(frame.left - added / 2, area.left,
                                     std::max<int>(area.left, area.right - wanted));
    ::SetWindowPos(dialog, nullptr, left, frame.top, wanted, frame.bottom - frame.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

int fittedMessageBox(HWND owner, const std::wstring& text, const std::string& title, UINT type,
                     const std::function<void(HWND)>& onShown) {
    BoxBeingShown box{title, &onShown};
    BoxBeingShown* const outer = boxBeingShown;
    boxBeingShown = &box;
    const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, afterWindowProcedure, nullptr,
                                           ::GetCurrentThreadId());
    const int answer = ::MessageBoxW(owner, text.c_str(), wide(oneLineTitle(title)).c_str(), type);
    if (hook != nullptr) {
        ::UnhookWindowsHookEx(hook);
    }
    boxBeingShown = outer;
    return answer;
}

} // namespace rt::win32
