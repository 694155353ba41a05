// File names the Windows way on a case-sensitive file system: '\' as a separator, letter case
// ignored, drive names split and joined as a texture search does.
#include <stdlib.h>
#include <unistd.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "headless/FileNames.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder with the files a texture search meets, removed afterwards.
class FileNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("lumaset-filenames-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "models" / "tiny");
        touch("models/scene.x");
        touch("models/tiny/Tiny_skin.dds");
        touch("models/rock01.jpg");
        touch("models/Undead.BMP");
        touch("models/Twin.png");
        touch("models/twin.PNG");
    }
    void TearDown() override { fs::remove_all(root); }

    void touch(const std::string& name) { std::ofstream(root / name) << name; }
    std::string at(const std::string& name) const { return (root / name).string(); }
    // The same path written the Windows way.
    std::string backslashed(const std::string& name) const {
        std::string path = at(name);
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }

    fs::path root;
};

// Runs in `folder` and returns to the folder it came from.
class InFolder {
public:
    explicit InFolder(const fs::path& folder) : previous(fs::current_path()) {
        fs::current_path(folder);
    }
    ~InFolder() { fs::current_path(previous); }

private:
    fs::path previous;
};

TEST_F(FileNamesTest, BackslashesAndLetterCaseFindTheFile) {
    EXPECT_EQ(headless::findFile(backslashed("models/tiny/Tiny_skin.dds")),
              at("models/tiny/Tiny_skin.dds"));
    EXPECT_EQ(headless::findFile(at("MODELS/Rock01.JPG")), at("models/rock01.jpg"));
    EXPECT_EQ(headless::findFile(at("models/undead.bmp")), at("models/Undead.BMP"));
    {
        InFolder inModels(root / "models");
        std::optional<std::string> relative =
            headless::findFile("tiny\\\\Tiny_skin.dds"); // doubled, as in X files
        ASSERT_TRUE(relative);
        EXPECT_EQ(fs::canonical(*relative), fs::canonical(root / "models/tiny/Tiny_skin.dds"));
        EXPECT_TRUE(headless::findFile(".\\TINY\\..\\Rock01.jpg"));
    }
    EXPECT_FALSE(headless::findFile(at("models/missing.jpg")));
    EXPECT_FALSE(headless::findFile("D:\\art\\undead.bmp")); // no drives here
    EXPECT_FALSE(headless::findFile(""));
    EXPECT_FALSE(headless::findFile(std::string(40000, 'a')));
}

TEST_F(FileNamesTest, AnExactNameWinsAndTwoCaseTwinsMatchNeither) {
    EXPECT_EQ(headless::findFile(at("models/Twin.png")), at("models/Twin.png"));
    EXPECT_EQ(headless::findFile(at("models/twin.PNG")), at("models/twin.PNG"));
    EXPECT_FALSE(headless::findFile(at("models/TWIN.png"))); // which one? neither
}

TEST_F(FileNamesTest, FileAttributesFollowTheSameRules) {
    EXPECT_EQ(GetFileAttributesA(backslashed("Models").c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA(backslashed("models/TINY/tiny_skin.DDS").c_str()),
              DWORD(FILE_ATTRIBUTE_NORMAL));
    fs::permissions(root / "models/rock01.jpg", fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_EQ(GetFileAttributesA(at("models/rock01.jpg").c_str()), DWORD(FILE_ATTRIBUTE_READONLY));
    SetLastError(0);
    EXPECT_EQ(GetFileAttributesA(at("models/none.dds").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA(nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileNamesTest, FullPathsAreWorkedOutFromTheTextAlone) {
    char buffer[MAX_PATH];
    char* filePart = nullptr;
    DWORD length = GetFullPathNameA("D:\\art\\.\\old\\..\\undead.bmp", MAX_PATH, buffer, &filePart);
    EXPECT_EQ(std::string(buffer), "D:/art/undead.bmp");
    EXPECT_EQ(length, DWORD(17));
    ASSERT_NE(filePart, nullptr);
    EXPECT_STREQ(filePart, "undead.bmp");

    // Too small: nothing written, the size needed (with the zero) returned.
    char tiny[4] = "abc";
    EXPECT_EQ(GetFullPathNameA("D:\\art\\undead.bmp", sizeof tiny, tiny, nullptr), DWORD(18));
    EXPECT_STREQ(tiny, "abc");

    {
        InFolder inModels(root / "models");
        std::string here = fs::current_path().string();
        ASSERT_NE(GetFullPathNameA("tiny\\..\\Tiny\\x.dds", MAX_PATH, buffer, nullptr), DWORD(0));
        EXPECT_EQ(std::string(buffer), here + "/Tiny/x.dds");
        EXPECT_EQ(headless::fullPathOf("..\\..\\..\\..\\..\\..\\..\\..\\..\\..\\x"),
                  std::string("/x")); // never above the root
    }
    EXPECT_EQ(headless::fullPathOf("\\\\server\\share\\x.png"),
              std::string("//server/share/x.png"));
    EXPECT_EQ(headless::fullPathOf("D:x.png"), std::string("D:/x.png"));
    EXPECT_EQ(headless::fullPathOf("/tmp/dir/"), std::string("/tmp/dir/"));
    EXPECT_EQ(GetFullPathNameA("", MAX_PATH, buffer, nullptr), DWORD(0));
}

TEST_F(FileNamesTest, RuntimeFullPathAllocatesOrRefusesWhatDoesNotFit) {
    std::string longName = "D:\\" + std::string(300, 'n') + ".bmp";
    char* allocated = _fullpath(nullptr, longName.c_str(), 0); // any length, in a new buffer
    ASSERT_NE(allocated, nullptr);
    EXPECT_EQ(std::string(allocated), "D:/" + std::string(300, 'n') + ".bmp");
    std::free(allocated);

    char buffer[_MAX_PATH];
    errno = 0;
    EXPECT_EQ(_fullpath(buffer, longName.c_str(), sizeof buffer), nullptr);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(_fullpath(buffer, "C:/a/b", sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "C:/a/b");
}

TEST_F(FileNamesTest, SplittingTakesDriveFolderNameAndExtension) {
    char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath("D:\\art\\undead.bmp", drive, dir, fname, ext);
    EXPECT_STREQ(drive, "D:");
    EXPECT_STREQ(dir, "\\art\\");
    EXPECT_STREQ(fname, "undead");
    EXPECT_STREQ(ext, ".bmp");
    _splitpath("/home/user/models.v2/scene", drive, dir, fname, ext);
    EXPECT_STREQ(drive, "");
    EXPECT_STREQ(dir, "/home/user/models.v2/");
    EXPECT_STREQ(fname, "scene");
    EXPECT_STREQ(ext, "");
    _splitpath("archive.tar.gz", nullptr, nullptr, fname, ext);
    EXPECT_STREQ(fname, "archive.tar");
    EXPECT_STREQ(ext, ".gz");

    // A 300-character name does not fit _MAX_FNAME: _splitpath cuts, _splitpath_s refuses and
    // leaves every buffer empty, and fits with buffers of the size the caller asks for.
    std::string longName = "C:\\maps\\" + std::string(300, 'w') + ".png";
    _splitpath(longName.c_str(), drive, dir, fname, ext);
    EXPECT_EQ(std::string(fname), std::string(_MAX_FNAME - 1, 'w'));
    EXPECT_EQ(_splitpath_s(longName.c_str(), drive, sizeof drive, dir, sizeof dir, fname,
                           sizeof fname, ext, sizeof ext),
              ERANGE);
    EXPECT_STREQ(fname, "");
    EXPECT_STREQ(dir, "");
    std::string wide(400, '\0');
    EXPECT_EQ(_splitpath_s(longName.c_str(), nullptr, 0, nullptr, 0, wide.data(), wide.size(), ext,
                           sizeof ext),
              0);
    EXPECT_EQ(std::string(wide.c_str()), std::string(300, 'w'));
    EXPECT_EQ(_splitpath_s(nullptr, drive, sizeof drive, nullptr, 0, nullptr, 0, nullptr, 0),
              EINVAL);
    EXPECT_EQ(_splitpath_s("a.b", nullptr, 5, nullptr, 0, nullptr, 0, nullptr, 0), EINVAL);
}

// The search an importer makes for a texture named by an absolute Windows path: the X file's
// drive and folder, one separator, the texture's name and extension; then the file test.
TEST_F(FileNamesTest, AnAbsoluteWindowsTextureNameIsFoundBesideTheXFile) {
    char xFull[_MAX_PATH], textureFull[_MAX_PATH];
    ASSERT_NE(_fullpath(xFull, at("models/scene.x").c_str(), sizeof xFull), nullptr);
    ASSERT_NE(_fullpath(textureFull, "D:\\art\\undead.bmp", sizeof textureFull), nullptr);
    char xDrive[_MAX_DRIVE], xDir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(xFull, xDrive, xDir, nullptr, nullptr);
    _splitpath(textureFull, nullptr, nullptr, name, ext);
    std::string candidate = std::string(xDrive) + xDir + name + ext;
    EXPECT_EQ(candidate, at("models/undead.bmp"));
    EXPECT_EQ(GetFileAttributesA(candidate.c_str()), DWORD(FILE_ATTRIBUTE_NORMAL)); // Undead.BMP
}

} // namespace
