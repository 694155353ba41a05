// The pictures of the three dialogs in docs/ are renderings of the dialogs as they open with
// default options. This test renders them again and compares; with LUMASET_UPDATE_DOCS set it
// writes them instead.
#include "resources/ResourceTable.h"
#include "resources/resource.h"
#include "settings/OptionDialogs.h"

#include <headless/SvgRenderer.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class DialogPictures : public ::testing::Test {
protected:
    void SetUp() override { RegisterResourceTable(nullptr, &Win32ResourceTable); }
    void TearDown() override { RegisterResourceTable(nullptr, nullptr); }

    // Compares with the committed picture, or replaces it when asked to.
    void expectCommitted(const std::string& svg, const std::string& name) {
        std::string path = std::string(LUMASET_SOURCE_DIR) + "/docs/" + name;
        if (std::getenv("LUMASET_UPDATE_DOCS")) {
            std::ofstream(path, std::ios::binary) << svg;
            return;
        }
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path << " is missing; run the test with LUMASET_UPDATE_DOCS=1";
        std::stringstream committed;
        committed << in.rdbuf();
        EXPECT_EQ(committed.str(), svg)
            << path << " is out of date; run the test with LUMASET_UPDATE_DOCS=1";
    }
};

const char kCheckMark[] = "l2 2 l5 -5";
const char kRadioDot[] = "r=\"2.5\"";

TEST_F(DialogPictures, ExportOptionsWithTheirDefaults) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_EXPORT_OPTIONS, nullptr, nullptr));
    showExportOptions(dialog, ExportOptions{});
    ShowWindow(dialog.GetHandle(), SW_SHOWNA);
    std::string svg = headless::renderSvg(dialog.GetHandle());
    EXPECT_EQ(occurrences(svg, kCheckMark),
              6u); // Normal, UV, Vertex Color, Skin, Animation key, D3DX Opt
    EXPECT_EQ(occurrences(svg, kRadioDot), 1u); // TEXT
    EXPECT_NE(svg.find(">Lumaset (Tavisorel) Export</text>"), std::string::npos);
    EXPECT_NE(svg.find(">30</text>"), std::string::npos);
    EXPECT_EQ(occurrences(svg, ">1</text>"), 3u);
    EXPECT_EQ(occurrences(svg, ">0</text>"), 3u);
    expectCommitted(svg, "export-options.svg");
}

TEST_F(DialogPictures, ImportOptionsWithTheirDefaults) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_IMPORT_OPTIONS, nullptr, nullptr));
    showImportOptions(dialog, ImportOptions{});
    ShowWindow(dialog.GetHandle(), SW_SHOWNA);
    std::string svg = headless::renderSvg(dialog.GetHandle());
    EXPECT_EQ(occurrences(svg, kCheckMark), 5u); // all but Left hand
    EXPECT_EQ(occurrences(svg, ">1</text>"), 6u);
    expectCommitted(svg, "import-options.svg");
}

TEST_F(DialogPictures, AnimationSetsWithTheirColumns) {
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_ANIMATION_SETS, nullptr, nullptr));
    ListViewControl list = dialog.GetListView(IDC_SET_LIST);
    list.SetExtendedStyle(0, LVS_EX_FULLROWSELECT);
    list.InsertColumn(0, "KEY NAME", LVCFMT_LEFT, 128, 0);
    list.InsertColumn(1, "START", LVCFMT_LEFT, 60, 1);
    list.InsertColumn(2, "END", LVCFMT_LEFT, 60, 2);
    ShowWindow(dialog.GetHandle(), SW_SHOWNA);
    std::string svg = headless::renderSvg(dialog.GetHandle());
    for (const char* text :
         {">KEY NAME</text>", ">START</text>", ">END</text>", ">SET SLIDER</text>"})
        EXPECT_NE(svg.find(text), std::string::npos) << text;
    expectCommitted(svg, "animation-sets.svg");
}

TEST(SvgRenderer, ShowsSelectedRowsAndEscapesTexts) {
    RegisterResourceTable(nullptr, &Win32ResourceTable);
    DialogWindow dialog;
    ASSERT_TRUE(dialog.Create(IDD_ANIMATION_SETS, nullptr, nullptr));
    ListViewControl list = dialog.GetListView(IDC_SET_LIST);
    list.InsertColumn(0, "KEY NAME", LVCFMT_LEFT, 128, 0);
    list.InsertColumn(1, "START", LVCFMT_LEFT, 60, 1);
    list.InsertItem(-1, "walk & <run>");
    list.SetItemText(0, 1, "12");
    list.Select(0);
    dialog.SetText(IDC_SET_NAME, "a\"b");
    ShowWindow(dialog.GetHandle(), SW_SHOWNA);
    std::string svg = headless::renderSvg(dialog.GetHandle());
    EXPECT_NE(svg.find(">walk &amp; &lt;run&gt;</text>"), std::string::npos);
    EXPECT_NE(svg.find(">a&quot;b</text>"), std::string::npos);
    EXPECT_EQ(occurrences(svg, "fill=\"#0a246a\"/>"),
              1u); // without full-row selection only the first cell
    EXPECT_NE(svg.find(">12</text>"), std::string::npos);
    EXPECT_TRUE(headless::renderSvg(nullptr).empty());
    RegisterResourceTable(nullptr, nullptr);
}

} // namespace
