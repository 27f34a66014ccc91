#include "runtime/posix/terminal_dialogs.hpp"

#include "runtime/platform.hpp"

#include <istream>
#include <ostream>
#include <string_view>

namespace rt::posix {

namespace {

struct Button {
    const char* label;
    int result;
};

// The buttons of a Windows button set, in their order on the box. An unknown set
// code shows the OK box.
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

// The default button's index from the style; a default beyond the last button
// falls back to the first, as on Windows.
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

// ASCII letters lower-cased; every other byte (UTF-8 sequences too) stays.
std::string lowerAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

void TerminalDialogs::writeText(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out_ << '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            out_ << text[i];
        }
    }
}

bool TerminalDialogs::readAnswer(std::string& answer) {
    out_.flush();
    if (!std::getline(in_, answer)) {
        return false;
    }
    if (!answer.empty() && answer.back() == '\r') {
        answer.pop_back();
    }
    if (echoAnswers_) {
        out_ << answer << '\n';
    }
    answer = trimmed(answer);
    return true;
}

void TerminalDialogs::messageBox(const std::string& text) {
    writeText(text);
    out_ << '\n';
    std::string answer;
    readAnswer(answer);
}

int TerminalDialogs::confirmBox(const std::string& text, const std::string& title, int buttons,
                                int style) {
    const std::vector<Button> set = buttonSet(buttons);
    const Button& byDefault = set[defaultIndex(style, set.size())];

    if (!title.empty()) {
        writeText(title);
        out_ << "\n\n";
    }
    writeText(text);
    out_ << '\n';

    std::string prompt;
    for (const Button& button : set) {
        if (!prompt.empty()) {
            prompt += " / ";
        }
        const std::string_view label = button.label;
        prompt += "[" + std::string(label.substr(0, 1)) + "]" + std::string(label.substr(1));
    }
    prompt += " (Eingabetaste = " + std::string(byDefault.label) + "): ";

    std::string answer;
    for (;;) {
        out_ << prompt;
        if (!readAnswer(answer)) {
            out_ << '\n';
            for (const Button& button : set) {
                if (button.result == mb::IDCANCEL) {
                    return mb::IDCANCEL;
                }
            }
            return buttons == mb::OK ? mb::IDOK : byDefault.result;
        }
        if (answer.empty()) {
            return byDefault.result;
        }
        const std::string lowered = lowerAscii(answer);
        for (const Button& button : set) {
            const std::string label = lowerAscii(button.label);
            if (lowered == label || lowered == label.substr(0, 1)) {
                return button.result;
            }
        }
    }
}

int TerminalDialogs::alert(const std::string& text, const std::vector<std::string>& options,
                           bool* noAnswerPossible) {
    const std::vector<std::string> choices =
        options.empty() ? std::vector<std::string>{"OK"} : options;

    std::string lines = text;
    for (char& c : lines) {
        if (c == ';') {
            c = '\n';
        }
    }
    writeText(lines);
    out_ << '\n';
    for (std::size_t i = 0; i < choices.size(); ++i) {
        out_ << "  " << (i + 1) << ") ";
        writeText(choices[i]);
        out_ << '\n';
    }

    std::string answer;
    for (;;) {
        out_ << "Auswahl (1-" << choices.size() << "): ";
        if (!readAnswer(answer)) {
            out_ << '\n';
            if (noAnswerPossible != nullptr) {
                *noAnswerPossible = true;
            }
            return 0;
        }
        if (!answer.empty() && answer.find_first_not_of("0123456789") == std::string::npos &&
            answer.size() <= 9) {
            const auto number = std::stoul(answer);
            if (number >= 1 && number <= choices.size()) {
                return static_cast<int>(number);
            }
            continue;
        }
        const std::string lowered = lowerAscii(answer);
        for (std::size_t i = 0; i < choices.size(); ++i) {
            if (!lowered.empty() && lowered == lowerAscii(trimmed(choices[i]))) {
                return static_cast<int>(i + 1);
            }
        }
    }
}

} // namespace rt::posix
