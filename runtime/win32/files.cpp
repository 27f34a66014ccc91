#include "runtime/win32/files.hpp"

#include "runtime/win32/long_paths.hpp"

#include "runtime/win32/windows_api.hpp"

#include <map>
#include <mutex>

namespace rt::win32 {

namespace {

// The program counts files by small numbers; this table holds the Windows handle of
// each.
class HandleTable {
  public:
    int add(HANDLE h) {
        std::lock_guard lock(mutex_);
        const int number = next_++;
        handles_[number] = h;
        return number;
    }
    HANDLE find(int number) {
        std::lock_guard lock(mutex_);
        const auto found = handles_.find(number);
        return found == handles_.end() ? INVALID_HANDLE_VALUE : found->second;
    }
    HANDLE take(int number) {
        std::lock_guard lock(mutex_);
        const auto found = handles_.find(number);
        if (found == handles_.end()) {
            return INVALID_HANDLE_VALUE;
        }
        const HANDLE h = found->second;
        handles_.erase(found);
        return h;
    }

  private:
    std::mutex mutex_;
    std::map<int, HANDLE> handles_;
    int next_ = 1;
};

HandleTable& table() {
    static HandleTable t;
    return t;
}

// The system takes a name up to its first NUL: such a name would name another file.
bool holdsNul(const std::string& path) {
    return path.find('\0') != std::string::npos;
}

DWORD attributes(const std::string& path) {
    if (path.empty() || holdsNul(path)) {
        return INVALID_FILE_ATTRIBUTES;
    }
    return ::GetFileAttributesW(systemPath(path).c_str());
}

DWORD sharingOf(int mode) {
    switch (mode & 0x70) {
    case 0x10:
        return 0;
    case 0x20:
        return FILE_SHARE_READ;
    case 0x30:
        return FILE_SHARE_WRITE;
    default:
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

OpenResult opened(HANDLE h) {
    if (h == INVALID_HANDLE_VALUE) {
        return OpenResult{-1, static_cast<int>(::GetLastError())};
    }
    return OpenResult{table().add(h), 0};
}

OpenResult refused(HANDLE h, DWORD code) {
    ::CloseHandle(h);
    return OpenResult{-1, static_cast<int>(code)};
}

void setCode(int* osCode, DWORD code) {
    if (osCode != nullptr) {
        *osCode = static_cast<int>(code);
    }
}

} // namespace

bool isFolder(const std::string& path) {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isFile(const std::string& path) {
    const DWORD a = attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

OpenResult openForReading(const std::string& path, int mode) {
    if (holdsNul(path)) {
        return OpenResult{-1, ERROR_INVALID_NAME};
    }
    // Without backup semantics a folder cannot be opened: the open fails with 5.
    const HANDLE h = ::CreateFileW(systemPath(path).c_str(), GENERIC_READ, sharingOf(mode), nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    // A device (CON, a pipe) is no file of the program's: reading it could wait for ever.
    if (h != INVALID_HANDLE_VALUE && ::GetFileType(h) != FILE_TYPE_DISK) {
        return refused(h, ERROR_ACCESS_DENIED);
    }
    return opened(h);
}

OpenResult createForWriting(const std::string& path) {
    if (holdsNul(path)) {
        return OpenResult{-1, ERROR_INVALID_NAME};
    }
    // A link (any reparse point) is opened as itself, never followed, and refused; so are a
    // device and a file with further (hard) links. The file is emptied only once it is
    // known to be a plain file of this one name.
    const HANDLE h =
        ::CreateFileW(systemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return opened(h);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || info.nNumberOfLinks > 1) {
        return refused(h, ERROR_ACCESS_DENIED);
    }
    if (!::SetEndOfFile(h)) {
        return refused(h, ::GetLastError());
    }
    return opened(h);
}

long readFrom(int handle, char* buffer, long count, int* osCode) {
    const HANDLE h = table().find(handle);
    if (h == INVALID_HANDLE_VALUE) {
        setCode(osCode, ERROR_INVALID_HANDLE);
        return -1;
    }
    if (count < 0 || (buffer == nullptr && count > 0)) {
        setCode(osCode, ERROR_INVALID_PARAMETER);
        return -1;
    }
    DWORD got = 0;
    if (!::ReadFile(h, buffer, static_cast<DWORD>(count), &got, nullptr)) {
        const DWORD code = ::GetLastError();
        // A pipe whose writer has gone is at its end, as a file is.
        if (code == ERROR_BROKEN_PIPE) {
            return 0;
        }
        setCode(osCode, code);
        return -1;
    }
    return static_cast<long>(got);
}

long writeTo(int handle, const char* data, long count, int* osCode) {
    const HANDLE h = table().find(handle);
    if (h == INVALID_HANDLE_VALUE) {
        setCode(osCode, ERROR_INVALID_HANDLE);
        return -1;
    }
    if (count < 0 || (data == nullptr && count > 0)) {
        setCode(osCode, ERROR_INVALID_PARAMETER);
        return -1;
    }
    long total = 0;
    while (total < count) {
        DWORD put = 0;
        if (!::WriteFile(h, data + total, static_cast<DWORD>(count - total), &put, nullptr)) {
            setCode(osCode, ::GetLastError());
            return -1;
        }
        if (put == 0) {
            setCode(osCode, ERROR_WRITE_FAULT);
            return -1;
        }
        total += static_cast<long>(put);
    }
    return total;
}

bool closeHandle(int handle) {
    const HANDLE h = table().take(handle);
    return h != INVALID_HANDLE_VALUE && ::CloseHandle(h) != 0;
}

} // namespace rt::win32
