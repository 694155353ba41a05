// The three dialogs, control by control, in template order, against the tables they were
// designed from; and the version information.
#include "resources/ResourceTable.h"

#include <commctrl.h>
#include <winver.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class Kind { defaultButton, button, groupBox, radio, groupRadio, checkBox, label, edit, list };

struct ControlRow {
    int id;
    Kind kind;
    const char* label;
    int x, y, cx, cy;
};

struct DialogTable {
    int templateNumber;
    const char* title;
    int cx, cy;
    std::vector<ControlRow> controls;
};

constexpr int kNone = -1;

const DialogTable kExport{102,
                          "Lumaset (Tavisorel) Export",
                          167,
                          226,
                          {
                              {1, Kind::defaultButton, "OK", 6, 204, 50, 14},
                              {2, Kind::button, "CANSEL", 66, 204, 50, 14},
                              {kNone, Kind::groupBox, "Format", 6, 6, 78, 58},
                              {1003, Kind::groupRadio, "TEXT", 12, 22, 54, 8},
                              {1004, Kind::radio, "Binary", 12, 34, 60, 8},
                              {1005, Kind::radio, "Compression", 12, 46, 60, 11},
                              {1006, Kind::checkBox, "Full path texfile", 90, 6, 66, 14},
                              {1007, Kind::checkBox, "Normal", 90, 18, 66, 12},
                              {1008, Kind::checkBox, "UV", 90, 30, 66, 12},
                              {1009, Kind::checkBox, "Skin", 90, 54, 66, 12},
                              {1010, Kind::checkBox, "Animation key", 90, 66, 66, 12},
                              {1022, Kind::checkBox, "Left hand", 90, 78, 60, 12},
                              {1023, Kind::checkBox, "Vertex Color", 90, 42, 66, 12},
                              {kNone, Kind::label, "Scale", 12, 126, 27, 12},
                              {kNone, Kind::label, "Rotation", 12, 141, 28, 11},
                              {kNone, Kind::groupBox, "Object", 6, 108, 153, 48},
                              {1028, Kind::edit, "", 46, 126, 18, 12},
                              {1029, Kind::edit, "", 70, 126, 18, 12},
                              {1030, Kind::edit, "", 94, 126, 18, 12},
                              {1034, Kind::edit, "", 46, 138, 18, 12},
                              {1035, Kind::edit, "", 70, 138, 18, 12},
                              {1036, Kind::edit, "", 94, 138, 18, 12},
                              {kNone, Kind::label, "X", 50, 114, 8, 10},
                              {kNone, Kind::label, "Z", 98, 114, 8, 10},
                              {kNone, Kind::label, "Y", 74, 114, 8, 10},
                              {kNone, Kind::groupBox, "Animation", 6, 164, 153, 31},
                              {1031, Kind::checkBox, "Sampling", 16, 176, 45, 10},
                              {1032, Kind::edit, "", 71, 176, 56, 13},
                              {kNone, Kind::label, "FPS", 131, 176, 18, 10},
                              {1024, Kind::checkBox, "D3DX Opt", 90, 90, 60, 12},
                          }};

const DialogTable kImport{104,
                          "Lumaset (Tavisorel) Import",
                          123,
                          191,
                          {
                              {1, Kind::defaultButton, "OK", 4, 170, 50, 14},
                              {2, Kind::button, "CANSEL", 67, 170, 50, 14},
                              {1007, Kind::checkBox, "Normal", 6, 6, 72, 12},
                              {1008, Kind::checkBox, "UV", 6, 18, 78, 12},
                              {1009, Kind::checkBox, "Skin", 6, 42, 72, 12},
                              {1010, Kind::checkBox, "Animation key", 6, 55, 72, 12},
                              {1022, Kind::checkBox, "Left hand", 6, 66, 60, 12},
                              {1023, Kind::checkBox, "Vertex Color", 6, 30, 72, 12},
                              {1024, Kind::edit, "", 48, 150, 18, 12},
                              {1025, Kind::edit, "", 96, 150, 18, 12},
                              {1026, Kind::edit, "", 72, 150, 18, 12},
                              {kNone, Kind::label, "Scale", 12, 102, 27, 12},
                              {kNone, Kind::label, "Rotation", 12, 117, 28, 11},
                              {kNone, Kind::groupBox, "Object", 6, 84, 113, 48},
                              {1028, Kind::edit, "", 46, 102, 18, 12},
                              {kNone, Kind::groupBox, "Bone Scale", 6, 138, 113, 30},
                              {kNone, Kind::label, "Scale", 12, 150, 27, 8},
                              {1029, Kind::edit, "", 70, 102, 18, 12},
                              {1030, Kind::edit, "", 94, 102, 18, 12},
                              {1034, Kind::edit, "", 46, 114, 18, 12},
                              {1035, Kind::edit, "", 70, 114, 18, 12},
                              {1036, Kind::edit, "", 94, 114, 18, 12},
                              {kNone, Kind::label, "X", 49, 90, 8, 10},
                              {kNone, Kind::label, "Z", 97, 90, 8, 10},
                              {kNone, Kind::label, "Y", 73, 90, 8, 10},
                          }};

const DialogTable kAnimationSets{103,
                                 "Animation set",
                                 295,
                                 130,
                                 {
                                     {1013, Kind::edit, "", 189, 18, 96, 12},
                                     {kNone, Kind::label, "NAME", 189, 7, 24, 8},
                                     {kNone, Kind::label, "Range", 189, 37, 30, 8},
                                     {1014, Kind::edit, "", 189, 49, 36, 12},
                                     {1015, Kind::edit, "", 245, 49, 36, 12},
                                     {kNone, Kind::label, "-", 234, 49, 8, 8},
                                     {1016, Kind::button, "SET", 192, 66, 36, 12},
                                     {1018, Kind::button, "DELETE", 240, 66, 36, 12},
                                     {1019, Kind::list, "", 7, 7, 169, 116},
                                     {1020, Kind::button, "SET SLIDER", 192, 90, 48, 12},
                                     {1021, Kind::button, "ALL SLIDER", 192, 108, 48, 12},
                                 }};

// Dialog units to pixels in the 8 point dialog font: 6 pixels per 4 units across, 13 per 8 down.
RECT pixelsOf(int x, int y, int cx, int cy) {
    auto across = [](int units) { return (units * 6 + 2) / 4; };
    auto down = [](int units) { return (units * 13 + 4) / 8; };
    return RECT{across(x), down(y), across(x + cx), down(y + cy)};
}

std::string classOf(HWND window) {
    char name[32];
    GetClassNameA(window, name, sizeof name);
    return name;
}

void expectKind(HWND control, Kind kind, const std::string& what) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    DWORD buttonType = style & 0xF;
    switch (kind) {
    case Kind::defaultButton:
        EXPECT_EQ(buttonType, DWORD{BS_DEFPUSHBUTTON}) << what;
        break;
    case Kind::button:
        EXPECT_EQ(buttonType, DWORD{BS_PUSHBUTTON}) << what;
        break;
    case Kind::groupBox:
        EXPECT_EQ(buttonType, DWORD{BS_GROUPBOX}) << what;
        break;
    case Kind::checkBox:
        EXPECT_EQ(buttonType, DWORD{BS_AUTOCHECKBOX}) << what;
        break;
    case Kind::radio:
    case Kind::groupRadio:
        EXPECT_EQ(buttonType, DWORD{BS_AUTORADIOBUTTON}) << what;
        EXPECT_EQ((style & WS_GROUP) != 0, kind == Kind::groupRadio) << what;
        break;
    case Kind::label:
        EXPECT_EQ(classOf(control), "Static") << what;
        return;
    case Kind::edit:
        EXPECT_EQ(classOf(control), "Edit") << what;
        EXPECT_NE(style & WS_BORDER, 0u) << what;
        EXPECT_NE(style & ES_AUTOHSCROLL, 0u) << what;
        return;
    case Kind::list:
        EXPECT_EQ(classOf(control), WC_LISTVIEWA) << what;
        EXPECT_EQ(style & LVS_TYPEMASK, DWORD{LVS_REPORT}) << what;
        EXPECT_NE(style & LVS_ALIGNLEFT, 0u) << what;
        EXPECT_NE(style & WS_BORDER, 0u) << what;
        return;
    }
    EXPECT_EQ(classOf(control), "Button") << what;
}

class DialogTemplates : public ::testing::TestWithParam<const DialogTable*> {
protected:
    void SetUp() override { RegisterResourceTable(nullptr, &Win32ResourceTable); }
    void TearDown() override { RegisterResourceTable(nullptr, nullptr); }
};

TEST_P(DialogTemplates, MatchTheirTablesControlByControl) {
    const DialogTable& table = *GetParam();
    HWND dialog =
        CreateDialogParamA(nullptr, MAKEINTRESOURCEA(table.templateNumber), nullptr, nullptr, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog)); // the templates are not visible at creation
    char title[64];
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, table.title);
    DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
    EXPECT_EQ(style & WS_CAPTION, DWORD{WS_CAPTION});
    EXPECT_NE(style & WS_SYSMENU, 0u);
    EXPECT_NE(style & DS_MODALFRAME, 0u);
    EXPECT_NE(style & DS_SETFONT, 0u);
    RECT client{};
    GetClientRect(dialog, &client);
    RECT expectedClient = pixelsOf(0, 0, table.cx, table.cy);
    EXPECT_EQ(client.right, expectedClient.right);
    EXPECT_EQ(client.bottom, expectedClient.bottom);

    HWND control = GetWindow(dialog, GW_CHILD);
    for (const ControlRow& row : table.controls) {
        std::string what =
            std::string(table.title) + " / " + row.label + " " + std::to_string(row.id);
        ASSERT_NE(control, nullptr) << what;
        EXPECT_EQ(GetDlgCtrlID(control), row.id) << what;
        char label[64];
        GetWindowTextA(control, label, sizeof label);
        EXPECT_STREQ(label, row.label) << what;
        expectKind(control, row.kind, what);
        RECT bounds{};
        GetWindowRect(control, &bounds);
        RECT expected = pixelsOf(row.x, row.y, row.cx, row.cy);
        EXPECT_EQ(bounds.left, expected.left) << what;
        EXPECT_EQ(bounds.top, expected.top) << what;
        EXPECT_EQ(bounds.right, expected.right) << what;
        EXPECT_EQ(bounds.bottom, expected.bottom) << what;
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr) << "more controls than the table has";
    DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(AllThree, DialogTemplates,
                         ::testing::Values(&kExport, &kImport, &kAnimationSets));

TEST(VersionInformation, NamesTheProductAndItsVersion) {
    RegisterResourceTable(nullptr, &Win32ResourceTable);
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
    ASSERT_NE(resource, nullptr);
    const void* block = LockResource(LoadResource(nullptr, resource));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block, "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u); // 1.0
    EXPECT_EQ(fixed->dwFileType, DWORD{VFT_DLL});
    ASSERT_TRUE(VerQueryValueA(block, "\\StringFileInfo\\040904b0\\ProductName", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Lumaset");
    EXPECT_EQ(length, 8u);
    ASSERT_TRUE(
        VerQueryValueA(block, "\\StringFileInfo\\040904b0\\OriginalFilename", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Lumaset.dle");
    ASSERT_TRUE(VerQueryValueA(block, "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    auto* words = static_cast<const WORD*>(value);
    EXPECT_EQ(words[0], 0x409);
    EXPECT_EQ(words[1], 1200);
    EXPECT_FALSE(VerQueryValueA(block, "\\StringFileInfo\\040904b0\\NoSuchName", &value, &length));
    RegisterResourceTable(nullptr, nullptr);
}

} // namespace
