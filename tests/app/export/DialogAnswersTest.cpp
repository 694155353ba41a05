// Flags become a user's clicks and typing on the exporter's real dialog: each flag moves its
// control, controls without a flag keep what the dialog shows.
#include "cli/DialogAnswers.h"
#include "cli/ExportDialog.h"
#include "cli/ImportDialog.h"
#include "resources/ResourceTable.h"
#include "resources/resource.h"
#include "settings/OptionDialogs.h"
#include "settings/OptionFields.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace cli;

class DialogAnswers : public ::testing::Test {
protected:
    void SetUp() override { RegisterResourceTable(nullptr, &Win32ResourceTable); }
    void TearDown() override { RegisterResourceTable(nullptr, nullptr); }

    // Parses `words` against the export dialog's options.
    static ParsedArguments parse(const std::vector<std::string>& words) {
        ParsedArguments parsed;
        std::string error;
        const std::vector<OptionSpec> specs = dialogOptionSpecs(exportDialogControls());
        EXPECT_TRUE(parseArguments(words, specs, parsed, error)) << error;
        return parsed;
    }

    // Shows `shown` in dialog 102, plays the flags and returns what the dialog confirmed.
    static std::vector<std::string> answer(const ExportOptions& shown,
                                           const std::vector<std::string>& words,
                                           ExportOptions& confirmed) {
        DialogWindow dialog;
        EXPECT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
        showExportOptions(dialog, shown);
        headless::UserPlayer player;
        player.at();
        std::string error;
        EXPECT_TRUE(scriptAnswers(exportDialogControls(), parse(words), player, error)) << error;
        EXPECT_TRUE(dialog.RunModal());
        EXPECT_TRUE(player.failures().empty());
        readExportOptions(dialog, confirmed);
        return describeControls(exportDialogControls(), dialog.GetHandle());
    }
};

TEST_F(DialogAnswers, EveryFlagMovesItsControl) {
    ExportOptions confirmed;
    const std::vector<std::string> state =
        answer(ExportOptions{},
               {"--format", "compressed", "--no-normals", "--no-uv", "--no-colors", "--no-skin",
                "--no-animation", "--full-texture-path", "--left-handed", "--no-unify", "--sample",
                "60", "--scale", "2, 3,4.5", "--rotate=0,90,-45"},
               confirmed);
    EXPECT_EQ(confirmed.format, 2);
    EXPECT_FALSE(confirmed.normal);
    EXPECT_FALSE(confirmed.uv);
    EXPECT_FALSE(confirmed.vertexColor);
    EXPECT_FALSE(confirmed.skin);
    EXPECT_FALSE(confirmed.animation);
    EXPECT_TRUE(confirmed.texturePath);
    EXPECT_TRUE(confirmed.leftHanded);
    EXPECT_FALSE(confirmed.d3dxOpt);
    EXPECT_TRUE(confirmed.sampling);
    EXPECT_EQ(confirmed.samplingFps, 60);
    EXPECT_EQ(confirmed.objectScale[0], 2.0f);
    EXPECT_EQ(confirmed.objectScale[1], 3.0f);
    EXPECT_EQ(confirmed.objectScale[2], 4.5f);
    EXPECT_EQ(confirmed.objectRotation[1], 90.0f);
    EXPECT_EQ(confirmed.objectRotation[2], -45.0f);
    EXPECT_EQ(state, (std::vector<std::string>{"Format: Compression", "Normal: off", "UV: off",
                                               "Vertex Color: off", "Skin: off",
                                               "Animation key: off", "Full path texfile: on",
                                               "Left hand: on", "D3DX Opt: off", "Sampling: on, 60",
                                               "Scale: 2, 3, 4.5", "Rotation: 0, 90, -45"}));
}

TEST_F(DialogAnswers, ControlsWithoutAFlagKeepWhatTheDialogShows) {
    ExportOptions shown;
    shown.format = 1;
    shown.normal = false;
    shown.leftHanded = true;
    shown.sampling = true;
    shown.samplingFps = 24;
    shown.objectScale[2] = 2.0f;
    ExportOptions confirmed;
    answer(shown, {"--uv", "--keys", "--normals"}, confirmed);
    EXPECT_EQ(confirmed.format, 1);
    EXPECT_TRUE(confirmed.normal);
    EXPECT_TRUE(confirmed.leftHanded);
    EXPECT_FALSE(confirmed.sampling);
    EXPECT_EQ(confirmed.samplingFps, 24) << "--keys leaves the rate as it was";
    EXPECT_EQ(confirmed.objectScale[2], 2.0f);
}

TEST_F(DialogAnswers, BadValuesAndContradictionsAreRefusedInOneLine) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--format", "tiff"}, "--format tiff: expected text|binary|compressed"},
        {{"--scale", "1,2"}, "--scale 1,2: expected three numbers, X,Y,Z"},
        {{"--scale", "1,x,2"}, "--scale 1,x,2: expected three numbers, X,Y,Z"},
        {{"--rotate", "1,2,3,4"}, "--rotate 1,2,3,4: expected three numbers, X,Y,Z"},
        {{"--rotate", "1,inf,3"}, "--rotate 1,inf,3: expected three numbers, X,Y,Z"},
        {{"--sample", "0"}, "--sample 0: expected a whole number from 1 to 4800"},
        {{"--sample", "29.97"}, "--sample 29.97: expected a whole number from 1 to 4800"},
        {{"--uv", "--no-uv"}, "--uv and --no-uv contradict each other"},
        {{"--sample", "30", "--keys"}, "--sample and --keys contradict each other"},
    };
    for (const auto& [words, expected] : cases) {
        headless::UserPlayer player;
        std::string error;
        EXPECT_FALSE(scriptAnswers(exportDialogControls(), parse(words), player, error));
        EXPECT_EQ(error, expected);
    }
}

// The controls the plug-in's option table binds.
template <class Options>
std::set<int> pluginControls(std::span<const OptionField<Options>> fields) {
    std::set<int> ids;
    for (const OptionField<Options>& field : fields) {
        const int count = field.controlCount();
        ids.insert(field.controls, field.controls + count);
    }
    return ids;
}

std::set<int> answeredControls(std::span<const DialogControl> table) {
    std::set<int> ids;
    for (const DialogControl& control : table)
        ids.insert(control.controlIds.begin(), control.controlIds.end());
    return ids;
}

// An option the plug-in keeps but the program cannot set would be stuck at the saved value.
TEST_F(DialogAnswers, EveryOptionOfThePluginHasAFlag) {
    EXPECT_EQ(answeredControls(exportDialogControls()), pluginControls(exportOptionFields()));
    EXPECT_EQ(answeredControls(importDialogControls()), pluginControls(importOptionFields()));
}

} // namespace
