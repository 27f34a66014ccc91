// The copy program's command line: the parameter text split by the Windows rules, then
// read as options, folders and patterns.
#include "common/windows_command_line.hpp"
#include "fuzz/require.hpp"
#include "options.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto words = wincmd::split(text);
    const auto result = rc::parse(words);
    // The same words always give the same reading.
    const auto again = rc::parse(words);
    REQUIRE(again.error.has_value() == result.error.has_value());
    if (result.error) {
        const auto& e = *result.error;
        // An offending word is named by its position and given back as written.
        if (e.kind == rc::ParseError::InvalidParameter || e.kind == rc::ParseError::Refused) {
            REQUIRE(e.index >= 1 && static_cast<std::size_t>(e.index) <= words.size());
            REQUIRE(e.word == words[e.index - 1]);
        }
        REQUIRE(!e.message().empty());
        return 0;
    }
    const auto& o = result.options;
    if (o.help) {
        return 0;
    }
    // Both folders are given, in the program's own separators, and with no wildcard; a
    // purge is never asked for without a destination to purge.
    REQUIRE(!o.source.empty() && !o.destination.empty());
    REQUIRE(o.source.find('\\') == std::string::npos);
    REQUIRE(o.destination.find('\\') == std::string::npos);
    REQUIRE(o.source.find_first_of("*?") == std::string::npos);
    REQUIRE(o.destination.find_first_of("*?") == std::string::npos);
    REQUIRE(!o.includes.empty());
    for (const auto& pattern : o.includes) {
        REQUIRE(!pattern.empty() && pattern.find('/') == std::string::npos);
    }
    REQUIRE(!o.mirror || (o.purge && o.subdirs && o.emptyDirs));
    // The header's option echo can always be made.
    (void)o.echo();
    return 0;
}
