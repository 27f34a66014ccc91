// The job file's text to its job texts.
#include "app/job_list.hpp"
#include "fuzz/require.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string list(reinterpret_cast<const char*>(data), size);
    const auto jobs = jobTexts(list);
    if (list.find("[1]") == std::string::npos) {
        REQUIRE(jobs.size() == 1 && jobs[0] == list);
        return 0;
    }
    if (list.rfind("[1]", 0) != 0) {
        REQUIRE(jobs.empty());
        return 0;
    }
    // Every job text is a piece of the list, and followed in it by the header of the
    // next section: never half a job.
    std::size_t from = 0;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const std::string next = "[" + std::to_string(i + 2) + "]";
        const auto at = list.find(jobs[i] + next, from);
        REQUIRE(at != std::string::npos);
        from = at + jobs[i].size();
    }
    return 0;
}
