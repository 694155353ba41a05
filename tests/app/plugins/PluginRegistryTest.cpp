// Loading plug-in libraries as the host does, and the plugins command that lists them.
#include "plugins/PluginRegistry.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using plugins::PluginRegistry;

TEST(PluginRegistry, LoadsCompatibleLibrariesAndRefusesOneBuiltForAnotherApi) {
    apptest::TempFolder folder;
    // Not a module at all: refused with a reason, the scan goes on.
    apptest::writeBytes(folder.file("Broken.dle"), {'n', 'o', 'p', 'e'});
    for (const char* name : {"TestPlugin.dle", "NewerApi.dle"})
        std::filesystem::copy_file(std::filesystem::path(TEST_PLUGINS_DIR) / name,
                                   folder.path() / name);
    apptest::writeBytes(folder.file("readme.txt"), {'x'});

    PluginRegistry registry;
    std::string error;
    ASSERT_TRUE(registry.loadFolder(folder.path().string(), error)) << error;
    ASSERT_EQ(registry.libraries().size(), 1u);
    const plugins::PluginLibrary& library = registry.libraries()[0];
    EXPECT_EQ(library.description, "Test plug-ins");
    EXPECT_EQ(library.version, 0x1B580D00u);
    ASSERT_EQ(library.classes.size(), 2u);
    EXPECT_EQ(library.classes[0].name, "Test Export");
    EXPECT_EQ(library.classes[0].category, "Testing");
    EXPECT_EQ(library.classes[0].classId, Class_ID(0x11111111, 0x22222222));
    EXPECT_EQ(library.classes[0].extensions, (std::vector<std::string>{"tst", "TEST"}));
    EXPECT_TRUE(library.classes[1].extensions.empty());

    ASSERT_EQ(registry.refused().size(), 2u);
    EXPECT_NE(registry.refused()[0].path.find("Broken.dle"), std::string::npos);
    EXPECT_NE(registry.refused()[1].path.find("NewerApi.dle"), std::string::npos);
    EXPECT_NE(registry.refused()[1].reason.find("API 17"), std::string::npos);

    EXPECT_EQ(registry.classesOf(UTILITY_CLASS_ID).size(), 1u);
    EXPECT_EQ(registry.classesOf(SCENE_IMPORT_CLASS_ID).size(), 0u);
    const plugins::PluginClass* exporter = registry.findByExtension(SCENE_EXPORT_CLASS_ID, "Test");
    ASSERT_NE(exporter, nullptr);
    EXPECT_EQ(exporter->name, "Test Export");
    EXPECT_EQ(registry.findByExtension(SCENE_IMPORT_CLASS_ID, "tst"), nullptr);
}

TEST(PluginRegistry, ALibraryLoadedTwiceDoesNotRegisterItsClassesTwice) {
    PluginRegistry registry;
    const std::string path = std::string(TEST_PLUGINS_DIR) + "/TestPlugin.dle";
    EXPECT_TRUE(registry.loadLibrary(path));
    EXPECT_FALSE(registry.loadLibrary(path));
    EXPECT_EQ(registry.libraries().size(), 1u);
    EXPECT_EQ(registry.classesOf(SCENE_EXPORT_CLASS_ID).size(), 1u);
    ASSERT_EQ(registry.refused().size(), 1u);
    EXPECT_EQ(registry.refused()[0].reason, "is already loaded");
}

TEST(PluginRegistry, TheFolderComesFromTheOptionThenTheEnvironmentThenTheProgram) {
    EXPECT_EQ(plugins::pluginsFolder("/opt/plugins"), "/opt/plugins");
    ::setenv("LUMASET_PLUGINS_DIR", "/from/environment", 1);
    EXPECT_EQ(plugins::pluginsFolder(""), "/from/environment");
    ::unsetenv("LUMASET_PLUGINS_DIR");
    EXPECT_EQ(plugins::pluginsFolder(""),
              std::filesystem::canonical("/proc/self/exe").parent_path().string());
}

TEST(PluginsCommand, ListsLibrariesAndWarnsAboutRefusedOnes) {
    std::string output;
    const std::string program = std::string("'") + LUMASET_PROGRAM + "'";
    EXPECT_EQ(
        apptest::runCommand(program + " plugins --plugins-dir '" TEST_PLUGINS_DIR "'", output), 0);
    EXPECT_NE(output.find("TestPlugin.dle"), std::string::npos) << output;
    EXPECT_NE(output.find("Test Export"), std::string::npos);
    EXPECT_NE(output.find("extensions: tst TEST"), std::string::npos);
    EXPECT_NE(output.find("lumaset: warning: "), std::string::npos);
    EXPECT_NE(output.find("API 17"), std::string::npos);

    EXPECT_EQ(
        apptest::runCommand("LUMASET_PLUGINS_DIR=/no/such/folder " + program + " plugins", output),
        1);
    EXPECT_EQ(output.rfind("lumaset: cannot read the plug-ins folder '/no/such/folder'", 0), 0u)
        << output;
    EXPECT_EQ(output.find('\n'), output.size() - 1);
}

TEST(PluginsCommand, ListsTheThreeClassesOfTheLumasetPlugin) {
    std::string output;
    const std::string program = std::string("'") + LUMASET_PROGRAM + "'";
    ASSERT_EQ(apptest::runCommand(program + " plugins", output), 0) << output;
    EXPECT_NE(output.find("Lumaset.dle"), std::string::npos) << output;
    for (const char* expected :
         {"description: LumaSet", "Animation SET", "X-File Export", "X-File Import",
          "class id: 0x760F2E41 0x41CA01C3", "class id: 0x224C36E2 0x4D9D03E5",
          "class id: 0x611F3980 0x75623719", "extensions: x", "super class: utility (0x00001020)"})
        EXPECT_NE(output.find(expected), std::string::npos) << expected << "\n" << output;
}

} // namespace
