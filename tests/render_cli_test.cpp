// The headless renderer as a user runs it: files written, and bad input
// refused with one line and the right exit status.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "headless_controls.h"
#include "plot_run.h"

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

    Outcome run(const std::string& arguments) {
        const fs::path out = folder_ / "stdout.txt";
        const fs::path err = folder_ / "stderr.txt";
        const std::string command = std::string(RENDER_PROGRAM) + " " + arguments + " >" +
                                    out.string() + " 2>" + err.string() + " </dev/null";
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
