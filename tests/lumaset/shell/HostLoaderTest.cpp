// What the host sees of Lumaset.dle: the library is loaded by name through the platform's module
// loading, its entry points are found by their plain names, and its descriptors and objects are
// used only through the SDK's base classes.
#include <windows.h>

#include "impexp.h"
#include "plugapi.h"
#include "plugin.h"
#include "utilapi.h"

#include <headless/UserPlayer.h>

#include <gtest/gtest.h>

#include <string>

namespace {

typedef const TCHAR* (*LibDescriptionProc)();
typedef int (*LibNumberClassesProc)();
typedef ClassDesc* (*LibClassDescProc)(int);
typedef ULONG (*LibVersionProc)();
typedef ULONG (*CanAutoDeferProc)();

template <class Function> Function entryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(GetProcAddress(module, name));
}

class HostLoader : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA("Lumaset.dle");
        ASSERT_NE(module, nullptr) << "error " << GetLastError();
        libDescription = entryPoint<LibDescriptionProc>(module, "LibDescription");
        libNumberClasses = entryPoint<LibNumberClassesProc>(module, "LibNumberClasses");
        libClassDesc = entryPoint<LibClassDescProc>(module, "LibClassDesc");
        libVersion = entryPoint<LibVersionProc>(module, "LibVersion");
        canAutoDefer = entryPoint<CanAutoDeferProc>(module, "CanAutoDefer");
        ASSERT_TRUE(libDescription && libNumberClasses && libClassDesc && libVersion &&
                    canAutoDefer);
    }
    void TearDown() override {
        if (module) {
            EXPECT_TRUE(FreeLibrary(module));
        }
    }

    HMODULE module = nullptr;
    LibDescriptionProc libDescription = nullptr;
    LibNumberClassesProc libNumberClasses = nullptr;
    LibClassDescProc libClassDesc = nullptr;
    LibVersionProc libVersion = nullptr;
    CanAutoDeferProc canAutoDefer = nullptr;
};

TEST_F(HostLoader, LibraryAnswersItsVersionAndDescription) {
    EXPECT_STREQ(libDescription(), "LumaSet");
    EXPECT_EQ(libVersion(), 0x1B580D00u);
    EXPECT_TRUE(IsPluginVersionCompatible(libVersion()));
    EXPECT_EQ(canAutoDefer(), 1u);
}

TEST_F(HostLoader, ExportsOnlyTheEntryPointsAndTheEntryRoutine) {
    auto dllMain = entryPoint<DllMainProc>(module, "DllMain");
    ASSERT_NE(dllMain, nullptr);
    EXPECT_EQ(dllMain(module, DLL_THREAD_ATTACH, nullptr), TRUE); // TRUE whatever the reason
    // Library internals stay hidden: the instance variable and a descriptor, by their plain names.
    EXPECT_EQ(GetProcAddress(module, "pluginInstance"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "xFileExportClassDesc"), nullptr);
}

struct ExpectedClass {
    const char* className;
    SClass_ID superClassId;
    ULONG classIdA, classIdB;
};

const ExpectedClass kClasses[] = {
    {"Animation SET", 0x1020, 0x760F2E41, 0x41CA01C3},
    {"X-File Export", 0xA20, 0x224C36E2, 0x4D9D03E5},
    {"X-File Import", 0xA10, 0x611F3980, 0x75623719},
};

TEST_F(HostLoader, OffersThreePublicClassesWithTheirIds) {
    ASSERT_EQ(libNumberClasses(), 3);
    for (int i = 0; i < 3; ++i) {
        ClassDesc* descriptor = libClassDesc(i);
        ASSERT_NE(descriptor, nullptr) << i;
        EXPECT_STREQ(descriptor->ClassName(), kClasses[i].className);
        EXPECT_STREQ(descriptor->Category(), "LumaSet");
        EXPECT_EQ(descriptor->SuperClassID(), kClasses[i].superClassId);
        EXPECT_TRUE(descriptor->ClassID() == Class_ID(kClasses[i].classIdA, kClasses[i].classIdB))
            << i;
        EXPECT_EQ(descriptor->IsPublic(), 1);
        // Everything else keeps the host's defaults.
        EXPECT_EQ(descriptor->InternalName(), nullptr);
        EXPECT_EQ(descriptor->HInstance(), nullptr);
        EXPECT_EQ(descriptor->NumParamBlockDescs(), 0);
        EXPECT_EQ(libClassDesc(i), descriptor); // library-owned, the same every time
    }
    EXPECT_EQ(libClassDesc(3), nullptr);
    EXPECT_EQ(libClassDesc(-1), nullptr);
}

TEST_F(HostLoader, UtilityObjectsAreDistinctAndDeleteThemselves) {
    ClassDesc* descriptor = libClassDesc(0);
    ASSERT_NE(descriptor, nullptr);
    auto* first = static_cast<UtilityObj*>(descriptor->Create(FALSE));
    auto* second = static_cast<UtilityObj*>(descriptor->Create(TRUE));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    first->BeginEditParams(nullptr, nullptr);
    first->EndEditParams(nullptr, nullptr);
    first->DeleteThis(); // the sanitizer build catches a leak or a wrong delete
    second->DeleteThis();
}

TEST_F(HostLoader, ExporterDescribesTheXFileType) {
    ClassDesc* descriptor = libClassDesc(1);
    ASSERT_NE(descriptor, nullptr);
    auto* exporter = static_cast<SceneExport*>(descriptor->Create(FALSE));
    auto* another = static_cast<SceneExport*>(descriptor->Create(FALSE));
    ASSERT_TRUE(exporter && another);
    EXPECT_NE(exporter, another);
    EXPECT_EQ(exporter->ExtCount(), 1);
    for (int n : {0, 1, 5, -1})
        EXPECT_STREQ(exporter->Ext(n), "x") << n;
    EXPECT_STREQ(exporter->LongDesc(), "X-FILE Exporter");
    EXPECT_STREQ(exporter->ShortDesc(), "X-FILE");
    EXPECT_GT(std::string(exporter->AuthorName()).size(), 0u);
    EXPECT_GT(std::string(exporter->CopyrightMessage()).size(), 0u);
    EXPECT_STREQ(exporter->OtherMessage1(), "");
    EXPECT_STREQ(exporter->OtherMessage2(), "");
    EXPECT_EQ(exporter->Version(), 100u);
    exporter->ShowAbout(nullptr);
    EXPECT_EQ(exporter->SupportsOptions(0, 0), FALSE);
    EXPECT_EQ(exporter->SupportsOptions(0, SCENE_EXPORT_SELECTED), FALSE);
    {
        // The options dialog shows even when the host asks for no prompts; cancel it.
        headless::UserPlayer player;
        player.at().click(IDCANCEL);
        EXPECT_EQ(exporter->DoExport("/nonexistent/scene.x", nullptr, nullptr, TRUE), 1);
        EXPECT_EQ(player.dialogsSeen().size(), 1u);
    }
    delete exporter; // the host deletes through the virtual destructor
    delete another;
}

TEST_F(HostLoader, ImporterDescribesTheXFileType) {
    ClassDesc* descriptor = libClassDesc(2);
    ASSERT_NE(descriptor, nullptr);
    auto* importer = static_cast<SceneImport*>(descriptor->Create(FALSE));
    auto* another = static_cast<SceneImport*>(descriptor->Create(TRUE));
    ASSERT_TRUE(importer && another);
    EXPECT_NE(importer, another);
    EXPECT_EQ(importer->ExtCount(), 1);
    for (int n : {0, 1, 5, -1})
        EXPECT_STREQ(importer->Ext(n), "x") << n;
    EXPECT_STREQ(importer->LongDesc(), "X-FILE Importer");
    EXPECT_STREQ(importer->ShortDesc(), "X-FILE");
    // One maker stands behind both objects.
    auto* exporter = static_cast<SceneExport*>(libClassDesc(1)->Create(FALSE));
    ASSERT_NE(exporter, nullptr);
    EXPECT_STREQ(importer->AuthorName(), exporter->AuthorName());
    EXPECT_STREQ(importer->CopyrightMessage(), exporter->CopyrightMessage());
    delete exporter;
    EXPECT_STREQ(importer->OtherMessage1(), "");
    EXPECT_STREQ(importer->OtherMessage2(), "");
    EXPECT_EQ(importer->Version(), 100u);
    EXPECT_EQ(importer->ZoomExtents(), -1);
    {
        // The options dialog shows even when the host asks for no prompts; cancel it.
        headless::UserPlayer player;
        player.at().click(IDCANCEL);
        EXPECT_EQ(importer->DoImport("/nonexistent/scene.x", nullptr, nullptr, TRUE), 1);
        EXPECT_EQ(player.dialogsSeen().size(), 1u);
    }
    delete importer;
    delete another;
}

} // namespace
