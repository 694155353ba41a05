#include "settings/OptionDialogs.h"
#include "OptionRecords.h"
#include "resources/ResourceTable.h"
#include "resources/resource.h"
#include "settings/OptionFields.h"

#include <headless/UserPlayer.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

const char kExportTitle[] = "Lumaset (Tavisorel) Export";
const char kImportTitle[] = "Lumaset (Tavisorel) Import";

class OptionDialogs : public ::testing::Test {
protected:
    void SetUp() override { RegisterResourceTable(nullptr, &Win32ResourceTable); }
    void TearDown() override { RegisterResourceTable(nullptr, nullptr); }
    static std::string textOf(const DialogWindow& dialog, int id) {
        char text[128];
        dialog.GetText(id, text, sizeof text);
        return text;
    }
};

TEST_F(OptionDialogs, TheExportDialogShowsTheDefaults) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
    showExportOptions(dialog, ExportOptions{});
    for (int checked : {IDC_FORMAT_TEXT, IDC_NORMAL, IDC_UV, IDC_VERTEX_COLOR, IDC_SKIN,
                        IDC_ANIMATION, IDC_D3DX_OPT})
        EXPECT_TRUE(dialog.IsChecked(checked)) << checked;
    for (int clear : {IDC_FORMAT_BINARY, IDC_FORMAT_COMPRESSED, IDC_TEXTURE_PATH, IDC_LEFT_HANDED,
                      IDC_SAMPLING})
        EXPECT_FALSE(dialog.IsChecked(clear)) << clear;
    for (int scale : {IDC_OBJECT_SCALE_X, IDC_OBJECT_SCALE_Y, IDC_OBJECT_SCALE_Z})
        EXPECT_EQ(textOf(dialog, scale), "1");
    for (int angle : {IDC_OBJECT_ROTATION_X, IDC_OBJECT_ROTATION_Y, IDC_OBJECT_ROTATION_Z})
        EXPECT_EQ(textOf(dialog, angle), "0");
    EXPECT_EQ(textOf(dialog, IDC_SAMPLING_FPS), "30");
}

TEST_F(OptionDialogs, AUserPicksBinaryTypesAScaleAndConfirms) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
    ExportOptions options;
    showExportOptions(dialog, options);
    headless::UserPlayer player;
    player.at(kExportTitle)
        .click(IDC_FORMAT_BINARY)
        .type(IDC_OBJECT_SCALE_X, "1")
        .type(IDC_OBJECT_SCALE_Y, "1")
        .type(IDC_OBJECT_SCALE_Z, "2")
        .click(IDOK);
    ASSERT_TRUE(dialog.RunModal());
    EXPECT_TRUE(player.failures().empty());
    readExportOptions(dialog, options);
    EXPECT_EQ(options.format, 1);
    EXPECT_EQ(xFileFormatOf(options.format), 0); // binary
    EXPECT_EQ(options.objectScale[0], 1.0f);
    EXPECT_EQ(options.objectScale[1], 1.0f);
    EXPECT_EQ(options.objectScale[2], 2.0f);
    EXPECT_FALSE(dialog.IsChecked(IDC_FORMAT_TEXT)); // the radio group let go of TEXT
    ExportOptions defaults;
    EXPECT_EQ(options.normal, defaults.normal);
    EXPECT_EQ(options.d3dxOpt, defaults.d3dxOpt);
    EXPECT_EQ(options.samplingFps, 30);
}

TEST_F(OptionDialogs, CancelAndTheCloseBoxLeaveTheRecordAlone) {
    for (bool useCloseBox : {false, true}) {
        DialogWindow dialog;
        ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
        showExportOptions(dialog, ExportOptions{});
        headless::UserPlayer player;
        player.at(kExportTitle).click(IDC_FORMAT_COMPRESSED).check(IDC_LEFT_HANDED, true);
        if (useCloseBox)
            player.closeBox();
        else
            player.click(IDCANCEL);
        EXPECT_FALSE(dialog.RunModal());
        EXPECT_EQ(player.dialogsSeen().size(), 1u);
    }
}

TEST_F(OptionDialogs, ExportReadsTheRateAsAnIntegerAndEveryBox) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
    showExportOptions(dialog, ExportOptions{});
    headless::UserPlayer player;
    player.at(kExportTitle)
        .click(IDC_FORMAT_COMPRESSED)
        .check(IDC_TEXTURE_PATH, true)
        .check(IDC_NORMAL, false)
        .check(IDC_SAMPLING, true)
        .type(IDC_SAMPLING_FPS, "29.97")
        .type(IDC_OBJECT_ROTATION_Y, "90")
        .type(IDC_OBJECT_SCALE_Z, "abc")
        .click(IDOK);
    ASSERT_TRUE(dialog.RunModal());
    ExportOptions options;
    readExportOptions(dialog, options);
    EXPECT_EQ(options.format, 2);
    EXPECT_EQ(xFileFormatOf(options.format), 2);
    EXPECT_TRUE(options.texturePath);
    EXPECT_FALSE(options.normal);
    EXPECT_TRUE(options.sampling);
    EXPECT_EQ(options.samplingFps, 29);
    EXPECT_EQ(options.objectRotation[1], 90.0f);
    EXPECT_EQ(options.objectScale[2], 0.0f); // letters read as 0
}

TEST_F(OptionDialogs, AStoredFormatOutsideTheButtonsChecksNoneAndOkMakesItText) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
    ExportOptions options;
    options.format = 5;
    showExportOptions(dialog, options);
    for (int button : {IDC_FORMAT_TEXT, IDC_FORMAT_BINARY, IDC_FORMAT_COMPRESSED})
        EXPECT_FALSE(dialog.IsChecked(button));
    headless::UserPlayer player;
    player.at(kExportTitle).click(IDOK);
    ASSERT_TRUE(dialog.RunModal());
    readExportOptions(dialog, options);
    EXPECT_EQ(options.format, 0);
    EXPECT_EQ(xFileFormatOf(7), 1); // text, should an index ever escape
}

TEST_F(OptionDialogs, TheImportDialogShowsTheDefaultsAndBindsBoneScaleByControlNumber) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_IMPORT_OPTIONS, nullptr, nullptr));
    showImportOptions(dialog, ImportOptions{});
    for (int checked : {IDC_NORMAL, IDC_UV, IDC_VERTEX_COLOR, IDC_SKIN, IDC_ANIMATION})
        EXPECT_TRUE(dialog.IsChecked(checked)) << checked;
    EXPECT_FALSE(dialog.IsChecked(IDC_LEFT_HANDED));
    for (int scale : {IDC_BONE_SCALE_X, IDC_BONE_SCALE_Y, IDC_BONE_SCALE_Z, IDC_OBJECT_SCALE_X,
                      IDC_OBJECT_SCALE_Y, IDC_OBJECT_SCALE_Z})
        EXPECT_EQ(textOf(dialog, scale), "1");
    for (int angle : {IDC_OBJECT_ROTATION_X, IDC_OBJECT_ROTATION_Y, IDC_OBJECT_ROTATION_Z})
        EXPECT_EQ(textOf(dialog, angle), "0");

    // The bone-scale edit in the right-hand column is 1025, and it is y.
    RECT middle{}, right{};
    GetWindowRect(GetDlgItem(dialog.GetHandle(), 1026), &middle);
    GetWindowRect(GetDlgItem(dialog.GetHandle(), 1025), &right);
    EXPECT_LT(middle.left, right.left);

    headless::UserPlayer player;
    player.at(kImportTitle)
        .type(1025, "2")
        .type(1026, "3")
        .check(IDC_SKIN, false)
        .check(IDC_LEFT_HANDED, true)
        .click(IDOK);
    ASSERT_TRUE(dialog.RunModal());
    ImportOptions options;
    readImportOptions(dialog, options);
    EXPECT_EQ(options.boneScale[0], 1.0f);
    EXPECT_EQ(options.boneScale[1], 2.0f);
    EXPECT_EQ(options.boneScale[2], 3.0f);
    EXPECT_FALSE(options.skin);
    EXPECT_TRUE(options.leftHanded);
    EXPECT_TRUE(options.normal);
}

// The controls of `dialog` that hold an option: check boxes, radio buttons and edits, by the
// dialog template, not by the table.
std::vector<int> optionControlsOf(const DialogWindow& dialog) {
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog.GetHandle(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        const LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
        if (std::string(className) == "Edit" ||
            (std::string(className) == "Button" &&
             (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON)))
            ids.push_back(GetDlgCtrlID(child));
    }
    return ids;
}

// Each option control of the dialog belongs to exactly one row of the table, and each row's
// controls are in the dialog.
template <class Options>
void expectTableCoversDialog(const DialogWindow& dialog,
                             std::span<const OptionField<Options>> fields) {
    std::map<int, int> rowsOfControl;
    for (const OptionField<Options>& field : fields) {
        const int count = field.controlCount();
        for (int i = 0; i < count; ++i) {
            ++rowsOfControl[field.controls[i]];
            EXPECT_NE(GetDlgItem(dialog.GetHandle(), field.controls[i]), nullptr)
                << field.keys[0] << " " << field.controls[i];
        }
    }
    const std::vector<int> controls = optionControlsOf(dialog);
    EXPECT_EQ(controls.size(), rowsOfControl.size());
    for (int id : controls)
        EXPECT_EQ(rowsOfControl[id], 1) << "control " << id;
}

TEST_F(OptionDialogs, EachOptionControlHasOneRowOfTheTable) {
    DialogWindow exportDialog;
    ASSERT_TRUE(exportDialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
    expectTableCoversDialog(exportDialog, exportOptionFields());
    DialogWindow importDialog;
    ASSERT_TRUE(importDialog.Create(IDD_IMPORT_OPTIONS, nullptr, nullptr));
    expectTableCoversDialog(importDialog, importOptionFields());
}

TEST_F(OptionDialogs, EveryExportFieldComesBackThroughTheDialog) {
    for (const ExportOptions& shown : {ExportOptions{}, changedOptions(exportOptionFields())}) {
        DialogWindow dialog;
        ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
        showExportOptions(dialog, shown);
        headless::UserPlayer player;
        player.at(kExportTitle).click(IDOK);
        ASSERT_TRUE(dialog.RunModal());
        // Read into a record holding the other values, so no field passes by being left alone.
        ExportOptions read = shown.normal == ExportOptions{}.normal
                                 ? changedOptions(exportOptionFields())
                                 : ExportOptions{};
        readExportOptions(dialog, read);
        expectSameFields(exportOptionFields(), shown, read);
    }
}

TEST_F(OptionDialogs, EveryImportFieldComesBackThroughTheDialog) {
    for (const ImportOptions& shown : {ImportOptions{}, changedOptions(importOptionFields())}) {
        DialogWindow dialog;
        ASSERT_TRUE(dialog.Create(IDD_IMPORT_OPTIONS, nullptr, nullptr));
        showImportOptions(dialog, shown);
        headless::UserPlayer player;
        player.at(kImportTitle).click(IDOK);
        ASSERT_TRUE(dialog.RunModal());
        ImportOptions read = shown.normal == ImportOptions{}.normal
                                 ? changedOptions(importOptionFields())
                                 : ImportOptions{};
        readImportOptions(dialog, read);
        expectSameFields(importOptionFields(), shown, read);
    }
}

} // namespace
