// Where the program's modal dialogs appear on a POSIX system: on the terminal
// (TerminalDialogs) or as windows of the desktop (DesktopDialogs). Codes are those of the
// Windows message box; texts are in the runtime's encoding.
#pragma once

#include <string>
#include <vector>

namespace rt::posix {

class DialogHost {
  public:
    virtual ~DialogHost() = default;

    // A message with no choice; returns when it is acknowledged.
    virtual void messageBox(const std::string& text) = 0;
    // A Windows-style message box; returns the result code of the button chosen.
    virtual int confirmBox(const std::string& text, const std::string& title, int buttons,
                           int style) = 0;
    // Text with ";" as line breaks and one choice per option. Returns the 1-based choice,
    // or 0 when closed without one; *noAnswerPossible (when given) is set when no answer
    // can ever come.
    virtual int alert(const std::string& text, const std::vector<std::string>& options,
                      bool* noAnswerPossible) = 0;
};

} // namespace rt::posix
