#include "runtime/posix/desktop_dialogs.hpp"

#include "runtime/encoding.hpp"
#include "runtime/platform.hpp"
#include "runtime/posix/button_sets.hpp"
#include "runtime/window_title.hpp"

#include <dlfcn.h>

#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace rt::posix {

namespace {

// GLib's list, as GTK hands out a container's children.
struct GList {
    void* data;
    GList* next;
    GList* prev;
};

// The GTK, GDK and GObject functions used, declared here so that no GTK header is
// needed. Widgets, dialogs and events are only ever handled through their pointers.
struct Gtk {
    using Callback = void (*)();
    void (*disableSetlocale)() = nullptr;
    int (*initCheck)(int*, char***) = nullptr;
    void* (*messageDialogNew)(void*, int, int, int, const char*, ...) = nullptr;
    void* (*messageDialogGetMessageArea)(void*) = nullptr;
    GList* (*containerGetChildren)(void*) = nullptr;
    void (*listFree)(GList*) = nullptr;
    void (*labelSetSelectable)(void*, int) = nullptr;
    void (*messageDialogSetImage)(void*, void*) = nullptr;
    void* (*imageNewFromIconName)(const char*, int) = nullptr;
    void* (*dialogAddButton)(void*, const char*, int) = nullptr;
    void (*dialogSetDefaultResponse)(void*, int) = nullptr;
    int (*dialogRun)(void*) = nullptr;
    void (*dialogResponse)(void*, int) = nullptr;
    void (*windowSetTitle)(void*, const char*) = nullptr;
    void (*windowSetIconName)(void*, const char*) = nullptr;
    void (*windowSetPosition)(void*, int) = nullptr;
    void (*windowSetKeepAbove)(void*, int) = nullptr;
    void (*windowSetUrgencyHint)(void*, int) = nullptr;
    void (*windowSetDeletable)(void*, int) = nullptr;
    void (*windowPresent)(void*) = nullptr;
    void (*widgetShow)(void*) = nullptr;
    void (*widgetGrabFocus)(void*) = nullptr;
    void (*widgetDestroy)(void*) = nullptr;
    int (*eventsPending)() = nullptr;
    int (*mainIteration)() = nullptr;
    int (*eventGetKeyval)(const void*, unsigned*) = nullptr;
    int (*eventGetState)(const void*, unsigned*) = nullptr;
    unsigned (*keyvalToUnicode)(unsigned) = nullptr;
    unsigned long (*signalConnectData)(void*, const char*, Callback, void*, void*, int) = nullptr;
    unsigned (*logSetHandler)(const char*, int, void (*)(const char*, int, const char*, void*),
                              void*) = nullptr;

    template <typename Function> bool resolve(void* library, const char* name, Function& f) {
        f = reinterpret_cast<Function>(::dlsym(library, name));
        return f != nullptr;
    }

    bool load(void* library) {
        return resolve(library, "gtk_disable_setlocale", disableSetlocale) &&
               resolve(library, "gtk_init_check", initCheck) &&
               resolve(library, "gtk_message_dialog_new", messageDialogNew) &&
               resolve(library, "gtk_message_dialog_get_message_area",
                       messageDialogGetMessageArea) &&
               resolve(library, "gtk_container_get_children", containerGetChildren) &&
               resolve(library, "g_list_free", listFree) &&
               resolve(library, "gtk_label_set_selectable", labelSetSelectable) &&
               resolve(library, "gtk_message_dialog_set_image", messageDialogSetImage) &&
               resolve(library, "gtk_image_new_from_icon_name", imageNewFromIconName) &&
               resolve(library, "gtk_dialog_add_button", dialogAddButton) &&
               resolve(library, "gtk_dialog_set_default_response", dialogSetDefaultResponse) &&
               resolve(library, "gtk_dialog_run", dialogRun) &&
               resolve(library, "gtk_dialog_response", dialogResponse) &&
               resolve(library, "gtk_window_set_title", windowSetTitle) &&
               resolve(library, "gtk_window_set_icon_name", windowSetIconName) &&
               resolve(library, "gtk_window_set_position", windowSetPosition) &&
               resolve(library, "gtk_window_set_keep_above", windowSetKeepAbove) &&
               resolve(library, "gtk_window_set_urgency_hint", windowSetUrgencyHint) &&
               resolve(library, "gtk_window_set_deletable", windowSetDeletable) &&
               resolve(library, "gtk_window_present", windowPresent) &&
               resolve(library, "gtk_widget_show", widgetShow) &&
               resolve(library, "gtk_widget_grab_focus", widgetGrabFocus) &&
               resolve(library, "gtk_widget_destroy", widgetDestroy) &&
               resolve(library, "gtk_events_pending", eventsPending) &&
               resolve(library, "gtk_main_iteration", mainIteration) &&
               resolve(library, "gdk_event_get_keyval", eventGetKeyval) &&
               resolve(library, "gdk_event_get_state", eventGetState) &&
               resolve(library, "gdk_keyval_to_unicode", keyvalToUnicode) &&
               resolve(library, "g_signal_connect_data", signalConnectData) &&
               resolve(library, "g_log_set_handler", logSetHandler);
    }
};

// GTK's own numbers.
constexpr int messageInfo = 0, messageWarning = 1, messageQuestion = 2, messageError = 3,
              messageOther = 4;
constexpr int buttonsNone = 0;
constexpr int dialogModal = 1;
constexpr int responseNone = -1, responseDeleteEvent = -4;
constexpr int positionCenter = 1;
constexpr int iconSizeDialog = 6;
constexpr int logLevelMessage = 1 << 5;
constexpr unsigned controlMask = 1u << 2, altMask = 1u << 3;

struct Icon {
    int messageType;
    const char* name; // nullptr: no icon
};

// The icon the style's icon bits name (Windows: 16 stop, 32 question, 48 exclamation,
// 64 information).
Icon iconOf(int style) {
    switch (style & 0xF0) {
    case 16:
        return {messageError, "dialog-error"};
    case 32:
        return {messageQuestion, "dialog-question"};
    case 48:
        return {messageWarning, "dialog-warning"};
    case 64:
        return {messageInfo, "dialog-information"};
    default:
        return {messageOther, nullptr};
    }
}

// A title on one line (each line end one blank), shown with replacement characters.
std::string titleText(const std::string& title) {
    return withReplacementCharacters(oneLineTitle(title));
}

// A dialog text with CR LF, a lone CR and (for ALERT) ";" as line breaks.
std::string bodyText(const std::string& text, bool semicolonBreaks) {
    std::string body;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            body.push_back('\n');
        } else if (c == ';' && semicolonBreaks) {
            body.push_back('\n');
        } else {
            body.push_back(c);
        }
    }
    return withReplacementCharacters(body);
}

// A label shown as it is written: GTK would take "_" as the mark of a mnemonic.
std::string literalLabel(const std::string& text) {
    std::string label;
    for (const char c : withReplacementCharacters(text)) {
        label.push_back(c);
        if (c == '_') {
            label.push_back('_');
        }
    }
    return label;
}

// A letter key answers with the button it names, as on the terminal: "j" is Ja, "n"
// Nein, and so on.
struct LetterKeys {
    const Gtk* gtk = nullptr;
    std::vector<std::pair<char, int>> letters;
};

int onKeyPress(void* dialog, void* event, void* data) {
    const auto& keys = *static_cast<const LetterKeys*>(data);
    unsigned keyval = 0, state = 0;
    if (!keys.gtk->eventGetKeyval(event, &keyval) || !keys.gtk->eventGetState(event, &state) ||
        (state & (controlMask | altMask)) != 0) {
        return 0;
    }
    unsigned c = keys.gtk->keyvalToUnicode(keyval);
    if (c >= 'A' && c <= 'Z') {
        c = c - 'A' + 'a';
    }
    for (const auto& [letter, result] : keys.letters) {
        if (c == static_cast<unsigned char>(letter)) {
            keys.gtk->dialogResponse(dialog, result);
            return 1;
        }
    }
    return 0;
}

void ignoreLogMessage(const char*, int, const char*, void*) {}

class GtkDialogs : public DesktopDialogs {
  public:
    GtkDialogs(const Gtk& gtk, std::string programName)
        : gtk_(gtk), programName_(std::move(programName)) {}

    void messageBox(const std::string& text) override {
        // No title, as on Windows; Enter, Esc and the close box all acknowledge.
        show("", bodyText(text, false), Icon{messageOther, nullptr}, {{"OK", mb::IDOK}}, 0,
             mb::IDOK, false);
    }

    int confirmBox(const std::string& text, const std::string& title, int buttons,
                   int style) override {
        std::vector<Button> set = buttonSet(buttons);
        const std::size_t byDefault = defaultIndex(style, set.size());
        const std::optional<int> onEscape = escapeAnswer(set);
        for (Button& button : set) {
            button.label = "_" + button.label; // Alt and the first letter, as on Windows
        }
        return show(titleText(title), bodyText(text, false), iconOf(style), set, byDefault,
                    onEscape, true);
    }

    int alert(const std::string& text, const std::vector<std::string>& options,
              bool* /*noAnswerPossible*/) override {
        std::vector<Button> set;
        for (std::size_t i = 0; i < options.size(); ++i) {
            set.push_back({literalLabel(options[i]), static_cast<int>(i + 1)});
        }
        if (set.empty()) {
            set.push_back({"OK", 1});
        }
        // The first option is the default; Esc and the close box choose nothing.
        return show(titleText(programName_), bodyText(text, true), Icon{messageOther, nullptr}, set,
                    0, 0, false);
    }

    void showText(const std::string& text) override {
        // Enter, Esc and the close box close it.
        show(titleText(programName_), bodyText(text, false), Icon{messageOther, nullptr},
             {{"OK", mb::IDOK}}, 0, mb::IDOK, false, true);
    }

  private:
    // Shows one modal dialog and returns the result of the button chosen; Esc and the
    // close box give onEscape, or are refused where it is empty. A selectable text can be
    // marked and copied.
    int show(const std::string& title, const std::string& text, const Icon& icon,
             const std::vector<Button>& set, std::size_t byDefault, std::optional<int> onEscape,
             bool letterKeys, bool selectableText = false) {
        void* dialog = gtk_.messageDialogNew(nullptr, dialogModal, icon.messageType, buttonsNone,
                                             "%s", text.c_str());
        if (selectableText) {
            makeTextSelectable(dialog);
        }
        gtk_.windowSetTitle(dialog, title.c_str());
        if (icon.name != nullptr) {
            void* image = gtk_.imageNewFromIconName(icon.name, iconSizeDialog);
            gtk_.messageDialogSetImage(dialog, image);
            gtk_.widgetShow(image);
            gtk_.windowSetIconName(dialog, icon.name);
        }
        void* defaultButton = nullptr;
        LetterKeys keys{&gtk_, {}};
        for (std::size_t i = 0; i < set.size(); ++i) {
            void* button = gtk_.dialogAddButton(dialog, set[i].label.c_str(), set[i].result);
            if (i == byDefault) {
                defaultButton = button;
            }
            if (letterKeys) {
                const char letter = set[i].label[set[i].label[0] == '_' ? 1 : 0];
                keys.letters.emplace_back(static_cast<char>(letter | 0x20), set[i].result);
            }
        }
        gtk_.dialogSetDefaultResponse(dialog, set[byDefault].result);
        gtk_.widgetGrabFocus(defaultButton);
        if (letterKeys) {
            gtk_.signalConnectData(dialog, "key-press-event",
                                   reinterpret_cast<Gtk::Callback>(&onKeyPress), &keys, nullptr, 0);
        }
        if (!onEscape) {
            gtk_.windowSetDeletable(dialog, 0);
        }
        // To the front: a program started from a launcher may have no window of its own.
        gtk_.windowSetPosition(dialog, positionCenter);
        gtk_.windowSetKeepAbove(dialog, 1);
        gtk_.windowSetUrgencyHint(dialog, 1);
        gtk_.windowPresent(dialog);

        int answer = 0;
        for (;;) {
            const int response = gtk_.dialogRun(dialog);
            if (response > 0) {
                answer = response;
                break;
            }
            if (onEscape) {
                answer = *onEscape;
                break;
            }
            if (response != responseDeleteEvent) {
                // The window went away without an answer: the default button.
                answer = set[byDefault].result;
                break;
            }
        }
        gtk_.widgetDestroy(dialog);
        // Let the window disappear now, before a copy that may take long.
        while (gtk_.eventsPending()) {
            gtk_.mainIteration();
        }
        return answer;
    }

    // The message dialog's text is the first label of its message area.
    void makeTextSelectable(void* dialog) const {
        GList* children = gtk_.containerGetChildren(gtk_.messageDialogGetMessageArea(dialog));
        if (children != nullptr) {
            gtk_.labelSetSelectable(children->data, 1);
            gtk_.listFree(children);
        }
    }

    const Gtk& gtk_;
    std::string programName_;
};

// GTK, loaded and set up once for the life of the program; nullptr when it cannot be.
const Gtk* loadedGtk() {
    static Gtk gtk;
    static const bool ready = [] {
        void* library = ::dlopen("libgtk-3.so.0", RTLD_LAZY | RTLD_LOCAL);
        if (library == nullptr || !gtk.load(library)) {
            return false;
        }
        // The program's number and date formats must not follow the user's locale.
        gtk.disableSetlocale();
        if (!gtk.initCheck(nullptr, nullptr)) {
            return false;
        }
        // GTK notes on standard error that a dialog has no parent window; the program's
        // dialogs have none on purpose.
        gtk.logSetHandler("Gtk", logLevelMessage, &ignoreLogMessage, nullptr);
        return true;
    }();
    return ready ? &gtk : nullptr;
}

} // namespace

bool graphicalSessionNamed() {
    for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

std::unique_ptr<DesktopDialogs> openDesktopDialogs(const std::string& programName) {
    const Gtk* gtk = loadedGtk();
    if (gtk == nullptr) {
        return nullptr;
    }
    return std::make_unique<GtkDialogs>(*gtk, programName);
}

} // namespace rt::posix
