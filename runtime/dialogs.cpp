#include "runtime/dialogs.hpp"

#include "runtime/platform.hpp"
#include "runtime/procedure_stack.hpp"

#include <string>
#include <vector>

namespace rt {

namespace {
bool alertEnded = false;
} // namespace

void MSGBOX(std::string_view text, Loc loc) {
    trace(loc);
    platform().messageBox(std::string(text));
}

int CONFIRMBOX(const Value& owner, std::string_view text, std::string_view title, int buttons,
               int style, Loc loc) {
    trace(loc);
    return platform().confirmBox(owner.isObject(), std::string(text), std::string(title), buttons,
                                 style);
}

int ALERT(std::string_view text, const Value& options, Loc loc) {
    trace(loc);
    std::vector<std::string> labels;
    if (options.isArray()) {
        for (const auto& option : *options.array()) {
            labels.push_back(option.isText() ? option.text() : std::string());
        }
    }
    bool noAnswer = false;
    const int choice = platform().alert(std::string(text), labels, &noAnswer);
    if (noAnswer) {
        alertEnded = true;
    }
    return choice;
}

bool alertCannotBeAnswered() {
    return alertEnded;
}

void resetDialogs() {
    alertEnded = false;
}

void TONE(int frequency, int duration, Loc loc) {
    trace(loc);
    platform().tone(frequency, duration);
}

} // namespace rt
