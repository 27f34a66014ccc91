#include "app/job_list.hpp"

#include "app/job_text.hpp"
#include "runtime/text.hpp"

using namespace rt;

namespace {

// The section starting with `header`, up to the next header at e1: its job text starts
// after the end of the header line. Only blanks and tabs may follow the header on its
// line; a line end that comes only at or after the next header leaves no job text.
ListedJob section(const std::string& cText, const std::string& header, int e1) {
    const int a0 = LEN(header) + 1;
    const std::string rest = SUBSTR(cText, a0, e1 - a0);
    const auto lineEnd = rest.find_first_of("\r\n");
    if (lineEnd == std::string::npos) {
        return {"", Refusal::headerLine};
    }
    int a1 = a0 + static_cast<int>(lineEnd) + 1;
    if (SUBSTR(cText, a1 - 1, 2) == "\r\n") {
        ++a1;
    }
    const bool clean = rest.find_first_not_of(" \t") == lineEnd;
    return {SUBSTR(cText, a1, e1 - a1), clean ? Refusal::none : Refusal::headerLine};
}

} // namespace

std::vector<ListedJob> jobTexts(std::string cText, bool cut) {
    std::vector<ListedJob> jobs;
    const int p = AT("[1]", cText);
    if (p == 0) {
        // The 3000-byte limit cut the one job inside its lines: one of them is shortened.
        const bool whole = !cut || endedLines(cText) == 4;
        jobs.push_back({cText, whole ? Refusal::none : Refusal::cut});
        return jobs;
    }
    if (p > 1) {
        return jobs;
    }
    std::string nr = "1";
    while (LEN(cText) > 10) {
        const std::string header = "[" + nr + "]";
        nr = ALLTRIM(STR(VAL(nr) + 1));
        const int e1 = AT("[" + nr + "]", cText);
        if (e1 == 0) {
            // Never run a section whose end is not known.
            if (cut) {
                jobs.push_back({section(cText, header, LEN(cText) + 1).text, Refusal::cut});
            }
            break;
        }
        jobs.push_back(section(cText, header, e1));
        cText = SUBSTR(cText, e1);
    }
    return jobs;
}
