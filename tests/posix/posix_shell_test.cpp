// Starting programs (looked up as Windows does, arguments split by the Windows
// rules) and the runtime's own command interpreter for "/C MD".
#include "posix_test_support.hpp"

#include "runtime/posix/command_interpreter.hpp"
#include "runtime/posix/posix_platform.hpp"
#include "runtime/posix/program_lookup.hpp"
#include "windows_command_line.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

using namespace posix_test;
using rt::posix::findProgram;
using rt::posix::ProgramSearch;

// --- program lookup -------------------------------------------------------------

class ProgramLookup : public testing::Test {
  protected:
    ProgramLookup() {
        for (const char* name : {"own", "current", "path1", "path2"}) {
            fs::create_directory(temp.path() / name);
        }
        where.ownFolder = temp / "own";
        where.currentFolder = temp / "current";
        where.pathList = temp / "path1" + ":" + temp / "path2";
    }
    void placeProgram(const std::string& folder) {
        writeScript(temp.path() / folder / "robocopy.exe", "exit 0");
    }
    std::optional<std::string> found(const std::string& name = "robocopy.exe") {
        return findProgram(name, where);
    }
    std::string in(const std::string& folder) { return temp / folder + "/robocopy.exe"; }

    TempFolder temp;
    ProgramSearch where;
};

TEST_F(ProgramLookup, OwnFolderThenCurrentFolderThenPathInOrder) {
    struct Case {
        std::vector<std::string> placedIn;
        std::optional<std::string> winner;
    };
    const Case cases[] = {
        {{"own", "current", "path1", "path2"}, "own"},
        {{"current", "path1", "path2"}, "current"},
        {{"own", "path2"}, "own"},
        {{"path1", "path2"}, "path1"},
        {{"path2"}, "path2"},
        {{}, std::nullopt},
    };
    for (const Case& c : cases) {
        for (const char* folder : {"own", "current", "path1", "path2"}) {
            fs::remove_all(temp.path() / folder / "robocopy.exe");
        }
        for (const std::string& folder : c.placedIn) {
            placeProgram(folder);
        }
        const auto result = found();
        ASSERT_EQ(result.has_value(), c.winner.has_value()) << c.placedIn.size();
        if (c.winner) {
            EXPECT_EQ(*result, in(*c.winner));
        }
    }
}

TEST_F(ProgramLookup, SkipsWhatIsNoExecutableFile) {
    writeFile(temp.path() / "own" / "robocopy.exe", "not executable");
    fs::create_directory(temp.path() / "current" / "robocopy.exe");
    placeProgram("path2");
    EXPECT_EQ(found(), in("path2"));
}

TEST_F(ProgramLookup, NameMustMatchExactly) {
    placeProgram("own");
    EXPECT_EQ(found("ROBOCOPY.exe"), std::nullopt);
    EXPECT_EQ(found("robocopy"), std::nullopt);
}

TEST_F(ProgramLookup, EmptyPathEntriesAreSkipped) {
    where.pathList = "::" + temp / "path2" + ":";
    placeProgram("path2");
    EXPECT_EQ(found(), in("path2"));
}

TEST_F(ProgramLookup, ANameWithAFolderIsTakenAsItIs) {
    placeProgram("own");
    placeProgram("path1");
    EXPECT_EQ(found(temp / "path1\\robocopy.exe"), in("path1"));
    EXPECT_EQ(found(temp / "path1/robocopy.exe"), in("path1"));
    EXPECT_EQ(found(temp / "path2/robocopy.exe"), std::nullopt);
    const CurrentFolder inside(temp.path());
    EXPECT_EQ(found("path1\\robocopy.exe"), "path1/robocopy.exe");
}

TEST_F(ProgramLookup, TheRunningProgramSearchesItsOwnFolderTheCurrentFolderAndPath) {
    const ProgramSearch current = rt::posix::currentSearch("/opt/backup/datensicherung");
    EXPECT_EQ(current.ownFolder, "/opt/backup");
    EXPECT_EQ(current.currentFolder, fs::current_path().string());
    EXPECT_EQ(current.pathList, std::getenv("PATH"));
}

// --- running programs -----------------------------------------------------------

class RunningPrograms : public testing::Test {
  protected:
    TempFolder temp;
    rt::posix::PosixPlatform platform;
};

TEST_F(RunningPrograms, ArgumentsReachTheProgramSplitByWindowsRules) {
    const std::string program = temp / "args.sh";
    writeScript(program, "out=\"$(dirname \"$0\")/args.txt\"; : > \"$out\"\n"
                         "for a in \"$@\"; do printf '<%s>\\n' \"$a\" >> \"$out\"; done");
    struct Case {
        std::string parameters;
        std::string received;
    };
    const Case cases[] = {
        {"", ""},
        {"a b  c", "<a>\n<b>\n<c>\n"},
        {"\"C:\\Quelle mit Blank\" D:\\Ziel *.* /MIR",
         "<C:\\Quelle mit Blank>\n<D:\\Ziel>\n<*.*>\n</MIR>\n"},
        {"\"D:\\Ziel mit Blank\\\\\" /R:1", "<D:\\Ziel mit Blank\\>\n</R:1>\n"},
        {"a\\\"b c\\\\d \"\"", "<a\"b>\n<c\\\\d>\n<>\n"},
        {"$HOME `x` ; & | > ", "<$HOME>\n<`x`>\n<;>\n<&>\n<|>\n<>>\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform.run(program, c.parameters, true), 0) << c.parameters;
        EXPECT_EQ(readFile(temp.path() / "args.txt"), c.received) << c.parameters;
    }
}

TEST_F(RunningPrograms, WaitingGivesTheExitStatus) {
    const std::string program = temp / "status.sh";
    writeScript(program, "eval \"$1\"");
    struct Case {
        const char* command;
        int status;
    };
    const Case cases[] = {
        {"exit 0", 0},
        {"exit 1", 1},
        {"exit 7", 7},
        {"exit 16", 16},
        {"exit 255", 255},
        {"kill -TERM $$", 128 + 15},
        {"kill -KILL $$", 128 + 9},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform.run(program, wincmd::quote(c.command), true), c.status) << c.command;
    }
}

TEST_F(RunningPrograms, MinusOneWhenTheProgramCannotBeStarted) {
    fs::create_directory(temp.path() / "ordner");
    writeFile(temp.path() / "plain.txt", "not executable");
    writeFile(temp.path() / "junk.exe", std::string("\x01\x02\x03 no program", 15));
    fs::permissions(temp.path() / "junk.exe", fs::perms::owner_exec, fs::perm_options::add);
    for (const std::string& program :
         {std::string("no-such-program-anywhere.exe"), temp / "fehlt.exe", temp / "ordner",
          temp / "plain.txt", temp / "junk.exe"}) {
        EXPECT_EQ(platform.run(program, "", true), -1) << program;
        EXPECT_EQ(platform.run(program, "", false), -1) << program;
    }
}

// The system takes each argument up to its first NUL: a program given a cut argument (a
// shorter destination folder) is never started.
TEST_F(RunningPrograms, ANulInTheParametersStartsNothing) {
    const std::string program = temp / "ran.sh";
    writeScript(program, "touch \"$(dirname \"$0\")/ran\"");
    EXPECT_EQ(platform.run(program, std::string("quelle ziel\0junk *.*", 21), true), -1);
    EXPECT_EQ(platform.run(program + std::string("\0x", 2), "", true), -1);
    EXPECT_FALSE(fs::exists(temp.path() / "ran"));
}

TEST_F(RunningPrograms, FindsProgramsInTheCurrentFolderAndOnPath) {
    writeScript(temp.path() / "here.exe", "echo hier > \"$1\"");
    const CurrentFolder inside(temp.path());
    EXPECT_EQ(platform.run("here.exe", wincmd::quote(temp / "out.txt"), true), 0);
    EXPECT_EQ(readFile(temp.path() / "out.txt"), "hier\n");
    EXPECT_EQ(platform.run("sh", "-c \"exit 3\"", true), 3);
}

TEST_F(RunningPrograms, NotWaitingGivesZeroOnceStarted) {
    const std::string fifo = temp / "done.fifo";
    ASSERT_EQ(platform.run("mkfifo", wincmd::quote(fifo), true), 0);
    writeScript(temp.path() / "late.sh", "echo gelaufen > \"$1\"; exit 5");
    EXPECT_EQ(platform.run(temp / "late.sh", wincmd::quote(fifo), false), 0);
    // Blocks until the program writes; it runs on its own.
    std::ifstream done(fifo);
    std::string line;
    std::getline(done, line);
    EXPECT_EQ(line, "gelaufen");
}

// --- the command interpreter ----------------------------------------------------

class CommandInterpreter : public testing::Test {
  protected:
    int md(const std::string& parameters) {
        errors.str("");
        return rt::posix::runCommandInterpreter(parameters, errors);
    }
    // A path inside the temporary folder written the Windows way.
    std::string windows(const std::string& relative) {
        std::string path = temp / relative;
        for (char& c : path) {
            if (c == '/') {
                c = '\\';
            }
        }
        return path;
    }
    bool folder(const std::string& relative) { return fs::is_directory(temp.path() / relative); }

    TempFolder temp;
    std::ostringstream errors;
};

TEST_F(CommandInterpreter, MakesEveryMissingLevel) {
    const std::string spellings[] = {"/C MD ",    "/c md ",    "  /C  MD   ", "/C Md\t",
                                     "/C MKDIR ", "/c mkdir ", "/CMD ",       "/C\tmD "};
    int n = 0;
    for (const std::string& spelling : spellings) {
        const std::string target = "n" + std::to_string(++n) + "/zwei/drei";
        EXPECT_EQ(md(spelling + windows(target)), 0) << spelling << errors.str();
        EXPECT_TRUE(folder(target)) << spelling;
        EXPECT_EQ(errors.str(), "");
    }
}

TEST_F(CommandInterpreter, QuotesGroupAndBackslashesStayLiteral) {
    EXPECT_EQ(md("/C MD \"" + windows("Ziel mit Blank/Montag") + "\\\""), 0) << errors.str();
    EXPECT_TRUE(folder("Ziel mit Blank/Montag"));
    EXPECT_EQ(md("/C MD \"" + windows("a b") + "\"\\c\\\"d e\""), 0) << errors.str();
    EXPECT_TRUE(folder("a b/c/d e"));
    EXPECT_EQ(md("/C MD " + windows("x\\\\y\\") + "  " + windows("z")), 0) << errors.str();
    EXPECT_TRUE(folder("x/y"));
    EXPECT_TRUE(folder("z"));
}

TEST_F(CommandInterpreter, SplitsFolderWordsAtBlanksOutsideQuotes) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(rt::posix::commandWords(" a  \"b c\"\td "), (Words{"a", "b c", "d"}));
    EXPECT_EQ(rt::posix::commandWords("\"C:\\a b\\\" x"), (Words{"C:\\a b\\", "x"}));
    EXPECT_EQ(rt::posix::commandWords("a\"b c\"d \"\""), (Words{"ab cd", ""}));
    EXPECT_EQ(rt::posix::commandWords("\"offen bis zum Ende"), (Words{"offen bis zum Ende"}));
    EXPECT_EQ(rt::posix::commandWords("   "), Words{});
}

TEST_F(CommandInterpreter, OneWhenAFolderExistedOrCouldNotBeMade) {
    fs::create_directories(temp.path() / "da");
    writeFile(temp.path() / "datei", "x");
    EXPECT_EQ(md("/C MD " + windows("da")), 1);
    EXPECT_NE(errors.str().find("existiert bereits"), std::string::npos) << errors.str();

    EXPECT_EQ(md("/C MD " + windows("neu1") + " " + windows("da") + " " + windows("neu2")), 1);
    EXPECT_TRUE(folder("neu1"));
    EXPECT_TRUE(folder("neu2"));

    EXPECT_EQ(md("/C MD " + windows("datei")), 1);
    EXPECT_EQ(md("/C MD " + windows("datei/unter")), 1);
    EXPECT_NE(errors.str().find("nicht erstellt"), std::string::npos) << errors.str();
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "datei"));

    EXPECT_EQ(md("/C MD"), 1);
    EXPECT_EQ(md("/C MD   "), 1);
    EXPECT_NE(errors.str(), "");
}

TEST_F(CommandInterpreter, AnyOtherCommandIsNotUnderstoodAndNotRun) {
    const std::string marker = temp / "marker";
    const std::string commands[] = {
        "/C touch " + marker,
        "/C ECHO x > " + marker,
        "/C MDX " + marker,
        "/K MD " + marker,
        "MD " + marker,
        "/C",
        "",
        "/C \"MD " + marker + "\"",
    };
    for (const std::string& command : commands) {
        EXPECT_EQ(md(command), 1) << command;
        EXPECT_NE(errors.str().find("nicht verstanden"), std::string::npos) << command;
        EXPECT_FALSE(fs::exists(marker)) << command;
    }
}

TEST_F(CommandInterpreter, ShellCharactersAreJustPartsOfFolderNames) {
    // cmd.exe would run "touch y" after the "&"; here every word is a folder name.
    const CurrentFolder inside(temp.path());
    EXPECT_EQ(md("/C MD x & touch y; z`date` $(id)"), 0) << errors.str();
    for (const char* name : {"x", "&", "touch", "y;", "z`date`", "$(id)"}) {
        EXPECT_TRUE(folder(name)) << name;
    }
    EXPECT_FALSE(fs::exists(temp.path() / "y"));
}

// A folder on a drive names nothing on this system; taken as a path it would make a folder
// "C:" in the current folder.
TEST_F(CommandInterpreter, AFolderOnADriveIsRefusedAndNothingIsMade) {
    const CurrentFolder inside(temp.path());
    for (const char* command :
         {"/C MD C:\\Sicherung\\202611", "/C MD c:relativ", "/C MD \"D:\\mit Blank\\x\"",
          "/C MD Z:", "/C RD C:\\Sicherung", "/C MD ok C:\\x"}) {
        EXPECT_EQ(md(command), 1) << command;
        EXPECT_NE(errors.str().find("Laufwerk nicht finden"), std::string::npos) << command;
    }
    std::vector<std::string> made;
    for (const auto& entry : fs::directory_iterator(temp.path())) {
        made.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(made, std::vector<std::string>{"ok"}) << "only the folder without a drive";
}

TEST_F(CommandInterpreter, AFolderOnANetworkShareIsRefusedAndNothingIsMade) {
    const CurrentFolder inside(temp.path());
    const std::string share = (temp.path() / "share").string();
    for (const std::string& command :
         {"/C MD \\\\" + share.substr(1) + "\\202611", "/C MD //" + share.substr(1),
          "/C MD \"\\/" + share.substr(1) + " x\"", "/C RD \\\\" + share.substr(1)}) {
        EXPECT_EQ(md(command), 1) << command;
        EXPECT_NE(errors.str().find("Netzwerkpfad wurde nicht gefunden"), std::string::npos)
            << command;
    }
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

TEST_F(CommandInterpreter, ANulInAFolderMakesNothing) {
    EXPECT_EQ(md("/C MD " + windows("bk") + std::string("\0junk", 5)), 1);
    EXPECT_FALSE(fs::exists(temp.path() / "bk"));
}

// RD takes one empty folder away and nothing else: never what is in it, never through a
// link, never a tree (no /S).
TEST_F(CommandInterpreter, RemovesAnEmptyFolderOnly) {
    fs::create_directories(temp.path() / "voll" / "unter");
    writeFile(temp.path() / "voll" / "datei", "x");
    fs::create_directories(temp.path() / "leer-ziel");
    fs::create_directory_symlink(temp.path() / "leer-ziel", temp.path() / "link");
    writeFile(temp.path() / "datei", "x");
    struct Case {
        std::string command;
        int result;
        std::string message;
    };
    const Case cases[] = {
        {"/C RD " + windows("voll"), 1, "nicht leer"},
        {"/C RD " + windows("link"), 1, "nicht entfernt"},
        {"/C RD " + windows("link") + "\\", 1, "nicht entfernt"},
        {"/C RD " + windows("datei"), 1, "nicht entfernt"},
        {"/C RD " + windows("fehlt"), 1, "nicht finden"},
        {"/C RD /S " + windows("voll"), 1, "nicht verstanden"},
        {"/C RMDIR /q " + windows("voll"), 1, "nicht verstanden"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(md(c.command), c.result) << c.command;
        EXPECT_NE(errors.str().find(c.message), std::string::npos) << c.command << errors.str();
    }
    EXPECT_TRUE(fs::exists(temp.path() / "voll" / "unter"));
    EXPECT_TRUE(fs::exists(temp.path() / "voll" / "datei"));
    EXPECT_TRUE(fs::is_symlink(temp.path() / "link"));
    EXPECT_TRUE(folder("leer-ziel"));
    EXPECT_TRUE(fs::exists(temp.path() / "datei"));

    fs::create_directories(temp.path() / "a" / "leer");
    fs::create_directories(temp.path() / "mit Blank");
    EXPECT_EQ(md("/C RD " + windows("a/leer") + "\\ \"" + windows("mit Blank") + "\""), 0)
        << errors.str();
    EXPECT_FALSE(fs::exists(temp.path() / "a" / "leer"));
    EXPECT_FALSE(fs::exists(temp.path() / "mit Blank"));
    EXPECT_TRUE(folder("a"));
    EXPECT_EQ(md("/c rmdir " + windows("leer-ziel")), 0) << errors.str();
    EXPECT_FALSE(fs::exists(temp.path() / "leer-ziel"));
}

TEST_F(CommandInterpreter, ReachedThroughRunWithoutAProgram) {
    std::istringstream in;
    std::ostringstream out, err;
    rt::posix::PosixPlatform platform(in, out, err);
    const CurrentFolder inside(temp.path());
    EXPECT_EQ(platform.run("", "/C MD \"" + windows("Ziel mit Blank/Montag") + "\\\"", true), 0);
    EXPECT_TRUE(folder("Ziel mit Blank/Montag"));
    EXPECT_EQ(platform.run("", "/C MD \"" + windows("Ziel mit Blank") + "\"", true), 1);
    EXPECT_NE(err.str().find("existiert bereits"), std::string::npos);
    EXPECT_EQ(platform.run("", "/C MD nicht\\gewartet da", false), 0);
    EXPECT_TRUE(folder("nicht/gewartet"));
    EXPECT_TRUE(folder("da"));
    EXPECT_EQ(platform.run("", "/C MD da", false), 0) << "not waiting hides the result";
    EXPECT_EQ(platform.run("", "/C DIR", true), 1);
    EXPECT_NE(err.str().find("nicht verstanden"), std::string::npos);
    EXPECT_EQ(out.str(), "");
}

} // namespace
