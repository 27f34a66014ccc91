// A fixture for the error system: the program test fixture, error records with chosen
// members, and no database session left behind.
#pragma once

#include "errors/error_system.hpp"
#include "runtime/console_windows.hpp"
#include "runtime/output.hpp"
#include "runtime/session.hpp"
#include "tests/support/program_fixture.hpp"
#include "tests/support/session_double.hpp"

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace test {

class ErrorSystemTest : public ProgramTest {
  protected:
    void TearDown() override {
        rt::setDbSession(rt::NIL);
        ProgramTest::TearDown();
    }

    // A record as the runtime makes it for an argument error of "+", changed by `change`.
    static rt::ErrorRef record(const std::function<void(rt::ErrorRecord&)>& change = {}) {
        auto e = rt::makeError(rt::gen::ARGUMENT, 1, "+",
                               rt::Value(rt::makeArray({rt::NIL, rt::Value("\\202611")})));
        if (change) {
            change(*e);
        }
        return e;
    }

    // Registers a root console window as the application window.
    static void registerRootConsole() { rt::SETAPPWINDOW(rt::ROOTCRT().object()->send("New", {})); }

    // The text split at every "\r\n".
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> out;
        std::size_t from = 0;
        for (;;) {
            const auto at = text.find("\r\n", from);
            if (at == std::string::npos) {
                out.push_back(text.substr(from));
                return out;
            }
            out.push_back(text.substr(from, at - from));
            from = at + 2;
        }
    }
};

} // namespace test
