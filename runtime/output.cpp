#include "runtime/output.hpp"

#include "runtime/date.hpp"
#include "runtime/error.hpp"
#include "runtime/object.hpp"
#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"
#include "runtime/settings.hpp"

#include <charconv>
#include <cmath>
#include <optional>
#include <set>

namespace rt {

namespace {

// ---------------------------------------------------------------------------------------
// The text form of values

void render(const Value& value, std::string& out, std::set<const Array*>& open, bool nested);

std::string number(double n) {
    if (n == 0) {
        return "0"; // also for -0
    }
    char buffer[64];
    if (std::isfinite(n) && std::trunc(n) == n && std::fabs(n) < 1e15) {
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(n));
        return std::string(buffer, end.ptr);
    }
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, end.ptr);
}

void renderArray(const Array& elements, std::string& out, std::set<const Array*>& open) {
    if (!open.insert(&elements).second) {
        out += "{...}";
        return;
    }
    out += '{';
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i > 0) {
            out += ", ";
        }
        render(elements[i], out, open, true);
    }
    out += '}';
    open.erase(&elements);
}

void render(const Value& value, std::string& out, std::set<const Array*>& open, bool nested) {
    switch (value.typeLetter()) {
    case 'C':
        if (nested) {
            out += '"' + value.text() + '"';
        } else {
            out += value.text();
        }
        return;
    case 'N':
        out += number(value.number());
        return;
    case 'L':
        out += value.logical() ? ".T." : ".F.";
        return;
    case 'D':
        out += DTOC(value.date());
        return;
    case 'A':
        renderArray(*value.array(), out, open);
        return;
    case 'O':
        out += "Object(" + value.object()->className() + ")";
        return;
    case 'B':
        out += "Block(" + value.block()->name() + ")";
        return;
    default:
        out += "NIL";
        return;
    }
}

std::string joined(const std::vector<Value>& values) {
    std::string out;
    std::set<const Array*> open;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            out += ' ';
        }
        render(values[i], out, open, false);
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// The alternate output file

struct AlternateFile {
    int handle = -1;
    std::string name;
};

AlternateFile& alternate() {
    static AlternateFile file;
    return file;
}

void closeAlternate() {
    auto& file = alternate();
    if (file.handle >= 0) {
        platform().close(file.handle);
    }
    file = AlternateFile{};
}

// Operating-system codes of a file held by another process.
constexpr int SHARING_VIOLATION = 32;
constexpr int LOCK_VIOLATION = 33;
// Codes of a file that is not there (file, path not found).
constexpr int FILE_NOT_FOUND = 2;
constexpr int PATH_NOT_FOUND = 3;

// The generic code for a file that cannot be opened: in use by another process (71),
// a part of it locked by another process (78), or not creatable for any other reason.
int openFailureCode(int osCode) {
    if (osCode == SHARING_VIOLATION) {
        return gen::SHARING;
    }
    if (osCode == LOCK_VIOLATION) {
        return gen::LOCK;
    }
    return gen::CREATE;
}

// Reads a whole file; std::nullopt with *osCode when it exists but cannot be read, an
// empty text when it does not exist.
std::optional<std::string> existingContent(const std::string& name, int* osCode) {
    const OpenResult opened = platform().openRead(name, 0);
    if (opened.handle < 0) {
        if (opened.osCode == FILE_NOT_FOUND || opened.osCode == PATH_NOT_FOUND) {
            return std::string();
        }
        *osCode = opened.osCode;
        return std::nullopt;
    }
    std::string content;
    char buffer[4096];
    for (;;) {
        const long got = platform().read(opened.handle, buffer, sizeof buffer, osCode);
        if (got < 0) {
            platform().close(opened.handle);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    platform().close(opened.handle);
    return content;
}

// One attempt to open the alternate file: the handle, or -1 with *osCode.
int openAlternate(const std::string& name, bool additive, int* osCode) {
    std::string keep;
    if (additive) {
        auto content = existingContent(name, osCode);
        if (!content) {
            return -1;
        }
        keep = std::move(*content);
    }
    const OpenResult created = platform().createWrite(name);
    if (created.handle < 0) {
        *osCode = created.osCode;
        return -1;
    }
    if (!keep.empty() &&
        platform().write(created.handle, keep.data(), static_cast<long>(keep.size()), osCode) < 0) {
        platform().close(created.handle);
        return -1;
    }
    return created.handle;
}

// The effect of SET(19, ...): closes the file in use, then opens the new one. A file that
// cannot be opened raises an error that may be retried or take its default outcome, which
// is to go on without an alternate file.
void alternateFileSetting(const Value& newValue, const std::optional<Value>& additive, Loc loc) {
    trace(loc);
    closeAlternate();
    const std::string name = newValue.isText() ? newValue.text() : std::string();
    if (name.find_first_not_of(' ') == std::string::npos) {
        return;
    }
    // Without a third argument the file is added to, as when it is given as true.
    const bool append = !additive || !additive->isLogical() || additive->logical();
    auto error = makeError(gen::CREATE, gen::CREATE, "SET",
                           Value(makeArray({Value(setting::ALTFILE), newValue})));
    error->fileName = name;
    error->canRetry = true;
    error->canDefault = true;
    for (;;) {
        int osCode = 0;
        const int handle = openAlternate(name, append, &osCode);
        if (handle >= 0) {
            alternate() = {handle, name};
            return;
        }
        const int code = openFailureCode(osCode);
        error->genCode = code;
        error->subCode = code;
        error->description = gen::description(code);
        error->osCode = osCode;
        if (raise(error).kind != Answer::Retry) {
            return;
        }
    }
}

// Text for the alternate file, when one is open under the name setting 19 holds (a file
// left from before the settings were put back to their start values is closed).
void writeAlternate(const std::string& text, Loc loc) {
    auto& file = alternate();
    if (file.handle < 0) {
        return;
    }
    const Value name = SET(setting::ALTFILE, loc);
    if (!name.isText() || name.text() != file.name) {
        closeAlternate();
        return;
    }
    // Any answer but a retry drops the text.
    const long count = static_cast<long>(text.size());
    ErrorRef error;
    for (;;) {
        int osCode = 0;
        if (platform().write(file.handle, text.data(), count, &osCode) == count) {
            return;
        }
        if (!error) {
            error = makeError(gen::WRITE, gen::WRITE, "QOUT", Value(makeArray({Value(text)})));
            error->fileName = file.name;
            error->canRetry = true;
            error->canDefault = true;
        }
        error->osCode = osCode;
        if (raise(error).kind != Answer::Retry) {
            return;
        }
    }
}

void emit(const std::string& text, Loc loc) {
    if (isOn(SET(setting::CONSOLE, loc))) {
        platform().consoleWrite(text);
    }
    if (isOn(SET(setting::ALTERNATE, loc))) {
        writeAlternate(text, loc);
    }
    // Printer (23) and extra file (21): this runtime has neither; nothing to do.
}

const bool registered = [] {
    onSetting(setting::ALTFILE, alternateFileSetting);
    return true;
}();

} // namespace

void QOUT(const std::vector<Value>& values, Loc loc) {
    trace(loc);
    emit("\r\n" + joined(values), loc);
}

void QQOUT(const std::vector<Value>& values, Loc loc) {
    trace(loc);
    emit(joined(values), loc);
}

void OUTERR(std::string_view text, Loc loc) {
    trace(loc);
    platform().stdErrWrite(std::string(text));
}

int ROW(Loc loc) {
    trace(loc);
    return platform().cursorRow();
}

int COL(Loc loc) {
    trace(loc);
    return platform().cursorCol();
}

void SETPOS(int row, int col, Loc loc) {
    trace(loc);
    platform().setCursor(row, col);
}

std::string VAR2CHAR(const Value& value) {
    return joined({value});
}

} // namespace rt
