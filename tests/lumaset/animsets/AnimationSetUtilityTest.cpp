// The animation set utility as a user meets it: started from the host's utilities panel, played
// by real mouse and keyboard messages in the "Animation set" dialog, on the host core's scene.
#include "animsets/AnimationSetUtility.h"
#include "resources/ResourceTable.h"
#include "resources/resource.h"

#include <SceneKit.h>
#include <commctrl.h>
#include <headless/UserPlayer.h>
#include <hostcore.h>
#include <maxapi.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace scenekit {
// Found by argument lookup, so the vector comparisons below see it.
bool operator==(const AnimationSet& a, const AnimationSet& b) {
    return a.name == b.name && a.startFrame == b.startFrame && a.endFrame == b.endFrame;
}
void PrintTo(const AnimationSet& set, std::ostream* out) {
    *out << set.name << " " << set.startFrame << ".." << set.endFrame;
}
} // namespace scenekit

namespace {

const Class_ID kAnimationSetClassId(0x760F2E41, 0x41CA01C3);
constexpr int kTicksPerFrame = 160; // 30 frames a second, the host's default

using scenekit::AnimationSet;

class AnimationSetUtilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterResourceTable(nullptr, &Win32ResourceTable);
        hostcore::resetScene();
        GetCOREInterface()->EndAnimPlayback();
        EnableAccelerators();
        SetSaveRequiredFlag(FALSE);
    }
    void TearDown() override {
        hostcore::closeUtility();
        pump();
        RegisterResourceTable(nullptr, nullptr);
    }

    // Starts the utility from the utilities panel, as the host does.
    void open() {
        auto* utility = new AnimationSetUtility;
        hostcore::openUtility(utility);
        dialog = utility->GetDialogHandle();
        ASSERT_TRUE(IsWindow(dialog));
    }

    // The host's message loop: runs every queued message.
    static void pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    // Plays the script begun with `player.at()` in the open dialog.
    void play(headless::UserPlayer& player) {
        player.playNow(dialog);
        pump();
        EXPECT_TRUE(player.failures().empty()) << player.failures().front();
    }

    // Types a set into the edits and clicks one button. An empty text is typed as a backspace
    // over the selected old text, as a user empties an edit.
    void enter(const std::string& name, const std::string& start, const std::string& end,
               int button) {
        auto typed = [](const std::string& text) {
            return text.empty() ? std::string("\b") : text;
        };
        headless::UserPlayer player;
        player.at()
            .type(IDC_SET_NAME, typed(name))
            .type(IDC_SET_START, typed(start))
            .type(IDC_SET_END, typed(end));
        player.click(button);
        play(player);
    }

    HWND list() const { return GetDlgItem(dialog, IDC_SET_LIST); }
    int rowCount() const { return int(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0)); }
    std::string cell(int row, int column) const {
        std::vector<char> text(4096);
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = int(text.size());
        SendMessageA(list(), LVM_GETITEMTEXTA, WPARAM(row), LPARAM(&item));
        return text.data();
    }
    std::vector<std::string> row(int index) const {
        return {cell(index, 0), cell(index, 1), cell(index, 2)};
    }
    std::string editText(int id) const {
        char text[1024];
        GetDlgItemTextA(dialog, id, text, sizeof text);
        return text;
    }
    static AppDataChunk* chunk() {
        return GetCOREInterface()->GetScenePointer()->GetAppDataChunk(kAnimationSetClassId,
                                                                      UTILITY_CLASS_ID, 0);
    }
    static void storeChunk(const std::vector<unsigned char>& bytes) {
        ReferenceTarget* scene = GetCOREInterface()->GetScenePointer();
        scene->RemoveAppDataChunk(kAnimationSetClassId, UTILITY_CLASS_ID, 0);
        void* block = std::malloc(bytes.size());
        std::memcpy(block, bytes.data(), bytes.size());
        scene->AddAppDataChunk(kAnimationSetClassId, UTILITY_CLASS_ID, 0, DWORD(bytes.size()),
                               block);
    }
    static Interval framesToRange(int start, int end) {
        return Interval(start * kTicksPerFrame, end * kTicksPerFrame);
    }

    HWND dialog = nullptr;
};

TEST_F(AnimationSetUtilityTest, TheDialogOpensBesideTheHostWithTheStoredSets) {
    scenekit::storeAnimationSets({{"walk", 0, 30}, {"run", 31, 50}});
    open();
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), GetCOREInterface()->GetMAXHWnd());
    char title[64];
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, "Animation set");
    EXPECT_EQ(SendMessageA(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT);
    const char* headings[] = {"KEY NAME", "START", "END"};
    const int widths[] = {128, 60, 60};
    for (int column = 0; column < 3; ++column) {
        char text[32] = "";
        LVCOLUMNA description{};
        description.mask = LVCF_TEXT | LVCF_WIDTH;
        description.pszText = text;
        description.cchTextMax = sizeof text;
        ASSERT_TRUE(SendMessageA(list(), LVM_GETCOLUMNA, WPARAM(column), LPARAM(&description)));
        EXPECT_STREQ(text, headings[column]);
        EXPECT_EQ(description.cx, widths[column]);
    }
    ASSERT_EQ(rowCount(), 2);
    EXPECT_EQ(row(0), (std::vector<std::string>{"walk", "0", "30"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"run", "31", "50"}));
}

TEST_F(AnimationSetUtilityTest, SetOnAnEmptyListWritesTheTwentyOneByteChunk) {
    open();
    EXPECT_EQ(rowCount(), 0);
    enter("walk", "0", "30", IDC_SET_STORE);
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(row(0), (std::vector<std::string>{"walk", "0", "30"}));
    for (int edit : {IDC_SET_NAME, IDC_SET_START, IDC_SET_END})
        EXPECT_EQ(editText(edit), "") << edit;
    ASSERT_NE(chunk(), nullptr);
    const unsigned char expected[21] = {1,   0, 0, 0, 5, 0, 0,  0, 'w', 'a', 'l',
                                        'k', 0, 0, 0, 0, 0, 30, 0, 0,   0};
    ASSERT_EQ(chunk()->length, 21u);
    EXPECT_EQ(std::memcmp(chunk()->data, expected, sizeof expected), 0);
    EXPECT_TRUE(GetSaveRequiredFlag());
}

TEST_F(AnimationSetUtilityTest, SetOfAStoredNameInOtherLettersUpdatesThatRowInPlace) {
    scenekit::storeAnimationSets({{"walk", 0, 30}, {"run", 31, 50}});
    open();
    enter("WALK", "5", "25", IDC_SET_STORE);
    ASSERT_EQ(rowCount(), 2);
    EXPECT_EQ(row(0), (std::vector<std::string>{"walk", "5", "25"}));
    EXPECT_EQ(scenekit::storedAnimationSets(),
              (std::vector<AnimationSet>{{"walk", 5, 25}, {"run", 31, 50}}));
}

TEST_F(AnimationSetUtilityTest, FramesAreStoredAsEnteredThroughTextToInteger) {
    open();
    struct Case {
        const char* start;
        const char* end;
        int startFrame, endFrame;
    };
    const Case cases[] = {
        {"30", "10", 30, 10},                              // an end before its start is kept
        {"7.9", "", 7, 0},                                 // the integer part; nothing is 0
        {"12abc", "-5", 12, -5},                           // digits up to the first letter
        {"99999999999", "-99999999999", INT_MAX, INT_MIN}, // saturated, not wrapped
    };
    for (const Case& c : cases) {
        enter("set", c.start, c.end, IDC_SET_STORE);
        ASSERT_EQ(rowCount(), 1);
        EXPECT_EQ(cell(0, 1), std::to_string(c.startFrame)) << c.start;
        EXPECT_EQ(cell(0, 2), std::to_string(c.endFrame)) << c.end;
        EXPECT_EQ(scenekit::storedAnimationSets(),
                  (std::vector<AnimationSet>{{"set", c.startFrame, c.endFrame}}))
            << c.start << " " << c.end;
    }
}

TEST_F(AnimationSetUtilityTest, SetReadsTheEditsBeforeItsOwnCellChangesRefillThem) {
    // Writing a cell announces an item change, which copies the row into the edits: frames
    // read after that would be the row's old ones.
    scenekit::storeAnimationSets({{"walk", 0, 30}});
    open();
    {
        headless::UserPlayer player;
        player.at().selectRow(IDC_SET_LIST, 0);
        play(player);
    }
    EXPECT_EQ(editText(IDC_SET_NAME), "walk");
    EXPECT_EQ(editText(IDC_SET_END), "30");
    enter("walk", "1", "2", IDC_SET_STORE);
    enter("run", "40", "60", IDC_SET_STORE);
    EXPECT_EQ(scenekit::storedAnimationSets(),
              (std::vector<AnimationSet>{{"walk", 1, 2}, {"run", 40, 60}}));
}

TEST_F(AnimationSetUtilityTest, AnEmptyNameChangesNothing) {
    scenekit::storeAnimationSets({{"walk", 0, 30}});
    open();
    for (int button : {IDC_SET_STORE, IDC_SET_DELETE})
        enter("", "1", "2", button);
    EXPECT_EQ(rowCount(), 1);
    EXPECT_EQ(scenekit::storedAnimationSets(), (std::vector<AnimationSet>{{"walk", 0, 30}}));
    EXPECT_FALSE(GetSaveRequiredFlag());
}

TEST_F(AnimationSetUtilityTest, DeleteRemovesTheRowAndTheLastOneTheWholeChunk) {
    scenekit::storeAnimationSets({{"walk", 0, 30}, {"run", 31, 50}});
    open();
    enter("swim", "", "", IDC_SET_DELETE); // not in the list: the scene is not written
    EXPECT_FALSE(GetSaveRequiredFlag());
    EXPECT_EQ(rowCount(), 2);
    enter("Walk", "", "", IDC_SET_DELETE);
    EXPECT_EQ(scenekit::storedAnimationSets(), (std::vector<AnimationSet>{{"run", 31, 50}}));
    EXPECT_TRUE(GetSaveRequiredFlag());
    enter("run", "", "", IDC_SET_DELETE);
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(chunk(), nullptr);
}

TEST_F(AnimationSetUtilityTest, AllSliderSpansEveryRowAndKeepsPlaybackRunning) {
    scenekit::storeAnimationSets({{"a", 10, 20}, {"b", 5, 15}});
    open();
    for (bool playing : {false, true}) {
        Interface* ip = GetCOREInterface();
        ip->SetAnimRange(framesToRange(0, 100));
        if (playing)
            ip->StartAnimPlayback(0);
        else
            ip->EndAnimPlayback();
        headless::UserPlayer player;
        player.at().click(IDC_ALL_SLIDER);
        play(player);
        EXPECT_EQ(ip->GetAnimRange(), framesToRange(5, 20)) << playing;
        EXPECT_EQ(ip->IsAnimPlaying() != FALSE, playing);
    }
}

TEST_F(AnimationSetUtilityTest, AllSliderOverAnEmptyListChangesNothing) {
    open();
    GetCOREInterface()->SetAnimRange(framesToRange(3, 4));
    headless::UserPlayer player;
    player.at().click(IDC_ALL_SLIDER);
    play(player);
    EXPECT_EQ(GetCOREInterface()->GetAnimRange(), framesToRange(3, 4));
}

TEST_F(AnimationSetUtilityTest, SetSliderTakesTheEditsAndNeedsBoth) {
    open();
    Interface* ip = GetCOREInterface();
    ip->SetAnimRange(framesToRange(0, 100));
    enter("", "3", "", IDC_SET_SLIDER);
    EXPECT_EQ(ip->GetAnimRange(), framesToRange(0, 100));
    enter("", "", "9", IDC_SET_SLIDER);
    EXPECT_EQ(ip->GetAnimRange(), framesToRange(0, 100));
    enter("", "3", "9", IDC_SET_SLIDER);
    EXPECT_EQ(ip->GetAnimRange(), framesToRange(3, 9));
    EXPECT_EQ(rowCount(), 0); // a slider range is not a stored set
    EXPECT_EQ(chunk(), nullptr);
}

TEST_F(AnimationSetUtilityTest, SliderTicksBeyondTheTimelineAreClampedNotWrapped) {
    open();
    Interface* ip = GetCOREInterface();
    enter("", "0", "20000000", IDC_SET_SLIDER); // 3.2e9 ticks at 160 a frame
    EXPECT_EQ(ip->GetAnimRange().Start(), 0);
    EXPECT_EQ(ip->GetAnimRange().End(), INT_MAX);
    enter("", "-20000000", "1", IDC_SET_SLIDER);
    EXPECT_EQ(ip->GetAnimRange().Start(), INT_MIN + 1);
    EXPECT_EQ(ip->GetAnimRange().End(), kTicksPerFrame);
}

TEST_F(AnimationSetUtilityTest, ARowChangeCopiesThatRowIntoTheEdits) {
    scenekit::storeAnimationSets({{"walk", 0, 30}, {"run", 31, 50}});
    open();
    headless::UserPlayer player;
    player.at().selectRow(IDC_SET_LIST, 1);
    play(player);
    EXPECT_EQ(editText(IDC_SET_NAME), "run");
    EXPECT_EQ(editText(IDC_SET_START), "31");
    EXPECT_EQ(editText(IDC_SET_END), "50");
}

TEST_F(AnimationSetUtilityTest, AnItemChangeNamingNoRowLeavesTheEditsAlone) {
    scenekit::storeAnimationSets({{"walk", 0, 30}});
    open();
    SetDlgItemTextA(dialog, IDC_SET_NAME, "typed");
    SetDlgItemTextA(dialog, IDC_SET_START, "1");
    SetDlgItemTextA(dialog, IDC_SET_END, "2");
    for (int item : {-1, 1, 7}) {
        NMLISTVIEW change{};
        change.hdr.hwndFrom = list();
        change.hdr.idFrom = IDC_SET_LIST;
        change.hdr.code = LVN_ITEMCHANGED;
        change.iItem = item;
        change.uChanged = LVIF_STATE;
        change.uNewState = LVIS_SELECTED;
        SendMessageA(dialog, WM_NOTIFY, IDC_SET_LIST, LPARAM(&change));
        EXPECT_EQ(editText(IDC_SET_NAME), "typed") << item;
        EXPECT_EQ(editText(IDC_SET_START), "1") << item;
        EXPECT_EQ(editText(IDC_SET_END), "2") << item;
    }
}

TEST_F(AnimationSetUtilityTest, LongNamesAreKeptWhole) {
    const std::string longName = "imported_" + std::string(191, 'x'); // 200 characters
    scenekit::storeAnimationSets({{longName, 0, 10}});
    open();
    EXPECT_EQ(cell(0, 0), longName);
    // A SET of another set writes every row back: the long name must survive it.
    enter("run", "11", "20", IDC_SET_STORE);
    EXPECT_EQ(scenekit::storedAnimationSets(),
              (std::vector<AnimationSet>{{longName, 0, 10}, {"run", 11, 20}}));
    // Selected, the whole name reaches the edit; typed whole, it finds its row.
    {
        headless::UserPlayer player;
        player.at().selectRow(IDC_SET_LIST, 0);
        play(player);
    }
    EXPECT_EQ(editText(IDC_SET_NAME), longName);
    enter(longName, "1", "9", IDC_SET_STORE);
    EXPECT_EQ(scenekit::storedAnimationSets(),
              (std::vector<AnimationSet>{{longName, 1, 9}, {"run", 11, 20}}));
}

TEST_F(AnimationSetUtilityTest, SetAndDeleteKeepSetsWrittenWhileTheDialogWasOpen) {
    scenekit::storeAnimationSets({{"walk", 0, 30}});
    open();
    // An import writes new sets while the dialog shows the old list.
    scenekit::storeAnimationSets({{"walk", 0, 30}, {"jump", 31, 40}});
    enter("run", "41", "60", IDC_SET_STORE);
    EXPECT_EQ(scenekit::storedAnimationSets(),
              (std::vector<AnimationSet>{{"walk", 0, 30}, {"jump", 31, 40}, {"run", 41, 60}}));
    EXPECT_EQ(rowCount(), 3);

    scenekit::storeAnimationSets({{"walk", 0, 30}, {"run", 41, 60}, {"swim", 61, 70}});
    enter("walk", "", "", IDC_SET_DELETE);
    EXPECT_EQ(scenekit::storedAnimationSets(),
              (std::vector<AnimationSet>{{"run", 41, 60}, {"swim", 61, 70}}));

    // A DELETE that finds nothing still shows what the scene holds, and writes nothing.
    scenekit::storeAnimationSets({{"fly", 1, 2}});
    SetSaveRequiredFlag(FALSE);
    enter("walk", "", "", IDC_SET_DELETE);
    EXPECT_FALSE(GetSaveRequiredFlag());
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(cell(0, 0), "fly");
}

TEST_F(AnimationSetUtilityTest, SetOnAnUnchangedSceneLeavesTheOtherRowsAsTheyWere) {
    scenekit::storeAnimationSets({{"walk", 0, 30}, {"run", 31, 50}});
    open();
    headless::UserPlayer player;
    player.at().selectRow(IDC_SET_LIST, 1);
    play(player);
    enter("jump", "51", "60", IDC_SET_STORE);
    ASSERT_EQ(rowCount(), 3);
    EXPECT_EQ(SendMessageA(list(), LVM_GETITEMSTATE, 1, LVIS_SELECTED), LVIS_SELECTED);
    EXPECT_EQ(scenekit::storedAnimationSets(),
              (std::vector<AnimationSet>{{"walk", 0, 30}, {"run", 31, 50}, {"jump", 51, 60}}));
}

TEST_F(AnimationSetUtilityTest, AStoredChunkIsReadWithinItsBounds) {
    // Count 3, one whole entry "ab" (0, 9), then a name size that runs past the end.
    storeChunk(
        {3, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 0, 0, 0, 0, 0, 9, 0, 0, 0, 0xFF, 0xFF, 0, 0, 'c'});
    open();
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(row(0), (std::vector<std::string>{"ab", "0", "9"}));
    hostcore::closeUtility();

    storeChunk({0xFE, 0xFF, 0xFF, 0xFF}); // a negative count
    open();
    EXPECT_EQ(rowCount(), 0);
    hostcore::closeUtility();

    storeChunk({1, 0}); // shorter than its count
    open();
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(AnimationSetUtilityTest, TypingInAnEditHoldsTheHostShortcutsOff) {
    open();
    headless::UserPlayer player;
    player.at().focus(IDC_SET_NAME);
    play(player);
    EXPECT_FALSE(AcceleratorsEnabled());
    headless::UserPlayer next;
    next.at().focus(IDC_SET_STORE); // the focus leaves the edit
    play(next);
    EXPECT_TRUE(AcceleratorsEnabled());
}

TEST_F(AnimationSetUtilityTest, TheCloseBoxEndsTheUtilityThroughTheHost) {
    open();
    headless::UserPlayer player;
    player.at().type(IDC_SET_START, "4").closeBox();
    play(player);
    // The host's panel called DeleteThis at once: the dialog is gone with the object, and the
    // shortcuts the edit held are back.
    EXPECT_EQ(hostcore::openUtilityObject(), nullptr);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(AcceleratorsEnabled());
}

TEST_F(AnimationSetUtilityTest, TheUtilityCanBeStartedAgainAfterClosing) {
    open();
    enter("walk", "0", "30", IDC_SET_STORE);
    hostcore::closeUtility();
    EXPECT_FALSE(IsWindow(dialog));
    open();
    ASSERT_EQ(rowCount(), 1);
    EXPECT_EQ(row(0), (std::vector<std::string>{"walk", "0", "30"}));
}

} // namespace
