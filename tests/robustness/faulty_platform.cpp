#include "tests/robustness/faulty_platform.hpp"

namespace robust {

std::string name(Op op) {
    switch (op) {
    case Op::OpenRead:
        return "OpenRead";
    case Op::Read:
        return "Read";
    case Op::Close:
        return "Close";
    case Op::CreateWrite:
        return "CreateWrite";
    case Op::Write:
        return "Write";
    case Op::MakeFolder:
        return "MakeFolder";
    case Op::StartProgram:
        return "StartProgram";
    case Op::Confirm:
        return "Confirm";
    case Op::Alert:
        return "Alert";
    case Op::GraphicalConsole:
        return "GraphicalConsole";
    }
    return "?";
}

bool FaultyPlatform::fails(Op op) {
    const bool fail =
        failAt.count(static_cast<int>(calls.size())) > 0 || alwaysFailing.count(op) > 0;
    calls.push_back(op);
    failed.push_back(fail);
    return fail;
}

rt::OpenResult FaultyPlatform::openRead(const std::string& path, int mode) {
    if (fails(Op::OpenRead)) {
        return {-1, 5};
    }
    const auto result = ScriptedPlatform::openRead(path, mode);
    if (result.handle >= 0) {
        openHandles.insert(result.handle);
    }
    return result;
}

rt::OpenResult FaultyPlatform::createWrite(const std::string& path) {
    if (fails(Op::CreateWrite)) {
        createAttempts.push_back(path);
        return {-1, 5};
    }
    const auto result = ScriptedPlatform::createWrite(path);
    if (result.handle >= 0) {
        openHandles.insert(result.handle);
    }
    return result;
}

long FaultyPlatform::read(int handle, char* buffer, long count, int* osCode) {
    if (fails(Op::Read)) {
        *osCode = 30; // the device cannot be read
        return -1;
    }
    return ScriptedPlatform::read(handle, buffer, count, osCode);
}

long FaultyPlatform::write(int handle, const char* data, long count, int* osCode) {
    if (fails(Op::Write)) {
        *osCode = 112; // the disk is full
        return -1;
    }
    return ScriptedPlatform::write(handle, data, count, osCode);
}

bool FaultyPlatform::close(int handle) {
    const bool fail = fails(Op::Close);
    openHandles.erase(handle);
    const bool closed = ScriptedPlatform::close(handle);
    return closed && !fail;
}

int FaultyPlatform::run(const std::string& program, const std::string& parameters, bool wait) {
    if (fails(program.empty() ? Op::MakeFolder : Op::StartProgram)) {
        shellCalls.push_back({program, parameters, wait});
        return program.empty() ? 1 : -1;
    }
    return ScriptedPlatform::run(program, parameters, wait);
}

int FaultyPlatform::confirmBox(bool ownedByDesktop, const std::string& text,
                               const std::string& title, int buttons, int style) {
    if (fails(Op::Confirm)) {
        return 0;
    }
    return ScriptedPlatform::confirmBox(ownedByDesktop, text, title, buttons, style);
}

int FaultyPlatform::alert(const std::string& text, const std::vector<std::string>& options,
                          bool* noAnswerPossible) {
    if (fails(Op::Alert)) {
        if (noAnswerPossible) {
            *noAnswerPossible = true;
        }
        return 0;
    }
    return ScriptedPlatform::alert(text, options, noAnswerPossible);
}

bool FaultyPlatform::createGraphicalConsole(const rt::GraphicalConsoleLayout& layout) {
    if (fails(Op::GraphicalConsole)) {
        return false;
    }
    return ScriptedPlatform::createGraphicalConsole(layout);
}

} // namespace robust
