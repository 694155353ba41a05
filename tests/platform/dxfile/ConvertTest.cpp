// xconvert's re-encoding: every corpus file, saved in each encoding, dumps as the original does.
#include "Converter.h"
#include "DumpPrinter.h"
#include "TestSupport.h"

namespace {

TEST(Convert, EveryCorpusFileRoundTripsInAllThreeEncodings) {
    if (!std::filesystem::exists(corpusFolder())) GTEST_SKIP() << "no corpus at " << corpusFolder();
    ScratchFolder scratch;
    const std::pair<const char*, DXFILEFORMAT> kFormats[] = {
        {"text", DXFILEFORMAT_TEXT},
        {"binary", DXFILEFORMAT_BINARY},
        {"compressed", DXFILEFORMAT_BINARY | DXFILEFORMAT_COMPRESSED},
        {"compressed text", DXFILEFORMAT_TEXT | DXFILEFORMAT_COMPRESSED},
    };
    for (const auto& entry : std::filesystem::directory_iterator(corpusFolder())) {
        std::string extension = entry.path().extension().string();
        if (extension != ".x" && extension != ".X") continue;
        std::string expected =
            readText(corpusFolder() / "dumps" / (entry.path().filename().string() + ".dump"));
        for (const auto& [label, format] : kFormats) {
            std::string out = scratch.path("converted.x").string();
            std::string reason;
            {
                ComRef<IDirectXFile> root = makeRoot();
                ASSERT_EQ(convertXFile(root.get(), entry.path().string(), out, format, reason), DXFILE_OK)
                    << entry.path() << " " << label << ": " << reason;
            }
            ComRef<IDirectXFile> reader = makeRoot();
            HRESULT status;
            std::string dump = dumpXFile(reader.get(), out.data(), DXFILELOAD_FROMFILE, status);
            EXPECT_EQ(status, DXFILE_OK) << entry.path() << " " << label;
            EXPECT_TRUE(dump == expected) << entry.path() << " saved as " << label << " dumps differently";
        }
    }
}

TEST(Convert, TheOutputDeclaresTheTemplatesTheInputDeclared) {
    if (!std::filesystem::exists(corpusFolder())) GTEST_SKIP() << "no corpus at " << corpusFolder();
    ScratchFolder scratch;
    std::string out = scratch.path("cube.x").string();
    std::string reason;
    ComRef<IDirectXFile> root = makeRoot();
    ASSERT_EQ(convertXFile(root.get(), (corpusFolder() / "test_cube_binary.x").string(), out,
                           DXFILEFORMAT_TEXT, reason),
              DXFILE_OK);
    std::string text = readText(out);
    // The cube declares exactly these four, in this order.
    std::size_t at = 0;
    for (const char* name : {"template XSkinMeshHeader {", "template VertexDuplicationIndices {",
                             "template SkinWeights {", "template AnimTicksPerSecond {"}) {
        std::size_t found = text.find(name, at);
        EXPECT_NE(found, std::string::npos) << name;
        at = found;
    }
    EXPECT_EQ(text.find("template Mesh {"), std::string::npos);
    // A root object without those templates reads the file all the same.
    ComRef<IDirectXFile> bare;
    ASSERT_EQ(DirectXFileCreate(bare.receive()), DXFILE_OK);
    std::string standardOnly = readText(std::filesystem::path(LUMASET_SOURCE_DIR) /
                                        "tests/lumaset/xfile/data/standard_templates.txt.x");
    ASSERT_EQ(bare->RegisterTemplates(standardOnly.data(), static_cast<DWORD>(standardOnly.size())),
              DXFILE_OK);
    EXPECT_EQ(enumerateAll(bare.get(), text), DXFILE_OK);
}

} // namespace
