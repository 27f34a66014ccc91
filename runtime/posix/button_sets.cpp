#include "runtime/posix/button_sets.hpp"

#include "runtime/platform.hpp"

namespace rt::posix {

std::vector<Button> buttonSet(int buttons) {
    const Button ok{"OK", mb::IDOK}, cancel{"Abbrechen", mb::IDCANCEL},
        abort{"Abbrechen", mb::IDABORT}, retry{"Wiederholen", mb::IDRETRY},
        ignore{"Ignorieren", mb::IDIGNORE}, yes{"Ja", mb::IDYES}, no{"Nein", mb::IDNO};
    switch (buttons) {
    case mb::OKCANCEL:
        return {ok, cancel};
    case mb::ABORTRETRYIGNORE:
        return {abort, retry, ignore};
    case mb::YESNOCANCEL:
        return {yes, no, cancel};
    case mb::YESNO:
        return {yes, no};
    case mb::RETRYCANCEL:
        return {retry, cancel};
    default:
        return {ok};
    }
}

std::size_t defaultIndex(int style, std::size_t buttonCount) {
    std::size_t index = 0;
    switch (style & 0xF00) {
    case mb::DEFBUTTON2:
        index = 1;
        break;
    case mb::DEFBUTTON3:
        index = 2;
        break;
    default:
        break;
    }
    return index < buttonCount ? index : 0;
}

std::optional<int> escapeAnswer(const std::vector<Button>& set) {
    for (const Button& button : set) {
        if (button.result == mb::IDCANCEL) {
            return mb::IDCANCEL;
        }
    }
    if (set.size() == 1 && set.front().result == mb::IDOK) {
        return mb::IDOK;
    }
    return std::nullopt;
}

} // namespace rt::posix
