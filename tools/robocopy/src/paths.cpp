#include "paths.hpp"

#include <cctype>
#include <climits>
#include <unistd.h>
#include <vector>

namespace rc {

namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool matchFrom(std::string_view p, std::string_view n) {
    // Iterative glob with one backtrack point, linear in practice.
    std::size_t pi = 0, ni = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (pi < p.size() && (p[pi] == '?' || lower(p[pi]) == lower(n[ni]))) {
            ++pi;
            ++ni;
        } else if (starP != std::string_view::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') {
        ++pi;
    }
    return pi == p.size();
}

std::string currentDir() {
    std::vector<char> buffer(PATH_MAX);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (buffer.size() > (1u << 20)) {
            return "/";
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

} // namespace

std::string toSlashes(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '\\') {
            c = '/';
        }
    }
    return out;
}

std::string absolutePath(std::string_view path) {
    std::string full =
        path.empty() || path[0] != '/' ? currentDir() + "/" + std::string(path) : std::string(path);
    std::vector<std::string_view> parts;
    std::string_view rest = full;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (const auto part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

std::string joinPath(std::string_view dir, std::string_view name) {
    std::string out(dir);
    if (out.empty() || out.back() != '/') {
        out += '/';
    }
    out += name;
    return out;
}

std::string displayDir(std::string_view absolute) {
    std::string out(absolute);
    if (out.empty() || out.back() != '/') {
        out += '/';
    }
    return out;
}

bool hasDriveLetter(std::string_view path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

bool isNetworkPath(std::string_view path) {
    const auto separator = [](char c) { return c == '/' || c == '\\'; };
    return path.size() >= 2 && separator(path[0]) && separator(path[1]);
}

bool matchName(std::string_view pattern, std::string_view name) {
    if (matchFrom(pattern, name)) {
        return true;
    }
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos) {
        return matchFrom(pattern.substr(0, pattern.size() - 2), name);
    }
    return false;
}

bool isWithin(std::string_view path, std::string_view root) {
    if (root == "/") {
        return true;
    }
    return path.size() >= root.size() && path.substr(0, root.size()) == root &&
           (path.size() == root.size() || path[root.size()] == '/');
}

} // namespace rc
