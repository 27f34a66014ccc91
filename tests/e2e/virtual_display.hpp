// A virtual X display (Xvfb) for the tests of what the program does on a desktop, and
// xdotool to look at its windows and to press keys and buttons there. Every wait is
// bounded.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// Why a display test cannot run here (Xvfb, xdotool or, when withGtk, GTK 3 missing),
// empty when it can.
std::string virtualDisplayMissing(bool withGtk);
// Why the text marked on a display cannot be read here (xclip missing), empty when it can.
std::string markedTextReaderMissing();

class VirtualDisplay {
  public:
    // Starts Xvfb on a free display number and waits (at most ten seconds) until it takes
    // connections; started() tells whether it did.
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool started() const { return !name_.empty(); }
    // ":<number>", as DISPLAY names it.
    const std::string& name() const { return name_; }

    // Runs xdotool on this display with the arguments (each one word, passed to a shell in
    // single quotes), for at most `seconds`; its standard output without the last line end,
    // or nothing when it failed or took too long.
    std::string xdotool(const std::vector<std::string>& arguments, int seconds = 10) const;
    // The text marked on this display (the primary selection), read with xclip; empty when
    // nothing is marked.
    std::string markedText() const;

  private:
    // Runs a program on this display, as xdotool above.
    std::string tool(const std::string& program, const std::vector<std::string>& arguments,
                     int seconds) const;

    int server_ = -1;
    std::string name_;
};

} // namespace e2e
