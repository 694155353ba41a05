// The services object: loading the file services library by name, the root object with the
// template sets registered, and quiet unavailability without the library.
#include "xfile/XFileServices.h"
#include "xfile/XFileIds.h"
#include "xfile/XFileTemplates.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include <string>

namespace {

HRESULT readAll(IDirectXFile* root, const std::string& text, int& objects) {
    DXFILELOADMEMORY memory{const_cast<char*>(text.data()), static_cast<DWORD>(text.size())};
    IDirectXFileEnumObject* enumObject = nullptr;
    HRESULT status = root->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumObject);
    if (status != DXFILE_OK) return status;
    objects = 0;
    for (;;) {
        IDirectXFileData* data = nullptr;
        status = enumObject->GetNextDataObject(&data);
        if (status != DXFILE_OK) break;
        const GUID* type = nullptr;
        data->GetType(&type);
        ++objects;
        data->Release();
    }
    enumObject->Release();
    return status == DXFILEERR_NOMOREOBJECTS ? DXFILE_OK : status;
}

TEST(XFileServices, TheProcessWideServicesAreUpWithTheLibraryLoadedByName) {
    XFileServices& services = xfileServices();
    ASSERT_TRUE(services.isAvailable());
    EXPECT_NE(services.library(), nullptr);
    EXPECT_EQ(GetModuleHandleA("d3dxof.dll"), services.library());
}

// Files may use the skinning and animation templates without declaring them.
TEST(XFileServices, UndeclaredStandardAndExtensionTemplatesParse) {
    XFileServices services;
    ASSERT_TRUE(services.isAvailable());
    const std::string file =
        "xof 0303txt 0032\n"
        "AnimTicksPerSecond { 4800; }\n"
        "Frame Bone { FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; } }\n"
        "Mesh M { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
        " XSkinMeshHeader { 1; 1; 1; }\n"
        " SkinWeights { \"Bone\"; 1; 0; 1.0; 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }\n"
        " VertexDuplicationIndices { 3; 3; 0, 1, 2; }\n"
        " FVFData { 2; 1; 7; }\n"
        "}\n";
    int objects = 0;
    EXPECT_EQ(readAll(services.rootFile(), file.substr(0, file.find(" FVFData")) + "}\n", objects),
              DXFILE_OK);
    EXPECT_EQ(objects, 3);
    // FVFData is not in the two sets the system registers.
    EXPECT_EQ(readAll(services.rootFile(), file, objects), DXFILEERR_PARSEERROR);
}

TEST(XFileServices, WithoutTheLibraryTheServicesAreUnavailableAndQuiet) {
    XFileServices services("no-such-library.dll");
    EXPECT_FALSE(services.isAvailable());
    EXPECT_EQ(services.rootFile(), nullptr);
    EXPECT_EQ(services.library(), nullptr);
}

TEST(XFileServices, ALibraryWithoutTheFactoryLeavesTheServicesUnavailable) {
    // The plug-in's own host core is a loadable library that exports no DirectXFileCreate.
    XFileServices services("libwin32.so");
    EXPECT_FALSE(services.isAvailable());
}

TEST(XFileServices, TheWriterTemplatesRegisterAndSaveIntoAFileHead) {
    XFileServices services;
    ASSERT_TRUE(services.isAvailable());
    // The writer registers its text before every save, passing its string length.
    std::string text = kWriterTemplates;
    EXPECT_EQ(services.rootFile()->RegisterTemplates(text.data(), static_cast<DWORD>(text.size())),
              DXFILE_OK);
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / "xfile-services-writer-templates.x";
    IDirectXFileSaveObject* save = nullptr;
    ASSERT_EQ(services.rootFile()->CreateSaveObject(path.c_str(), DXFILEFORMAT_TEXT, &save),
              DXFILE_OK);
    const GUID* ids[] = {&DXFILEOBJ_AnimTicksPerSecond, &DXFILEOBJ_XSkinMeshHeader,
                         &DXFILEOBJ_SkinWeights};
    EXPECT_EQ(save->SaveTemplates(3, ids), DXFILE_OK);
    save->Release();
    std::ifstream in(path);
    std::string saved((std::istreambuf_iterator<char>(in)), {});
    std::remove(path.c_str());
    std::size_t ticks = saved.find("template AnimTicksPerSecond {");
    std::size_t header = saved.find("template XSkinMeshHeader {");
    std::size_t weights = saved.find("template SkinWeights {");
    EXPECT_TRUE(ticks != std::string::npos && ticks < header && header < weights &&
                weights != std::string::npos)
        << saved;
    EXPECT_NE(saved.find(" array FLOAT weights[nWeights];"), std::string::npos);
}

} // namespace
