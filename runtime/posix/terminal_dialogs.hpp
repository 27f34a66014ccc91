// The program's dialogs on a text terminal: the texts go to an output stream in
// the runtime's encoding (UTF-8), each answer is one line from an input stream.
// The streams are the process's standard input and output in the program and
// string streams in the tests.
#pragma once

#include "runtime/posix/dialog_host.hpp"

#include <iosfwd>
#include <string>
#include <vector>

namespace rt::posix {

class TerminalDialogs : public DialogHost {
  public:
    // Answer lines longer than this are read up to their end and dropped, so that input
    // without line ends cannot make the program's memory grow.
    static constexpr std::size_t maxAnswerLength = 4096;

    // echoAnswers: write each answer read (and its line end) to the output, for input
    // that is not typed on the terminal, so that the output still reads line by line.
    TerminalDialogs(std::istream& in, std::ostream& out, bool echoAnswers = false)
        : in_(in), out_(out), echoAnswers_(echoAnswers) {}

    // Shows the text and waits, with a visible prompt, for one line; the end of the
    // input just continues.
    void messageBox(const std::string& text) override;

    // Shows title, text and the buttons of the Windows button set with the German
    // labels Windows uses, marking the default button. Accepts a button's first
    // letter or its whole label in any letter case; an empty line picks the default
    // button, a line of only Esc answers as the Esc key does (Cancel, or OK for the OK
    // box). At the end of the input: Cancel where the set has it, OK for the OK box,
    // otherwise the default button. Any other answer is told the valid keys and asked
    // again.
    int confirmBox(const std::string& text, const std::string& title, int buttons,
                   int style) override;

    // Shows the text with every ";" as a line break and the options numbered from 1.
    // Accepts an option's number or its text in any letter case; Esc closes without a
    // choice (0). At the end of the input returns 0 and sets *noAnswerPossible (when
    // given). Any other answer is told the valid keys and asked again.
    int alert(const std::string& text, const std::vector<std::string>& options,
              bool* noAnswerPossible) override;

  private:
    // Text: an answer line; Escape: a line of only Esc; TooLong: a line longer than
    // maxAnswerLength, dropped; End: the input has ended.
    enum class Reply { Text, Escape, TooLong, End };

    // Writes a dialog text, turning CR LF and a lone CR into line breaks and bytes that
    // are not UTF-8 into replacement characters.
    void writeText(const std::string& text);
    // Reads one answer line, trimmed of blanks, into answer.
    Reply readAnswer(std::string& answer);

    std::istream& in_;
    std::ostream& out_;
    bool echoAnswers_;
};

} // namespace rt::posix
