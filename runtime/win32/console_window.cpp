#include "runtime/win32/console_window.hpp"

#include "runtime/win32/dpi.hpp"
#include "runtime/win32/wide_text.hpp"

#include <algorithm>
#include <vector>

namespace rt::win32 {

namespace {

constexpr wchar_t windowClass[] = L"DatensicherungConsoleWindow";
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr COLORREF background = RGB(0, 0, 0);
constexpr COLORREF foreground = RGB(192, 192, 192);

int CALLBACK noteFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW c{};
        c.cbSize = sizeof c;
        c.style = CS_HREDRAW | CS_VREDRAW;
        c.lpfnWndProc = DefWindowProcW; // replaced per window, see create()
        c.hInstance = ::GetModuleHandleW(nullptr);
        c.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        c.hIcon = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
        c.hbrBackground = nullptr;
        c.lpszClassName = windowClass;
        return ::RegisterClassExW(&c) != 0;
    }();
    return registered;
}

// The named font when it is installed; otherwise a fixed-pitch font made to the cell
// size (Windows picks the closest of its fixed-pitch faces).
HFONT makeFont(const std::wstring& wanted, int cellWidth, int cellHeight, std::wstring& face) {
    LOGFONTW f{};
    f.lfHeight = cellHeight;
    f.lfWidth = cellWidth;
    f.lfWeight = FW_NORMAL;
    f.lfCharSet = DEFAULT_CHARSET;
    f.lfOutPrecision = OUT_DEFAULT_PRECIS;
    f.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    f.lfQuality = DEFAULT_QUALITY;
    f.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    std::wstring name = wanted;
    if (name.empty() || !fontInstalled(name)) {
        name = fontInstalled(L"Consolas") ? L"Consolas" : L"Courier New";
    }
    name = name.substr(0, LF_FACESIZE - 1);
    name.copy(f.lfFaceName, name.size());
    const HFONT font = ::CreateFontIndirectW(&f);
    face.clear();
    if (font != nullptr) {
        const HDC dc = ::GetDC(nullptr);
        const HGDIOBJ previous = ::SelectObject(dc, font);
        wchar_t chosen[LF_FACESIZE] = {};
        const int length = ::GetTextFaceW(dc, LF_FACESIZE, chosen);
        ::SelectObject(dc, previous);
        ::ReleaseDC(nullptr, dc);
        face.assign(chosen, length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    }
    return font;
}

} // namespace

bool fontInstalled(const std::wstring& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) {
        return false;
    }
    LOGFONTW f{};
    f.lfCharSet = DEFAULT_CHARSET;
    face.copy(f.lfFaceName, face.size());
    bool found = false;
    const HDC dc = ::GetDC(nullptr);
    ::EnumFontFamiliesExW(dc, &f, noteFont, reinterpret_cast<LPARAM>(&found), 0);
    ::ReleaseDC(nullptr, dc);
    return found;
}

ConsoleWindow::~ConsoleWindow() {
    destroy();
}

void ConsoleWindow::destroy() {
    if (window_ != nullptr) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
        window_ = nullptr;
    }
    if (font_ != nullptr) {
        ::DeleteObject(font_);
        font_ = nullptr;
    }
}

bool ConsoleWindow::create(const ConsoleWindowLayout& layout) {
    destroy();
    if (!registerClass()) {
        return false;
    }
    programCellWidth_ = layout.cellWidth > 0 ? layout.cellWidth : 8;
    programCellHeight_ = layout.cellHeight > 0 ? layout.cellHeight : 16;
    screen_.resize(layout.rows, layout.columns);
    wantedFace_ = wide(layout.fontName);

    // Made at the DPI of the primary monitor, where the program's position points; on a
    // monitor of another DPI it is scaled once more below.
    const UINT dpi = systemDpi();
    window_ = ::CreateWindowExW(0, windowClass, wide(layout.title).c_str(), windowStyle,
                                toDevice(layout.x, dpi), toDevice(layout.y, dpi), 0, 0, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) {
        return false;
    }
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure));
    scaleTo(windowDpi(window_), nullptr);
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    return true;
}

void ConsoleWindow::scaleTo(UINT dpi, const POINT* at) {
    dpi_ = dpi;
    cellWidth_ = std::max(1, toDevice(programCellWidth_, dpi));
    cellHeight_ = std::max(1, toDevice(programCellHeight_, dpi));
    const HFONT previous = font_;
    font_ = makeFont(wantedFace_, cellWidth_, cellHeight_, face_);
    if (previous != nullptr) {
        ::DeleteObject(previous);
    }
    RECT frame{0, 0, screen_.columns() * cellWidth_, screen_.rows() * cellHeight_};
    ::AdjustWindowRectExForDpi(&frame, windowStyle, FALSE, 0, dpi);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (at == nullptr) {
        flags |= SWP_NOMOVE;
    }
    ::SetWindowPos(window_, nullptr, at != nullptr ? at->x : 0, at != nullptr ? at->y : 0,
                   frame.right - frame.left, frame.bottom - frame.top, flags);
    ::InvalidateRect(window_, nullptr, FALSE);
}

void ConsoleWindow::write(std::wstring_view text) {
    screen_.write(text);
    if (window_ != nullptr) {
        ::InvalidateRect(window_, nullptr, FALSE);
        ::UpdateWindow(window_);
    }
}

void ConsoleWindow::paint() {
    PAINTSTRUCT ps;
    const HDC dc = ::BeginPaint(window_, &ps);
    const HGDIOBJ previous = font_ != nullptr ? ::SelectObject(dc, font_) : nullptr;
    ::SetTextColor(dc, foreground);
    ::SetBkColor(dc, background);
    // Every character goes into its own cell, whatever the font's own advance.
    const std::vector<INT> advances(static_cast<std::size_t>(screen_.columns()), cellWidth_);
    for (int r = 0; r < screen_.rows(); ++r) {
        const RECT cells{0, r * cellHeight_, screen_.columns() * cellWidth_, (r + 1) * cellHeight_};
        const std::wstring& text = screen_.line(r);
        ::ExtTextOutW(dc, 0, r * cellHeight_, ETO_OPAQUE | ETO_CLIPPED, &cells, text.c_str(),
                      static_cast<UINT>(text.size()), advances.data());
    }
    if (previous != nullptr) {
        ::SelectObject(dc, previous);
    }
    ::EndPaint(window_, &ps);
}

LRESULT CALLBACK ConsoleWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ConsoleWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
        switch (message) {
        case WM_PAINT:
            self->paint();
            return 0;
        case WM_ERASEBKGND:
            return 1; // painting covers every pixel
        case WM_CLOSE:
            return 0; // the window goes with the program
        case WM_DPICHANGED: {
            // Moved to a monitor of another DPI: the same cells, scaled anew.
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            const POINT at{suggested->left, suggested->top};
            self->scaleTo(HIWORD(wParam), &at);
            return 0;
        }
        default:
            break;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace rt::win32
