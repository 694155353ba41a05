// Names in the text encoding: every name written is one that strict readers take, it reads back as
// written, and frames, bones and animation targets still find each other. Binary files keep names.
#include "XFileIOTestSupport.h"

#include "xfile/TextNames.h"
#include "xfile/XFileIO.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

using namespace xfiletest;

namespace {

// What strict readers take as a name, and no keyword of the format.
bool isStrictName(const std::string& name) {
    static const std::regex strict("[A-Za-z_][A-Za-z0-9_-]*");
    static const std::regex keyword(
        "(array|binary|binary_resource|byte|char|cstring|double|dword|float|sdword|string|sword|"
        "template|uchar|ulonglong|unicode|void|word)",
        std::regex::icase);
    return std::regex_match(name, strict) && !std::regex_match(name, keyword);
}

XScene sceneWithAwkwardNames() {
    XScene scene;
    XFrame& root = scene.frames.emplace_back();
    root.name = "sword"; // the keyword SWORD
    const char* childNames[] = {"Bone.000", "Bone_000",    "Word",     "1st",
                                "-5",       "Hand L\"x\"", "Bone:000", "template"};
    for (const char* name : childNames)
        root.children.emplace_back().name = name;
    XFrame& body = scene.frames.emplace_back();
    body.name = "Body";
    XMesh& mesh = body.mesh;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.faces = {XFace{3, {0, 1, 2, 0}}};
    for (const char* boneName : {"sword", "Bone.000", "Bone_000", "1st"}) {
        XSkinWeights& bone = mesh.skinWeights.emplace_back();
        bone.boneName = boneName;
        bone.weights = {{0, 0.5f}, {1, 1.0f}};
    }
    XAnimationSet& walk = scene.animationSets["Walk cycle"];
    for (const char* target : {"sword", "Bone.000", "Bone_000", "-5", "Body"})
        walk[target].positionKeys[0] = XVector3{1, 2, 3};
    scene.animationSets["DWORD"]["Word"].scaleKeys[4800] = XVector3{2, 2, 2};
    return scene;
}

std::vector<std::string> frameNames(const XScene& scene) {
    std::vector<std::string> names;
    std::vector<const XFrame*> pending;
    for (const XFrame& frame : scene.frames)
        pending.push_back(&frame);
    while (!pending.empty()) {
        const XFrame* frame = pending.back();
        pending.pop_back();
        names.push_back(frame->name);
        for (const XFrame& child : frame->children)
            pending.push_back(&child);
    }
    return names;
}

// Every name the scene uses: frames, bones, sets and animation targets.
std::vector<std::string> allNames(const XScene& scene) {
    std::vector<std::string> names = frameNames(scene);
    std::vector<const XFrame*> pending;
    for (const XFrame& frame : scene.frames)
        pending.push_back(&frame);
    while (!pending.empty()) {
        const XFrame* frame = pending.back();
        pending.pop_back();
        for (const XSkinWeights& bone : frame->mesh.skinWeights)
            names.push_back(bone.boneName);
        for (const XFrame& child : frame->children)
            pending.push_back(&child);
    }
    for (const auto& [setName, set] : scene.animationSets) {
        names.push_back(setName);
        for (const auto& [target, animation] : set)
            names.push_back(target);
    }
    return names;
}

} // namespace

TEST(TextEncodingNames, KeywordsCharactersAndLeadingDigitsAreMadeSafe) {
    const XScene scene = sceneWithAwkwardNames();
    const TextEncodingNames names(scene);
    EXPECT_EQ(names("sword"), "sword_");
    EXPECT_EQ(names("Word"), "Word_");
    EXPECT_EQ(names("template"), "template_");
    EXPECT_EQ(names("DWORD"), "DWORD_");
    EXPECT_EQ(names("1st"), "_1st");
    EXPECT_EQ(names("-5"), "_-5");
    EXPECT_EQ(names("Hand L\"x\""), "Hand_L_x_");
    EXPECT_EQ(names("Walk cycle"), "Walk_cycle");
    // Names that can stand keep themselves, and those that would meet them get a suffix.
    EXPECT_EQ(names("Bone_000"), "Bone_000");
    EXPECT_EQ(names("Body"), "Body");
    EXPECT_EQ(names("Bone.000"), "Bone_000_1");
    EXPECT_EQ(names("Bone:000"), "Bone_000_2");
    // Each change is listed once, in order of first appearance.
    ASSERT_FALSE(names.renamed().empty());
    EXPECT_EQ(names.renamed().front(), (std::pair<std::string, std::string>{"sword", "sword_"}));
    std::set<std::string> newNames;
    for (const auto& [oldName, newName] : names.renamed()) {
        EXPECT_TRUE(isStrictName(newName)) << newName;
        EXPECT_TRUE(newNames.insert(newName).second) << newName;
    }
    EXPECT_TRUE(isTextEncodingName(""));
    EXPECT_FALSE(isTextEncodingName("Sword"));
    EXPECT_TRUE(isTextEncodingName("Swords"));
}

TEST(XFileWriter, TextFilesCarryOnlyNamesThatStrictReadersTake) {
    const XScene scene = sceneWithAwkwardNames();
    const TextEncodingNames names(scene);
    for (std::uint32_t format : {1u, 3u}) { // text, compressed text
        SCOPED_TRACE(format);
        const auto path = scratchPath("names" + std::to_string(format) + ".x");
        ASSERT_TRUE(XFileIO().writeScene(path.c_str(), scene, format, false));
        const std::unique_ptr<XScene> back = XFileIO().readScene(path.c_str());
        ASSERT_TRUE(back);

        // Every name reads back as the renaming wrote it, and parses as a strict name.
        std::vector<std::string> expected;
        for (const std::string& name : allNames(scene))
            expected.push_back(names(name));
        std::vector<std::string> got = allNames(*back);
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected);
        for (const std::string& name : got) {
            if (!name.empty()) {
                EXPECT_TRUE(isStrictName(name)) << name;
            }
        }

        // Bones and animation targets still name frames of the file.
        const std::vector<std::string> frames = frameNames(*back);
        const std::set<std::string> frameSet(frames.begin(), frames.end());
        EXPECT_EQ(frameSet.size(), frames.size()) << "distinct names stay distinct";
        for (const XSkinWeights& bone : back->frames.back().mesh.skinWeights)
            EXPECT_EQ(frameSet.count(bone.boneName), 1u) << bone.boneName;
        for (const auto& [setName, set] : back->animationSets)
            for (const auto& [target, animation] : set)
                EXPECT_EQ(frameSet.count(target), 1u) << target;
        EXPECT_EQ(back->animationSets.at("Walk_cycle").at("Bone_000_1").positionKeys.at(0),
                  (XVector3{1, 2, 3}));
    }
}

TEST(XFileWriter, TheTextItselfHoldsOnlyStrictNames) {
    const auto path = scratchPath("names-text.x");
    ASSERT_TRUE(XFileIO().writeScene(path.c_str(), sceneWithAwkwardNames(), 1, false));
    const std::vector<std::uint8_t> bytes = readBytes(path);
    std::istringstream text(std::string(bytes.begin(), bytes.end()));
    // Object headers "Type name {" and references "{ name }", as the writer lays them out.
    const std::regex header(R"(^\s*(Frame|AnimationSet)\s+(\S+)\s*\{\s*$)");
    const std::regex reference(R"(^\s*\{\s*(\S+)\s*\}\s*$)");
    std::size_t namesSeen = 0;
    for (std::string line; std::getline(text, line);) {
        std::smatch match;
        if (std::regex_match(line, match, header)) {
            EXPECT_TRUE(isStrictName(match[2])) << line;
            ++namesSeen;
        } else if (std::regex_match(line, match, reference)) {
            EXPECT_TRUE(isStrictName(match[1])) << line;
            ++namesSeen;
        }
    }
    EXPECT_EQ(namesSeen, 10u + 2u + 6u); // 10 frames, 2 sets, 6 animation targets
}

TEST(XFileWriter, BinaryFilesKeepEveryNameAsItIs) {
    const XScene scene = sceneWithAwkwardNames();
    for (std::uint32_t format : {0u, 2u}) {
        const auto path = scratchPath("names-binary" + std::to_string(format) + ".x");
        ASSERT_TRUE(XFileIO().writeScene(path.c_str(), scene, format, false));
        const std::unique_ptr<XScene> back = XFileIO().readScene(path.c_str());
        ASSERT_TRUE(back);
        std::vector<std::string> expected = allNames(scene);
        std::vector<std::string> got = allNames(*back);
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected);
    }
}
