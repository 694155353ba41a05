#include "settings/SettingsFile.h"
#include "OptionRecords.h"
#include "settings/OptionFields.h"
#include "settings/XmlNode.h"

#include <hostcore.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The file that Save writes for default options, byte for byte.
const char kDefaultFile[] = "<?xml version=\"1.0\"?>\n"
                            "<LUMASET>\n"
                            "\t<EXPORT>\n"
                            "\t\t<FORMAT value=\"0\"/>\n"
                            "\t\t<NORMAL value=\"1\"/>\n"
                            "\t\t<TEXPATH value=\"0\"/>\n"
                            "\t\t<VCOLOR value=\"1\"/>\n"
                            "\t\t<SKIN value=\"1\"/>\n"
                            "\t\t<UV value=\"1\"/>\n"
                            "\t\t<ANIMATION value=\"1\"/>\n"
                            "\t\t<CHAND value=\"0\"/>\n"
                            "\t\t<D3DXOPT value=\"1\"/>\n"
                            "\t\t<OBJECTSCALE_X value=\"1.000000\"/>\n"
                            "\t\t<OBJECTSCALE_Y value=\"1.000000\"/>\n"
                            "\t\t<OBJECTSCALE_Z value=\"1.000000\"/>\n"
                            "\t\t<OBJECTROT_X value=\"0.000000\"/>\n"
                            "\t\t<OBJECTROT_Y value=\"0.000000\"/>\n"
                            "\t\t<OBJECTROT_Z value=\"0.000000\"/>\n"
                            "\t\t<SAMPLING value=\"0\"/>\n"
                            "\t\t<SAMPLINGFPS value=\"30\"/>\n"
                            "\t</EXPORT>\n"
                            "\t<IMPORT>\n"
                            "\t\t<NORMAL value=\"1\"/>\n"
                            "\t\t<UV value=\"1\"/>\n"
                            "\t\t<VCOLOR value=\"1\"/>\n"
                            "\t\t<SKIN value=\"1\"/>\n"
                            "\t\t<ANIMATION value=\"1\"/>\n"
                            "\t\t<CHAND value=\"0\"/>\n"
                            "\t\t<BONESCALE_X value=\"1.000000\"/>\n"
                            "\t\t<BONESCALE_Y value=\"1.000000\"/>\n"
                            "\t\t<BONESCALE_Z value=\"1.000000\"/>\n"
                            "\t\t<OBJECTSCALE_X value=\"1.000000\"/>\n"
                            "\t\t<OBJECTSCALE_Y value=\"1.000000\"/>\n"
                            "\t\t<OBJECTSCALE_Z value=\"1.000000\"/>\n"
                            "\t\t<OBJECTROT_X value=\"0.000000\"/>\n"
                            "\t\t<OBJECTROT_Y value=\"0.000000\"/>\n"
                            "\t\t<OBJECTROT_Z value=\"0.000000\"/>\n"
                            "\t</IMPORT>\n"
                            "</LUMASET>";

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        char folderTemplate[] = "/tmp/lumaset-settings-XXXXXX";
        ASSERT_NE(mkdtemp(folderTemplate), nullptr);
        folder = folderTemplate;
        hostcore::setDir(APP_PLUGCFG_DIR, folder.string());
        file = folder / "Lumaset.xml";
    }
    void TearDown() override {
        hostcore::setDir(APP_PLUGCFG_DIR, "");
        fs::remove_all(folder);
    }
    void writeFile(const std::string& content) { std::ofstream(file, std::ios::binary) << content; }
    std::string readFile() {
        std::ifstream in(file, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    fs::path folder;
    fs::path file;
};

TEST_F(Settings, LivesInThePluginConfigurationFolder) {
    SettingsFile settings;
    EXPECT_EQ(settings.path, folder.string() + "/Lumaset.xml");
    EXPECT_FALSE(fs::exists(file)); // reading creates nothing
}

TEST_F(Settings, DefaultsAreWrittenByteForByte) {
    SettingsFile settings;
    ASSERT_TRUE(settings.Save());
    EXPECT_EQ(readFile(), kDefaultFile);
    // Nothing is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(Settings, EveryFieldRoundTrips) {
    const ExportOptions exportOptions = changedOptions(exportOptionFields());
    const ImportOptions importOptions = changedOptions(importOptionFields());
    {
        SettingsFile settings;
        settings.exportOptions = exportOptions;
        settings.importOptions = importOptions;
        ASSERT_TRUE(settings.Save());
    }
    SettingsFile settings;
    expectSameFields(exportOptionFields(), exportOptions, settings.exportOptions);
    expectSameFields(importOptionFields(), importOptions, settings.importOptions);
}

// A file as earlier versions wrote it, every value off its default: the keys and the layout are
// what stored files hold, so they must keep loading.
TEST_F(Settings, AStoredFileLoadsEveryField) {
    writeFile("<?xml version=\"1.0\"?>\n"
              "<LUMASET>\n"
              "\t<EXPORT>\n"
              "\t\t<FORMAT value=\"1\"/>\n"
              "\t\t<NORMAL value=\"0\"/>\n"
              "\t\t<TEXPATH value=\"1\"/>\n"
              "\t\t<VCOLOR value=\"0\"/>\n"
              "\t\t<SKIN value=\"0\"/>\n"
              "\t\t<UV value=\"0\"/>\n"
              "\t\t<ANIMATION value=\"0\"/>\n"
              "\t\t<CHAND value=\"1\"/>\n"
              "\t\t<D3DXOPT value=\"0\"/>\n"
              "\t\t<OBJECTSCALE_X value=\"2.000000\"/>\n"
              "\t\t<OBJECTSCALE_Y value=\"3.000000\"/>\n"
              "\t\t<OBJECTSCALE_Z value=\"4.000000\"/>\n"
              "\t\t<OBJECTROT_X value=\"90.000000\"/>\n"
              "\t\t<OBJECTROT_Y value=\"-45.500000\"/>\n"
              "\t\t<OBJECTROT_Z value=\"180.000000\"/>\n"
              "\t\t<SAMPLING value=\"1\"/>\n"
              "\t\t<SAMPLINGFPS value=\"60\"/>\n"
              "\t</EXPORT>\n"
              "\t<IMPORT>\n"
              "\t\t<NORMAL value=\"0\"/>\n"
              "\t\t<UV value=\"0\"/>\n"
              "\t\t<VCOLOR value=\"0\"/>\n"
              "\t\t<SKIN value=\"0\"/>\n"
              "\t\t<ANIMATION value=\"0\"/>\n"
              "\t\t<CHAND value=\"1\"/>\n"
              "\t\t<BONESCALE_X value=\"0.500000\"/>\n"
              "\t\t<BONESCALE_Y value=\"0.250000\"/>\n"
              "\t\t<BONESCALE_Z value=\"0.125000\"/>\n"
              "\t\t<OBJECTSCALE_X value=\"5.000000\"/>\n"
              "\t\t<OBJECTSCALE_Y value=\"6.000000\"/>\n"
              "\t\t<OBJECTSCALE_Z value=\"7.000000\"/>\n"
              "\t\t<OBJECTROT_X value=\"-90.000000\"/>\n"
              "\t\t<OBJECTROT_Y value=\"30.000000\"/>\n"
              "\t\t<OBJECTROT_Z value=\"270.000000\"/>\n"
              "\t</IMPORT>\n"
              "</LUMASET>");
    SettingsFile settings;
    const ExportOptions& out = settings.exportOptions;
    EXPECT_EQ(out.format, 1);
    EXPECT_FALSE(out.normal);
    EXPECT_TRUE(out.texturePath);
    EXPECT_FALSE(out.vertexColor);
    EXPECT_FALSE(out.skin);
    EXPECT_FALSE(out.uv);
    EXPECT_FALSE(out.animation);
    EXPECT_TRUE(out.leftHanded);
    EXPECT_FALSE(out.d3dxOpt);
    EXPECT_EQ(out.objectScale[0], 2.0f);
    EXPECT_EQ(out.objectScale[1], 3.0f);
    EXPECT_EQ(out.objectScale[2], 4.0f);
    EXPECT_EQ(out.objectRotation[0], 90.0f);
    EXPECT_EQ(out.objectRotation[1], -45.5f);
    EXPECT_EQ(out.objectRotation[2], 180.0f);
    EXPECT_TRUE(out.sampling);
    EXPECT_EQ(out.samplingFps, 60);
    const ImportOptions& in = settings.importOptions;
    EXPECT_FALSE(in.normal);
    EXPECT_FALSE(in.uv);
    EXPECT_FALSE(in.vertexColor);
    EXPECT_FALSE(in.skin);
    EXPECT_FALSE(in.animation);
    EXPECT_TRUE(in.leftHanded);
    EXPECT_EQ(in.boneScale[0], 0.5f);
    EXPECT_EQ(in.boneScale[1], 0.25f);
    EXPECT_EQ(in.boneScale[2], 0.125f);
    EXPECT_EQ(in.objectScale[0], 5.0f);
    EXPECT_EQ(in.objectScale[1], 6.0f);
    EXPECT_EQ(in.objectScale[2], 7.0f);
    EXPECT_EQ(in.objectRotation[0], -90.0f);
    EXPECT_EQ(in.objectRotation[1], 30.0f);
    EXPECT_EQ(in.objectRotation[2], 270.0f);
}

TEST_F(Settings, ReadsOnlyWhatTheFileHoldsAndRecognises) {
    writeFile(
        "<?xml version=\"1.0\"?>\n<LUMASET><IMPORT><NORMAL/><SKIN value=\" 1\"/><UV value=\"abc\"/>"
        "<CHAND value=\"-1\"/><BONESCALE_X value=\"2\"/><BONESCALE_X value=\"3\"/><UNKNOWN "
        "value=\"1\"/>"
        "</IMPORT></LUMASET>");
    SettingsFile settings;
    EXPECT_FALSE(settings.importOptions.normal); // present without a value: off, not the default
    EXPECT_TRUE(settings.importOptions.skin);
    EXPECT_FALSE(settings.importOptions.uv);
    EXPECT_TRUE(settings.importOptions.leftHanded);
    EXPECT_EQ(settings.importOptions.boneScale[0], 3.0f); // the later one wins
    EXPECT_TRUE(settings.importOptions.animation);        // absent: the default
    ExportOptions defaults;
    EXPECT_EQ(settings.exportOptions.format,
              defaults.format); // no export section: no export field changes
    EXPECT_EQ(settings.exportOptions.samplingFps, defaults.samplingFps);
    EXPECT_EQ(settings.exportOptions.d3dxOpt, defaults.d3dxOpt);
}

TEST_F(Settings, ALaterSectionWinsAndIntegersDropTheirFraction) {
    writeFile("<?xml version=\"1.0\"?><LUMASET><EXPORT><SAMPLINGFPS value=\"1.5\"/><FORMAT "
              "value=\"1\"/></EXPORT>"
              "<EXPORT><FORMAT value=\"2\"/></EXPORT></LUMASET>");
    SettingsFile settings;
    EXPECT_EQ(settings.exportOptions.samplingFps, 1);
    EXPECT_EQ(settings.exportOptions.format, 2);
}

TEST_F(Settings, AForeignRootLeavesTheDefaults) {
    for (const char* content :
         {"<?xml version=\"1.0\"?><Lumaset><EXPORT><FORMAT value=\"2\"/></EXPORT></Lumaset>",
          "<?xml version=\"1.0\"?>", "", "garbage <<<>>> \"",
          "text first<LUMASET><EXPORT><FORMAT value=\"2\"/></EXPORT></LUMASET>"}) {
        writeFile(content);
        SettingsFile settings;
        EXPECT_EQ(settings.exportOptions.format, 0) << content;
    }
}

TEST_F(Settings, AFailedSaveReportsItAndLeavesWhatWasThere) {
    // A folder where the file should be: the new file can be written but never put in place.
    fs::create_directory(file);
    writeFile(""); // fails: it is a folder
    std::ofstream(file / "keep") << "kept";
    SettingsFile settings;
    EXPECT_FALSE(settings.Save());
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_TRUE(fs::exists(file / "keep"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()),
              1); // no temporary left
}

TEST_F(Settings, TheHostCreatesAMissingConfigurationFolder) {
    hostcore::setDir(APP_PLUGCFG_DIR, (folder / "missing" / "deeper").string());
    SettingsFile settings;
    EXPECT_TRUE(settings.Save());
    EXPECT_TRUE(fs::exists(folder / "missing" / "deeper" / "Lumaset.xml"));
}

} // namespace
