// Records how it was started, in place of the copy program: appends its arguments, one
// per line in UTF-8, and a line "--" to ROBOCOPY.calls in the current folder, and exits
// with the number in ROBOCOPY.status there (1, "files copied", when there is none).
#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string utf8(const wchar_t* text) {
    std::string out;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        char32_t c = static_cast<char32_t>(*p);
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(p[1]) - 0xDC00);
            ++p;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    {
        std::ofstream calls("ROBOCOPY.calls", std::ios::binary | std::ios::app);
        for (int i = 1; i < argc; ++i) {
            calls << utf8(argv[i]) << "\n";
        }
        calls << "--\n";
    }
    int status = 1;
    std::ifstream("ROBOCOPY.status") >> status;
    return status;
}
