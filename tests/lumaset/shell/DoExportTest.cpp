// The exporter as the host runs it: Lumaset.dle loaded by name, a scene built with the scene kit,
// the options dialog answered by a played user, the X file read back with the plug-in's reader.
#include "settings/SettingsFile.h"
#include "xfile/XFileIO.h"

#include <SceneKit.h>
#include <headless/UserPlayer.h>
#include <hostcore.h>
#include <impexp.h>
#include <plugapi.h>
#include <plugin.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;

const char kExportTitle[] = "Lumaset (Tavisorel) Export";
enum : int {
    kText = 1003,
    kBinary = 1004,
    kCompressed = 1005,
    kNormal = 1007,
    kSkin = 1009,
    kLeftHanded = 1022,
    kScaleX = 1028,
    kScaleY = 1029,
    kScaleZ = 1030,
    kRotationX = 1034,
    kRotationY = 1035,
    kRotationZ = 1036,
    kSampling = 1031,
    kSamplingFps = 1032,
};

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

const XFrame* findFrame(const std::list<XFrame>& frames, const std::string& name) {
    for (const XFrame& frame : frames) {
        if (frame.name == name) return &frame;
        if (const XFrame* found = findFrame(frame.children, name)) return found;
    }
    return nullptr;
}

// Throws from the pipeline while armed: an exception in the middle of a capture.
class ThrowingModifier : public Modifier {
public:
    static inline bool armed = false;
    static inline int throwCount = 0;
    void ModifyObject(TimeValue, ModContext&, ObjectState*, INode*) override {
        if (!armed) return;
        ++throwCount;
        throw std::runtime_error("modifier failed");
    }
};

class DoExport : public ::testing::Test {
protected:
    void SetUp() override {
        char folderTemplate[] = "/tmp/lumaset-doexport-XXXXXX";
        ASSERT_NE(mkdtemp(folderTemplate), nullptr);
        folder = folderTemplate;
        hostcore::setDir(APP_PLUGCFG_DIR, folder.string());
        hostcore::resetScene();
        module = LoadLibraryA("Lumaset.dle");
        ASSERT_NE(module, nullptr);
        auto classDesc =
            reinterpret_cast<ClassDesc* (*)(int)>(GetProcAddress(module, "LibClassDesc"));
        ASSERT_NE(classDesc, nullptr);
        exporter = static_cast<SceneExport*>(classDesc(1)->Create(FALSE));
        ASSERT_NE(exporter, nullptr);
    }
    void TearDown() override {
        delete exporter;
        if (module) FreeLibrary(module);
        hostcore::resetScene();
        hostcore::setDir(APP_PLUGCFG_DIR, "");
        fs::remove_all(folder);
    }

    // Runs DoExport to `name` with the played user's script; returns what DoExport returned.
    int runExport(const fs::path& name) {
        return exporter->DoExport(name.c_str(), nullptr, GetCOREInterface(), FALSE, 0);
    }
    std::unique_ptr<XScene> readBack(const fs::path& name) {
        return XFileIO().readScene(name.c_str());
    }
    fs::path settingsFile() const { return folder / "Lumaset.xml"; }

    fs::path folder;
    HMODULE module = nullptr;
    SceneExport* exporter = nullptr;
};

TEST_F(DoExport, CancelAndTheCloseBoxTouchNoFile) {
    scenekit::makeBox("Box");
    const fs::path target = folder / "scene.x";
    writeText(target, "keep me");
    writeText(settingsFile(), "<?xml version=\"1.0\"?>\n<LUMASET/>");
    for (bool closeBox : {false, true}) {
        headless::UserPlayer player;
        player.at(kExportTitle).click(kBinary).check(kLeftHanded, true);
        closeBox ? player.closeBox() : player.click(IDCANCEL);
        EXPECT_EQ(runExport(target), 1);
        EXPECT_EQ(player.dialogsSeen().size(), 1u);
        EXPECT_EQ(contentsOf(target), "keep me");
        EXPECT_EQ(contentsOf(settingsFile()), "<?xml version=\"1.0\"?>\n<LUMASET/>");
    }
    EXPECT_FALSE(hostcore::progressView().shown);
}

TEST_F(DoExport, EachFormatButtonWritesItsEncodingAndIsSaved) {
    scenekit::makeBox("Box");
    const struct {
        int button;
        const char* header; // bytes 8 to 11 of the file
        int saved;
    } cases[] = {{kText, "txt ", 0}, {kBinary, "bin ", 1}, {kCompressed, "bzip", 2}};
    for (const auto& c : cases) {
        const fs::path target = folder / ("box" + std::to_string(c.saved) + ".x");
        headless::UserPlayer player;
        player.at(kExportTitle).click(c.button).click(IDOK);
        EXPECT_EQ(runExport(target), 1);
        const std::string bytes = contentsOf(target);
        ASSERT_GE(bytes.size(), 16u) << c.header;
        EXPECT_EQ(bytes.substr(8, 4), c.header);
        std::unique_ptr<XScene> scene = readBack(target);
        ASSERT_TRUE(scene) << c.header;
        const XFrame* box = findFrame(scene->frames, "Box");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->mesh.faces.size(), 12u);
        EXPECT_EQ(SettingsFile().exportOptions.format, c.saved);
    }
    EXPECT_FALSE(hostcore::progressView().shown);
}

TEST_F(DoExport, NoFormatButtonCheckedWritesAndSavesText) {
    scenekit::makeBox("Box");
    writeText(settingsFile(),
              "<?xml version=\"1.0\"?>\n<LUMASET>\n\t<EXPORT>\n\t\t<FORMAT value=\"5\"/>\n"
              "\t</EXPORT>\n</LUMASET>");
    const fs::path target = folder / "box.x";
    headless::UserPlayer player;
    player.at(kExportTitle).click(IDOK);
    EXPECT_EQ(runExport(target), 1);
    EXPECT_EQ(contentsOf(target).substr(8, 4), "txt ");
    EXPECT_EQ(SettingsFile().exportOptions.format, 0);
}

TEST_F(DoExport, ScaleAndRotationRunOnlyWhenTheyChangeSomething) {
    INode* box = scenekit::makeBox("Box");
    scenekit::place(box, scenekit::translation(1.0f, 2.0f, 3.0f));
    struct Case {
        const char* scale[3];
        const char* rotation[3];
        float expected[4][3]; // rows of the top frame's transform
    };
    const Case cases[] = {
        {{"1", "1", "1"}, {"0", "0", "0"}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}}},
        {{"1", "1", "2"}, {"0", "0", "0"}, {{1, 0, 0}, {0, 1, 0}, {0, 0, 2}, {1, 2, 6}}},
        // 90 degrees about z turns x into y (row vectors): (1, 2, 3) goes to (-2, 1, 3).
        {{"1", "1", "1"}, {"0", "0", "90"}, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}, {-2, 1, 3}}},
    };
    for (const Case& c : cases) {
        const fs::path target = folder / "box.x";
        headless::UserPlayer player;
        player.at(kExportTitle)
            .type(kScaleX, c.scale[0])
            .type(kScaleY, c.scale[1])
            .type(kScaleZ, c.scale[2])
            .type(kRotationX, c.rotation[0])
            .type(kRotationY, c.rotation[1])
            .type(kRotationZ, c.rotation[2])
            .click(kBinary)
            .click(IDOK);
        EXPECT_EQ(runExport(target), 1);
        std::unique_ptr<XScene> scene = readBack(target);
        ASSERT_TRUE(scene);
        const XFrame* frame = findFrame(scene->frames, "Box");
        ASSERT_NE(frame, nullptr);
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 3; ++column)
                EXPECT_NEAR(frame->transform.at(row, column), c.expected[row][column], 1e-5)
                    << c.scale[2] << " " << c.rotation[2] << " row " << row << " column " << column;
        const SettingsFile saved;
        EXPECT_EQ(saved.exportOptions.objectScale[2], std::stof(c.scale[2]));
        EXPECT_EQ(saved.exportOptions.objectRotation[2], std::stof(c.rotation[2]));
    }
}

TEST_F(DoExport, ClearedSamplingTakesKeysAndKeepsTheTypedRate) {
    INode* box = scenekit::makeBox("Box");
    scenekit::keyPosition(box, 0, Point3(0, 0, 0));
    scenekit::keyPosition(box, 4800, Point3(10, 0, 0));
    for (bool sampling : {false, true}) {
        const fs::path target = folder / "box.x";
        headless::UserPlayer player;
        player.at(kExportTitle).check(kSampling, sampling).type(kSamplingFps, "60").click(IDOK);
        EXPECT_EQ(runExport(target), 1);
        const SettingsFile saved;
        EXPECT_EQ(saved.exportOptions.sampling, sampling);
        EXPECT_EQ(saved.exportOptions.samplingFps, 60);
        std::unique_ptr<XScene> scene = readBack(target);
        ASSERT_TRUE(scene);
        ASSERT_FALSE(scene->animationSets.empty());
        const XAnimationSet& set = scene->animationSets.begin()->second;
        ASSERT_TRUE(set.count("Box"));
        const XAnimation& animation = set.at("Box");
        if (sampling) {
            EXPECT_GT(animation.matrixKeys.size(), 2u) << "sampled at 60 a second";
        } else {
            EXPECT_TRUE(animation.matrixKeys.empty()) << "taken from the keys";
            EXPECT_TRUE(animation.positionKeys.count(0));
            EXPECT_TRUE(animation.positionKeys.count(4800));
        }
    }
}

TEST_F(DoExport, ASceneWithoutNodesStillWritesAndSaves) {
    const fs::path target = folder / "empty.x";
    headless::UserPlayer player;
    player.at(kExportTitle).check(kNormal, false).click(IDOK);
    EXPECT_EQ(runExport(target), 1);
    std::unique_ptr<XScene> scene = readBack(target);
    ASSERT_TRUE(scene);
    EXPECT_TRUE(scene->frames.empty());
    EXPECT_FALSE(SettingsFile().exportOptions.normal);
}

TEST_F(DoExport, AFailedWriteKeepsTheFileAndStillSavesTheSettings) {
    scenekit::makeBox("Box");
    headless::UserPlayer player;
    player.at(kExportTitle).check(kSkin, false).click(IDOK);
    EXPECT_EQ(runExport(folder / "missing" / "box.x"), 1);
    EXPECT_FALSE(fs::exists(folder / "missing"));
    EXPECT_FALSE(SettingsFile().exportOptions.skin);
    EXPECT_FALSE(hostcore::progressView().shown);
}

TEST_F(DoExport, AnExceptionInThePipelineRestoresTheHostAndReachesNoCaller) {
    INode* body = scenekit::makeCylinder("Body", 1.0f, 4.0f, 8, 4);
    std::vector<INode*> bones = scenekit::makeBoneChain("Bone", 2, 2.0f);
    Modifier* skin = scenekit::skinTo(body, bones);
    scenekit::addModifier(body, new ThrowingModifier);
    const fs::path target = folder / "body.x";
    writeText(target, "keep me");
    headless::UserPlayer player;
    player.at(kExportTitle).click(IDOK);
    ThrowingModifier::armed = true;
    ThrowingModifier::throwCount = 0;
    int result = 0;
    EXPECT_NO_THROW(result = runExport(target));
    ThrowingModifier::armed = false;
    EXPECT_EQ(result, 1);
    EXPECT_GT(ThrowingModifier::throwCount, 0) << "the pipeline met the exception";
    EXPECT_TRUE(skin->IsEnabled()) << "the skin is switched on again";
    EXPECT_FALSE(hostcore::progressView().shown) << "the progress display is ended";
    EXPECT_EQ(contentsOf(target), "keep me");
    EXPECT_FALSE(IsWindow(GetActiveWindow()) && IsWindowVisible(GetActiveWindow()));
}

TEST_F(DoExport, AMirroredCopyIsWrittenWithItsTrianglesTurned) {
    INode* plain = scenekit::makeBox("Plain");
    INode* mirrored = scenekit::makeBox("Mirrored");
    scenekit::place(mirrored, ScaleMatrix(Point3(-1.0f, 1.0f, 1.0f)));
    (void)plain;
    const fs::path target = folder / "boxes.x";
    headless::UserPlayer player;
    player.at(kExportTitle).click(kBinary).click(IDOK);
    EXPECT_EQ(runExport(target), 1);
    std::unique_ptr<XScene> scene = readBack(target);
    ASSERT_TRUE(scene);
    const XFrame* a = findFrame(scene->frames, "Plain");
    const XFrame* b = findFrame(scene->frames, "Mirrored");
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->mesh.faces.size(), b->mesh.faces.size());
    // Seen through its mirroring transform, each face of the copy faces the same way as the
    // original's: the geometric normal of face f, mirrored, equals the original's mirrored.
    for (std::size_t f = 0; f < a->mesh.faces.size(); ++f) {
        auto normalOf = [](const XMesh& mesh, std::size_t face, float mirror) {
            const auto& i = mesh.faces[face].indices;
            XVector3 p[3];
            for (int k = 0; k < 3; ++k) {
                p[k] = mesh.positions[i[std::size_t(k)]];
                p[k].x *= mirror;
            }
            const float ux = p[1].x - p[0].x, uy = p[1].y - p[0].y, uz = p[1].z - p[0].z;
            const float vx = p[2].x - p[0].x, vy = p[2].y - p[0].y, vz = p[2].z - p[0].z;
            return XVector3{uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
        };
        const XVector3 original = normalOf(a->mesh, f, 1.0f);
        const XVector3 copy = normalOf(b->mesh, f, -1.0f);
        // The mirrored original's outward normal is the original's with x negated.
        EXPECT_NEAR(copy.x, -original.x, 1e-5) << f;
        EXPECT_NEAR(copy.y, original.y, 1e-5) << f;
        EXPECT_NEAR(copy.z, original.z, 1e-5) << f;
    }
}

} // namespace

namespace {

TEST_F(DoExport, AChainDeeperThanXFilesHoldWritesNothingAndDoesNotCrash) {
    INode* parent = nullptr;
    for (int level = 0; level < 100000; ++level)
        parent = scenekit::makeNode("n" + std::to_string(level), nullptr, parent);
    const fs::path target = folder / "chain.x";
    headless::UserPlayer player;
    player.at(kExportTitle).click(IDOK);
    EXPECT_EQ(runExport(target), 1);
    EXPECT_FALSE(fs::exists(target)) << "a file its own reader could not read";
    EXPECT_FALSE(hostcore::progressView().shown);
}

} // namespace
