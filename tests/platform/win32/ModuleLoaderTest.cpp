#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

template <class Function> Function procedure(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(GetProcAddress(module, name));
}

TEST(ModuleLoader, FindsAModuleBesideTheProgramByItsBareName) {
    HMODULE module = LoadLibraryA("loaderprobe.dll");
    ASSERT_NE(module, nullptr);
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    EXPECT_GT(length, 0u);
    EXPECT_TRUE(std::string(path).ends_with("/loaderprobe.dll")) << path;
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleLoader, CallsTheEntryRoutineOnceAfterStaticInitialisationWithItsOwnHandle) {
    HMODULE module = LoadLibraryA("loaderprobe.dll");
    ASSERT_NE(module, nullptr);
    HMODULE again = LoadLibraryA("loaderprobe.dll");
    EXPECT_EQ(again, module); // the same module, one more reference
    auto attachCount = procedure<int (*)()>(module, "ProbeAttachCount");
    auto instance = procedure<HINSTANCE (*)()>(module, "ProbeInstance");
    auto staticsFirst = procedure<bool (*)()>(module, "ProbeStaticsBeforeEntry");
    ASSERT_TRUE(attachCount && instance && staticsFirst);
    EXPECT_EQ(attachCount(), 1);
    EXPECT_EQ(instance(), module);
    EXPECT_TRUE(staticsFirst());
    EXPECT_EQ(GetModuleHandleA("loaderprobe.dll"), module);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("loaderprobe.dll"), nullptr);
}

TEST(ModuleLoader, ReportsMissingModulesAndProcedures) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("no-such-module.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryA(""), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);

    HMODULE module = LoadLibraryA("loaderprobe.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetProcAddress(module, "NoSuchProcedure"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(ModuleLoader, RefusesHandlesItDidNotGiveOut) {
    int notAModule = 0;
    HMODULE foreign = reinterpret_cast<HMODULE>(&notAModule);
    EXPECT_FALSE(FreeLibrary(foreign));
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(GetProcAddress(foreign, "DllMain"), nullptr);
    char path[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameA(foreign, path, sizeof path), 0u);
}

TEST(ModuleLoader, RefusesAFileThatIsNotAModule) {
    std::string notAModule = std::string(LUMASET_SOURCE_DIR) + "/CMakeLists.txt";
    EXPECT_EQ(LoadLibraryA(notAModule.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
}

TEST(ModuleLoader, CutsTheModulePathToTheCallersBuffer) {
    HMODULE module = LoadLibraryA("loaderprobe.dll");
    ASSERT_NE(module, nullptr);
    char small[8];
    DWORD length = GetModuleFileNameA(module, small, sizeof small);
    EXPECT_EQ(length, 7u);
    EXPECT_EQ(small[7], '\0');
    EXPECT_TRUE(FreeLibrary(module));
}

} // namespace
