#include "tests/robustness/process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>
#include <thread>

namespace robust {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Process::Process(const Launch& launch, int gate) {
    static int counter = 0;
    scratch_ = fs::temp_directory_path() /
               ("ds-proc-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::create_directories(scratch_);
    writeFile(scratch_ / "in", launch.input);
    const std::string in = (scratch_ / "in").string();
    const std::string out = (scratch_ / "out").string();
    const std::string err = (scratch_ / "err").string();
    std::vector<std::string> args{launch.program.string()};
    args.insert(args.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const std::string folder = launch.folder.string();

    pid_ = fork();
    if (pid_ < 0) {
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        setpgid(0, 0);
        if (gate >= 0) {
            char c;
            while (::read(gate, &c, 1) < 0) {
            }
        }
        const int i = open(in.c_str(), O_RDONLY);
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (i < 0 || o < 0 || e < 0 || chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        dup2(i, 0);
        dup2(o, 1);
        dup2(e, 2);
        close(i);
        close(o);
        close(e);
        unsetenv("DISPLAY");
        if (launch.fileSizeLimit != 0) {
            const rlimit limit{launch.fileSizeLimit, launch.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN); // writes beyond the limit fail instead
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    setpgid(pid_, pid_);
}

Process::~Process() {
    if (pid_ > 0) {
        kill();
    }
    std::error_code ec;
    fs::remove_all(scratch_, ec);
}

void Process::kill() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0); // SIGKILL cannot be ignored: this wait ends
    pid_ = -1;
}

Finished Process::finish(std::chrono::milliseconds limit) {
    Finished result;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t ended = waitpid(pid_, &status, WNOHANG);
        if (ended == pid_) {
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            pid_ = -1;
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill();
            result.exitCode = -2;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.out = readFile(scratch_ / "out");
    result.err = readFile(scratch_ / "err");
    return result;
}

Gate::Gate() {
    int fds[2];
    // Closed in every program started: the gate is only waited at before the start.
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    read_ = fds[0];
    write_ = fds[1];
}

Gate::~Gate() {
    if (write_ >= 0) {
        close(write_);
    }
    close(read_);
}

void Gate::open(int waiting) {
    // One byte for each process waiting at the gate, all in one write.
    const std::string bytes(static_cast<std::size_t>(waiting), 'g');
    if (::write(write_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("the gate did not open");
    }
}

Finished runProgram(const Launch& launch, std::chrono::milliseconds limit) {
    Process process(launch);
    return process.finish(limit);
}

std::map<std::string, std::string> snapshot(const fs::path& root, bool withTimes) {
    std::map<std::string, std::string> entries;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(root, ec))) {
        return entries;
    }
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const fs::path& p = it->path();
        const std::string key = p.lexically_relative(root).generic_string();
        const auto status = fs::symlink_status(p);
        if (fs::is_symlink(status)) {
            entries[key] = "l:" + fs::read_symlink(p).string();
        } else if (fs::is_directory(status)) {
            entries[key] = "d";
        } else {
            const std::string content = readFile(p);
            std::string description = "f:" + std::to_string(content.size()) + ":" +
                                      std::to_string(std::hash<std::string>{}(content));
            if (withTimes) {
                description +=
                    ":" + std::to_string(fs::last_write_time(p).time_since_epoch().count());
            }
            entries[key] = description;
        }
    }
    return entries;
}

void generateTree(const fs::path& root, unsigned seed, int files, int depth, std::size_t maxSize) {
    std::mt19937 random(seed);
    const std::vector<std::string> names{"a",
                                         "Daten",
                                         "mit Blank",
                                         "A&B",
                                         "\xC3\x84rger",
                                         "x.y",
                                         "(klein)",
                                         "tief",
                                         "Z",
                                         "n^1",
                                         "l\xC3\xA4nger Name mit Blanks"};
    std::vector<fs::path> folders{root, root / "sub"};
    fs::create_directories(root / "sub");
    for (int f = 0; f < files; ++f) {
        fs::path folder = folders[random() % folders.size()];
        if (random() % 3 == 0 && std::distance(root.begin(), root.end()) + depth >
                                     std::distance(folder.begin(), folder.end())) {
            folder /= names[random() % names.size()];
            fs::create_directories(folder);
            folders.push_back(folder);
        }
        std::string content(random() % (maxSize + 1), '\0');
        for (auto& c : content) {
            c = static_cast<char>(random());
        }
        writeFile(folder / (names[random() % names.size()] + std::to_string(f) + ".txt"), content);
    }
}

namespace {
std::tm today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}
} // namespace

std::string todaysWeekdayFolder() {
    const std::tm t = today();
    const char* names[] = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                           "Donnerstag", "Freitag", "Samstag"};
    std::string folder = names[t.tm_wday];
    if (t.tm_wday == 5) {
        folder += std::to_string(t.tm_mday / 7 + 1);
    }
    return folder;
}

std::string todaysMonthFolder() {
    const std::tm t = today();
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d%02d", t.tm_year + 1900, t.tm_mon);
    return buffer;
}

} // namespace robust
