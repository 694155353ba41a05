// The program's command line: option parsing, dispatch, help, exit codes and one-line errors.
#include "cli/Arguments.h"
#include "cli/Commands.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace cli;

const OptionSpec testOptions[] = {
    {"fps", true, "N", ""}, {"demo", false, "", ""}, {"help", false, "", ""}};

TEST(Arguments, TakesValuesInBothSpellingsAndKeepsPositionalsInOrder) {
    const std::vector<std::string> words = {"in.gltf", "--fps",    "24", "out.gltf",
                                            "--demo",  "--fps=25", "--", "--odd-name"};
    ParsedArguments parsed;
    std::string error;
    ASSERT_TRUE(parseArguments(words, testOptions, parsed, error)) << error;
    EXPECT_EQ(parsed.positionals, (std::vector<std::string>{"in.gltf", "out.gltf", "--odd-name"}));
    EXPECT_EQ(parsed.valueOr("fps", ""), "25"); // the last one wins
    EXPECT_TRUE(parsed.has("demo"));
    EXPECT_FALSE(parsed.has("help"));
}

TEST(Arguments, RefusesUnknownOptionsMissingValuesAndValuesForFlags) {
    const std::vector<std::vector<std::string>> bad = {
        {"--colour"}, {"-x"}, {"--fps"}, {"--demo=yes"}};
    const char* expected[] = {"unknown option '--colour'", "unknown option '-x'",
                              "option '--fps' needs a value", "option '--demo' takes no value"};
    for (std::size_t i = 0; i < bad.size(); ++i) {
        ParsedArguments parsed;
        std::string error;
        EXPECT_FALSE(parseArguments(bad[i], testOptions, parsed, error));
        EXPECT_EQ(error, expected[i]);
    }
}

TEST(Arguments, ReadsWholeIntegersInRangeOnly) {
    int value = 7;
    EXPECT_TRUE(parseInteger("30", 1, 4800, value));
    EXPECT_EQ(value, 30);
    for (const char* bad : {"", "0", "4801", "12fps", "-3", " 5", "2.5"})
        EXPECT_FALSE(parseInteger(bad, 1, 4800, value)) << bad;
    EXPECT_EQ(value, 30);
}

struct ProgramRun {
    int status;
    std::string out, err;
};

ProgramRun run(std::vector<std::string> words) {
    std::ostringstream out, err;
    Console console(out, err);
    int status = runProgram(words, console);
    return {status, out.str(), err.str()};
}

TEST(Program, AnswersVersionAndHelpOnStandardOutputWithSuccess) {
    ProgramRun version = run({"--version"});
    EXPECT_EQ(version.status, exitSuccess);
    EXPECT_EQ(version.out, "lumaset " LUMASET_PROJECT_VERSION "\n");
    ProgramRun help = run({"--help"});
    EXPECT_EQ(help.status, exitSuccess);
    EXPECT_NE(help.out.find("usage: lumaset"), std::string::npos);
    for (const CommandInfo& command : commandTable()) {
        EXPECT_NE(help.out.find(std::string(command.name)), std::string::npos) << command.name;
        std::vector<std::string> words;
        std::istringstream parts{std::string(command.name)};
        for (std::string part; parts >> part;)
            words.push_back(part);
        words.push_back("--help");
        ProgramRun helpRun = run(words);
        EXPECT_EQ(helpRun.status, exitSuccess) << command.name;
        EXPECT_NE(helpRun.out.find("usage: lumaset " + std::string(command.name)),
                  std::string::npos);
        EXPECT_TRUE(helpRun.err.empty());
    }
}

TEST(Program, ReportsAWrongCommandLineInOneLineWithStatusTwo) {
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {"frobnicate"}, {"scene"}, {"scene", "shred"}, {"plugins", "--bogus"}}) {
        ProgramRun result = run(words);
        EXPECT_EQ(result.status, exitUsage) << words[0];
        EXPECT_TRUE(result.out.empty());
        ASSERT_FALSE(result.err.empty());
        EXPECT_TRUE(result.err.starts_with("lumaset: ")) << result.err;
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
    ProgramRun nothing = run({});
    EXPECT_EQ(nothing.status, exitUsage);
    EXPECT_NE(nothing.err.find("usage:"), std::string::npos);
}

TEST(Program, TheInstalledProgramAnswersItsVersion) {
    std::string output;
    EXPECT_EQ(apptest::runCommand(std::string("'") + LUMASET_PROGRAM + "' --version", output), 0);
    EXPECT_EQ(output, "lumaset " LUMASET_PROJECT_VERSION "\n");
    EXPECT_EQ(apptest::runCommand(std::string("'") + LUMASET_PROGRAM + "' --nonsense", output), 2);
}

} // namespace
