// "lumaset animsets" as a user runs it: the plug-in's utility edits the sets of a glTF scene
// through its dialog, the scene is written back with one animation per set, and the animation
// range survives into the next run.
#include "cli/Commands.h"
#include "gltf/GltfReader.h"
#include "gltf/GltfWriter.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace {

struct ProgramRun {
    int status;
    std::string out, err;
};

ProgramRun run(std::vector<std::string> words) {
    // After the command's name, so that a later --plugins-dir wins and a step missing values
    // does not borrow these words.
    words.insert(words.begin() + 1, {"--plugins-dir", LUMASET_PLUGINS_FOLDER});
    std::ostringstream out, err;
    cli::Console console(out, err);
    int status = cli::runProgram(words, console);
    return {status, out.str(), err.str()};
}

bool isOneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

// One box node moved along x from 0 to 60 over two seconds: frames 1 to 61 of the host
// timeline at 30 frames a second, x equal to the glTF time in frames.
gltf::Scene slidingBox() {
    gltf::Scene scene;
    gltf::Mesh mesh;
    gltf::Primitive triangle;
    triangle.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    triangle.indices = {0, 1, 2};
    mesh.primitives.push_back(triangle);
    scene.meshes.push_back(mesh);
    gltf::Node node;
    node.name = "box";
    node.mesh = 0;
    scene.nodes.push_back(node);
    scene.roots = {0};
    gltf::Animation take;
    take.name = "take";
    gltf::Channel slide;
    slide.node = 0;
    slide.path = gltf::AnimationPath::translation;
    slide.timesSeconds = {0, 2};
    slide.values = {0, 0, 0, 60, 0, 0};
    take.channels.push_back(slide);
    scene.animations.push_back(take);
    return scene;
}

class AnimsetsCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(gltf::writeGltfFile(slidingBox(), input(), error)) << error;
    }
    std::string input() const { return folder.file("take.gltf"); }
    static gltf::Scene read(const std::string& file) {
        gltf::Scene scene;
        gltf::ReadReport report;
        EXPECT_TRUE(gltf::readGltfFile(file, scene, report)) << report.error;
        return scene;
    }
    static const gltf::Animation* animationNamed(const gltf::Scene& scene,
                                                 const std::string& name) {
        for (const gltf::Animation& animation : scene.animations)
            if (animation.name == name) return &animation;
        return nullptr;
    }
    // The box's x under `animation` at `seconds`: its one translation channel, linear between
    // keys and held beyond them, as glTF plays it.
    static double xAt(const gltf::Animation& animation, double seconds) {
        for (const gltf::Channel& channel : animation.channels) {
            if (channel.node != 0 || channel.path != gltf::AnimationPath::translation) continue;
            const std::vector<float>& times = channel.timesSeconds;
            if (seconds <= times.front()) return channel.values[0];
            for (std::size_t k = 1; k < times.size(); ++k)
                if (seconds <= times[k]) {
                    const double share = (seconds - times[k - 1]) / (times[k] - times[k - 1]);
                    return channel.values[3 * (k - 1)] +
                           share * (channel.values[3 * k] - channel.values[3 * (k - 1)]);
                }
            return channel.values[3 * (times.size() - 1)];
        }
        ADD_FAILURE() << "no translation channel in " << animation.name;
        return NAN;
    }

    apptest::TempFolder folder;
};

TEST_F(AnimsetsCommand, SplitsOneLongAnimationIntoNamedClips) {
    const std::string output = folder.file("clips.gltf");
    ProgramRun result = run({"animsets", input(), "--set", "walk", "1", "30", "--set", "run", "31",
                             "61", "--delete", "TAKE", "-o", output});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    gltf::Scene clips = read(output);
    ASSERT_EQ(clips.animations.size(), 2u);
    EXPECT_EQ(clips.animations[0].name, "walk");
    EXPECT_EQ(clips.animations[1].name, "run");
    // Each clip starts in the pose the timeline has at its first frame, wherever keys are.
    const gltf::Animation& walk = clips.animations[0];
    const gltf::Animation& run = clips.animations[1];
    EXPECT_NEAR(xAt(walk, 0), 0, 1e-3);
    EXPECT_NEAR(xAt(walk, 29.0 / 30), 29, 1e-3);
    EXPECT_NEAR(xAt(run, 0), 30, 1e-3);
    EXPECT_NEAR(xAt(run, 1), 60, 1e-3);
    EXPECT_NEAR(walk.channels.at(0).timesSeconds.back(), 29.0 / 30, 1e-6);
    EXPECT_NEAR(run.channels.at(0).timesSeconds.back(), 1.0, 1e-6);
    // The input is untouched when the output goes elsewhere.
    EXPECT_EQ(read(input()).animations.size(), 1u);
    std::string report;
    EXPECT_TRUE(apptest::validatesWithoutErrors(output, report)) << report;
}

TEST_F(AnimsetsCommand, ListShowsTheDialogAtItsPlaceAmongTheSteps) {
    ProgramRun result = run({"animsets", input(), "--list", "--set", "idle", "0", "0", "--slider",
                             "5", "20", "--list"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "KEY NAME  START        END\n"
                          "take      1            61\n"
                          "animation range: 0 to 61\n"
                          "KEY NAME  START        END\n"
                          "take      1            61\n"
                          "idle      0            0\n"
                          "animation range: 5 to 20\n");
}

TEST_F(AnimsetsCommand, TheSetsAndTheRangeAreWhatTheNextRunReads) {
    ProgramRun first = run({"animsets", input(), "--set", "walk", "1", "30", "--set", "run", "31",
                            "61", "--delete", "take", "--slider", "31", "61"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "");
    gltf::Scene written = read(input());
    ASSERT_TRUE(written.animationRange.has_value());
    EXPECT_NEAR(written.animationRange->startSeconds, 31.0 / 30, 1e-9);
    EXPECT_NEAR(written.animationRange->endSeconds, 61.0 / 30, 1e-9);

    const auto before = std::filesystem::last_write_time(input());
    ProgramRun second = run({"animsets", input(), "--list"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "KEY NAME  START        END\n"
                          "walk      1            30\n"
                          "run       31           61\n"
                          "animation range: 31 to 61\n");
    // Nothing changed: the file is not written again.
    EXPECT_EQ(std::filesystem::last_write_time(input()), before);

    ProgramRun all = run({"animsets", input(), "--all-slider", "--list"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_NE(all.out.find("animation range: 1 to 61\n"), std::string::npos) << all.out;
}

TEST_F(AnimsetsCommand, SetsKeepTheirFramesUnlessTheyOverlap) {
    // Apart from one another, the sets come back where they were, gaps and order included.
    ProgramRun first = run({"animsets", input(), "--set", "run", "40", "61", "--set", "idle", "1",
                            "10", "--delete", "take"});
    ASSERT_EQ(first.status, 0) << first.err;
    ProgramRun second = run({"animsets", input(), "--list"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.out, "KEY NAME  START        END\n"
                          "run       40           61\n"
                          "idle      1            10\n"
                          "animation range: 0 to 61\n");
    // Overlapping sets cannot share the frames of one timeline: they follow one another.
    ProgramRun third = run({"animsets", input(), "--set", "all", "1", "61"});
    ASSERT_EQ(third.status, 0) << third.err;
    ProgramRun fourth = run({"animsets", input(), "--list"});
    ASSERT_EQ(fourth.status, 0) << fourth.err;
    EXPECT_EQ(fourth.out, "KEY NAME  START        END\n"
                          "run       1            22\n"
                          "idle      23           32\n"
                          "all       33           93\n"
                          "animation range: 0 to 61\n");
}

TEST_F(AnimsetsCommand, ShowDrawsTheDialogAfterTheSteps) {
    const std::string picture = folder.file("dialog.svg");
    ProgramRun result = run({"animsets", input(), "--set", "jump", "3", "9", "--show", picture});
    ASSERT_EQ(result.status, 0) << result.err;
    std::vector<std::uint8_t> bytes = apptest::readBytes(picture);
    const std::string svg(bytes.begin(), bytes.end());
    EXPECT_EQ(svg.rfind("<svg", 0), 0u) << svg.substr(0, 40);
    for (const char* text : {"Animation set", "KEY NAME", "take", "jump", "SET SLIDER"})
        EXPECT_NE(svg.find(text), std::string::npos) << text;
}

TEST_F(AnimsetsCommand, MistakesEndInOneLineAndLeaveTheSceneAsItWas) {
    const std::vector<std::uint8_t> original = apptest::readBytes(input());
    struct Case {
        std::vector<std::string> words;
        int status;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{"--delete", "walk"}, 1, "no set of that name"},
        {{"--set", "walk", "1", "--list"}, 2, "not a whole frame number"},
        {{"--set", "walk", "1"}, 2, "needs 3 values"},
        {{"--set", "", "1", "2"}, 2, "needs a name"},
        {{"--set", "a\tb", "1", "2"}, 2, "control characters"},
        {{"--slider", "1", "99999999999"}, 2, "not a whole frame number"},
        {{"--delete", "take", "--all-slider"}, 1, "no animation sets"},
        {{"--set", "walk", "1", "2", "--show", folder.file("no/such/folder/d.svg")},
         1,
         "cannot be written"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words = {"animsets", input()};
        words.insert(words.end(), c.words.begin(), c.words.end());
        ProgramRun result = run(words);
        EXPECT_EQ(result.status, c.status) << c.words.front();
        EXPECT_TRUE(isOneLine(result.err)) << result.err;
        EXPECT_NE(result.err.find(c.expected), std::string::npos) << result.err;
        EXPECT_EQ(apptest::readBytes(input()), original) << c.words.front();
    }
    ProgramRun demo = run({"animsets", "--demo", "--list"});
    EXPECT_EQ(demo.status, 2);
    EXPECT_NE(demo.err.find("-o OUT"), std::string::npos) << demo.err;
    ProgramRun missing = run({"animsets", folder.file("absent.gltf"), "--list"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(isOneLine(missing.err)) << missing.err;
    ProgramRun noPlugins = run({"animsets", input(), "--plugins-dir", folder.path().string()});
    EXPECT_EQ(noPlugins.status, 1);
    EXPECT_NE(noPlugins.err.find("no animation set utility"), std::string::npos) << noPlugins.err;
}

TEST_F(AnimsetsCommand, AnUnwritableOutputFailsAndKeepsTheInput) {
    const std::vector<std::uint8_t> original = apptest::readBytes(input());
    ProgramRun result = run(
        {"animsets", input(), "--set", "walk", "1", "2", "-o", folder.file("missing/out.gltf")});
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(isOneLine(result.err)) << result.err;
    EXPECT_EQ(apptest::readBytes(input()), original);
}

TEST(AnimsetsRange, AnAnimationRangeThatIsNotTwoOrderedTimesIsIgnoredWithAWarning) {
    apptest::TempFolder folder;
    std::string error;
    ASSERT_TRUE(gltf::writeGltfFile(slidingBox(), folder.file("in.gltf"), error)) << error;
    std::vector<std::uint8_t> bytes = apptest::readBytes(folder.file("in.gltf"));
    std::string text(bytes.begin(), bytes.end());
    const std::size_t at = text.find('{', text.find("\"scenes\""));
    ASSERT_NE(at, std::string::npos) << text;
    text.insert(at + 1, R"("extras":{"lumaset":{"animationRange":[2,1]}},)");
    apptest::writeBytes(folder.file("in.gltf"),
                        std::vector<std::uint8_t>(text.begin(), text.end()));
    gltf::Scene scene;
    gltf::ReadReport report;
    ASSERT_TRUE(gltf::readGltfFile(folder.file("in.gltf"), scene, report)) << report.error;
    EXPECT_FALSE(scene.animationRange.has_value());
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_NE(report.warnings[0].find("animation range"), std::string::npos);
}

} // namespace
