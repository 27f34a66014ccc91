// Files through the POSIX platform: existence, the two read modes, creating for
// writing, and the refusal of the exclusive mode while another process has the file.
#include "posix_test_support.hpp"

#include "runtime/posix/open_elsewhere.hpp"
#include "runtime/posix/posix_platform.hpp"
#include "windows_command_line.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <future>
#include <thread>

namespace {

using namespace posix_test;
using rt::OpenResult;

constexpr int readShared = 0, readExclusive = 16;
constexpr int notFound = 2, pathNotFound = 3, accessDenied = 5, sharingViolation = 32;

class PosixFiles : public testing::Test {
  protected:
    std::string readAll(int handle) {
        std::string content;
        char buffer[7];
        int osCode = 0;
        for (long got; (got = platform.read(handle, buffer, sizeof buffer, &osCode)) > 0;) {
            content.append(buffer, static_cast<std::size_t>(got));
        }
        return content;
    }

    TempFolder temp;
    rt::posix::PosixPlatform platform;
};

TEST_F(PosixFiles, ExistenceOfFilesAndFolders) {
    fs::create_directories(temp.path() / "ordner" / "unter");
    writeFile(temp.path() / "ordner" / "datei.txt", "x");
    const std::string base = temp.path().string();
    struct Case {
        std::string path;
        bool folder;
        bool file;
    };
    const Case cases[] = {
        {base + "/ordner", true, false},
        {base + "\\ordner\\unter", true, false},
        {base + "\\ordner\\unter\\", true, false},
        {base + "/ordner/datei.txt", false, true},
        {base + "\\ordner\\datei.txt", false, true},
        {base + "/ordner/fehlt", false, false},
        {base + "/ordner/datei.txt/", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform.folderExists(c.path), c.folder) << c.path;
        EXPECT_EQ(platform.fileExists(c.path), c.file) << c.path;
    }
}

TEST_F(PosixFiles, BothReadModesReadTheWholeFile) {
    fs::create_directory(temp.path() / "sub");
    writeFile(temp.path() / "sub" / "job.txt", "[1]\r\nZeile eins\r\nZeile zwei\r\n");
    for (const int mode : {readShared, readExclusive}) {
        const OpenResult opened = platform.openRead(temp / "sub\\job.txt", mode);
        ASSERT_GE(opened.handle, 0) << mode;
        EXPECT_EQ(readAll(opened.handle), "[1]\r\nZeile eins\r\nZeile zwei\r\n");
        EXPECT_TRUE(platform.close(opened.handle));
    }
}

TEST_F(PosixFiles, OpeningFailsWithWindowsCodes) {
    fs::create_directory(temp.path() / "ordner");
    struct Case {
        std::string path;
        int code;
    };
    const Case cases[] = {
        {temp / "fehlt.txt", notFound},
        {temp / "ordner", accessDenied},
        {temp / "ordner\\", accessDenied},
        {temp / "fehlt/datei.txt", notFound},
    };
    for (const Case& c : cases) {
        for (const int mode : {readShared, readExclusive}) {
            const OpenResult opened = platform.openRead(c.path, mode);
            EXPECT_EQ(opened.handle, -1) << c.path << " mode " << mode;
            EXPECT_EQ(opened.osCode, c.code) << c.path << " mode " << mode;
        }
    }
}

TEST_F(PosixFiles, ExclusiveOpenRefusesWhileThisProgramHoldsTheFile) {
    const std::string path = temp / "job.txt";
    writeFile(path, "x");
    struct Case {
        int firstMode;
        int secondMode;
        bool secondOpens;
    };
    const Case cases[] = {
        {readExclusive, readExclusive, false},
        {readShared, readExclusive, false},
        {readShared, readShared, true},
        // The shared mode is never refused (see files.hpp).
        {readExclusive, readShared, true},
    };
    for (const Case& c : cases) {
        const OpenResult first = platform.openRead(path, c.firstMode);
        ASSERT_GE(first.handle, 0);
        const OpenResult second = platform.openRead(path, c.secondMode);
        EXPECT_EQ(second.handle >= 0, c.secondOpens) << c.firstMode << " then " << c.secondMode;
        if (second.handle >= 0) {
            platform.close(second.handle);
        } else {
            EXPECT_EQ(second.osCode, sharingViolation);
        }
        platform.close(first.handle);
        // Closed again, the file opens exclusively.
        const OpenResult again = platform.openRead(path, readExclusive);
        EXPECT_GE(again.handle, 0);
        platform.close(again.handle);
    }
}

// Another process that opens a file (under some name) for reading and keeps it open
// until released. Synchronised through named pipes, so no timing is involved.
class OtherProcess {
  public:
    OtherProcess(rt::posix::PosixPlatform& platform, const TempFolder& temp,
                 const std::string& file)
        : ready_(temp / "ready.fifo"), release_(temp / "release.fifo") {
        EXPECT_EQ(platform.run("mkfifo", wincmd::join({ready_, release_}), true), 0);
        // The subshell has the file as its standard input while it waits; when the file
        // cannot be opened the other line is written, so the reader below never hangs.
        const std::string script =
            "(echo offen > \"$2\"; read answer < \"$3\") < \"$1\" || echo fehlt > \"$2\"";
        const std::string parameters = wincmd::join({"-c", script, "sh", file, ready_, release_});
        runner_ = std::thread(
            [&platform, parameters, this] { status_ = platform.run("/bin/sh", parameters, true); });
        std::ifstream ready(ready_);
        std::getline(ready, readyLine_);
    }
    ~OtherProcess() { end(); }

    bool holdsTheFile() const { return readyLine_ == "offen"; }
    // Lets the process end and waits for it.
    int end() {
        if (runner_.joinable()) {
            std::ofstream(release_) << "fertig\n";
            runner_.join();
        }
        return status_;
    }

  private:
    std::string ready_, release_, readyLine_;
    std::thread runner_;
    int status_ = -1;
};

TEST_F(PosixFiles, ExclusiveOpenRefusesWhileAnotherProcessHasTheFileOpen) {
    const std::string path = temp / "job.txt";
    writeFile(path, "x");
    OtherProcess other(platform, temp, path);
    ASSERT_TRUE(other.holdsTheFile());

    const OpenResult refused = platform.openRead(temp / "job.txt", readExclusive);
    EXPECT_EQ(refused.handle, -1);
    EXPECT_EQ(refused.osCode, sharingViolation);
    const OpenResult shared = platform.openRead(path, readShared);
    EXPECT_GE(shared.handle, 0);
    platform.close(shared.handle);

    EXPECT_EQ(other.end(), 0);
    const OpenResult opened = platform.openRead(path, readExclusive);
    EXPECT_GE(opened.handle, 0);
    platform.close(opened.handle);
}

TEST_F(PosixFiles, ExclusiveOpenSeesTheFileUnderAnotherName) {
    const std::string path = temp / "job.txt";
    writeFile(path, "x");
    fs::create_hard_link(path, temp.path() / "link.txt");
    OtherProcess other(platform, temp, temp / "link.txt");
    ASSERT_TRUE(other.holdsTheFile());
    EXPECT_EQ(platform.openRead(path, readExclusive).osCode, sharingViolation);
}

TEST_F(PosixFiles, ExclusiveOpenIgnoresOtherFilesHeldElsewhere) {
    writeFile(temp.path() / "job.txt", "x");
    writeFile(temp.path() / "other.txt", "y");
    OtherProcess other(platform, temp, temp / "other.txt");
    ASSERT_TRUE(other.holdsTheFile());
    const OpenResult opened = platform.openRead(temp / "job.txt", readExclusive);
    EXPECT_GE(opened.handle, 0);
    platform.close(opened.handle);
}

// The kernel's own answer, which spares the exclusive open its look through /proc.
TEST_F(PosixFiles, WriteLeaseTellsWhetherAHandleIsTheOnlyOne) {
    const std::string path = temp / "job.txt";
    writeFile(path, "x");
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    using rt::posix::SoleOpen;
    const SoleOpen alone = rt::posix::soleOpenDescription(fd);
    if (alone == SoleOpen::unknown) {
        ::close(fd);
        GTEST_SKIP() << "no write leases on this file system: the exclusive open uses /proc";
    }
    EXPECT_EQ(alone, SoleOpen::yes);
    {
        const int second = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        EXPECT_EQ(rt::posix::soleOpenDescription(fd), SoleOpen::no);
        ::close(second);
    }
    {
        OtherProcess other(platform, temp, path);
        ASSERT_TRUE(other.holdsTheFile());
        EXPECT_EQ(rt::posix::soleOpenDescription(fd), SoleOpen::no);
    }
    // Given back each time: the file opens again, here and elsewhere.
    EXPECT_EQ(rt::posix::soleOpenDescription(fd), SoleOpen::yes);
    ::close(fd);
}

TEST_F(PosixFiles, StartedProgramsDoNotInheritOpenFiles) {
    const std::string path = temp / "job.txt";
    writeFile(path, "x");
    const OpenResult opened = platform.openRead(path, readExclusive);
    ASSERT_GE(opened.handle, 0);
    const std::string listing = temp / "fds.txt";
    ASSERT_EQ(platform.run("/bin/sh",
                           wincmd::join({"-c", "ls -l /proc/self/fd/ > \"$1\"", "sh", listing}),
                           true),
              0);
    EXPECT_NE(readFile(listing).find("fds.txt"), std::string::npos);
    EXPECT_EQ(readFile(listing).find("job.txt"), std::string::npos) << readFile(listing);
    platform.close(opened.handle);
}

TEST_F(PosixFiles, CreateWriteMakesOrTruncatesAFile) {
    const std::string path = temp / "neu.txt";
    for (const std::string content : {"erster langer Inhalt", "kurz"}) {
        const OpenResult created = platform.createWrite(temp / "neu.txt");
        ASSERT_GE(created.handle, 0);
        int osCode = 0;
        EXPECT_EQ(platform.write(created.handle, content.data(), static_cast<long>(content.size()),
                                 &osCode),
                  static_cast<long>(content.size()));
        EXPECT_TRUE(platform.close(created.handle));
        EXPECT_EQ(readFile(path), content);
    }
    fs::create_directory(temp.path() / "sub");
    const OpenResult withBackslash = platform.createWrite(temp / "sub\\b.txt");
    ASSERT_GE(withBackslash.handle, 0);
    platform.close(withBackslash.handle);
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "sub" / "b.txt"));
}

TEST_F(PosixFiles, CreateWriteFails) {
    fs::create_directory(temp.path() / "ordner");
    struct Case {
        std::string path;
        int code;
    };
    const Case cases[] = {
        {temp / "ordner", accessDenied},
        {temp / "fehlt/datei.txt", pathNotFound},
    };
    for (const Case& c : cases) {
        const OpenResult created = platform.createWrite(c.path);
        EXPECT_EQ(created.handle, -1) << c.path;
        EXPECT_EQ(created.osCode, c.code) << c.path;
    }
    EXPECT_TRUE(fs::is_directory(temp.path() / "ordner"));
}

// A FIFO or a device is no file of the program's: every open refuses it at once. The
// wait is bounded; a hanging open is released by opening the FIFO's other end.
TEST_F(PosixFiles, SpecialFilesAreRefusedWithoutWaiting) {
    const std::string fifo = temp / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::function<OpenResult()> open;
    };
    const Case cases[] = {
        {"FIFO shared", [&] { return platform.openRead(fifo, readShared); }},
        {"FIFO exclusive", [&] { return platform.openRead(fifo, readExclusive); }},
        {"FIFO created", [&] { return platform.createWrite(fifo); }},
        {"device read", [&] { return platform.openRead("/dev/zero", readShared); }},
        {"device created", [&] { return platform.createWrite("/dev/null"); }},
    };
    for (const Case& c : cases) {
        auto opened = std::async(std::launch::async, c.open);
        if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            const int other = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
            ADD_FAILURE() << c.what << ": the open waited";
            opened.wait();
            ::close(other);
        }
        const OpenResult result = opened.get();
        EXPECT_EQ(result.handle, -1) << c.what;
        EXPECT_EQ(result.osCode, accessDenied) << c.what;
        platform.close(result.handle);
    }
}

// A link where a file is created is never followed: what it points to stays as it was,
// and a dangling link makes nothing; a second (hard) name of a file is not written
// either. Reading through a link is allowed.
TEST_F(PosixFiles, CreateWriteNeverFollowsALink) {
    writeFile(temp.path() / "ziel.txt", "bleibt");
    fs::create_symlink(temp.path() / "ziel.txt", temp.path() / "link.txt");
    fs::create_symlink(temp.path() / "neu.txt", temp.path() / "haengt.txt");
    fs::create_hard_link(temp.path() / "ziel.txt", temp.path() / "zweiter-name.txt");
    for (const char* name : {"link.txt", "haengt.txt", "zweiter-name.txt"}) {
        const OpenResult created = platform.createWrite(temp / name);
        EXPECT_EQ(created.handle, -1) << name;
        EXPECT_NE(created.osCode, 0) << name;
    }
    EXPECT_EQ(readFile(temp.path() / "ziel.txt"), "bleibt");
    EXPECT_FALSE(fs::exists(temp.path() / "neu.txt"));

    const OpenResult read = platform.openRead(temp / "link.txt", readShared);
    ASSERT_GE(read.handle, 0);
    platform.close(read.handle);
}

// The system takes a path up to its first NUL, which would name another file.
TEST_F(PosixFiles, APathHoldingANulNamesNothing) {
    fs::create_directory(temp.path() / "da");
    writeFile(temp.path() / "da.txt", "x");
    const std::string nul("\0junk", 5);
    EXPECT_FALSE(platform.folderExists(temp / "da" + nul));
    EXPECT_FALSE(platform.fileExists(temp / "da.txt" + nul));
    EXPECT_EQ(platform.openRead(temp / "da.txt" + nul, readShared).osCode, 123);
    EXPECT_EQ(platform.createWrite(temp / "neu" + nul).osCode, 123);
    EXPECT_FALSE(fs::exists(temp.path() / "neu"));
}

TEST_F(PosixFiles, ReadWriteAndCloseOnBadHandles) {
    char buffer[4];
    int osCode = 0;
    EXPECT_EQ(platform.read(-1, buffer, sizeof buffer, &osCode), -1);
    EXPECT_EQ(osCode, 6);
    osCode = 0;
    EXPECT_EQ(platform.write(-1, "abc", 3, &osCode), -1);
    EXPECT_EQ(osCode, 6);
    EXPECT_FALSE(platform.close(-1));

    const OpenResult opened = platform.createWrite(temp / "a.txt");
    ASSERT_GE(opened.handle, 0);
    osCode = 0;
    EXPECT_EQ(platform.read(opened.handle, buffer, sizeof buffer, &osCode), -1)
        << "a file created for writing cannot be read";
    EXPECT_EQ(osCode, 6);
    EXPECT_EQ(platform.write(opened.handle, "abc", -1, &osCode), -1);
    EXPECT_EQ(osCode, 87);
    EXPECT_TRUE(platform.close(opened.handle));
    EXPECT_FALSE(platform.close(opened.handle));
}

} // namespace
