#include "runtime/posix/process_start.hpp"

#include "runtime/posix/paths.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace rt::posix {

namespace {

int waitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

} // namespace

int startProgram(const std::string& path, const std::vector<std::string>& arguments, bool wait) {
    // A NUL would end the program's path or an argument early: such a start is not made.
    if (holdsNul(path) || std::any_of(arguments.begin(), arguments.end(),
                                      [](const auto& a) { return holdsNul(a); })) {
        return -1;
    }
    std::vector<std::string> texts;
    texts.reserve(arguments.size() + 1);
    texts.push_back(path);
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(texts.size() + 1);
    for (std::string& text : texts) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);

    // What this program wrote so far comes before what the started one writes.
    std::fflush(nullptr);

    pid_t pid = 0;
    if (::posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return -1;
    }
    if (wait) {
        return waitFor(pid);
    }
    // Nobody asks for the status; a thread collects it so that no zombie stays.
    std::thread([pid] { waitFor(pid); }).detach();
    return 0;
}

} // namespace rt::posix
