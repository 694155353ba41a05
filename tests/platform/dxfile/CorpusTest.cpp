// Every corpus file reads completely and dumps exactly as the reference dump beside it, whether
// loaded from its file or from memory.
#include "DumpPrinter.h"
#include "TestSupport.h"

namespace {

std::vector<std::filesystem::path> corpusFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(corpusFolder())) {
        std::string extension = entry.path().extension().string();
        if (extension == ".x" || extension == ".X") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(Corpus, EveryFileDumpsExactlyAsItsReferenceDump) {
    if (!std::filesystem::exists(corpusFolder())) GTEST_SKIP() << "no corpus at " << corpusFolder();
    auto files = corpusFiles();
    ASSERT_GE(files.size(), 13u);
    for (const auto& path : files) {
        std::string expected = readText(corpusFolder() / "dumps" / (path.filename().string() + ".dump"));
        ASSERT_FALSE(expected.empty()) << path;
        ComRef<IDirectXFile> root = makeRoot();
        HRESULT status = DXFILEERR_INTERNALERROR;
        std::string fromFile = dumpXFile(root.get(), const_cast<char*>(path.c_str()), DXFILELOAD_FROMFILE, status);
        EXPECT_EQ(status, DXFILE_OK) << path;
        EXPECT_TRUE(fromFile == expected) << path << " differs from its reference dump";

        std::string bytes = readText(path);
        DXFILELOADMEMORY memory{bytes.data(), static_cast<DWORD>(bytes.size())};
        std::string fromMemory = dumpXFile(root.get(), &memory, DXFILELOAD_FROMMEMORY, status);
        EXPECT_TRUE(fromMemory == expected) << path << " from memory differs";
    }
}

// The text twin rounds its floats to six decimals, so only these two agree byte for byte.
TEST(Corpus, BinaryAndCompressedCubesGiveTheSamePackedData) {
    if (!std::filesystem::exists(corpusFolder())) GTEST_SKIP() << "no corpus at " << corpusFolder();
    std::vector<std::string> dumps;
    for (const char* name : {"test_cube_binary.x", "test_cube_compressed.x"}) {
        ComRef<IDirectXFile> root = makeRoot();
        HRESULT status;
        std::string path = (corpusFolder() / name).string();
        dumps.push_back(dumpXFile(root.get(), path.data(), DXFILELOAD_FROMFILE, status));
        EXPECT_EQ(status, DXFILE_OK) << name;
    }
    EXPECT_EQ(dumps[0], dumps[1]);
}

TEST(Corpus, AMissingFileIsFileNotFound) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    char path[] = "/nonexistent/folder/none.x";
    EXPECT_EQ(root->CreateEnumObject(path, DXFILELOAD_FROMFILE, enumObject.receive()),
              DXFILEERR_FILENOTFOUND);
    EXPECT_FALSE(enumObject);
}

} // namespace
