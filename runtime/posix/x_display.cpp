#include "runtime/posix/x_display.hpp"

#include <dlfcn.h>
#include <mutex>

namespace rt::posix {

namespace {

// The few Xlib functions used, declared here so that no X header is needed. A
// Display is only ever handled through its pointer.
struct Xlib {
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    using QueryKeymap = int (*)(void*, char*);
    using KeysymToKeycode = unsigned char (*)(void*, unsigned long);
    using DisplaySize = int (*)(void*, int);

    OpenDisplay openDisplay = nullptr;
    CloseDisplay closeDisplay = nullptr;
    QueryKeymap queryKeymap = nullptr;
    KeysymToKeycode keysymToKeycode = nullptr;
    DisplaySize displayWidth = nullptr;
    DisplaySize displayHeight = nullptr;

    bool complete() const {
        return openDisplay && closeDisplay && queryKeymap && keysymToKeycode && displayWidth &&
               displayHeight;
    }
};

template <typename Function> void resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
}

// The library, loaded once and kept for the life of the program; nullptr when it
// cannot be loaded.
const Xlib* xlib() {
    static Xlib functions;
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] {
        void* library = ::dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        if (library == nullptr) {
            return;
        }
        resolve(library, "XOpenDisplay", functions.openDisplay);
        resolve(library, "XCloseDisplay", functions.closeDisplay);
        resolve(library, "XQueryKeymap", functions.queryKeymap);
        resolve(library, "XKeysymToKeycode", functions.keysymToKeycode);
        resolve(library, "XDisplayWidth", functions.displayWidth);
        resolve(library, "XDisplayHeight", functions.displayHeight);
        loaded = functions.complete();
    });
    return loaded ? &functions : nullptr;
}

// An open connection to a display, closed at the end of its scope.
class Connection {
  public:
    explicit Connection(const std::string& displayName) {
        if (!displayName.empty() && (lib_ = xlib()) != nullptr) {
            display_ = lib_->openDisplay(displayName.c_str());
        }
    }
    ~Connection() {
        if (display_ != nullptr) {
            lib_->closeDisplay(display_);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    explicit operator bool() const { return display_ != nullptr; }
    const Xlib& lib() const { return *lib_; }
    void* display() const { return display_; }

  private:
    const Xlib* lib_ = nullptr;
    void* display_ = nullptr;
};

constexpr unsigned long controlLeft = 0xffe3, controlRight = 0xffe4;

} // namespace

bool ctrlHeldOnDisplay(const std::string& displayName) {
    Connection connection(displayName);
    if (!connection) {
        return false;
    }
    char keys[32] = {};
    connection.lib().queryKeymap(connection.display(), keys);
    for (const unsigned long keysym : {controlLeft, controlRight}) {
        const unsigned keycode = connection.lib().keysymToKeycode(connection.display(), keysym);
        if (keycode != 0 && (static_cast<unsigned char>(keys[keycode / 8]) >> (keycode % 8)) & 1) {
            return true;
        }
    }
    return false;
}

std::optional<ScreenSize> screenSizeOfDisplay(const std::string& displayName) {
    Connection connection(displayName);
    if (!connection) {
        return std::nullopt;
    }
    const ScreenSize size{connection.lib().displayWidth(connection.display(), 0),
                          connection.lib().displayHeight(connection.display(), 0)};
    if (size.width <= 0 || size.height <= 0) {
        return std::nullopt;
    }
    return size;
}

} // namespace rt::posix
