// Key times in the tick rate a file announces: the reader hands them on at 4800 ticks a second.
// Fixtures are files of the project's own writer with the announced rate changed by hand.
#include "XFileIOTestSupport.h"

#include "xfile/XFileIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <set>

using namespace xfiletest;

namespace {

// One frame with a position key at each of `times`, as stored in the file.
XScene sceneWithKeysAt(std::initializer_list<std::int32_t> times) {
    XScene scene;
    scene.frames.emplace_back().name = "Hip";
    XAnimation& hip = scene.animationSets["Walk"]["Hip"];
    float value = 0;
    for (std::int32_t time : times)
        hip.positionKeys[time] = XVector3{value++, 0, 0};
    return scene;
}

// Writes `scene` as text and replaces the announced rate 4800 by `ticksPerSecond`.
std::vector<std::uint8_t> textFileAt(const XScene& scene, const std::string& ticksPerSecond) {
    const auto path = scratchPath("ticks.x");
    EXPECT_TRUE(XFileIO().writeScene(path.c_str(), scene, 1, false));
    const std::vector<std::uint8_t> bytes = readBytes(path);
    std::string text(bytes.begin(), bytes.end());
    const std::string announced = "AnimTicksPerSecond {\n 4800;";
    const std::size_t at = text.find(announced);
    EXPECT_NE(at, std::string::npos);
    if (at != std::string::npos)
        text.replace(at, announced.size(), "AnimTicksPerSecond {\n " + ticksPerSecond + ";");
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::map<XKeyTimeTicks, XVector3> positionKeysRead(const std::vector<std::uint8_t>& file) {
    const std::unique_ptr<XScene> scene = XFileIO().readSceneFromMemory(file.data(), file.size());
    EXPECT_TRUE(scene);
    if (!scene || !scene->animationSets.count("Walk") ||
        !scene->animationSets.at("Walk").count("Hip"))
        return {};
    return scene->animationSets.at("Walk").at("Hip").positionKeys;
}

std::vector<XKeyTimeTicks> timesOf(const std::map<XKeyTimeTicks, XVector3>& keys) {
    std::vector<XKeyTimeTicks> times;
    for (const auto& entry : keys)
        times.push_back(entry.first);
    return times;
}

} // namespace

TEST(XFileTickRate, TimesAtThirtyTicksASecondBecomeTimesAt4800) {
    const XScene scene = sceneWithKeysAt({0, 1, 15, 30, 45});
    const auto keys = positionKeysRead(textFileAt(scene, "30"));
    EXPECT_EQ(timesOf(keys), (std::vector<XKeyTimeTicks>{0, 160, 2400, 4800, 7200}));
    EXPECT_EQ(keys.at(4800), (XVector3{3, 0, 0}));
}

TEST(XFileTickRate, OtherRatesRoundToTheNearestTick) {
    const XScene scene = sceneWithKeysAt({1, 2, 7, 10});
    EXPECT_EQ(timesOf(positionKeysRead(textFileAt(scene, "24"))),
              (std::vector<XKeyTimeTicks>{200, 400, 1400, 2000}));
    // 4800/7 = 685.71..., 9600/7 = 1371.43..., 33600/7 = 4800, 48000/7 = 6857.14...
    EXPECT_EQ(timesOf(positionKeysRead(textFileAt(scene, "7"))),
              (std::vector<XKeyTimeTicks>{686, 1371, 4800, 6857}));
    // At 9600 a second, times 1 and 2 land on ticks 1 (half up) and 1: the later key stays.
    const auto fine = positionKeysRead(textFileAt(scene, "9600"));
    EXPECT_EQ(timesOf(fine), (std::vector<XKeyTimeTicks>{1, 4, 5}));
    EXPECT_EQ(fine.at(1), (XVector3{1, 0, 0}));
}

TEST(XFileTickRate, FilesAt4800OrWithoutARateKeepTheirTimes) {
    const XScene scene = sceneWithKeysAt({-5, 0, 7, std::numeric_limits<std::int32_t>::max()});
    EXPECT_EQ(positionKeysRead(textFileAt(scene, "4800")),
              scene.animationSets.at("Walk").at("Hip").positionKeys);
    // A rate of 0 says nothing and counts as no rate.
    EXPECT_EQ(positionKeysRead(textFileAt(scene, "0")),
              scene.animationSets.at("Walk").at("Hip").positionKeys);
    XFileIO noAnimationObject;
    const auto path = scratchPath("no-ticks.x");
    ASSERT_TRUE(noAnimationObject.writeScene(path.c_str(), scene, 1, false));
    std::vector<std::uint8_t> bytes = readBytes(path);
    std::string text(bytes.begin(), bytes.end());
    const std::size_t at = text.find("AnimTicksPerSecond {\n 4800;\n}\n");
    ASSERT_NE(at, std::string::npos);
    text.erase(at, std::string("AnimTicksPerSecond {\n 4800;\n}\n").size());
    EXPECT_EQ(positionKeysRead(std::vector<std::uint8_t>(text.begin(), text.end())),
              scene.animationSets.at("Walk").at("Hip").positionKeys);
}

TEST(XFileTickRate, KeysPastTheSigned32BitRangeAreLeftOut) {
    // 13421772 x 160 = 2147483520 fits; 13421773 x 160 = 2147483680 does not, nor do times
    // the file stores as DWORDs of 2^31 and more.
    const XScene scene = sceneWithKeysAt({0, 13421772, 13421773, -1});
    const auto keys = positionKeysRead(textFileAt(scene, "30"));
    EXPECT_EQ(timesOf(keys), (std::vector<XKeyTimeTicks>{0, 2147483520}));
    // At 9600 a second the large times halve into range; the DWORD 2^32 - 1 rounds to 2^31,
    // one past the range, and stays out.
    const auto halved = positionKeysRead(textFileAt(scene, "9600"));
    EXPECT_EQ(timesOf(halved), (std::vector<XKeyTimeTicks>{0, 6710886, 6710887}));
}

TEST(XFileTickRate, TheRateAppliesWhereverItStandsAndInBinaryFiles) {
    const XScene scene = sceneWithKeysAt({0, 30});
    // The object after the sets.
    std::vector<std::uint8_t> file = textFileAt(scene, "4800");
    std::string text(file.begin(), file.end());
    const std::string announced = "AnimTicksPerSecond {\n 4800;\n}\n";
    text.erase(text.find(announced), announced.size());
    text += "AnimTicksPerSecond {\n 30;\n}\n";
    EXPECT_EQ(timesOf(positionKeysRead(std::vector<std::uint8_t>(text.begin(), text.end()))),
              (std::vector<XKeyTimeTicks>{0, 4800}));

    // Binary: the rate is an integer list of one DWORD.
    const auto path = scratchPath("ticks-binary.x");
    ASSERT_TRUE(XFileIO().writeScene(path.c_str(), scene, 0, false));
    std::vector<std::uint8_t> bytes = readBytes(path);
    const std::vector<std::uint8_t> rate4800 = {6, 0, 1, 0, 0, 0, 0xC0, 0x12, 0, 0};
    const auto at = std::search(bytes.begin(), bytes.end(), rate4800.begin(), rate4800.end());
    ASSERT_NE(at, bytes.end());
    at[6] = 30;
    at[7] = 0;
    EXPECT_EQ(timesOf(positionKeysRead(bytes)), (std::vector<XKeyTimeTicks>{0, 4800}));
}

TEST(XFileTickRate, ARewriteKeepsTheTiming) {
    const std::vector<std::uint8_t> file = textFileAt(sceneWithKeysAt({0, 15, 30}), "30");
    const std::unique_ptr<XScene> scene = XFileIO().readSceneFromMemory(file.data(), file.size());
    ASSERT_TRUE(scene);
    const auto path = scratchPath("ticks-rewritten.x");
    ASSERT_TRUE(XFileIO().writeScene(path.c_str(), *scene, 0, false));
    const std::unique_ptr<XScene> back = XFileIO().readScene(path.c_str());
    ASSERT_TRUE(back);
    EXPECT_EQ(timesOf(back->animationSets.at("Walk").at("Hip").positionKeys),
              (std::vector<XKeyTimeTicks>{0, 2400, 4800}));
}

// Files nobody here wrote: a file that announces 24 with no keys reads as before, and files
// without the object keep the times their AnimationKey objects store.
TEST(XFileTickRate, CorpusFilesKeepOrConvertTheirTimes) {
    if (!corpusAvailable()) GTEST_SKIP() << "corpus folder not found at " << LUMASET_CORPUS_DIR;
    const std::unique_ptr<XScene> cube =
        XFileIO().readScene(corpusPath("test_cube_text.x").c_str());
    ASSERT_TRUE(cube);
    EXPECT_TRUE(cube->animationSets.empty());
    EXPECT_EQ(cube->frames.size(), 1u);

    for (const char* name : {"kid.x", "ninja.X"}) {
        SCOPED_TRACE(name);
        std::set<std::uint32_t> stored;
        for (const ListedObject& object : listObjects(corpusPath(name))) {
            if (object.type != "AnimationKey") continue;
            const std::uint32_t count = dwordAt(object.data, 4);
            std::size_t at = 8;
            for (std::uint32_t k = 0; k < count; ++k) {
                stored.insert(dwordAt(object.data, at));
                at += 8 + 4 * std::size_t(dwordAt(object.data, at + 4));
            }
        }
        const std::unique_ptr<XScene> scene = XFileIO().readScene(corpusPath(name).c_str());
        ASSERT_TRUE(scene);
        std::set<std::uint32_t> read;
        for (const auto& [setName, set] : scene->animationSets)
            for (const auto& [target, animation] : set) {
                for (const auto& key : animation.positionKeys)
                    read.insert(std::uint32_t(key.first));
                for (const auto& key : animation.rotationKeys)
                    read.insert(std::uint32_t(key.first));
                for (const auto& key : animation.scaleKeys)
                    read.insert(std::uint32_t(key.first));
            }
        EXPECT_FALSE(stored.empty());
        EXPECT_EQ(read, stored);
    }
}
