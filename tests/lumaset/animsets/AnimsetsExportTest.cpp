// Sets edited with "lumaset animsets" reach the X file: "lumaset export" of the edited scene
// writes one animation set per stored set, which the plug-in's own reader reads back.
#include "xfile/XFileIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

int runLumaset(const std::string& arguments) {
    const std::string line = std::string("'") + LUMASET_PROGRAM + "' " + arguments +
                             " --plugins-dir '" + LUMASET_PLUGINS_FOLDER + "' >/dev/null 2>&1";
    return std::system(line.c_str());
}

// The first and the last key time over every animation of a set, in ticks.
std::pair<XKeyTimeTicks, XKeyTimeTicks> keySpan(const XAnimationSet& set) {
    XKeyTimeTicks first = 0, last = 0;
    bool any = false;
    auto take = [&](const auto& keys) {
        if (keys.empty()) return;
        first = any ? std::min(first, keys.begin()->first) : keys.begin()->first;
        last = any ? std::max(last, keys.rbegin()->first) : keys.rbegin()->first;
        any = true;
    };
    for (const auto& [target, animation] : set) {
        take(animation.rotationKeys);
        take(animation.positionKeys);
        take(animation.scaleKeys);
        take(animation.matrixKeys);
    }
    return {first, last};
}

TEST(AnimsetsThenExport, GivesOneXAnimationSetPerStoredSet) {
    const fs::path corpus = fs::path(LUMASET_CORPUS_DIR) / "gltf" / "BoxAnimated.gltf";
    if (!fs::exists(corpus)) GTEST_SKIP() << "corpus file not found: " << corpus;
    if (runLumaset("export --help") != 0) GTEST_SKIP() << "this lumaset has no export command yet";
    const fs::path folder =
        fs::temp_directory_path() / ("animsets-export-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string edited = (folder / "edited.gltf").string();
    const std::string exported = (folder / "clips.x").string();

    // BoxAnimated's two animations lie at frames 1-76 and 77-189: the first is replaced by a
    // clip of its first 30 frames.
    ASSERT_EQ(runLumaset("animsets '" + corpus.string() +
                         "' --set Spin 1 30 --delete animation_0 -o '" + edited + "'"),
              0);
    ASSERT_EQ(runLumaset("export '" + edited + "' '" + exported + "'"), 0);

    XFileIO io;
    std::unique_ptr<XScene> scene = io.readScene(exported.c_str());
    ASSERT_NE(scene, nullptr);
    std::set<std::string> names;
    for (const auto& [name, set] : scene->animationSets)
        names.insert(name);
    EXPECT_EQ(names, (std::set<std::string>{"Spin", "animation_1"}));
    // Keys count from each set's first frame, 160 ticks a frame at 30 frames a second.
    ASSERT_TRUE(scene->animationSets.count("Spin"));
    ASSERT_TRUE(scene->animationSets.count("animation_1"));
    EXPECT_EQ(keySpan(scene->animationSets.at("Spin")), std::make_pair(0, 29 * 160));
    EXPECT_EQ(keySpan(scene->animationSets.at("animation_1")), std::make_pair(0, 112 * 160));
    fs::remove_all(folder);
}

} // namespace
