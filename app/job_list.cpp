#include "app/job_list.hpp"

#include "runtime/text.hpp"

using namespace rt;

namespace {

// Where the job text of the section starting with `header` begins: right after the
// header line's end (CR LF; a lone LF or CR is taken as well).
int jobTextStart(const std::string& cText, const std::string& header) {
    int a1 = LEN(header) + 1;
    if (SUBSTR(cText, a1, 2) == "\r\n") {
        a1 += 2;
    } else if (SUBSTR(cText, a1, 1) == "\n" || SUBSTR(cText, a1, 1) == "\r") {
        a1 += 1;
    }
    return a1;
}

} // namespace

std::vector<std::string> jobTexts(std::string cText) {
    std::vector<std::string> jobs;
    const int p = AT("[1]", cText);
    if (p == 0) {
        jobs.push_back(cText);
        return jobs;
    }
    if (p > 1) {
        return jobs;
    }
    std::string nr = "1";
    while (LEN(cText) > 10) {
        const int a1 = jobTextStart(cText, "[" + nr + "]");
        nr = ALLTRIM(STR(VAL(nr) + 1));
        const int e1 = AT("[" + nr + "]", cText);
        if (e1 == 0) {
            break; // never run a section whose end is not known
        }
        jobs.push_back(SUBSTR(cText, a1, e1 - a1));
        cText = SUBSTR(cText, e1);
    }
    return jobs;
}
