#pragma once

// Runs huewright-tool as a user would from a shell, its two outputs kept apart: results go to
// standard output and complaints to standard error, and the tests hold the tool to that.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace hw::test {

struct ToolRun {
    /// The exit code; -1 when the tool did not exit by itself.
    int status = -1;
    std::string out;
    std::string err;
};

/// `text` in single quotes for the shell, its own single quotes kept.
inline std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += "'\\''";
        else quoted += c;
    }
    return quoted + "'";
}

/// Runs the tool with `arguments`, which are shell text: quote paths with shellQuoted.
inline ToolRun runTool(const std::string& arguments) {
    // ctest runs the tests of one executable in parallel processes, so the capture files carry
    // the process id, and a count for calls within one test.
    static std::atomic<int> calls = 0;
    const std::string stem = (std::filesystem::temp_directory_path() /
                              ("hw-tool-" + std::to_string(::getpid()) + "-" + std::to_string(calls++)))
                                 .string();
    const std::string outFile = stem + ".out", errFile = stem + ".err";
    const std::string command =
        shellQuoted(HW_TOOL) + " " + arguments + " >" + shellQuoted(outFile) + " 2>" + shellQuoted(errFile);
    const int raw = std::system(command.c_str());
    const auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::filesystem::remove(path);
        return text.str();
    };
    ToolRun run;
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = slurp(outFile);
    run.err = slurp(errFile);
    return run;
}

} // namespace hw::test
