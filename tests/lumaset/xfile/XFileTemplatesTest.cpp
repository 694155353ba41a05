// The standard template set held as binary X: its header, its bytes (regenerated from the
// published text definitions by the file services' binary encoder) and what it decodes to.
#include "xfile/XFileTemplates.h"
#include "xfile/XFileServices.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The published definitions, as text.
std::string standardTemplatesText() {
    return readFile(std::filesystem::path(LUMASET_SOURCE_DIR) /
                    "tests/lumaset/xfile/data/standard_templates.txt.x");
}

// The GUIDs of the templates in `text`, in order: the `<...>` after each "template Name {".
std::vector<GUID> templateIds(const std::string& text) {
    std::vector<GUID> ids;
    for (std::size_t at = text.find("template "); at != std::string::npos;
         at = text.find("template ", at + 1)) {
        std::size_t open = text.find('<', at);
        unsigned d1, d2, d3, b[8];
        EXPECT_EQ(std::sscanf(text.c_str() + open + 1, "%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x", &d1,
                              &d2, &d3, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]),
                  11);
        GUID id{d1, static_cast<WORD>(d2), static_cast<WORD>(d3), {}};
        for (int i = 0; i < 8; ++i)
            id.Data4[i] = static_cast<BYTE>(b[i]);
        ids.push_back(id);
    }
    return ids;
}

// A fresh root object from the loaded library, with `data` registered, saving the templates
// `ids` in `format`; returns the saved file.
std::string saveTemplates(const void* data, std::size_t size, const std::vector<GUID>& ids,
                          DXFILEFORMAT format) {
    XFileServices& services = xfileServices();
    EXPECT_TRUE(services.isAvailable());
    auto create = reinterpret_cast<LPDIRECTXFILECREATE>(
        GetProcAddress(services.library(), "DirectXFileCreate"));
    IDirectXFile* root = nullptr;
    EXPECT_EQ(create(&root), DXFILE_OK);
    EXPECT_EQ(root->RegisterTemplates(const_cast<void*>(data), static_cast<DWORD>(size)),
              DXFILE_OK);
    std::filesystem::path path = std::filesystem::temp_directory_path() / "xfile-templates-test.x";
    IDirectXFileSaveObject* save = nullptr;
    EXPECT_EQ(root->CreateSaveObject(path.c_str(), format, &save), DXFILE_OK);
    std::vector<const GUID*> pointers;
    for (const GUID& id : ids)
        pointers.push_back(&id);
    EXPECT_EQ(save->SaveTemplates(static_cast<DWORD>(pointers.size()), pointers.data()), DXFILE_OK);
    save->Release();
    root->Release();
    std::string saved = readFile(path);
    std::remove(path.c_str());
    return saved;
}

TEST(StandardTemplates, AreBinaryXWithFloatsOf64Bits) {
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(kStandardTemplates), 16),
              "xof 0302bin 0064");
}

TEST(StandardTemplates, RegenerateFromTheTextDefinitionsByteForByte) {
    if (!xfileServices().isAvailable()) GTEST_SKIP() << "file services library not found";
    std::string text = standardTemplatesText();
    std::vector<GUID> ids = templateIds(text);
    ASSERT_EQ(ids.size(), 35u);
    std::string encoded = saveTemplates(text.data(), text.size(), ids, DXFILEFORMAT_BINARY);
    ASSERT_EQ(encoded.size(), kStandardTemplatesSize); // a save's header differs only in its fields
    EXPECT_EQ(
        std::memcmp(encoded.data() + 16, kStandardTemplates + 16, kStandardTemplatesSize - 16), 0);
}

TEST(StandardTemplates, DecodeBackToThe35TemplatesMemberForMember) {
    if (!xfileServices().isAvailable()) GTEST_SKIP() << "file services library not found";
    std::string text = standardTemplatesText();
    std::vector<GUID> ids = templateIds(text);
    // Both definitions printed by the same text encoder: equal text, equal templates.
    std::string fromBytes =
        saveTemplates(kStandardTemplates, kStandardTemplatesSize, ids, DXFILEFORMAT_TEXT);
    std::string fromText = saveTemplates(text.data(), text.size(), ids, DXFILEFORMAT_TEXT);
    EXPECT_EQ(fromBytes, fromText);
    EXPECT_EQ(templateIds(fromBytes).size(), 35u);
    EXPECT_NE(
        fromBytes.find(
            "template MeshNormals {\n <f6f23f43-7686-11cf-8f52-0040333594a3>\n DWORD nNormals;\n"
            " array Vector normals[nNormals];\n DWORD nFaceNormals;\n"
            " array MeshFace faceNormals[nFaceNormals];\n}"),
        std::string::npos)
        << fromBytes;
    EXPECT_NE(fromBytes.find(" [Url, InlineData]\n"), std::string::npos);
}

TEST(ExtensionTemplates, AreTextXDefiningTheSixteenTemplates) {
    std::string text = kExtensionTemplates;
    EXPECT_EQ(text.rfind("xof 0303txt 0032", 0), 0u);
    EXPECT_EQ(templateIds(text).size(), 16u);
    std::string writer = kWriterTemplates;
    EXPECT_EQ(writer.rfind("xof 0303txt 0032", 0), 0u);
    EXPECT_EQ(templateIds(writer).size(), 3u);
}

} // namespace
