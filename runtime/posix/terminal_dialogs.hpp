// The program's dialogs on a text terminal: the texts go to an output stream in
// the runtime's encoding (UTF-8), each answer is one line from an input stream.
// The streams are the process's standard input and output in the program and
// string streams in the tests.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rt::posix {

class TerminalDialogs {
  public:
    // echoAnswers: write each answer read (and its line end) to the output, for input
    // that is not typed on the terminal, so that the output still reads line by line.
    TerminalDialogs(std::istream& in, std::ostream& out, bool echoAnswers = false)
        : in_(in), out_(out), echoAnswers_(echoAnswers) {}

    // Shows the text and waits for one line; the end of the input just continues.
    void messageBox(const std::string& text);

    // Shows title, text and the buttons of the Windows button set with the German
    // labels Windows uses, marking the default button. Accepts a button's first
    // letter or its whole label in any letter case; an empty line picks the default
    // button. At the end of the input: Cancel where the set has it, OK for the OK
    // box, otherwise the default button. Any other answer asks again.
    int confirmBox(const std::string& text, const std::string& title, int buttons, int style);

    // Shows the text with every ";" as a line break and the options numbered from 1.
    // Accepts an option's number or its text in any letter case. At the end of the
    // input returns 0 and sets *noAnswerPossible (when given).
    int alert(const std::string& text, const std::vector<std::string>& options,
              bool* noAnswerPossible);

  private:
    // Writes a dialog text, turning CR LF and a lone CR into line breaks.
    void writeText(const std::string& text);
    // Reads one answer line without its line end; false at the end of the input.
    bool readAnswer(std::string& answer);

    std::istream& in_;
    std::ostream& out_;
    bool echoAnswers_;
};

} // namespace rt::posix
