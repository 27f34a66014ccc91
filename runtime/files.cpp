#include "runtime/files.hpp"

#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"
#include "runtime/text.hpp"

#include <algorithm>

namespace rt {

namespace {
int lastError = 0;
} // namespace

int FOPEN(std::string_view name, int mode, Loc loc) {
    trace(loc);
    const auto result = platform().openRead(std::string(name), mode);
    lastError = result.handle < 0 ? result.osCode : 0;
    return result.handle;
}

int FREAD(int handle, std::string& buffer, int count, Loc loc) {
    trace(loc);
    count = std::clamp(count, 0, static_cast<int>(buffer.size()));
    long total = 0;
    // Read until the count is reached or the file ends, as one read may return less.
    while (total < count) {
        int osCode = 0;
        const long got = platform().read(handle, buffer.data() + total, count - total, &osCode);
        if (got < 0) {
            lastError = osCode;
            return static_cast<int>(total);
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    lastError = 0;
    return static_cast<int>(total);
}

bool FCLOSE(int handle, Loc loc) {
    trace(loc);
    return platform().close(handle);
}

int FERROR() {
    return lastError;
}

bool FEXISTS(std::string_view name, std::string_view attribute, Loc loc) {
    trace(loc);
    if (AT("D", attribute) > 0 || AT("d", attribute) > 0) {
        return platform().folderExists(std::string(name));
    }
    return platform().fileExists(std::string(name));
}

} // namespace rt
