// LINESPLIT: a text wrapped at a width, every line followed by ";", the line separator of
// the error dialogs.
#include "app/procedures.hpp"
#include "runtime/memo.hpp"
#include "runtime/runtime.hpp"

rt::Value LINESPLIT(const rt::Value& cText, const rt::Value& nWidth, rt::Loc loc) {
    rt::Frame frame{"LINESPLIT", loc};
    const int width = nWidth.isNumber() ? static_cast<int>(nWidth.number()) : 0;
    std::string cResult;
    const int nLines = rt::MLCOUNT(cText, width, rt::NIL, true);
    for (int nLine = 1; nLine <= nLines; ++nLine) {
        cResult += rt::MEMOLINE(cText, width, nLine, rt::NIL, true) + ";";
    }
    return cResult;
}
