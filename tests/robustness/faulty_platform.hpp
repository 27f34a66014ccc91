// The scripted platform with operations that fail on request: the n-th failable call,
// or every call of one kind. It writes down each failable call, so that a run without
// faults tells which calls there are to make fail, one after the other.
#pragma once

#include "tests/support/scripted_platform.hpp"

#include <set>
#include <string>
#include <vector>

namespace robust {

enum class Op {
    OpenRead,         // a file open for reading (either mode)
    Read,             // a read from an open file
    Close,            // closing a file (the handle is freed all the same)
    CreateWrite,      // creating a file for writing
    Write,            // a write to a file
    MakeFolder,       // the interpreter's folder command: makes nothing, status 1
    StartProgram,     // a program that cannot be started (-1)
    Confirm,          // a message box that cannot be shown (answer 0)
    Alert,            // a dialog that cannot be shown (no answer can come)
    GraphicalConsole, // the graphical console window cannot be made
};

std::string name(Op op);

class FaultyPlatform : public test::ScriptedPlatform {
  public:
    // The calls (0-based, over all failable calls) that fail.
    std::set<int> failAt;
    // Every call of these kinds fails.
    std::set<Op> alwaysFailing;

    // Every failable call, in order, and whether it was made to fail.
    std::vector<Op> calls;
    std::vector<bool> failed;
    // Handles handed out and not closed yet.
    std::set<int> openHandles;

    rt::OpenResult openRead(const std::string& path, int mode) override;
    rt::OpenResult createWrite(const std::string& path) override;
    long read(int handle, char* buffer, long count, int* osCode) override;
    long write(int handle, const char* data, long count, int* osCode) override;
    bool close(int handle) override;
    int run(const std::string& program, const std::string& parameters, bool wait) override;
    int confirmBox(bool ownedByDesktop, const std::string& text, const std::string& title,
                   int buttons, int style) override;
    int alert(const std::string& text, const std::vector<std::string>& options,
              bool* noAnswerPossible) override;
    bool createGraphicalConsole(const rt::GraphicalConsoleLayout& layout) override;

  private:
    bool fails(Op op);
};

} // namespace robust
