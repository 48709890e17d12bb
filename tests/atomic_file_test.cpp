// Files written whole or not at all, whatever happens to the writer.

#include "atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "quoted_text.h"

using namespace complexplot;
namespace fs = std::filesystem;

namespace {

class AtomicFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("atomic-file-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
};

// A child writes the same large file again and again, replacing it or
// making it anew, until the signal ends it at a moment that moves from round
// to round.
void killWhileWriting(const fs::path& target, TemporaryFile temporary, bool replace,
                      int signalNumber, std::chrono::milliseconds after) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string bytes(16 << 20, 'x');
        for (;;) {
            if (!replace) {
                ::unlink(target.c_str());
            }
            writeFileAtomically(target.string(), bytes, temporary);
        }
    }
    std::this_thread::sleep_for(after);
    ::kill(child, signalNumber);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
}

void expectOnlyTheCompleteTarget(const fs::path& folder, const fs::path& target) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        EXPECT_EQ(entry.path(), target) << "left behind";
    }
    if (fs::exists(target)) {
        EXPECT_EQ(fs::file_size(target), 16u << 20);
    }
}

}  // namespace

// The fallback for file systems without unnamed files: its temporary name
// goes with the program on SIGTERM, SIGINT and SIGHUP.
TEST_F(AtomicFile, NamedTemporaryIsRemovedWhenASignalEndsTheWriter) {
    const fs::path target = folder_ / "map.png";
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        for (const int milliseconds : {5, 20, 45, 80}) {
            killWhileWriting(target, TemporaryFile::named, true, signalNumber,
                             std::chrono::milliseconds(milliseconds));
            expectOnlyTheCompleteTarget(folder_, target);
        }
    }
}

// An unnamed file leaves nothing even after SIGKILL when it makes a new
// file. (Replacing one takes a rename, and so a name for the moment between
// the link and the rename.)
TEST_F(AtomicFile, NewFileLeavesNothingElseAfterSigkill) {
    const fs::path target = folder_ / "map.png";
    for (const int milliseconds : {5, 20, 45, 80}) {
        killWhileWriting(target, TemporaryFile::unnamedWherePossible, false, SIGKILL,
                         std::chrono::milliseconds(milliseconds));
        expectOnlyTheCompleteTarget(folder_, target);
    }
}

TEST_F(AtomicFile, ReplacesTheWholeFileAndRefusesAFolder) {
    const fs::path target = folder_ / "values.npy";
    std::ofstream(target) << "an older and longer content";
    writeFileAtomically(target.string(), "new");
    std::ifstream file(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "new");

    fs::create_directories(folder_ / "sub");
    try {
        writeFileAtomically((folder_ / "sub").string(), "x");
        ADD_FAILURE() << "a folder was replaced";
    } catch (const FileWriteError& error) {
        EXPECT_NE(std::string(error.what()).find("a folder"), std::string::npos) << error.what();
    }
    try {
        writeFileAtomically((folder_ / "missing" / "file").string(), "x");
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const FileWriteError& error) {
        EXPECT_EQ(error.number(), ENOENT);
    }
}

// A replaced file keeps its permission bits, but never setuid, setgid or
// sticky; as root, it keeps its owner and group too.
TEST_F(AtomicFile, ReplacedFileKeepsPermissionsAndOwnerButNotSetuid) {
    const fs::path target = folder_ / "tool";
    std::ofstream(target) << "old";
    ASSERT_EQ(::chmod(target.c_str(), 04755 | 02000 | 01000), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
    }
    writeFileAtomically(target.string(), "new");
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0755u);
    if (root) {
        EXPECT_EQ(status.st_uid, 1234u);
        EXPECT_EQ(status.st_gid, 5678u);
    }
}

// Before any work, a target is checked as the writer would find it.
TEST_F(AtomicFile, TargetsAreCheckedWithTheRealReason) {
    fs::create_symlink("loop-b", folder_ / "loop-a");
    fs::create_symlink("loop-a", folder_ / "loop-b");
    fs::create_symlink("missing", folder_ / "dangling");
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0600), 0);
    const struct {
        fs::path path;
        const char* says;
    } refused[] = {
        {folder_ / "loop-a", "it is a symbolic link loop"},
        {folder_ / "dangling", "a symbolic link to nothing"},
        {folder_ / "fifo", "it is a FIFO"},
        {folder_ / "missing" / "x.npy", "No such file or directory"},
    };
    for (const auto& c : refused) {
        try {
            checkTargetWritable(c.path.string());
            ADD_FAILURE() << c.path << " was taken";
        } catch (const FileWriteError& error) {
            EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
        }
    }
    checkTargetWritable((folder_ / "new.png").string());
    EXPECT_FALSE(fs::exists(folder_ / "new.png"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 4);
}

// Paths that lead to one file, through "..", "." or a link, are one file.
TEST_F(AtomicFile, PathsToOneFileHaveOneIdentity) {
    fs::create_directories(folder_ / "d");
    fs::create_directory_symlink("d", folder_ / "link");
    const std::string plain = fileIdentity((folder_ / "d" / "f-re.png").string());
    EXPECT_EQ(fileIdentity((folder_ / "d" / ".." / "d" / "./f-re.png").string()), plain);
    EXPECT_EQ(fileIdentity((folder_ / "link" / "f-re.png").string()), plain);
    EXPECT_NE(fileIdentity((folder_ / "d" / "f-im.png").string()), plain);
}

TEST(QuotedText, EscapesWhatCouldReachTheTerminalAsControl) {
    EXPECT_EQ(quoted("sin"), "'sin'");
    EXPECT_EQ(quoted("a\nb\tc"), "'a\\nb\\tc'");
    EXPECT_EQ(quoted("\x1b[31m\x7f"), "'\\x1b[31m\\x7f'");
    EXPECT_EQ(quoted("it's \\"), "'it\\'s \\\\'");
    // UTF-8 text passes; a C1 control in UTF-8 does not.
    EXPECT_EQ(quoted("虚数部"), "'虚数部'");
    EXPECT_EQ(quoted("\xc2\x9b"), "'\\u009b'");
    EXPECT_EQ(quoted("\xc2\x85\v\f"), "'\\u0085\\x0b\\x0c'");
}
