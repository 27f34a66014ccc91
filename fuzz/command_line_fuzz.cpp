// The Windows command-line rules: quoting then splitting gives the arguments back.
#include "common/windows_command_line.hpp"
#include "fuzz/require.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Any text splits without fault; joining the words and splitting again gives them
    // back.
    const auto words = wincmd::split(text);
    REQUIRE(wincmd::split(wincmd::join(words)) == words);
    // The input cut at NUL-free pieces as arguments round-trips too.
    std::vector<std::string> arguments;
    std::string current;
    for (const char c : text) {
        if (c == '\x01') {
            arguments.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    arguments.push_back(current);
    REQUIRE(wincmd::split(wincmd::join(arguments)) == arguments);
    return 0;
}
