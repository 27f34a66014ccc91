#include "runtime/posix/terminal_dialogs.hpp"

#include "runtime/encoding.hpp"
#include "runtime/platform.hpp"
#include "runtime/posix/button_sets.hpp"

#include <istream>
#include <ostream>
#include <streambuf>
#include <string_view>

namespace rt::posix {

namespace {

constexpr char escape = '\x1b';

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

// "J, N oder A" for the given items.
std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            text += i + 1 == items.size() ? " oder " : ", ";
        }
        text += items[i];
    }
    return text;
}

// An answer as it is echoed: Esc named, stray bytes as replacement characters.
std::string echoed(std::string_view line) {
    std::string text;
    for (const char c : line) {
        if (c == escape) {
            text += "<Esc>";
        } else {
            text.push_back(c);
        }
    }
    return withReplacementCharacters(text);
}

} // namespace

void TerminalDialogs::writeText(const std::string& text) {
    const std::string shown = withReplacementCharacters(text);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\r') {
            out_ << '\n';
            if (i + 1 < shown.size() && shown[i + 1] == '\n') {
                ++i;
            }
        } else {
            out_ << shown[i];
        }
    }
}

TerminalDialogs::Reply TerminalDialogs::readAnswer(std::string& answer) {
    out_.flush();
    answer.clear();
    // Byte by byte from the stream's buffer: only the first maxAnswerLength bytes of a
    // line are kept, the rest is read and dropped up to the line end.
    std::streambuf& input = *in_.rdbuf();
    bool tooLong = false;
    bool readAny = false;
    for (;;) {
        const auto c = input.sbumpc();
        if (c == std::char_traits<char>::eof()) {
            if (!readAny) {
                return Reply::End;
            }
            break;
        }
        readAny = true;
        if (c == '\n') {
            break;
        }
        if (answer.size() < maxAnswerLength) {
            answer.push_back(static_cast<char>(c));
        } else {
            tooLong = true;
        }
    }
    if (tooLong) {
        answer.clear();
        if (echoAnswers_) {
            out_ << '\n';
        }
        return Reply::TooLong;
    }
    if (!answer.empty() && answer.back() == '\r') {
        answer.pop_back();
    }
    if (echoAnswers_) {
        out_ << echoed(answer) << '\n';
    }
    answer = trimmed(answer);
    return answer == std::string(1, escape) ? Reply::Escape : Reply::Text;
}

void TerminalDialogs::messageBox(const std::string& text) {
    writeText(text);
    out_ << "\n(Weiter mit der Eingabetaste) ";
    std::string answer;
    if (readAnswer(answer) == Reply::End) {
        out_ << '\n';
    }
}

int TerminalDialogs::confirmBox(const std::string& text, const std::string& title, int buttons,
                                int style) {
    const std::vector<Button> set = buttonSet(buttons);
    const Button& byDefault = set[defaultIndex(style, set.size())];
    const std::optional<int> onEscape = escapeAnswer(set);

    if (!title.empty()) {
        writeText(title);
        out_ << "\n\n";
    }
    writeText(text);
    out_ << '\n';

    std::string prompt;
    std::vector<std::string> keys;
    for (const Button& button : set) {
        if (!prompt.empty()) {
            prompt += " / ";
        }
        prompt += "[" + button.label.substr(0, 1) + "]" + button.label.substr(1);
        keys.push_back(button.label.substr(0, 1));
    }
    prompt += " (Eingabetaste = " + byDefault.label + "): ";
    std::string hint = "Bitte " + listed(keys) + " eingeben (Eingabetaste = " + byDefault.label;
    if (onEscape) {
        for (const Button& button : set) {
            if (button.result == *onEscape) {
                hint += ", Esc = " + button.label;
            }
        }
    }
    hint += ").\n";

    std::string answer;
    for (;;) {
        out_ << prompt;
        const Reply reply = readAnswer(answer);
        if (reply == Reply::End) {
            out_ << '\n';
            return onEscape ? *onEscape : byDefault.result;
        }
        if (reply == Reply::Escape && onEscape) {
            return *onEscape;
        }
        if (reply == Reply::Text) {
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
        out_ << hint;
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
    const std::string count = std::to_string(choices.size());
    const std::string hint = choices.size() == 1 ? "Bitte 1 eingeben (Esc = ohne Auswahl).\n"
                                                 : "Bitte eine Zahl von 1 bis " + count +
                                                       " eingeben (Esc = ohne Auswahl).\n";

    std::string answer;
    for (;;) {
        out_ << "Auswahl (1-" << count << "): ";
        const Reply reply = readAnswer(answer);
        if (reply == Reply::End) {
            out_ << '\n';
            if (noAnswerPossible != nullptr) {
                *noAnswerPossible = true;
            }
            return 0;
        }
        if (reply == Reply::Escape) {
            return 0;
        }
        if (reply == Reply::Text && !answer.empty()) {
            if (answer.find_first_not_of("0123456789") == std::string::npos && answer.size() <= 9) {
                const auto number = std::stoul(answer);
                if (number >= 1 && number <= choices.size()) {
                    return static_cast<int>(number);
                }
            } else {
                const std::string lowered = lowerAscii(answer);
                for (std::size_t i = 0; i < choices.size(); ++i) {
                    if (lowered == lowerAscii(trimmed(choices[i]))) {
                        return static_cast<int>(i + 1);
                    }
                }
            }
        }
        out_ << hint;
    }
}

} // namespace rt::posix
