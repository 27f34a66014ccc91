#include "support.hpp"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace rctest {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "rc-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void makeDirs(const std::string& path) {
    fs::create_directories(path);
}

std::string pattern(std::size_t size, unsigned seed) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        data[i] = static_cast<char>((i * 131 + i / 7 + seed) & 0xff);
    }
    return data;
}

void writeFile(const std::string& path, const std::string& content) {
    makeDirs(fs::path(path).parent_path().string());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

void setMtime(const std::string& path, std::int64_t seconds, long nanoseconds) {
    const timespec times[2] = {{static_cast<time_t>(seconds), nanoseconds},
                               {static_cast<time_t>(seconds), nanoseconds}};
    if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        throw std::runtime_error("utimensat failed for " + path);
    }
}

std::int64_t mtimeNs(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

unsigned modeOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::map<std::string, std::string> snapshot(const std::string& root, bool withMeta) {
    std::map<std::string, std::string> out;
    if (!fs::exists(root)) {
        return out;
    }
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string path = it->path().string();
        const std::string relative = it->path().lexically_relative(root).string();
        if (it->is_symlink()) {
            out[relative] = "l:" + fs::read_symlink(it->path()).string();
        } else if (it->is_directory()) {
            out[relative] = "d";
        } else {
            std::string value = "f:" + readFile(path);
            if (withMeta) {
                value += "|" + std::to_string(modeOf(path)) + "|" + std::to_string(mtimeNs(path));
            }
            out[relative] = value;
        }
    }
    return out;
}

namespace {
const char* const setpriv = "/usr/bin/setpriv";
}

std::string whyNotAsNobody() {
    if (geteuid() != 0) {
        return "needs root to run the program as nobody";
    }
    if (access(setpriv, X_OK) != 0) {
        return std::string(setpriv) + " is not installed";
    }
    return {};
}

RunResult runProgram(const std::vector<std::string>& args, std::uint64_t fileSizeLimit,
                     bool asNobody) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (fileSizeLimit != 0) {
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN); // writes past the limit fail with EFBIG instead
        }
        std::vector<std::string> words = {ROBOCOPY_EXE};
        if (asNobody) {
            const std::string id = std::to_string(nobodyId);
            words = {setpriv, "--reuid=" + id, "--regid=" + id, "--clear-groups", ROBOCOPY_EXE};
        }
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    RunResult result;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        result.output.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

int occurrences(const std::string& text, const std::string& needle) {
    int count = 0;
    for (std::size_t pos = text.find(needle); pos != std::string::npos;
         pos = text.find(needle, pos + needle.size())) {
        ++count;
    }
    return count;
}

std::vector<std::string> summaryRow(const std::string& output, const std::string& label) {
    std::istringstream lines(output);
    std::string line;
    std::vector<std::string> cells;
    while (std::getline(lines, line)) {
        if (line.size() >= 10 &&
            line.compare(0, 10, std::string(10 - label.size(), ' ') + label) == 0) {
            std::istringstream words(line.substr(10));
            cells.clear();
            std::string word;
            while (words >> word) {
                cells.push_back(word);
            }
        }
    }
    return cells;
}

} // namespace rctest
