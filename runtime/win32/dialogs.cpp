#include "runtime/win32/dialogs.hpp"

#include "runtime/win32/title_fitting.hpp"
#include "runtime/win32/wide_text.hpp"
#include "runtime/window_title.hpp"

#include <algorithm>
#include <cstdint>

namespace rt::win32 {

namespace {

constexpr int firstButtonId = 1000;
constexpr int textId = 999;

// Dialog units of the layout, turned into pixels with MapDialogRect.
constexpr int margin = 7, gap = 4, buttonHeight = 14, minButtonWidth = 50, minTextWidth = 160,
              maxTextWidth = 360;

struct AlertState {
    std::string title;
    std::wstring text;
    std::vector<std::wstring> options;
    const std::function<void(HWND)>* onShown = nullptr;
};

// A button shows "&" as the mark of its access key: a literal "&" is written twice.
std::wstring buttonLabel(const std::string& option) {
    std::wstring label;
    for (const wchar_t c : wide(option)) {
        label.push_back(c);
        if (c == L'&') {
            label.push_back(L'&');
        }
    }
    return label;
}

std::wstring dialogText(const std::string& text) {
    std::wstring out;
    for (const wchar_t c : wide(text)) {
        if (c == L';') {
            out += L"\r\n";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

RECT dialogUnits(HWND dialog, int left, int top, int right, int bottom) {
    RECT r{left, top, right, bottom};
    ::MapDialogRect(dialog, &r);
    return r;
}

SIZE textExtent(HWND dialog, const std::wstring& text, int maxWidth, bool wrap) {
    const HDC dc = ::GetDC(dialog);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    RECT r{0, 0, maxWidth, 0};
    ::DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &r,
                DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    if (previous != nullptr) {
        ::SelectObject(dc, previous);
    }
    ::ReleaseDC(dialog, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

HWND makeControl(HWND dialog, const wchar_t* kind, const std::wstring& text, DWORD style, int id,
                 const RECT& r) {
    const HWND control = ::CreateWindowExW(
        0, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
        r.bottom - r.top, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
    ::SendMessageW(control, WM_SETFONT, ::SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

// Lays out the text above a row of buttons, centred, and sizes the dialog to fit.
void layOut(HWND dialog, const AlertState& state) {
    const RECT unit = dialogUnits(dialog, margin, buttonHeight, minButtonWidth, gap);
    const int m = unit.left, bh = unit.top, minBw = unit.right, g = unit.bottom;
    const RECT widths = dialogUnits(dialog, minTextWidth, 0, maxTextWidth, 0);

    std::vector<int> buttonWidths;
    int rowWidth = 0;
    for (const auto& option : state.options) {
        const int w = std::max<int>(minBw, textExtent(dialog, option, 10000, false).cx + 2 * m);
        buttonWidths.push_back(w);
        rowWidth += w;
    }
    if (!buttonWidths.empty()) {
        rowWidth += g * static_cast<int>(buttonWidths.size() - 1);
    }
    const SIZE text = textExtent(dialog, state.text, widths.right, true);
    const int inner =
        std::max({static_cast<int>(text.cx), rowWidth, static_cast<int>(widths.left)});

    const RECT textRect{m, m, m + inner, m + text.cy};
    makeControl(dialog, L"STATIC", state.text, SS_LEFT | SS_NOPREFIX, textId, textRect);

    int x = m + (inner - rowWidth) / 2;
    const int y = textRect.bottom + 2 * m;
    for (std::size_t i = 0; i < state.options.size(); ++i) {
        const RECT r{x, y, x + buttonWidths[i], y + bh};
        makeControl(dialog, L"BUTTON", state.options[i],
                    WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), alertButtonId(i), r);
        x += buttonWidths[i] + g;
    }

    RECT frame{0, 0, inner + 2 * m, y + bh + m};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    // Centred on the owner, or on the screen.
    RECT area{};
    const HWND owner = ::GetWindow(dialog, GW_OWNER);
    if (owner == nullptr || !::IsWindowVisible(owner) || !::GetWindowRect(owner, &area)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    ::SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    fitToTitle(dialog, state.title);
}

INT_PTR CALLBACK alertProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* state = reinterpret_cast<const AlertState*>(lParam);
        layOut(dialog, *state);
        if (!state->options.empty()) {
            ::SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(alertButtonId(0)), 0);
            ::SetFocus(::GetDlgItem(dialog, alertButtonId(0)));
        }
        ::SetForegroundWindow(dialog);
        if (state->onShown != nullptr && *state->onShown) {
            (*state->onShown)(dialog);
        }
        return FALSE; // the focus is set
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            // Esc or the close box: no choice.
            ::EndDialog(dialog, 0);
            return TRUE;
        }
        if (id >= firstButtonId && HIWORD(wParam) == BN_CLICKED) {
            ::EndDialog(dialog, id - firstButtonId + 1);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

// Appends a value to the template, which Windows wants aligned as the value is.
template <typename T> void put(std::vector<std::uint8_t>& out, T value) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

void putText(std::vector<std::uint8_t>& out, const std::wstring& text) {
    for (const wchar_t c : text) {
        put<WORD>(out, static_cast<WORD>(c));
    }
    put<WORD>(out, 0);
}

// A dialog template without controls (they are made and laid out at WM_INITDIALOG),
// with the system's dialog font.
std::vector<std::uint8_t> dialogTemplate(const std::wstring& title) {
    std::vector<std::uint8_t> t;
    put<DWORD>(t, DS_MODALFRAME | DS_SETFONT | DS_SHELLFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    put<DWORD>(t, 0);   // extended style
    put<WORD>(t, 0);    // no controls in the template
    put<short>(t, 0);   // x
    put<short>(t, 0);   // y
    put<short>(t, 200); // width, set again at WM_INITDIALOG
    put<short>(t, 80);  // height
    put<WORD>(t, 0);    // no menu
    put<WORD>(t, 0);    // the standard dialog class
    putText(t, title);
    put<WORD>(t, 8); // point size
    putText(t, L"MS Shell Dlg");
    return t;
}

} // namespace

int alertButtonId(std::size_t option) {
    return firstButtonId + static_cast<int>(option);
}

int messageBox(HWND owner, const std::string& text, const std::string& title, UINT type,
               const std::function<void(HWND)>& onShown) {
    return fittedMessageBox(owner, wide(text), title, type, onShown);
}

int alertDialog(HWND owner, const std::string& title, const std::string& text,
                const std::vector<std::string>& options, const std::function<void(HWND)>& onShown) {
    AlertState state;
    state.title = title;
    state.text = dialogText(text);
    for (const auto& option : options) {
        state.options.push_back(buttonLabel(option));
    }
    state.onShown = &onShown;
    // The template must be DWORD-aligned: keep it in a vector of DWORDs.
    const auto bytes = dialogTemplate(wide(oneLineTitle(title)));
    std::vector<DWORD> aligned((bytes.size() + sizeof(DWORD) - 1) / sizeof(DWORD));
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<std::uint8_t*>(aligned.data()));
    const INT_PTR result = ::DialogBoxIndirectParamW(
        ::GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()), owner,
        alertProcedure, reinterpret_cast<LPARAM>(&state));
    return static_cast<int>(result);
}

} // namespace rt::win32
