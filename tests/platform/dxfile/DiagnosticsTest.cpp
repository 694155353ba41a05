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
    EXPECT_STREQ(d.reason,
                 "expected ';' or ',' after member 'nVertices' of Mesh, found number 1.0");
    EXPECT_NE(std::string(d.message).find(":4:5: expected ';'"), std::string::npos) << d.message;
}

// A value missing inside a structure nested in a member names the nested template's member.
TEST(Diagnostics, ADeepPathIsShortenedInTheMessageAndKeptWholeInTheField) {
    ComRef<IDirectXFile> root = makeRoot();
    std::string file = "xof 0303txt 0032\n";
    std::string path;
    for (int level = 0; level < 20; ++level) {
        const std::string name = "F" + std::to_string(level);
        file += "Frame " + name + " {\n";
        path += (level ? "/Frame " : "Frame ") + name;
    }
    file += "FrameTransformMatrix { 1 2 }\n";
    EXPECT_EQ(enumerateAll(root.get(), file), DXFILEERR_PARSEERROR);
    DXFILEDIAGNOSTIC d = lastError(root.get());
    EXPECT_EQ(std::string(d.objectPath).rfind(path, 0), 0u) << d.objectPath;
    const std::string message = d.message;
    EXPECT_NE(message.find("(in Frame F0/Frame F1/Frame F2/... "), std::string::npos) << message;
    EXPECT_NE(message.find("Frame F19/FrameTransformMatrix)"), std::string::npos) << message;
    EXPECT_EQ(message.find("Frame F10/"), std::string::npos) << message;
}

TEST(Diagnostics, AnErrorInsideANestedStructureNamesItsOwnMember) {
    ComRef<IDirectXFile> root = makeRoot();
    std::string file = "xof 0303txt 0032\n"
                       "AnimationKey { 0; 1; 10; 4; 1.0, 0.0, 0.0 x;;; }\n";
    EXPECT_EQ(enumerateAll(root.get(), file), DXFILEERR_PARSEERROR);
    DXFILEDIAGNOSTIC d = lastError(root.get());
    EXPECT_NE(std::string(d.reason).find("member 'values' of FloatKeys"), std::string::npos)
        << d.reason;
    // The same after keys that read cleanly, and for a count of values the text cannot hold.
    file = "xof 0303txt 0032\n"
           "AnimationKey { 0; 3; 0; 1; 1.0;;, 10; 1; 2.0;;,\n"
           "20; 2; 1.0, x;;; }\n";
    EXPECT_EQ(enumerateAll(root.get(), file), DXFILEERR_PARSEERROR);
    d = lastError(root.get());
    EXPECT_EQ(d.line, 3u);
    EXPECT_EQ(d.column, 13u);
    EXPECT_NE(std::string(d.reason).find("member 'values' of FloatKeys"), std::string::npos)
        << d.reason;
    file = "xof 0303txt 0032\nAnimationKey { 0; 2; 0; 1; 1.0;;, 10; 4000000000; 2.0;;; }\n";
    EXPECT_EQ(enumerateAll(root.get(), file), DXFILEERR_PARSEERROR);
    d = lastError(root.get());
    EXPECT_NE(std::string(d.reason).find("array values of 4000000000 elements is longer than the "
                                         "data left"),
              std::string::npos)
        << d.reason;
}

TEST(Diagnostics, ABinaryErrorCarriesTheByteOffset) {
    ComRef<IDirectXFile> root = makeRoot();
    // NAME "Frame", '{', then token 99, which does not exist, at offset 16 + 11 + 2 = 29.
    std::string file = std::string("xof 0303bin 0032") +
                       std::string("\x01\x00\x05\x00\x00\x00"
                                   "Frame",
                                   11) +
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
    EXPECT_EQ(root->CreateEnumObject(path, DXFILELOAD_FROMFILE, enumObject.receive()),
              DXFILEERR_FILENOTFOUND);
    DXFILEDIAGNOSTIC d = lastError(root.get());
    EXPECT_EQ(d.code, DXFILEERR_FILENOTFOUND);
    EXPECT_STREQ(d.fileName, "/nonexistent/none.x");
    EXPECT_EQ(DirectXFileGetLastError(root.get(), nullptr), DXFILEERR_BADVALUE);
}

// What a save refuses comes back as the code and the reason the caller sees, under the target's
// name: children an encoding has no form for, and data that disagrees with its template.
TEST(Diagnostics, SaveFaultsCarryTheirCodeReasonAndTarget) {
    constexpr GUID kFrame = {
        0x3D82AB46, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
    constexpr GUID kVector = {
        0x3D82AB5E, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
    ScratchFolder scratch;
    std::string target = scratch.path("scene.x").string();
    ComRef<IDirectXFile> root = makeRoot();
    struct Case {
        DXFILEFORMAT format;
        HRESULT code;
        const char* reason;
    };
    for (const Case& c :
         {Case{DXFILEFORMAT_TEXT, DXFILEERR_NOTDONEYET, "binary objects have no file form"},
          Case{DXFILEFORMAT_BINARY, DXFILEERR_BADVALUE,
               "a reference without a name has no binary form"}}) {
        ComRef<IDirectXFileSaveObject> save;
        ASSERT_EQ(root->CreateSaveObject(target.c_str(), c.format, save.receive()), DXFILE_OK);
        ComRef<IDirectXFileData> frame;
        ASSERT_EQ(save->CreateDataObject(kFrame, "Root", nullptr, 0, nullptr, frame.receive()),
                  DXFILE_OK);
        GUID id = kVector;
        if (c.format == DXFILEFORMAT_TEXT)
            ASSERT_EQ(
                frame->AddBinaryObject("blob", nullptr, "text/plain", const_cast<char*>("abc"), 3),
                DXFILE_OK);
        else
            ASSERT_EQ(frame->AddDataReference(nullptr, &id), DXFILE_OK);
        EXPECT_EQ(save->SaveData(frame.get()), c.code) << c.reason;
        DXFILEDIAGNOSTIC d = lastError(root.get());
        EXPECT_EQ(d.code, c.code);
        EXPECT_STREQ(d.reason, c.reason);
        EXPECT_EQ(d.fileName, target);
    }
    ComRef<IDirectXFileSaveObject> save;
    ASSERT_EQ(root->CreateSaveObject(target.c_str(), DXFILEFORMAT_TEXT, save.receive()), DXFILE_OK);
    float vector[2] = {1, 2}; // a Vector packs three floats
    ComRef<IDirectXFileData> object;
    EXPECT_EQ(
        save->CreateDataObject(kVector, nullptr, nullptr, sizeof vector, vector, object.receive()),
        DXFILEERR_BADARRAYSIZE);
    EXPECT_STREQ(lastError(root.get()).reason,
                 "the counts in the data for Vector promise more than its 8 bytes");
}

} // namespace
