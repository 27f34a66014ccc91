// The job file's text to its jobs.
#include "app/job_list.hpp"
#include "app/job_text.hpp"
#include "fuzz/require.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Blanks and tabs, then one line end (CR LF, LF or CR) and nothing else.
bool cleanHeaderLineEnd(const std::string& rest) {
    const auto end = rest.find_first_not_of(" \t");
    if (end == std::string::npos) {
        return false;
    }
    const std::string lineEnd = rest.substr(end);
    return lineEnd == "\r\n" || lineEnd == "\n" || lineEnd == "\r";
}

void check(const std::string& list, bool cut) {
    const auto jobs = jobTexts(list, cut);
    if (list.find("[1]") == std::string::npos) {
        REQUIRE(jobs.size() == 1 && jobs[0].text == list);
        // A single job runs unless the limit cut it inside its four lines.
        const bool cutInside = cut && endedLines(list) < 4;
        REQUIRE((jobs[0].refusal == Refusal::cut) == cutInside);
        REQUIRE(cutInside || jobs[0].refusal == Refusal::none);
        return;
    }
    if (list.rfind("[1]", 0) != 0) {
        REQUIRE(jobs.empty());
        return;
    }
    // Every job is the text of its section after the end of the header line, and is
    // followed in the list by the header of the next section: never half a job, never a
    // line that belongs to the header. Only the last one may be cut, and only when the
    // file was.
    std::size_t from = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const std::string header = "[" + std::to_string(i + 1) + "]";
        const std::string next = "[" + std::to_string(i + 2) + "]";
        REQUIRE(list.compare(from, header.size(), header) == 0);
        if (jobs[i].refusal == Refusal::cut) {
            REQUIRE(cut && i + 1 == jobs.size());
            REQUIRE(list.find(next, from) == std::string::npos);
            REQUIRE(list.find(jobs[i].text, from) != std::string::npos);
            break;
        }
        const auto e = list.find(next, from);
        REQUIRE(e != std::string::npos);
        const std::string section = list.substr(from + header.size(), e - from - header.size());
        REQUIRE(section.size() >= jobs[i].text.size());
        REQUIRE(section.compare(section.size() - jobs[i].text.size(), std::string::npos,
                                jobs[i].text) == 0);
        const std::string headerRest = section.substr(0, section.size() - jobs[i].text.size());
        if (jobs[i].refusal == Refusal::none) {
            REQUIRE(cleanHeaderLineEnd(headerRest));
            REQUIRE(!(headerRest.back() == '\r' && jobs[i].text.rfind('\n', 0) == 0));
        } else {
            REQUIRE(jobs[i].refusal == Refusal::headerLine);
            REQUIRE(!cleanHeaderLineEnd(headerRest));
        }
        from = e;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string list(reinterpret_cast<const char*>(data), size);
    check(list, false);
    check(list, true);
    return 0;
}
