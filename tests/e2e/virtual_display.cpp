#include "tests/e2e/virtual_display.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

extern char** environ;

namespace e2e {

namespace {

bool onPath(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

std::string virtualDisplayMissing(bool withGtk) {
    if (!onPath("Xvfb") || !onPath("xdotool")) {
        return "Xvfb and xdotool are not installed";
    }
    if (withGtk &&
        std::system("/sbin/ldconfig -p 2>/dev/null | grep -q 'libgtk-3\\.so\\.0 '") != 0) {
        return "GTK 3 (libgtk-3.so.0) is not installed";
    }
    return {};
}

std::string markedTextReaderMissing() {
    return onPath("xclip") ? "" : "xclip is not installed";
}

VirtualDisplay::VirtualDisplay() {
    // Xvfb picks a free number itself and writes it to the pipe once it takes connections.
    int ready[2];
    if (pipe(ready) != 0) {
        return;
    }
    std::string fd = std::to_string(ready[1]);
    std::string program = "Xvfb", displayfd = "-displayfd", nolisten = "-nolisten", tcp = "tcp",
                screen = "-screen", zero = "0", size = "1024x768x24";
    char* argv[] = {program.data(), displayfd.data(), fd.data(),   nolisten.data(), tcp.data(),
                    screen.data(),  zero.data(),      size.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, ready[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv, environ) == 0) {
        server_ = pid;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);

    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    while (server_ > 0 && poll(&wait, 1, 10000) == 1) {
        char c = 0;
        if (read(ready[0], &c, 1) != 1 || c == '\n') {
            break;
        }
        number.push_back(c);
    }
    close(ready[0]);
    if (number.empty()) {
        return;
    }
    // Counts as started only once the server answers a client, so that a program started
    // next never meets a display that is not there (yet, or any more).
    name_ = ":" + number;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (!xdotool({"getdisplaygeometry"}, 5).empty()) {
            return;
        }
        usleep(100 * 1000);
    }
    name_.clear();
}

VirtualDisplay::~VirtualDisplay() {
    if (server_ > 0) {
        kill(server_, SIGTERM);
        waitpid(server_, nullptr, 0);
    }
}

std::string VirtualDisplay::xdotool(const std::vector<std::string>& arguments, int seconds) const {
    return tool("xdotool", arguments, seconds);
}

std::string VirtualDisplay::markedText() const {
    return tool("xclip", {"-o", "-selection", "primary"}, 10);
}

std::string VirtualDisplay::tool(const std::string& program,
                                 const std::vector<std::string>& arguments, int seconds) const {
    std::string command =
        "DISPLAY=" + name_ + " timeout " + std::to_string(seconds) + " " + program;
    for (const std::string& argument : arguments) {
        command += " '" + argument + "'";
    }
    command += " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    std::string output;
    char buffer[256];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    const int status = pclose(pipe);
    if (status != 0) {
        return {};
    }
    while (!output.empty() && output.back() == '\n') {
        output.pop_back();
    }
    return output;
}

} // namespace e2e
