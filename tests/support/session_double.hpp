// A database-access class for tests, known by the name "DacSession" once registered: its
// getDefault gives a session (or the empty value), and the session reports the error
// code and message the test sets. Sessions count the messages they get.
#pragma once

#include "runtime/object.hpp"
#include "runtime/session.hpp"

#include <functional>
#include <memory>
#include <string>

namespace test {

class SessionDouble : public rt::Object {
  public:
    double lastError = 0;
    std::string lastMessage;
    int errorQueries = 0;
    int messageQueries = 0;
    // When set, getLastError runs this instead (to raise an error from inside).
    std::function<rt::Value()> onLastError;

    std::string className() const override { return "DacSession"; }
    rt::Value send(std::string_view message, const std::vector<rt::Value>& args) override {
        if (rt::sameName(message, "getLastError")) {
            ++errorQueries;
            return onLastError ? onLastError() : rt::Value(lastError);
        }
        if (rt::sameName(message, "getLastMessage")) {
            ++messageQueries;
            return rt::Value(lastMessage);
        }
        return rt::Object::send(message, args);
    }
};

class SessionClassDouble : public rt::Object {
  public:
    rt::Value defaultSession; // what getDefault gives
    int defaultQueries = 0;

    std::string className() const override { return "DacSession"; }
    rt::Value send(std::string_view message, const std::vector<rt::Value>& args) override {
        if (rt::sameName(message, "getDefault")) {
            ++defaultQueries;
            return defaultSession;
        }
        return rt::Object::send(message, args);
    }
};

// Registers a "DacSession" class whose default session is `session` (may be null).
inline std::shared_ptr<SessionClassDouble>
registerSessionClass(const std::shared_ptr<SessionDouble>& session) {
    auto cls = std::make_shared<SessionClassDouble>();
    cls->defaultSession = session ? rt::Value(session) : rt::NIL;
    rt::registerClass("DacSession", rt::Value(cls));
    return cls;
}

} // namespace test
