// The window program as a shell starts it, with and without a display.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct Outcome {
    int exitCode = -1;
    std::string standardError;
};

Outcome runProgram(const char* program, const std::string& environment,
                   const std::string& arguments) {
    const std::filesystem::path err = std::filesystem::temp_directory_path() /
                                      ("window-program-" + std::to_string(::getpid()) + ".txt");
    const std::string command = "env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY " + environment +
                                " timeout 3 " + program + " " + arguments + " 2>" + err.string() +
                                " </dev/null";
    const int status = std::system(command.c_str());
    std::ifstream file(err);
    Outcome outcome;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.standardError.assign(std::istreambuf_iterator<char>(file), {});
    std::filesystem::remove(err);
    return outcome;
}

Outcome runWindowProgram(const std::string& environment, const std::string& arguments) {
    return runProgram(WINDOW_PROGRAM, environment, arguments);
}

}  // namespace

// Qt decides whether it can open a platform; when it cannot, one line says
// what is missing and where the renderer is that needs no display.
TEST(WindowProgram, WithoutADisplayExitsWithOneLineNamingTheRenderer) {
    for (const std::string environment : {"-u DISPLAY", "DISPLAY=:54321"}) {
        const Outcome outcome = runWindowProgram(environment, "");
        EXPECT_EQ(outcome.exitCode, 1) << environment;
        EXPECT_EQ(std::count(outcome.standardError.begin(), outcome.standardError.end(), '\n'), 1)
            << outcome.standardError;
        EXPECT_NE(outcome.standardError.find(RENDER_PROGRAM), std::string::npos)
            << outcome.standardError;
    }
    EXPECT_NE(runWindowProgram("DISPLAY=:54321", "").standardError.find(":54321"),
              std::string::npos);
}

// Any platform Qt can open will do: offscreen starts and runs until the
// timeout ends it.
TEST(WindowProgram, StartsOnAnyPlatformQtCanOpen) {
    EXPECT_EQ(runWindowProgram("-u DISPLAY", "-platform offscreen").exitCode, 124);
}

// The explorer's command line: help without a display, and one line, exit
// 2, for what it does not take, naming what was typed (on any platform Qt
// can open; offscreen here).
TEST(ExplorerProgram, CommandLineIsCheckedBeforeAWindowOpens) {
    const std::filesystem::path printed = std::filesystem::temp_directory_path() /
                                          ("explorer-help-" + std::to_string(::getpid()) + ".txt");
    const Outcome help = runProgram(EXPLORE_PROGRAM, "-u DISPLAY", "--help >" + printed.string());
    EXPECT_EQ(help.exitCode, 0) << help.standardError;
    std::ifstream file(printed);
    const std::string text(std::istreambuf_iterator<char>(file), {});
    std::filesystem::remove(printed);
    // Every option it takes is in its help.
    for (const char* option :
         {"--function", "--window", "--size", "--range", "--range-re", "--range-im", "--show",
          "--greys", "--contours", "--zeros", "--axes"}) {
        EXPECT_NE(text.find(std::string(" ") + option), std::string::npos) << option;
    }
    const std::pair<const char*, const char*> cases[] = {
        {"garbage", "unexpected word 'garbage'"},
        {"-o out", "'-o' is the renderer's"},
        {"--threads 2", "'--threads' is the renderer's"},
        {"--data v.npy", "'--data' is the renderer's"},
        {"--frobnicate", "unknown option '--frobnicate'"},
    };
    for (const auto& [arguments, says] : cases) {
        const Outcome outcome =
            runProgram(EXPLORE_PROGRAM, "-u DISPLAY QT_QPA_PLATFORM=offscreen", arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments;
        EXPECT_NE(outcome.standardError.find(says), std::string::npos) << outcome.standardError;
    }
}
