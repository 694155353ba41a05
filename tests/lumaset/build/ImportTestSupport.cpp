#include "ImportTestSupport.h"

#include "resources/ResourceTable.h"
#include "resources/resource.h"
#include "shell/XFileImporter.h"
#include "xfile/XFileIO.h"

#include "maxapi.h"
#include "quat.h"

#include <SceneKit.h>
#include <headless/UserPlayer.h>

#include <unistd.h>

namespace importtest {

void ImportTest::SetUp() {
    hostcore::resetScene();
    RegisterResourceTable(nullptr, &Win32ResourceTable);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The settings file is synced to disk on every save; memory-backed storage keeps the sweeps
    // of many imports from waiting on the disk.
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    folder = base / ("lumaset-import-" + std::to_string(::getpid()) + "-" + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "plugcfg");
    hostcore::setDir(APP_PLUGCFG_DIR, (folder / "plugcfg").string());
    SetTicksPerFrame(160);
}

void ImportTest::TearDown() {
    hostcore::setDir(APP_PLUGCFG_DIR, "");
    RegisterResourceTable(nullptr, nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    hostcore::resetScene();
}

std::filesystem::path ImportTest::scratch(const std::string& fileName) const {
    return folder / fileName;
}

std::filesystem::path writeXFile(const std::filesystem::path& path, const XScene& scene,
                                 int format) {
    XFileIO writer;
    EXPECT_TRUE(
        writer.writeScene(path.string().c_str(), scene, static_cast<std::uint32_t>(format), false))
        << path;
    return path;
}

int importWithDialog(const std::filesystem::path& path, const DialogAnswers& answers) {
    XFileImporter importer;
    std::unique_ptr<ImpInterface> ii = hostcore::newImportInterface();
    headless::UserPlayer player;
    player.at(kImportTitle);
    const std::pair<const std::optional<bool>*, int> boxes[] = {
        {&answers.normals, IDC_NORMAL},      {&answers.uv, IDC_UV},
        {&answers.colors, IDC_VERTEX_COLOR}, {&answers.skin, IDC_SKIN},
        {&answers.animation, IDC_ANIMATION}, {&answers.leftHanded, IDC_LEFT_HANDED}};
    for (const auto& [wanted, id] : boxes)
        if (wanted->has_value()) player.check(id, **wanted);
    for (const auto& [id, text] : answers.edits)
        player.type(id, text);
    player.click(answers.cancel ? IDCANCEL : IDOK);
    const int result = importer.DoImport(path.string().c_str(), ii.get(), GetCOREInterface());
    EXPECT_TRUE(player.failures().empty());
    EXPECT_EQ(player.dialogsSeen().size(), 1u);
    return result;
}

void makeExistingScene() {
    scenekit::makeBox("Existing");
    scenekit::storeAnimationSets({{"idle", 0, 10}, {"jump", 11, 40}});
}

void expectExistingSceneUnchanged(const std::string& where) {
    const std::vector<INode*> nodes = hostcore::allNodes();
    ASSERT_EQ(nodes.size(), 1u) << where;
    EXPECT_STREQ(nodes[0]->GetName(), "Existing") << where;
    const std::vector<scenekit::AnimationSet> sets = scenekit::storedAnimationSets();
    ASSERT_EQ(sets.size(), 2u) << where;
    EXPECT_EQ(sets[0].name, "idle") << where;
    EXPECT_EQ(sets[0].endFrame, 10) << where;
    EXPECT_EQ(sets[1].name, "jump") << where;
    EXPECT_EQ(sets[1].startFrame, 11) << where;
    EXPECT_EQ(sets[1].endFrame, 40) << where;
}

INode* findNode(const std::string& name) {
    return GetCOREInterface()->GetINodeByName(name.c_str());
}

Matrix3 rows(Point3 x, Point3 y, Point3 z, Point3 t) {
    return Matrix3(x, y, z, t);
}

XMatrix toX(const Matrix3& matrix) {
    XMatrix x;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            x.at(r, c) = matrix.GetRow(r)[c];
    return x;
}

void expectNear(const Matrix3& expected, const Matrix3& actual, float tolerance,
                const std::string& where) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(expected.GetRow(r)[c], actual.GetRow(r)[c], tolerance)
                << where << " row " << r << " column " << c;
}

Matrix3 srt(Point3 scale, int axis, float radians, Point3 translation) {
    Matrix3 rotation = axis == 0   ? RotateXMatrix(radians)
                       : axis == 1 ? RotateYMatrix(radians)
                                   : RotateZMatrix(radians);
    return ScaleMatrix(scale) * rotation * TransMatrix(translation);
}

} // namespace importtest
