// The headless renderer as a user runs it: files written, and bad input
// refused with one line and the right exit status.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <complex>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <thread>

#include "headless_controls.h"
#include "map_shading.h"
#include "plot_run.h"
#include "view_options.h"

using namespace complexplot;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int exitCode = -1;
    std::string standardOutput;
    std::string standardError;
};

std::string readText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class RenderCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("render-cli-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "out");
    }
    void TearDown() override { fs::remove_all(folder_); }

    Outcome run(const std::string& arguments, const std::string& program = RENDER_PROGRAM) {
        const fs::path out = folder_ / "stdout.txt";
        const fs::path err = folder_ / "stderr.txt";
        const std::string command =
            program + " " + arguments + " >" + out.string() + " 2>" + err.string() + " </dev/null";
        const int status = std::system(command.c_str());
        Outcome outcome;
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.standardOutput = readText(out);
        outcome.standardError = readText(err);
        return outcome;
    }

    std::set<std::string> outputFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_ / "out")) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    fs::path out() const { return folder_ / "out"; }
    fs::path folder() const { return folder_; }

private:
    fs::path folder_;
};

void expectOneLine(const std::string& text) {
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

QImage load(const fs::path& path) {
    return QImage(QString::fromStdString(path.string()));
}

// The renderer started with the arguments, its output thrown away.
pid_t startRenderer(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {RENDER_PROGRAM};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, RENDER_PROGRAM, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

}  // namespace

TEST_F(RenderCommand, WritesTheRunsPicturesAsEightBitRgbPngs) {
    const Outcome outcome = run("--axes -o " + out().string() + " log arctan");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    EXPECT_EQ(outcome.standardError, "");
    // Nothing else is left in the folder: no temporary files.
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"arctan-im.png", "arctan-re.png", "log-im.png",
                                                    "log-re.png"}));

    HeadlessControls controls(1, 1);
    WindowState state;
    Command1_Click(kPresetArcTan, controls, state);
    const QImage real(QString::fromStdString((out() / "arctan-re.png").string()));
    const QImage imaginary(QString::fromStdString((out() / "arctan-im.png").string()));
    EXPECT_EQ(real.size(), QSize(257, 249));
    EXPECT_TRUE(samePixels(real, controls.picture1().image()));
    EXPECT_TRUE(samePixels(imaginary, controls.picture2().image()));

    // IHDR: bit depth 8, colour type 2 (RGB, no alpha).
    const std::string png = readText(out() / "log-re.png");
    ASSERT_GT(png.size(), 26u);
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(static_cast<int>(png[24]), 8);
    EXPECT_EQ(static_cast<int>(png[25]), 2);
}

TEST_F(RenderCommand, ScaleRendersTheSameRunLarger) {
    const Outcome outcome = run("--scale 3 -o " + out().string() + " sin");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    const QImage real(QString::fromStdString((out() / "sin-re.png").string()));
    EXPECT_EQ(real.size(), QSize(771, 747));
}

TEST_F(RenderCommand, WindowPictureShowsTheWholeWindowAfterTheLastClick) {
    const fs::path window = folder() / "window.png";
    const Outcome outcome =
        run("--axes --window " + window.string() + " -o " + out().string() + " sin log");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    EXPECT_EQ(outcome.standardError, "");
    const QImage picture(QString::fromStdString(window.string()));
    ASSERT_EQ(picture.size(), QSize(623, 304));
    // The left map sits at (16, 24) in the window: its log-preset axes cross
    // at column 128, row 125 of the map.
    EXPECT_EQ(picture.pixel(16 + 10, 24 + 125), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(16 + 128, 24 + 10), qRgb(0, 0, 255));
}

TEST_F(RenderCommand, WritesIntoTheCurrentFolderByDefault) {
    const Outcome outcome = run("--help");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_NE(outcome.standardOutput.find("usage: complex-plot-render"), std::string::npos);
    EXPECT_NE(outcome.standardOutput.find("sin, log, cos, tan, arctan"), std::string::npos);
    // Every option the README lists, and the paper a PDF page has.
    for (const char* option : {"--from", "--range each", "--range-re", "--range-im", "--title",
                               "--page", "--figure-width", "--data", "--threads", "portrait"}) {
        EXPECT_NE(outcome.standardOutput.find(option), std::string::npos) << option;
    }
    std::istringstream lines(outcome.standardOutput);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;
    }

    const std::string command = "cd " + out().string() + " && " + RENDER_PROGRAM + " tan";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"tan-im.png", "tan-re.png"}));
}

TEST_F(RenderCommand, UnknownNameIsRefusedBeforeAnythingIsWritten) {
    const Outcome outcome = run("-o " + out().string() + " sin sine");
    EXPECT_EQ(outcome.exitCode, 2);
    expectOneLine(outcome.standardError);
    EXPECT_NE(outcome.standardError.find("'sine'"), std::string::npos);
    EXPECT_NE(outcome.standardError.find("sin, log, cos, tan, arctan"), std::string::npos);
    EXPECT_TRUE(outputFiles().empty());
}

TEST_F(RenderCommand, BadScaleOrOptionIsRefused) {
    for (const std::string arguments : {"--scale 0 sin", "--scale 9 sin", "--scale x sin",
                                        "--scale 1.5 sin", "--scale", "--colour sin", ""}) {
        const Outcome outcome = run("-o " + out().string() + " " + arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments;
        expectOneLine(outcome.standardError);
    }
    EXPECT_NE(run("--scale 9 sin").standardError.find("1 to 8"), std::string::npos);
    EXPECT_TRUE(outputFiles().empty());
}

TEST_F(RenderCommand, UnwritableFolderIsReportedWithTheSystemsReason) {
    const Outcome missing = run("-o " + (folder() / "no-such-folder").string() + " sin");
    EXPECT_EQ(missing.exitCode, 1);
    expectOneLine(missing.standardError);
    EXPECT_NE(missing.standardError.find("No such file or directory"), std::string::npos);

    std::ofstream(folder() / "plain-file") << "x";
    const Outcome notFolder = run("-o " + (folder() / "plain-file").string() + " sin");
    EXPECT_EQ(notFolder.exitCode, 1);
    expectOneLine(notFolder.standardError);
    EXPECT_NE(notFolder.standardError.find("Not a directory"), std::string::npos);
}

TEST_F(RenderCommand, UnwritableFolderGivesTheRealReason) {
    const Outcome proc = run("-o /proc sin");
    EXPECT_EQ(proc.exitCode, 1);
    expectOneLine(proc.standardError);
    EXPECT_NE(proc.standardError.find("does not allow new files"), std::string::npos)
        << proc.standardError;
}

// Qt must see none of the renderer's arguments: a folder named -reverse
// would otherwise mirror the window picture.
TEST_F(RenderCommand, ArgumentsAreTheRenderersOwn) {
    fs::create_directories(folder() / "-reverse");
    const std::string command = "cd " + folder().string() + " && " + RENDER_PROGRAM +
                                " -o -reverse --window w.png -- SIN ArcTan >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const QImage window = load(folder() / "w.png");
    const QImage real = load(folder() / "-reverse" / "arctan-re.png");
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(samePixels(window.copy(16, 24, 257, 249), real));

    // After "--" everything is a name, in any case.
    const Outcome optionAsName = run("-o " + out().string() + " -- --axes");
    EXPECT_EQ(optionAsName.exitCode, 2);
    EXPECT_NE(optionAsName.standardError.find("unknown function '--axes'"), std::string::npos);
}

TEST_F(RenderCommand, BadValuesAreRefusedAndQuotedSafely) {
    for (const std::string arguments :
         {"--window '' sin", "-o '' sin", "--window out.jpg sin", "--window .png sin"}) {
        const Outcome outcome = run("-o " + out().string() + " " + arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments;
        expectOneLine(outcome.standardError);
    }
    // A newline and an escape sequence typed into a name reach the terminal
    // as escapes, on one line.
    const Outcome hostile = run("\"$(printf 'si\\n\\033[31mn')\"");
    EXPECT_EQ(hostile.exitCode, 2);
    expectOneLine(hostile.standardError);
    EXPECT_NE(hostile.standardError.find("'si\\n\\x1b[31mn'"), std::string::npos)
        << hostile.standardError;
    EXPECT_TRUE(outputFiles().empty());
}

// At scale N the window is drawn N times larger, its maps are the scale-N
// maps, and the axes are N pixels wide around the one-pixel line's place.
TEST_F(RenderCommand, WindowPictureAtAScaleHoldsTheMapsOfThatScale) {
    const fs::path window = folder() / "window.png";
    const Outcome outcome =
        run("--axes --scale 2 --window " + window.string() + " -o " + out().string() + " log");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    const QImage picture = load(window);
    ASSERT_EQ(picture.size(), QSize(2 * 623, 2 * 304));
    const QImage real = load(out() / "log-re.png");
    EXPECT_TRUE(samePixels(picture.copy(32, 48, 514, 498), real));
    // At scale 2 the one-pixel axis would lie on row 250: rows 250 and 251.
    EXPECT_EQ(real.pixel(5, 249), real.pixel(5, 248));
    EXPECT_EQ(real.pixel(5, 250), qRgb(255, 0, 0));
    EXPECT_EQ(real.pixel(5, 251), qRgb(255, 0, 0));
    EXPECT_NE(real.pixel(5, 252), qRgb(255, 0, 0));
}

TEST_F(RenderCommand, LongestLegalNameIsWritten) {
    const std::string name = std::string(251, 'w') + ".png";
    const Outcome outcome = run("--window " + (out() / name).string() + " tan");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.standardError;
    EXPECT_EQ(outputFiles(), (std::set<std::string>{name}));
}

// Only a regular file is replaced, also where a link leads; the link stays.
TEST_F(RenderCommand, ReplacesOnlyRegularFiles) {
    const fs::path fifo = out() / "fifo.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_symlink("/dev/null", out() / "null.png");
    fs::create_symlink(fifo, out() / "to-fifo.png");
    for (const char* name : {"fifo.png", "null.png", "to-fifo.png"}) {
        const Outcome outcome = run("--window " + (out() / name).string() + " tan");
        EXPECT_EQ(outcome.exitCode, 1) << name;
        expectOneLine(outcome.standardError);
        EXPECT_NE(outcome.standardError.find("only a regular file"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    std::ofstream(out() / "old.png") << "old";
    fs::create_symlink(out() / "old.png", out() / "link.png");
    ASSERT_EQ(run("--window " + (out() / "link.png").string() + " tan").exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(out() / "link.png"));
    EXPECT_EQ(load(out() / "old.png").size(), QSize(623, 304));
}

TEST_F(RenderCommand, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirMode) {
    auto modeOf = [](const fs::path& path) {
        struct stat status {};
        ::stat(path.c_str(), &status);
        return status.st_mode & 0777;
    };
    for (const auto& [mask, mode] : {std::pair{"027", 0640u}, std::pair{"0", 0666u}}) {
        fs::remove_all(out());
        fs::create_directories(out());
        const std::string command = std::string("umask ") + mask + " && " + RENDER_PROGRAM +
                                    " -o " + out().string() + " tan";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(modeOf(out() / "tan-re.png"), mode) << mask;
    }
    fs::permissions(out() / "tan-re.png", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(run("-o " + out().string() + " tan").exitCode, 0);
    EXPECT_EQ(modeOf(out() / "tan-re.png"), 0600u);
}

// Killed at any moment, the renderer leaves only complete pictures: none
// cut off, and no temporary file.
TEST_F(RenderCommand, KilledWhileWritingLeavesOnlyCompleteFiles) {
    const std::vector<std::string> arguments = {"--scale",      "8",   "-o",
                                                out().string(), "log", "arctan"};
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    ::waitpid(startRenderer(arguments), &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto whole = std::chrono::steady_clock::now() - start;
    const std::set<std::string> names = {"arctan-im.png", "arctan-re.png", "log-im.png",
                                         "log-re.png"};
    for (const int signalNumber : {SIGTERM, SIGKILL}) {
        for (int sixth = 1; sixth < 6; sixth += 2) {
            fs::remove_all(out());
            fs::create_directories(out());
            const pid_t pid = startRenderer(arguments);
            std::this_thread::sleep_for(whole * sixth / 6);
            ::kill(pid, signalNumber);
            ::waitpid(pid, &status, 0);
            for (const std::string& name : outputFiles()) {
                EXPECT_TRUE(names.contains(name)) << name << " after signal " << signalNumber;
                EXPECT_EQ(load(out() / name).size(), QSize(8 * 257, 8 * 249)) << name;
            }
        }
    }
}

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer reserves far more address space than any limit here.
TEST_F(RenderCommand, DISABLED_OutOfMemoryIsOneLineAndExitOne) {}
#else
TEST_F(RenderCommand, OutOfMemoryIsOneLineAndExitOne) {
    // From too little to start with, through the drawing and the encoding,
    // to enough.
    for (int limit = 100000; limit <= 200000; limit += 10000) {
        const std::string command = "ulimit -v " + std::to_string(limit) + " && " + RENDER_PROGRAM +
                                    " --scale 8 -o " + out().string() + " log 2>" +
                                    (folder() / "err.txt").string();
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << limit;
        const std::string error = readText(folder() / "err.txt");
        if (WEXITSTATUS(status) != 0) {
            EXPECT_EQ(WEXITSTATUS(status), 1) << limit;
            EXPECT_NE(error.find("complex-plot-render: out of memory while making"),
                      std::string::npos)
                << limit << ": " << error;
        }
    }
}
#endif

// An expression's maps: 8-bit grey when they hold only greys, with the range
// used printed as one line.
TEST_F(RenderCommand, FunctionMapsAreGreyPngsWithTheirRangePrinted) {
    const Outcome outcome = run("--function 'z^2' --size 64 --name square -o " + out().string());
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    expectOneLine(outcome.standardError);
    EXPECT_NE(outcome.standardError.find("grey range -"), std::string::npos);
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"square-im.png", "square-re.png"}));
    const std::string png = readText(out() / "square-re.png");
    EXPECT_EQ(static_cast<int>(png[24]), 8);
    EXPECT_EQ(static_cast<int>(png[25]), 0);  // colour type 0: grey
    EXPECT_EQ(load(out() / "square-re.png").size(), QSize(64, 64));

    // The printed range, given back, draws the same maps.
    const std::string line = outcome.standardError;
    const std::size_t from = line.find("range ") + 6;
    const std::size_t to = line.find(" to ");
    const std::string low = line.substr(from, to - from);
    const std::string high = line.substr(to + 4, line.find(' ', to + 4) - to - 4);
    fs::rename(out() / "square-re.png", folder() / "first-re.png");
    const Outcome again = run("--function 'z^2' --size 64 --name square --range=" + low + "," +
                              high + " -o " + out().string());
    EXPECT_NE(again.standardError.find("(as given)"), std::string::npos);
    EXPECT_EQ(readText(out() / "square-re.png"), readText(folder() / "first-re.png"));
}

// 1/z on an odd grid of a symmetric window samples its pole: that pixel is
// the marker colour on both maps, and stderr counts it.
TEST_F(RenderCommand, PoleIsPaintedInTheMarkerColour) {
    const Outcome outcome = run("--function 1/z --size 5 -o " + out().string());
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    EXPECT_NE(outcome.standardError.find("1 point has no finite value"), std::string::npos);
    for (const char* name : {"f-re.png", "f-im.png"}) {
        const QImage map = load(out() / name);
        EXPECT_EQ(map.pixel(2, 2), qRgb(0, 160, 0)) << name;
        EXPECT_EQ(qRed(map.pixel(1, 2)), qGreen(map.pixel(1, 2))) << name;
    }
}

// numpy.load reads the grid as computed: complex128, shape (H, W), row 0 at
// the top; here f(z) = z, so each value is its own pixel centre.
TEST_F(RenderCommand, DataFileHoldsTheGridAsNumPyReadsIt) {
    const fs::path data = out() / "values.npy";
    const Outcome outcome = run("--function z --window=-2,3,-1,0.7 --size 7x5 --data " +
                                data.string() + " -o " + out().string());
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    const std::string bytes = readText(data);
    ASSERT_GE(bytes.size(), 10u);
    const std::size_t headerSize =
        10 + static_cast<unsigned char>(bytes[8]) + 256 * static_cast<unsigned char>(bytes[9]);
    EXPECT_EQ(headerSize % 64, 0u);
    EXPECT_NE(bytes.find("'descr': '<c16', 'fortran_order': False, 'shape': (5, 7)"),
              std::string::npos);
    ASSERT_EQ(bytes.size(), headerSize + 35 * 16);
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 7; ++column) {
            double parts[2];
            std::memcpy(parts, bytes.data() + headerSize + 16 * (row * 7 + column), 16);
            EXPECT_EQ(parts[0], -2.0 + (column + 0.5) * 5.0 / 7);
            EXPECT_EQ(parts[1], 0.7 - (row + 0.5) * (0.7 - -1.0) / 5);
        }
    }
}

TEST_F(RenderCommand, FunctionInputIsCheckedBeforeAnythingIsWritten) {
    struct Case {
        std::string arguments;
        std::string says;
    };
    const Case cases[] = {
        {"--function z sin", "cannot be combined with preset names"},
        {"--function z --scale 2", "with --function give --size"},
        {"sin --size 5", "--size goes with --function"},
        {"sin --window=-1,1,-1,1", "a preset's window of the plane is fixed"},
        {"--function z --window w.png", "window picture shows the preset buttons"},
        {"--function z --window=1,0,0,1", "X0 < X1 and Y0 < Y1"},
        {"--function z --window=-2,2,-2", "X0,X1,Y0,Y1"},
        {"--function z --window=0,1,0,1e999", "not a number"},
        {"--function z --size 20000", "the limit is 16384 a side"},
        {"--function z --size 5000x5000", "the limit is 16777216 pixels a map"},
        {"--function z --size 0", "give W or WxH"},
        {"--function z --threads 0", "from 1 to 256"},
        {"--function z --threads 257", "from 1 to 256"},
        {"--function z --range 1,1", "LO < HI"},
        {"--function z --data values.txt", "must end in .npy"},
        {"--function z --name a/b", "a plain name"},
        {"--function z --window=-1e307,1e307,-1e307,1e307 --size 64x64",
         "whose product overflows double precision at 64 pixels"},
        {"--function z --window=1e306,9e306,1e306,9e306 --size 32", "at most about 5.6e+306 wide"},
        {"--function z --window=-1,1,1e306,9e306 --size 32x32", "at most about 5.6e+306 high"},
        {"--function z --size 2923x1 --figure f.png", "too wide for a PNG figure"},
        {"--function z --size 2923x1 --figure f.png", "at most 2922 x 1 fit"},
        {"-o out sine", "unknown function 'sine': did you mean sin?"},
        {"--function z --range=0,1 --range each", "--range each gives each map its own"},
        {"--function z --figure f.pdf --title \"$(printf 'a\\342\\200\\250b')\"",
         "a line or paragraph separator"},
        {"--function z --figure f.pdf --title \"$(printf 'a\\342\\200\\256b')\"",
         "a bidirectional control"},
        {"--function z --window=-1,1,-1e304,1e304 --size 64", "give --size WxH"},
        {"--function z --range=-1e308,1e308", "wider than a double can hold"},
        {"-o --size=8 --function z", "-o needs a folder, not the option '--size=8'"},
        {"--function z --figure " + out().string() + "/f-re.png", "are the same file"},
        {"--window " + out().string() + "/sin-re.png sin", "are the same file"},
        {"--function z --figure " + out().string() + "/../out/./f-im.png",
         "the imaginary part's map"},
        {"--function z --size 1500 --figure f.png --figure-width 1600", "give --figure-width 4"},
        {"--function z --size 4000 --figure f.png", "give a smaller --size (at most 29"},
        {"--scale 8 --figure f.png --figure-width 1600 sin", "or write the figure as .pdf or .svg"},
        {"--function z --window -1 1 -1 1", "unexpected word '1' after '--window -1'"},
        {"--function z --size=512 x 512", "write --size WxH"},
        {"--function z --window=-1,1,-1", "four numbers are needed, not 3"},
        {"--function z --range 0,1 --range-re 0,2", "give --range each"},
        {"--function z --figure f.pdf --title \"$(printf 'a\\tb')\"", "control character"},
        {"--function z --figure f.pdf --page a5", "give a4 or letter"},
        {"--function z --from list.txt", "give it --figure FILE.pdf"},
        {"sni", "did you mean sin?"},
        {"sin --show phase", "--show goes with --function"},
        {"sin --contours", "--contours goes with --function"},
        {"--function z --show phase --contours=1,2", "the phase portrait's curves are its own"},
        {"--function z --contours=", "needs its levels"},
        {"--function z --show modulus-arg --contours=0,1", "above 0"},
        {"--function z --contours=1,x", "'x' is not a number"},
        {"--function z --contours=1,z/2", "'z/2' depends on z"},
        {"--function z --contours='exp(i*pi)'", "is not a real number"},
        {"--function z --window=-1,1/0,-1,1", "'1/0' is not finite"},
        {"sin --zeros", "--zeros goes with --function"},
        {"--function z --zeros=", "needs a file name"},
        {"--function 'z*conj(z)' --zeros", "conj has no complex derivative"},
        {"--function 'sin(z)+abs(z)' --zeros", "abs has no complex derivative"},
        {"--function 'exp(re(z))' --zeros", "re has no complex derivative"},
        {"--function 'z+im(z)' --zeros", "im has no complex derivative"},
        {"--function 'arg(z)' --zeros", "arg has no complex derivative"},
        {"--function z --zeros=" + out().string() + "/f-re.png", "are the same file"},
        {"--function z --show polar", "give re-im, modulus-arg or phase"},
        {"--function z --greys log", "linear, symlog or symlog=T"},
        {"--function z --greys symlog=-1", "T > 0"},
        {"--function z --show modulus-arg --greys symlog", "--greys goes with --show re-im"},
        {"--function z --show modulus-arg --range each", "--range each goes with --show re-im"},
        {"--function z --show modulus-arg --range-re=0,1", "--range-re goes with --show re-im"},
        {"--function z --show modulus-arg --range=-1,1", "0 < LO < HI"},
        {"--function z --show phase --range=1,2", "the phase portrait shows the argument"},
        {"--function z --show phase --figure " + out().string() + "/f-phase.png",
         "are the same file"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run(c.arguments + " -o " + out().string());
        EXPECT_EQ(outcome.exitCode, 2) << c.arguments;
        expectOneLine(outcome.standardError);
        EXPECT_NE(outcome.standardError.find(c.says), std::string::npos)
            << c.arguments << ": " << outcome.standardError;
    }
    // An expression that cannot be read is shown with a caret under the place.
    const Outcome syntax = run("--function '1 + 2z' -o " + out().string());
    EXPECT_EQ(syntax.exitCode, 2);
    EXPECT_NE(syntax.standardError.find("at column 6: expected an operator before 'z': for a "
                                        "product write '2*z'\n  1 + 2z\n       ^\n"),
              std::string::npos)
        << syntax.standardError;
    EXPECT_TRUE(outputFiles().empty());
}

// Whatever control characters an expression holds, none reaches the
// terminal: the message is three lines (what, the text, the caret), with
// every control escaped.
TEST_F(RenderCommand, ControlCharactersInAnExpressionAreEscaped) {
    for (const char* expression :
         {"z+\xc2\x9b"
          "31mRED",
          "z+\xc2\x85", "(z\n)1", "(z\t)1", "(z\v)1", "(z\f)1", "(z\r)1", "(z\x1b[2J)1"}) {
        std::ofstream(folder() / "expression.txt") << expression;
        const Outcome outcome =
            run("--function \"$(cat " + (folder() / "expression.txt").string() + ")\"");
        EXPECT_EQ(outcome.exitCode, 2) << expression;
        const std::string& error = outcome.standardError;
        EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 3) << error;
        for (std::size_t k = 0; k < error.size(); ++k) {
            const auto byte = static_cast<unsigned char>(error[k]);
            const bool c1 = byte == 0xc2 && k + 1 < error.size() &&
                            static_cast<unsigned char>(error[k + 1]) < 0xa0;
            EXPECT_FALSE((byte < 0x20 && byte != '\n') || byte == 0x7f || c1)
                << expression << ": byte " << k << " of " << error;
        }
    }
    // A long expression is shown around the place only.
    const Outcome longOne = run("--function '" + std::string(5000, '-') + "'");
    EXPECT_LT(longOne.standardError.size(), 400u) << longOne.standardError.size();
}

// A run that fails for one target has written none of the others.
TEST_F(RenderCommand, NothingIsWrittenWhenOneTargetCannotBe) {
    ASSERT_EQ(::mkfifo((out() / "f-im.png").c_str(), 0600), 0);
    for (const std::string& arguments :
         {"--function z --size 8 --data /nonexistent/x.npy -o " + out().string(),
          "--function z --size 8 --figure " + (out() / "g.pdf").string() + " -o " + out().string(),
          std::string("--function z --size 8 --figure /nonexistent/g.pdf")}) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.exitCode, 1) << arguments;
        expectOneLine(outcome.standardError);
        EXPECT_EQ(outputFiles(), (std::set<std::string>{"f-im.png"})) << arguments;
    }
}

// The same command writes the same bytes, in every format: no date, and
// parts in a fixed order.
TEST_F(RenderCommand, SameCommandWritesTheSameBytes) {
    for (const char* suffix : {"pdf", "svg", "png"}) {
        std::string first;
        for (int round = 0; round < 4; ++round) {
            const fs::path figure = out() / ("f." + std::string(suffix));
            ASSERT_EQ(run("--function 'exp(1/z)' --size 32 --figure " + figure.string()).exitCode,
                      0);
            const std::string bytes = readText(figure);
            EXPECT_EQ(bytes.find("CreationDate"), std::string::npos);
            if (round == 0) {
                first = bytes;
            } else {
                EXPECT_TRUE(bytes == first) << suffix << " differs in round " << round;
            }
        }
    }
}

// Each kind writes its own files, and the line on stderr (the modulus's
// range, symlog's t and range), given back, draws the same bytes.
TEST_F(RenderCommand, EachKindWritesItsFilesAndItsStderrLineGivesThemBack) {
    const struct {
        const char* options;
        std::vector<std::string> files;
        const char* given;  // what stderr says, as an option
        QImage::Format format;
    } kinds[] = {
        {"--show modulus-arg",
         {"f-modulus.png", "f-arg.png"},
         "--range=",
         QImage::Format_Grayscale8},
        {"--show phase --axes", {"f-phase.png"}, nullptr, QImage::Format_RGB32},
        {"--greys symlog", {"f-re.png", "f-im.png"}, "--greys symlog=", QImage::Format_Grayscale8},
    };
    for (const auto& kind : kinds) {
        fs::remove_all(out());
        fs::create_directories(out());
        const std::string command =
            "--function 'exp(1/z)*(z-1)' --window=-0.5,0.5,-0.5,0.5 --size 48x40 " +
            std::string(kind.options) + " -o " + out().string();
        const Outcome first = run(command);
        ASSERT_EQ(first.exitCode, 0) << first.standardError;
        EXPECT_EQ(outputFiles(), std::set<std::string>(kind.files.begin(), kind.files.end()));
        std::vector<std::string> bytes;
        for (const std::string& file : kind.files) {
            EXPECT_EQ(load(out() / file).format(), kind.format) << file;
            bytes.push_back(readText(out() / file));
        }
        if (kind.given == nullptr) {
            continue;
        }
        // The words stderr gives: the option up to the next blank, or
        // the grey range said as "grey range LO to HI".
        const std::string& said = first.standardError;
        const std::size_t at = said.find(kind.given);
        ASSERT_NE(at, std::string::npos) << said;
        std::string givenBack =
            " " + said.substr(at, said.find_first_of(" \n", at + std::strlen(kind.given)) - at);
        if (const std::size_t range = said.find("grey range "); range != std::string::npos) {
            std::istringstream words(said.substr(range + 11));
            std::string low, to, high;
            words >> low >> to >> high;
            givenBack += " --range=" + low + "," + high;
        }
        const Outcome again = run(command + givenBack);
        ASSERT_EQ(again.exitCode, 0) << givenBack << ": " << again.standardError;
        EXPECT_NE(again.standardError.find("as given"), std::string::npos);
        for (std::size_t k = 0; k < kind.files.size(); ++k) {
            EXPECT_TRUE(readText(out() / kind.files[k]) == bytes[k]) << givenBack;
        }
    }
}

// With --contours every map file is RGB and holds the map's own pixels
// away from its curves; the curves' pixels are of the lines' colours.
TEST_F(RenderCommand, LevelCurvesAreDrawnOverEveryMapFile) {
    for (const auto& [show, kind] :
         {std::pair{"re-im", MapKind::realImaginary},
          std::pair{"modulus-arg", MapKind::modulusArgument}, std::pair{"phase", MapKind::phase}}) {
        const std::string base = "--function 'tan(z)' --size 48x40 --show " + std::string(show);
        ASSERT_EQ(run(base + " --name plain -o " + out().string()).exitCode, 0);
        ASSERT_EQ(run(base + " --contours --name curves -o " + out().string()).exitCode, 0);
        for (const MapFileName& file : mapFileNames(kind)) {
            const QImage plain = load(out() / ("plain" + std::string(file.suffix)));
            const QImage curves = load(out() / ("curves" + std::string(file.suffix)));
            EXPECT_EQ(curves.format(), QImage::Format_RGB32) << file.suffix;
            int changed = 0;
            for (int row = 0; row < plain.height(); ++row) {
                for (int column = 0; column < plain.width(); ++column) {
                    changed += plain.pixel(column, row) != curves.pixel(column, row);
                }
            }
            // Curves over part of the map, not all of it.
            EXPECT_GT(changed, 40) << show << file.suffix;
            EXPECT_LT(changed, plain.width() * plain.height() * 9 / 10) << show << file.suffix;
        }
    }
}

// A level given more than once is drawn once: the same files as with each
// level once (a line drawn over itself comes out darker at its edges).
TEST_F(RenderCommand, LevelGivenTwiceIsDrawnOnce) {
    const std::string base = "--function 'z^2' --size 40x30 ";
    ASSERT_EQ(run(base + "--contours=1,1,0,-0 --name twice -o " + out().string()).exitCode, 0);
    ASSERT_EQ(run(base + "--contours=1,0 --name once -o " + out().string()).exitCode, 0);
    for (const char* suffix : {"-re.png", "-im.png"}) {
        EXPECT_TRUE(readText(out() / ("twice" + std::string(suffix))) ==
                    readText(out() / ("once" + std::string(suffix))))
            << suffix;
    }
}

// With --zeros: the table on stderr and in the TSV file, each number read
// back as the double it stands for; rings and crosses over every map file,
// which is RGB; a handout takes --zeros as a default but writes no table.
TEST_F(RenderCommand, ZerosAndPolesAreListedWrittenAndMarked) {
    const fs::path table = folder() / "points.tsv";
    const Outcome outcome =
        run("--function '(z^2+1)/(z^2-1)' --size 64x48 --zeros=" + table.string() + " -o " +
            out().string());
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    EXPECT_NE(outcome.standardError.find("4 zeros and poles in the window"), std::string::npos)
        << outcome.standardError;
    // Positions exactly, residues to their precision; empty residue
    // columns for a zero.
    std::istringstream lines(readText(table));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "kind\torder\tre\tim\tresidue_re\tresidue_im");
    const std::pair<const char*, std::complex<double>> expected[] = {
        {"pole", -1.0}, {"zero", {0, -1}}, {"zero", {0, 1}}, {"pole", 1.0}};
    for (const auto& [kind, z] : expected) {
        ASSERT_TRUE(std::getline(lines, line));
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, '\t');) {
            cells.push_back(cell);
        }
        cells.resize(6);
        EXPECT_EQ(cells[0], kind) << line;
        EXPECT_EQ(cells[1], "1");
        EXPECT_EQ(std::complex<double>(std::stod(cells[2]), std::stod(cells[3])), z) << line;
        if (cells[0] == "pole") {
            EXPECT_NEAR(std::stod(cells[4]), z.real(), 1e-12) << line;
            EXPECT_NEAR(std::stod(cells[5]), 0.0, 1e-12) << line;
        } else {
            EXPECT_EQ(cells[4] + cells[5], "") << line;
        }
    }
    EXPECT_FALSE(std::getline(lines, line));
    ASSERT_EQ(
        run("--function '(z^2+1)/(z^2-1)' --size 64x48 --name plain -o " + out().string()).exitCode,
        0);
    for (const char* suffix : {"-re.png", "-im.png"}) {
        const QImage marked = load(out() / ("f" + std::string(suffix)));
        const QImage plain = load(out() / ("plain" + std::string(suffix)));
        EXPECT_EQ(marked.format(), QImage::Format_RGB32);
        int changed = 0;
        for (int row = 0; row < plain.height(); ++row) {
            for (int column = 0; column < plain.width(); ++column) {
                changed += plain.pixel(column, row) != marked.pixel(column, row);
            }
        }
        // Four small marks: a few dozen pixels each, no more.
        EXPECT_GT(changed, 4 * 20) << suffix;
        EXPECT_LT(changed, 4 * 150) << suffix;
    }

    // A double pole: its order is written beside its mark, in fonts.
    const Outcome twice =
        run("--function '1/z^2' --size 33 --zeros --name twice -o " + out().string());
    EXPECT_EQ(twice.exitCode, 0) << twice.standardError;
    EXPECT_NE(twice.standardError.find("pole  2"), std::string::npos) << twice.standardError;

    const fs::path list = folder() / "list.txt";
    std::ofstream(list) << "--function 'z^3-1'\n";
    const fs::path pdf = out() / "handout.pdf";
    const Outcome handout =
        run("--figure " + pdf.string() + " --from " + list.string() + " --zeros");
    ASSERT_EQ(handout.exitCode, 0) << handout.standardError;
    EXPECT_NE(handout.standardError.find("list.txt:1: 3 zeros and poles"), std::string::npos)
        << handout.standardError;
    for (const std::string& bad : {" --zeros=" + table.string(), std::string()}) {
        if (bad.empty()) {
            std::ofstream(list) << "--function 'z^3-1' --zeros=t.tsv\n";
        }
        const Outcome refused = run("--figure " + pdf.string() + " --from " + list.string() + bad);
        EXPECT_EQ(refused.exitCode, 2) << bad;
        EXPECT_NE(refused.standardError.find("writes a table of one figure's own"),
                  std::string::npos)
            << refused.standardError;
    }
}

// With --range each, each map's range is the 1st to the 99th percentile
// of its own part, and the line on stderr, given back, draws the same maps.
TEST_F(RenderCommand, RangeEachGivesEachMapItsOwnPercentiles) {
    const fs::path data = folder() / "log.npy";
    const Outcome outcome = run("--function 'log(z)' --size 64x48 --range each --data " +
                                data.string() + " -o " + out().string());
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    const std::string bytes = readText(data);
    const std::size_t header =
        10 + static_cast<unsigned char>(bytes[8]) + 256 * static_cast<unsigned char>(bytes[9]);
    std::vector<double> parts[2];
    for (std::size_t at = header; at + 16 <= bytes.size(); at += 16) {
        double value[2];
        std::memcpy(value, bytes.data() + at, 16);
        parts[0].push_back(value[0]);
        parts[1].push_back(value[1]);
    }
    std::string expected = "grey ranges";
    for (int part = 0; part < 2; ++part) {
        std::sort(parts[part].begin(), parts[part].end());
        const std::size_t n = parts[part].size();
        char text[128];
        std::snprintf(text, sizeof text, " --range-%s=%.17g,%.17g", part == 0 ? "re" : "im",
                      parts[part][(n + 99) / 100 - 1], parts[part][(99 * n + 99) / 100 - 1]);
        expected += text;
    }
    // The printed numbers are the shortest that read back; compare as read.
    const std::size_t from = outcome.standardError.find("--range-re=");
    ASSERT_NE(from, std::string::npos) << outcome.standardError;
    const std::string given =
        outcome.standardError.substr(from, outcome.standardError.find(" (", from) - from);
    double printed[4];
    double wanted[4];
    ASSERT_EQ(std::sscanf(given.c_str(), "--range-re=%lf,%lf --range-im=%lf,%lf", &printed[0],
                          &printed[1], &printed[2], &printed[3]),
              4);
    ASSERT_EQ(std::sscanf(expected.c_str(), "grey ranges --range-re=%lf,%lf --range-im=%lf,%lf",
                          &wanted[0], &wanted[1], &wanted[2], &wanted[3]),
              4);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(printed[k], wanted[k]) << k;
    }
    fs::rename(out() / "f-re.png", folder() / "first-re.png");
    fs::rename(out() / "f-im.png", folder() / "first-im.png");
    ASSERT_EQ(run("--function 'log(z)' --size 64x48 " + given + " -o " + out().string()).exitCode,
              0);
    EXPECT_EQ(readText(out() / "f-re.png"), readText(folder() / "first-re.png"));
    EXPECT_EQ(readText(out() / "f-im.png"), readText(folder() / "first-im.png"));
}

// A handout: one PDF page per line of the list, each page's maps stored as
// they are; a bad line names the file and the line and writes nothing.
TEST_F(RenderCommand, HandoutIsOnePdfOfTheListsFigures) {
    const fs::path list = folder() / "list.txt";
    std::ofstream(list)
        << "# branch cuts\n"
           "--function 'log(z)' --size 40x30 --range each --title 'log z: the cut'\n"
           "\n"
           "arctan --axes\n"
           "  --function \"1/z\" --size 21 --window=-1,1,-1,1\n";
    const fs::path pdf = out() / "handout.pdf";
    const Outcome outcome = run("--figure " + pdf.string() + " --from " + list.string());
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    // Each line's maps, as the renderer writes them on their own.
    const std::string maps = (folder() / "maps").string();
    fs::create_directories(maps);
    ASSERT_EQ(run("--function 'log(z)' --size 40x30 --range each --name a -o " + maps).exitCode, 0);
    ASSERT_EQ(run("--axes -o " + maps + " arctan").exitCode, 0);
    ASSERT_EQ(run("--function 1/z --size 21 --window=-1,1,-1,1 --name c -o " + maps).exitCode, 0);
    const std::string images = (folder() / "image").string();
    ASSERT_EQ(std::system(("pdfimages -png " + pdf.string() + " " + images).c_str()), 0);
    const char* const expected[] = {"a-re.png",      "a-im.png", "arctan-re.png",
                                    "arctan-im.png", "c-re.png", "c-im.png"};
    for (int k = 0; k < 6; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "image-%03d.png", k);
        EXPECT_TRUE(samePixels(load(folder() / name), load(fs::path(maps) / expected[k])))
            << expected[k];
    }
    EXPECT_FALSE(fs::exists(folder() / "image-006.png"));
    EXPECT_NE(readText(pdf).find("/Count 3"), std::string::npos);

    fs::remove(pdf);
    std::ofstream(list, std::ios::app) << "lg --axes\n";
    const Outcome bad = run("--figure " + pdf.string() + " --from " + list.string());
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.standardError.find("list.txt:6: unknown function 'lg': did you mean log?"),
              std::string::npos)
        << bad.standardError;
    EXPECT_FALSE(fs::exists(pdf));
    const Outcome png = run("--figure " + (out() / "h.png").string() + " --from " + list.string());
    EXPECT_EQ(png.exitCode, 2);
    EXPECT_TRUE(outputFiles().empty());
}

// A list as people write it: a byte-order mark, comments after blanks, a
// line continued with a backslash; the command line's figure options are
// every line's defaults, a line's own option replacing its family's. Each
// page's ranges are printed with its line, and the PDF is named by the list.
TEST_F(RenderCommand, HandoutListTakesDefaultsCommentsAndContinuedLines) {
    const fs::path list = folder() / "list.txt";
    std::ofstream(list) << "\xef\xbb\xbf# a handout\n"
                           "sin   # the sine, with the default --axes and --scale\n"
                           "--function 'exp(1/z)' \\\n"
                           "    --size 30x20\n"
                           "--function z --range each\n";
    const fs::path pdf = out() / "handout.pdf";
    const Outcome outcome = run("--figure " + pdf.string() + " --from " + list.string() +
                                " --axes --scale 2 --size 24 --range=-3,3");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    EXPECT_NE(outcome.standardError.find("list.txt:3: grey range -3 to 3 (as given)"),
              std::string::npos)
        << outcome.standardError;
    EXPECT_NE(outcome.standardError.find("list.txt:5: grey ranges --range-re="), std::string::npos);
    const std::string maps = (folder() / "maps").string();
    fs::create_directories(maps);
    ASSERT_EQ(run("--axes --scale 2 -o " + maps + " sin").exitCode, 0);
    ASSERT_EQ(
        run("--function 'exp(1/z)' --size 30x20 --range=-3,3 --axes --name b -o " + maps).exitCode,
        0);
    ASSERT_EQ(run("--function z --size 24 --range each --axes --name c -o " + maps).exitCode, 0);
    const std::string images = (folder() / "image").string();
    ASSERT_EQ(std::system(("pdfimages -png " + pdf.string() + " " + images).c_str()), 0);
    const char* const expected[] = {"sin-re.png", "sin-im.png", "b-re.png",
                                    "b-im.png",   "c-re.png",   "c-im.png"};
    for (int k = 0; k < 6; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "image-%03d.png", k);
        EXPECT_TRUE(samePixels(load(folder() / name), load(fs::path(maps) / expected[k])))
            << expected[k];
    }
    const std::string info = (folder() / "info.txt").string();
    ASSERT_EQ(std::system(("pdfinfo " + pdf.string() + " >" + info).c_str()), 0);
    EXPECT_NE(readText(info).find(list.string()), std::string::npos) << readText(info);
}

// --show and --greys on the command line are every function line's
// defaults, one family: a line that gives either takes neither.
TEST_F(RenderCommand, HandoutTakesWhatIsShownAsADefault) {
    const fs::path list = folder() / "list.txt";
    std::ofstream(list) << "--function 'z^3-1'\n"
                           "--function 'exp(1/z)' --greys symlog=10\n"
                           "--function z --show phase\n";
    const fs::path pdf = out() / "handout.pdf";
    const Outcome outcome = run("--figure " + pdf.string() + " --from " + list.string() +
                                " --size 24 --show modulus-arg");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.standardError;
    const std::string maps = (folder() / "maps").string();
    fs::create_directories(maps);
    for (const std::string& line : {std::string("--function 'z^3-1' --show modulus-arg --name a"),
                                    std::string("--function 'exp(1/z)' --greys symlog=10 --name b"),
                                    std::string("--function z --show phase --name c")}) {
        ASSERT_EQ(run(line + " --size 24 -o " + maps).exitCode, 0) << line;
    }
    const std::string images = (folder() / "image").string();
    ASSERT_EQ(std::system(("pdfimages -png " + pdf.string() + " " + images).c_str()), 0);
    const char* const expected[] = {"a-modulus.png", "a-arg.png", "b-re.png", "b-im.png",
                                    "c-phase.png"};
    for (int k = 0; k < 5; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "image-%03d.png", k);
        EXPECT_TRUE(samePixels(load(folder() / name), load(fs::path(maps) / expected[k])))
            << expected[k];
    }
    EXPECT_FALSE(fs::exists(folder() / "image-005.png"));
}

// What a handout refuses, before anything is written: lists that are no
// lists, options that write files of their own, a name or a function on the
// command line, curly quotes, an option without its value at a line's end.
TEST_F(RenderCommand, HandoutRefusesWhatItCannotTake) {
    const std::string pdf = (out() / "h.pdf").string();
    std::ofstream(folder() / "list.txt") << "sin\n";
    std::ofstream(folder() / "list.pdf") << "sin\n";
    std::ofstream(folder() / "curly.txt") << "--function \xe2\x80\x9csin(z)\xe2\x80\x9d\n";
    std::ofstream(folder() / "open.txt") << "sin\n--function z --size\n";
    std::ofstream(folder() / "big.txt") << std::string((16 << 20) + 1, '#');
    ASSERT_EQ(::mkfifo((folder() / "fifo").c_str(), 0600), 0);
    const std::string list = " --from " + (folder() / "list.txt").string();
    struct Case {
        std::string arguments;
        std::string says;
    };
    const Case cases[] = {
        {"--from " + folder().string(), "it is a folder, not a file"},
        {"--from " + (folder() / "fifo").string(), "it is a FIFO, not a file"},
        {"--from " + (folder() / "big.txt").string(), "a list may hold at most 16777216"},
        {"--from " + (folder() / "none.txt").string(), "No such file or directory"},
        {"--from " + (folder() / "curly.txt").string(), "curly.txt:1: a curly quote"},
        {"--from " + (folder() / "open.txt").string(), "open.txt:2: option --size needs a value"},
        {list + " -o " + out().string(), "with --from only the handout's figure is written"},
        {list + " --data v.npy", "leave --data out"},
        {list + " cos", "the name 'cos' goes on a line of the list"},
        {list + " --function z", "--function goes on a line of the list"},
        {list + " --range=0,1 --range-re=0,2", "give --range each"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run("--figure " + pdf + " " + c.arguments);
        EXPECT_EQ(outcome.exitCode, 2) << c.arguments;
        expectOneLine(outcome.standardError);
        EXPECT_NE(outcome.standardError.find(c.says), std::string::npos)
            << c.arguments << ": " << outcome.standardError;
    }
    const std::string same = (folder() / "list.pdf").string();
    const Outcome itself = run("--figure " + same + " --from " + same);
    EXPECT_EQ(itself.exitCode, 2);
    EXPECT_NE(itself.standardError.find("would overwrite its own list"), std::string::npos);
    EXPECT_EQ(readText(same), "sin\n");
    EXPECT_TRUE(outputFiles().empty());
}

#if !defined(__SANITIZE_ADDRESS__)
// Reading a list that memory cannot hold is not bad input.
TEST_F(RenderCommand, ListThatMemoryCannotHoldIsExitOne) {
    std::ofstream(folder() / "long.txt") << [] {
        std::string lines;
        for (int k = 0; k < (15 << 20) / 4; ++k) {
            lines += "sin\n";
        }
        return lines;
    }();
    const std::string command = "ulimit -v 90000 && " + std::string(RENDER_PROGRAM) + " --figure " +
                                (out() / "h.pdf").string() + " --from " +
                                (folder() / "long.txt").string() + " 2>" +
                                (folder() / "err.txt").string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(readText(folder() / "err.txt").find("out of memory while reading"), std::string::npos)
        << readText(folder() / "err.txt");
}
#endif

// The reader's stack does not depend on the user's limit: nesting up to the
// allowed depth reads at a stack limit of 256 KB, on the command line and in
// a list, and deeper nesting is refused with a message.
TEST_F(RenderCommand, DeepNestingNeedsNoLargeStack) {
    const std::string deep = [] {
        std::string text;
        for (int k = 0; k < 199; ++k)
            text += "sin(";
        text += "z";
        return text + std::string(199, ')');
    }();
    std::ofstream(folder() / "deep.txt") << "--function '" << deep << "' --size 8\n"
                                         << "--function '" << std::string(199, '-') << "z'\n";
    auto underSmallStack = [&](const std::string& arguments) {
        const std::string command =
            "ulimit -s 256 && " + std::string(RENDER_PROGRAM) + " " + arguments + " 2>/dev/null";
        return std::system(command.c_str());
    };
    const int direct = underSmallStack("--function '" + deep + "' --size 8 -o " + out().string());
    ASSERT_TRUE(WIFEXITED(direct));
    EXPECT_EQ(WEXITSTATUS(direct), 0);
    const int listed = underSmallStack("--figure " + (out() / "h.pdf").string() + " --from " +
                                       (folder() / "deep.txt").string());
    ASSERT_TRUE(WIFEXITED(listed));
    EXPECT_EQ(WEXITSTATUS(listed), 0);
    const int deeper = underSmallStack("--function '" + std::string(5000, '(') + "z' --size 8");
    ASSERT_TRUE(WIFEXITED(deeper));
    EXPECT_EQ(WEXITSTATUS(deeper), 2);
}

// A render of over half a second shows a bar on a terminal (here the one
// `script` gives it), and nothing of the kind when stderr is a file.
TEST_F(RenderCommand, ProgressBarOnlyOnATerminal) {
    const std::string render = std::string(RENDER_PROGRAM) +
                               " --function 'atan(sin(z))^3' --size 3000 --threads 1 -o " +
                               out().string();
    const fs::path typescript = folder() / "typescript";
    const std::string onTerminal =
        "script -qec \"" + render + "\" " + typescript.string() + " >/dev/null";
    ASSERT_EQ(std::system(onTerminal.c_str()), 0);
    EXPECT_NE(readText(typescript).find("computing [#"), std::string::npos);
    EXPECT_NE(readText(typescript).find("encoding the maps ["), std::string::npos);
    EXPECT_NE(readText(typescript).find("writing the maps ["), std::string::npos);

    const Outcome toFile =
        run("--function 'atan(sin(z))^3' --size 3000 --threads 1 -o " + out().string());
    EXPECT_EQ(toFile.standardError.find("computing"), std::string::npos);
    expectOneLine(toFile.standardError);
}

// A figure alone unless -o asks for the maps too; its suffix picks PNG, SVG
// or PDF.
TEST_F(RenderCommand, FigureIsWrittenInTheFormatItsSuffixNames) {
    const std::string here = "cd " + out().string() + " && " + RENDER_PROGRAM;
    ASSERT_EQ(std::system((here + " --figure sin.png --axes sin 2>/dev/null").c_str()), 0);
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"sin.png"}));
    EXPECT_EQ(load(out() / "sin.png").width(), 1600);

    ASSERT_EQ(
        std::system((here + " --figure f.svg --function 'exp(1/z)' -o . 2>/dev/null").c_str()), 0);
    ASSERT_EQ(
        std::system(
            (here + " --figure g.pdf --figure-width=900 --figure g.png log 2>/dev/null").c_str()),
        0);
    ASSERT_EQ(std::system((here + " --figure g.pdf log 2>/dev/null").c_str()), 0);
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"sin.png", "f.svg", "f-re.png", "f-im.png",
                                                    "g.png", "g.pdf"}));
    EXPECT_EQ(load(out() / "g.png").width(), 900);
    EXPECT_TRUE(readText(out() / "f.svg").starts_with("<?xml"));
    EXPECT_TRUE(readText(out() / "g.pdf").starts_with("%PDF"));
}

TEST_F(RenderCommand, FigureInputIsCheckedBeforeAnythingIsWritten) {
    const std::string figure = (out() / "figure.png").string();
    for (const std::string& arguments :
         {"--figure " + (out() / "figure.jpg").string() + " sin", "--figure " + figure + " sin log",
          "--figure " + figure + " --figure-width 599 sin",
          "--figure " + (out() / "figure.svg").string() + " --figure-width 2000 sin",
          std::string("--figure-width 2000 sin"),
          // Maps of 1500 pixels do not fit a figure 1600 pixels wide.
          "--figure " + figure + " --function z --size 1500 --figure-width 1600 -o " +
              out().string()}) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments;
        EXPECT_FALSE(outcome.standardError.empty()) << arguments;
    }
    EXPECT_TRUE(outputFiles().empty());
}

// The renderer makes plain maps itself, without loading Qt, and hands
// everything else to the program Qt draws with; both make the same files
// and say the same of them.
class PlainMapsWithoutQt : public RenderCommand,
                           public ::testing::WithParamInterface<const char*> {};

TEST_P(PlainMapsWithoutQt, SameFilesAndMessagesAsTheQtProgram) {
    fs::create_directories(folder() / "qt");
    std::string arguments = GetParam();
    auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
            text.replace(at, from.size(), to);
        }
        return text;
    };
    const Outcome plain = run(replaced(arguments, "OUT", out().string()));
    const Outcome drawn =
        run(replaced(arguments, "OUT", (folder() / "qt").string()), RENDER_QT_PROGRAM);
    EXPECT_EQ(plain.exitCode, drawn.exitCode);
    EXPECT_EQ(replaced(plain.standardError, out().string(), "OUT"),
              replaced(drawn.standardError, (folder() / "qt").string(), "OUT"));
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder() / "qt")) {
        names.insert(entry.path().filename().string());
    }
    ASSERT_EQ(outputFiles(), names);
    const bool checker = std::system("command -v pngcheck >/dev/null 2>&1") == 0;
    for (const std::string& name : names) {
        EXPECT_TRUE(readText(out() / name) == readText(folder() / "qt" / name)) << name;
        // Every chunk's CRC and the zlib stream, read by an independent
        // checker where one is installed.
        if (checker && name.ends_with(".png")) {
            EXPECT_EQ(std::system(("pngcheck -q '" + (out() / name).string() + "'").c_str()), 0)
                << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PlainMapsWithoutQt,
    ::testing::Values("--function 'sin(z)' --size 300x200 -o OUT",
                      "--function 'sin(z)' --size 301x7 --threads 1 -o OUT",
                      "--function 1/z --size 33 --axes --data OUT/v.npy -o OUT",
                      "--function 'exp(z)' --show phase --axes --size 99 -o OUT",
                      "--function 'log(z)' --show modulus-arg --size 128x64 -o OUT",
                      "--function 'z^3' --range each --greys symlog --size 64 -o OUT",
                      "--function 'z*1e300' --range=-1,1 --size 16 -o OUT/none/here",
                      "--function 'z' --size 16 --bogus -o OUT"));

TEST_F(RenderCommand, PlainMapsLoadNoQtAndTheRestIsHandedOn) {
    const std::string traced = "LD_TRACE_LOADED_OBJECTS=1 " + std::string(RENDER_PROGRAM);
    const Outcome libraries = run("", traced);
    EXPECT_EQ(libraries.exitCode, 0);
    EXPECT_NE(libraries.standardOutput.find("libsleef"), std::string::npos);
    EXPECT_EQ(libraries.standardOutput.find("libQt"), std::string::npos)
        << libraries.standardOutput;

    // A figure is Qt's to draw: handed on, and its map files too.
    ASSERT_EQ(run("--function z --size 16 --figure " + (out() / "f.svg").string() + " -o " +
                  out().string())
                  .exitCode,
              0);
    EXPECT_EQ(outputFiles(), (std::set<std::string>{"f.svg", "f-re.png", "f-im.png"}));

    // Without the program it hands on to, it says where it looked.
    const fs::path alone = folder() / "alone";
    fs::create_directories(alone);
    fs::copy_file(RENDER_PROGRAM, alone / "complex-plot-render");
    const Outcome lost = run("--figure " + (out() / "g.pdf").string() + " sin",
                             (alone / "complex-plot-render").string());
    EXPECT_EQ(lost.exitCode, 1);
    expectOneLine(lost.standardError);
    EXPECT_NE(lost.standardError.find("cannot find complex-plot-render-qt"), std::string::npos)
        << lost.standardError;
    EXPECT_FALSE(fs::exists(out() / "g.pdf"));
}
