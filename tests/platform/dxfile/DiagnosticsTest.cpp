// The library's own diagnostics: code, file, position and a reason for the last error.
#include "TestSupport.h"

namespace {

DXFILEDIAGNOSTIC lastError(IDirectXFile* root) {
    DXFILEDIAGNOSTIC diagnostic{};
    EXPECT_EQ(DirectXFileGetLastError(root, &diagnostic), DXFILE_OK);
    return diagnostic;
}

TEST(Diagnostics, ATextErrorCarriesLineColumnPathAndReason) {
    ComRef<IDirectXFile> root = makeRoot();
    EXPECT_EQ(lastError(root.get()).code, DXFILE_OK);
    std::string file = "xof 0303txt 0032\n"
                       "Frame Root {\n"
                       " Mesh Cube {\n"
                       "  3 1.0;\n"
                       " }\n"
                       "}\n";
    EXPECT_EQ(enumerateAll(root.get(), file), DXFILEERR_PARSEERROR);
    DXFILEDIAGNOSTIC d = lastError(root.get());
    EXPECT_EQ(d.code, DXFILEERR_PARSEERROR);
    EXPECT_EQ(d.line, 4u);
    EXPECT_EQ(d.column, 5u);
    EXPECT_STREQ(d.objectPath, "Frame Root/Mesh Cube");
    EXPECT_STREQ(d.reason, "expected ';' or ',' after member 'nVertices' of Mesh, found number 1.0");
    EXPECT_NE(std::string(d.message).find(":4:5: expected ';'"), std::string::npos) << d.message;
}

// A value missing inside a structure nested in a member names the nested template's member.
TEST(Diagnostics, AnErrorInsideANestedStructureNamesItsOwnMember) {
    ComRef<IDirectXFile> root = makeRoot();
    std::string file = "xof 0303txt 0032\n"
                       "AnimationKey { 0; 1; 10; 4; 1.0, 0.0, 0.0 x;;; }\n";
    EXPECT_EQ(enumerateAll(root.get(), file), DXFILEERR_PARSEERROR);
    DXFILEDIAGNOSTIC d = lastError(root.get());
    EXPECT_NE(std::string(d.reason).find("member 'values' of FloatKeys"), std::string::npos)
        << d.reason;
}

TEST(Diagnostics, ABinaryErrorCarriesTheByteOffset) {
    ComRef<IDirectXFile> root = makeRoot();
    // NAME "Frame", '{', then token 99, which does not exist, at offset 16 + 11 + 2 = 29.
    std::string file = std::string("xof 0303bin 0032") + std::string("\x01\x00\x05\x00\x00\x00" "Frame", 11) +
                       std::string("\x0A\x00\x63\x00", 4);
    EXPECT_EQ(enumerateAll(root.get(), file), DXFILEERR_PARSEERROR);
    DXFILEDIAGNOSTIC d = lastError(root.get());
    EXPECT_EQ(d.line, 0u);
    EXPECT_EQ(d.byteOffset, 29u);
    EXPECT_STREQ(d.objectPath, "Frame");
    EXPECT_NE(std::string(d.reason).find("unknown token"), std::string::npos) << d.reason;
}

TEST(Diagnostics, FileErrorsNameTheFile) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    char path[] = "/nonexistent/none.x";
    EXPECT_EQ(root->CreateEnumObject(path, DXFILELOAD_FROMFILE, enumObject.receive()), DXFILEERR_FILENOTFOUND);
    DXFILEDIAGNOSTIC d = lastError(root.get());
    EXPECT_EQ(d.code, DXFILEERR_FILENOTFOUND);
    EXPECT_STREQ(d.fileName, "/nonexistent/none.x");
    EXPECT_EQ(DirectXFileGetLastError(root.get(), nullptr), DXFILEERR_BADVALUE);
}

} // namespace
