// The texture search rules, on files made in a temporary folder, with names far beyond the old
// 260-character limit.
#include "ImportTestSupport.h"

#include "build/TextureSearch.h"

#include <fstream>

using namespace importtest;

namespace {

class TextureSearch : public ImportTest {
protected:
    std::filesystem::path touch(const std::filesystem::path& path) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << "image";
        return path;
    }
    // A folder below the test's folder whose path is longer than `length` characters.
    std::filesystem::path deepFolder(std::size_t length) {
        std::filesystem::path path = folder;
        for (char letter = 'a'; path.string().size() <= length; ++letter)
            path /= std::string(100, letter);
        std::filesystem::create_directories(path);
        return path;
    }
    void TearDown() override {
        hostcore::setMapPaths({});
        ImportTest::TearDown();
    }
};

TEST_F(TextureSearch, ANameThatExistsIsKeptAsItIs) {
    const std::string name = touch(deepFolder(300) / "wood.png").string();
    ASSERT_GT(name.size(), 300u);
    EXPECT_EQ(findTextureFile(name, scratch("scene.x").string()), name);
}

TEST_F(TextureSearch, TheHostsMapPathsComeBeforeTheXFilesFolder) {
    touch(folder / "maps" / "wood.png");
    touch(folder / "models" / "wood.png");
    hostcore::setMapPaths({(folder / "maps").string()});
    EXPECT_EQ(findTextureFile("wood.png", (folder / "models" / "scene.x").string()),
              (folder / "maps" / "wood.png").string());
}

TEST_F(TextureSearch, ATextureBesideTheXFileIsNamedByItsFolderAndOneSeparator) {
    const std::filesystem::path models = deepFolder(300);
    const std::filesystem::path texture = touch(models / "wood.png");
    const std::string xFile = (models / "scene.x").string();
    EXPECT_EQ(findTextureFile("wood.png", xFile), texture.string());
    // The folder part of the texture name does not matter, only its file name and extension.
    EXPECT_EQ(findTextureFile("elsewhere/textures/wood.png", xFile), texture.string());
    EXPECT_EQ(findTextureFile("/absolute/path/wood.png", xFile), texture.string());
    // An X file named relative to the current folder is made absolute first.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(models.parent_path());
    EXPECT_EQ(findTextureFile("wood.png", models.filename().string() + "/scene.x"),
              texture.string());
    std::filesystem::current_path(previous);
}

TEST_F(TextureSearch, NamesWrittenOnWindowsFindTheImageBesideTheXFile) {
    const std::filesystem::path models = folder / "models";
    const std::filesystem::path texture = touch(models / "Tiny_skin.dds");
    const std::string xFile = (models / "tiny.x").string();
    EXPECT_EQ(findTextureFile("tiny\\Tiny_skin.dds", xFile), texture.string());
    EXPECT_EQ(findTextureFile("D:\\art\\Tiny_skin.dds", xFile), texture.string());
    EXPECT_EQ(findTextureFile("D:Tiny_skin.dds", xFile), texture.string());
}

TEST_F(TextureSearch, ATextureFoundNowhereKeepsItsNameWhateverItsLength) {
    const std::string longName = std::string(150, 'x') + "/" + std::string(150, 'y') + ".png";
    EXPECT_EQ(findTextureFile(longName, (deepFolder(300) / "scene.x").string()), longName);
    EXPECT_EQ(findTextureFile("missing.png", scratch("scene.x").string()), "missing.png");
    EXPECT_EQ(findTextureFile("missing.png", ""), "missing.png");
}

} // namespace
