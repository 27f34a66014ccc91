#include "tests/support/scripted_platform.hpp"

#include "common/windows_command_line.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace test {

namespace {

// Open files of the scripted platform: a handle is an index into this table.
struct FileEntry {
    std::FILE* file = nullptr;
};
std::map<int, FileEntry>& files() {
    static std::map<int, FileEntry> table;
    return table;
}
int nextHandle = 100;

int store(std::FILE* file) {
    const int handle = nextHandle++;
    files()[handle] = {file};
    return handle;
}

} // namespace

std::string hostPath(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::vector<Dialog> ScriptedPlatform::dialogsOf(const std::string& kind) const {
    std::vector<Dialog> out;
    std::copy_if(dialogs.begin(), dialogs.end(), std::back_inserter(out),
                 [&](const Dialog& d) { return d.kind == kind; });
    return out;
}

void ScriptedPlatform::messageBox(const std::string& text) {
    dialogs.push_back({"msgbox", text, "", 0, 0, false, {}});
}

int ScriptedPlatform::confirmBox(bool ownedByDesktop, const std::string& text,
                                 const std::string& title, int buttons, int style) {
    dialogs.push_back({"confirm", text, title, buttons, style, ownedByDesktop, {}});
    if (confirmAnswers.empty()) {
        return rt::mb::IDCANCEL;
    }
    const int answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

int ScriptedPlatform::alert(const std::string& text, const std::vector<std::string>& options,
                            bool* noAnswerPossible) {
    dialogs.push_back({"alert", text, "", 0, 0, false, options});
    if (alertAnswers.empty()) {
        if (noAnswerPossible) {
            *noAnswerPossible = true;
        }
        return 0;
    }
    const int answer = alertAnswers.front();
    alertAnswers.pop_front();
    return answer;
}

bool ScriptedPlatform::folderExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(hostPath(path), ec);
}

bool ScriptedPlatform::fileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(hostPath(path), ec);
}

rt::OpenResult ScriptedPlatform::openRead(const std::string& path, int mode) {
    const std::string host = hostPath(path);
    std::error_code ec;
    if (!fs::is_regular_file(host, ec)) {
        return {-1, 2};
    }
    if (mode == 16 &&
        std::find(heldElsewhere.begin(), heldElsewhere.end(), path) != heldElsewhere.end()) {
        return {-1, 32};
    }
    std::FILE* file = std::fopen(host.c_str(), "rb");
    if (!file) {
        return {-1, 5};
    }
    return {store(file), 0};
}

rt::OpenResult ScriptedPlatform::createWrite(const std::string& path) {
    createAttempts.push_back(path);
    if (const auto failure = createFailures.find(path); failure != createFailures.end()) {
        return {-1, failure->second};
    }
    const std::string host = hostPath(path);
    std::error_code ec;
    if (fs::is_directory(host, ec)) {
        return {-1, 5};
    }
    std::FILE* file = std::fopen(host.c_str(), "wb");
    if (!file) {
        return {-1, 5};
    }
    return {store(file), 0};
}

long ScriptedPlatform::read(int handle, char* buffer, long count, int* osCode) {
    const auto found = files().find(handle);
    if (found == files().end()) {
        *osCode = 6;
        return -1;
    }
    return static_cast<long>(
        std::fread(buffer, 1, static_cast<std::size_t>(count), found->second.file));
}

long ScriptedPlatform::write(int handle, const char* data, long count, int* osCode) {
    const auto found = files().find(handle);
    if (found == files().end()) {
        *osCode = 6;
        return -1;
    }
    return static_cast<long>(
        std::fwrite(data, 1, static_cast<std::size_t>(count), found->second.file));
}

bool ScriptedPlatform::close(int handle) {
    const auto found = files().find(handle);
    if (found == files().end()) {
        return false;
    }
    std::fclose(found->second.file);
    files().erase(found);
    return true;
}

int ScriptedPlatform::run(const std::string& program, const std::string& parameters, bool wait) {
    const ShellCall call{program, parameters, wait};
    shellCalls.push_back(call);
    if (!program.empty()) {
        return programResult(call);
    }
    // The interpreter's folder commands: "/C MD" and "/C RD" and the folders, quotes
    // only grouping. RD removes an empty folder only.
    const bool make = parameters.rfind("/C MD ", 0) == 0;
    if (!make && parameters.rfind("/C RD ", 0) != 0) {
        return 1;
    }
    std::string rest = parameters.substr(6);
    std::vector<std::string> folders;
    std::string current;
    bool quoted = false;
    for (const char c : rest) {
        if (c == '"') {
            quoted = !quoted;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (!current.empty()) {
                folders.push_back(current);
            }
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        folders.push_back(current);
    }
    int status = 0;
    for (const auto& folder : folders) {
        std::error_code ec;
        if (make) {
            fs::create_directories(hostPath(folder), ec);
        } else if (!fs::is_directory(fs::symlink_status(hostPath(folder)))) {
            status = 1;
        } else {
            fs::remove(hostPath(folder), ec); // fails for a folder that holds anything
        }
        if (ec) {
            status = 1;
        }
    }
    return status;
}

} // namespace test
