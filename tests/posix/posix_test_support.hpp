// Small helpers for the POSIX layer's tests: a real temporary folder per test and
// files and scripts in it.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace posix_test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it
// at the end of the test.
class TempFolder {
  public:
    TempFolder() {
        std::random_device random;
        for (;;) {
            path_ = fs::temp_directory_path() /
                    ("posix_platform_test_" + std::to_string(random()) + std::to_string(random()));
            if (fs::create_directory(path_)) {
                break;
            }
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    // A path inside, as text.
    std::string operator/(const std::string& relative) const { return (path_ / relative).string(); }

  private:
    fs::path path_;
};

inline void writeFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// A shell script with this body, made executable.
inline void writeScript(const fs::path& path, const std::string& body) {
    writeFile(path, "#!/bin/sh\n" + body + "\n");
    fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add);
}

// Changes the current folder for the life of the object.
class CurrentFolder {
  public:
    explicit CurrentFolder(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~CurrentFolder() { fs::current_path(previous_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

  private:
    fs::path previous_;
};

} // namespace posix_test
