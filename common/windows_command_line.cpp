#include "windows_command_line.hpp"

namespace wincmd {

std::vector<std::string> split(std::string_view text) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        if (!quoted && (c == ' ' || c == '\t')) {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
            ++i;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            std::size_t count = 0;
            while (i < n && text[i] == '\\') {
                ++count;
                ++i;
            }
            if (i < n && text[i] == '"') {
                current.append(count / 2, '\\');
                if (count % 2 == 1) {
                    current.push_back('"');
                    ++i;
                }
                // An even count leaves the quote to the next round, where it toggles.
            } else {
                current.append(count, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < n && text[i + 1] == '"') {
                current.push_back('"');
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        current.push_back(c);
        ++i;
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

std::string quote(std::string_view argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) {
        return std::string(argument);
    }
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, '\\');
    out.push_back('"');
    return out;
}

std::string join(const std::vector<std::string>& arguments) {
    std::string out;
    for (const auto& argument : arguments) {
        if (!out.empty()) {
            out.push_back(' ');
        }
        out += quote(argument);
    }
    return out;
}

} // namespace wincmd
