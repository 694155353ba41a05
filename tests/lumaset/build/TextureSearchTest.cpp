// The texture search rules, on files made in a temporary folder, with names far beyond the old
// 260-character limit.
#include "ImportTestSupport.h"

#include "build/TextureSearch.h"

#include "bmmlib.h"

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

TEST_F(TextureSearch, LetterCaseAndBackslashesDoNotMatterAtAnyLength) {
    const std::filesystem::path models = deepFolder(300);
    touch(models / "rock01.jpg");
    touch(models / "undead.bmp");
    // The X file itself named the Windows way: backslashes, another letter case.
    std::string xFile = (models / "SCENE.X").string();
    for (char& c : xFile)
        if (c == '/') c = '\\';
    ASSERT_GT(xFile.size(), 300u);
    // Found beside the X file, named by its folder, one separator and the name as written.
    const auto besideModels = [&](const std::string& found, const std::string& name) {
        const std::size_t cut = found.size() - name.size() - 1;
        return found.size() > name.size() && found.ends_with(name) &&
               (found[cut] == '/' || found[cut] == '\\') && found[cut - 1] != '/' &&
               found[cut - 1] != '\\' && BMMIsFile(found.c_str());
    };
    EXPECT_TRUE(besideModels(findTextureFile("Rock01.jpg", xFile), "Rock01.jpg"));
    EXPECT_TRUE(besideModels(findTextureFile("D:\\art\\undead.bmp", xFile), "undead.bmp"));
    EXPECT_TRUE(besideModels(findTextureFile("d:/ART/UNDEAD.BMP", xFile), "UNDEAD.BMP"));
    // A texture name of 300 characters and more: only its last part counts.
    const std::string longName = "textures\\" + std::string(300, 'q') + "\\ROCK01.JPG";
    EXPECT_TRUE(besideModels(findTextureFile(longName, xFile), "ROCK01.JPG"));
    EXPECT_EQ(findTextureFile(longName, (folder / "elsewhere.x").string()), longName);
}

TEST_F(TextureSearch, ATextureFoundNowhereKeepsItsNameWhateverItsLength) {
    const std::string longName = std::string(150, 'x') + "/" + std::string(150, 'y') + ".png";
    EXPECT_EQ(findTextureFile(longName, (deepFolder(300) / "scene.x").string()), longName);
    EXPECT_EQ(findTextureFile("missing.png", scratch("scene.x").string()), "missing.png");
    EXPECT_EQ(findTextureFile("missing.png", ""), "missing.png");
}

} // namespace
