#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "maxapi.h"
#include "windows.h"

namespace {

using CoreInterfaceTest = HostSceneTest;

TEST_F(CoreInterfaceTest, OneCoreInterfacePerProcessWithAnEmptySceneUnderTheRoot) {
    Interface* ip = GetCOREInterface();
    ASSERT_NE(ip, nullptr);
    EXPECT_EQ(GetCOREInterface(), ip);
    INode* root = ip->GetRootNode();
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->IsRootNode());
    EXPECT_EQ(root->GetParentNode(), nullptr);
    EXPECT_EQ(root->NumberOfChildren(), 0);
    EXPECT_NE(ip->GetScenePointer(), nullptr);
    HWND mainWindow = ip->GetMAXHWnd(); // a real window of the window system, always the same
    ASSERT_NE(mainWindow, nullptr);
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_EQ(ip->GetMAXHWnd(), mainWindow);
}

TEST_F(CoreInterfaceTest, AnimationRangeDefaultsToFramesZeroToHundredAndCanBeSet) {
    Interface* ip = GetCOREInterface();
    EXPECT_EQ(GetTicksPerFrame(), 160);
    EXPECT_EQ(ip->GetAnimRange().Start(), 0);
    EXPECT_EQ(ip->GetAnimRange().End(), 16000);
    ip->SetAnimRange(Interval(1600, 3200));
    EXPECT_EQ(ip->GetAnimRange().Start(), 1600);
    EXPECT_EQ(ip->GetAnimRange().End(), 3200);

    EXPECT_FALSE(ip->IsAnimPlaying());
    ip->StartAnimPlayback();
    EXPECT_TRUE(ip->IsAnimPlaying());
    ip->EndAnimPlayback();
    EXPECT_FALSE(ip->IsAnimPlaying());
}

TEST_F(CoreInterfaceTest, PlugInConfigurationFolderFollowsXdgAndIsCreated) {
    std::filesystem::path base =
        std::filesystem::temp_directory_path() / "lumaset-hostcore-plugcfg";
    std::filesystem::remove_all(base);
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    std::string savedValue = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", base.c_str(), 1);

    TCHAR* dir = GetCOREInterface()->GetDir(APP_PLUGCFG_DIR);
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(std::string(dir), (base / "lumaset/plugcfg").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir));

    // A configured folder wins, without its trailing separator, and is created too.
    hostcore::setDir(APP_PLUGCFG_DIR, (base / "elsewhere/").string());
    dir = GetCOREInterface()->GetDir(APP_PLUGCFG_DIR);
    EXPECT_EQ(std::string(dir), (base / "elsewhere").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    hostcore::setDir(APP_PLUGCFG_DIR, "");

    EXPECT_EQ(GetCOREInterface()->GetDir(-1), nullptr);
    EXPECT_EQ(GetCOREInterface()->GetDir(APP_DIR_COUNT), nullptr);

    if (saved)
        setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(base);
}

struct PumpLog {
    int calls = 0;
};

DWORD WINAPI countPump(LPVOID arg) {
    static_cast<PumpLog*>(arg)->calls++;
    return 0;
}

TEST_F(CoreInterfaceTest, ProgressCallbackRunsOnceAtStartAndNeverOnUpdates) {
    Interface* ip = GetCOREInterface();
    PumpLog log;
    std::vector<hostcore::ProgressView> seen;
    hostcore::setProgressObserver(
        [&](const hostcore::ProgressView& view) { seen.push_back(view); });

    TCHAR title[] = "Reading X-File.";
    EXPECT_TRUE(ip->ProgressStart(title, TRUE, countPump, &log));
    EXPECT_EQ(log.calls, 1); // once, synchronously, before ProgressStart returns
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(seen.back().shown);
    EXPECT_TRUE(seen.back().showBar);
    EXPECT_EQ(seen.back().title, "Reading X-File.");

    TCHAR converting[] = "Object Converting.";
    ip->ProgressUpdate(10, FALSE, converting);
    EXPECT_EQ(log.calls, 1); // an update shows, it does not call back
    EXPECT_EQ(seen.back().percent, 10);
    EXPECT_EQ(seen.back().title, "Object Converting.");
    ip->ProgressUpdate(40, TRUE, nullptr); // a shown percentage keeps the text
    EXPECT_EQ(seen.back().title, "Object Converting.");
    EXPECT_EQ(log.calls, 1);
    hostcore::pumpProgress(); // only a hosting program's explicit pump runs it again
    EXPECT_EQ(log.calls, 2);

    ip->ProgressEnd();
    EXPECT_FALSE(seen.back().shown);
    hostcore::pumpProgress();
    ip->ProgressUpdate(50);
    EXPECT_EQ(log.calls, 2); // nothing is pumped once the display is gone
    hostcore::setProgressObserver(nullptr);
}

// Chunks are malloc'ed by the caller and freed by the host; the leak checker sees the rest.
void* chunkWith(const char* text) {
    void* data = std::malloc(std::strlen(text) + 1);
    std::memcpy(data, text, std::strlen(text) + 1);
    return data;
}

TEST_F(CoreInterfaceTest, AppDataChunksRoundTripAndTheOldestDuplicateWins) {
    ReferenceTarget* scene = GetCOREInterface()->GetScenePointer();
    const Class_ID owner(0x760F2E41, 0x41CA01C3);
    EXPECT_EQ(scene->GetAppDataChunk(owner, UTILITY_CLASS_ID, 0), nullptr);

    scene->AddAppDataChunk(owner, UTILITY_CLASS_ID, 0, 6, chunkWith("first"));
    scene->AddAppDataChunk(owner, UTILITY_CLASS_ID, 1, 6, chunkWith("other"));
    AppDataChunk* chunk = scene->GetAppDataChunk(owner, UTILITY_CLASS_ID, 0);
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(chunk->length, 6u);
    EXPECT_STREQ(static_cast<const char*>(chunk->data), "first");
    EXPECT_EQ(scene->GetAppDataChunk(owner, UTILITY_CLASS_ID + 1, 0),
              nullptr); // the key is the whole triple

    // Adding under an existing key appends; lookups keep finding the oldest.
    scene->AddAppDataChunk(owner, UTILITY_CLASS_ID, 0, 7, chunkWith("second"));
    EXPECT_STREQ(static_cast<const char*>(scene->GetAppDataChunk(owner, UTILITY_CLASS_ID, 0)->data),
                 "first");
    EXPECT_TRUE(scene->RemoveAppDataChunk(owner, UTILITY_CLASS_ID, 0));
    EXPECT_STREQ(static_cast<const char*>(scene->GetAppDataChunk(owner, UTILITY_CLASS_ID, 0)->data),
                 "second");
    EXPECT_TRUE(scene->RemoveAppDataChunk(owner, UTILITY_CLASS_ID, 0));
    EXPECT_FALSE(scene->RemoveAppDataChunk(owner, UTILITY_CLASS_ID, 0));
    EXPECT_NE(scene->GetAppDataChunk(owner, UTILITY_CLASS_ID, 1), nullptr);

    // Nodes carry chunks too; deleting the owner (a scene reset) frees them.
    INode* node = GetCOREInterface()->CreateObjectNode(nullptr);
    node->AddAppDataChunk(owner, UTILITY_CLASS_ID, 0, 6, chunkWith("node!"));
    hostcore::resetScene();
    EXPECT_EQ(GetCOREInterface()->GetScenePointer()->GetAppDataChunk(owner, UTILITY_CLASS_ID, 1),
              nullptr);
}

TEST_F(CoreInterfaceTest, SelectionAcceleratorsAndSaveFlag) {
    Interface* ip = GetCOREInterface();
    INode* a = ip->CreateObjectNode(nullptr);
    INode* b = ip->CreateObjectNode(nullptr);
    ip->SelectNode(a);
    ip->SelectNode(b, 0);
    EXPECT_EQ(ip->GetSelNodeCount(), 2);
    EXPECT_TRUE(a->Selected());
    ip->SelectNode(b); // clears the selection first
    EXPECT_EQ(ip->GetSelNodeCount(), 1);
    EXPECT_EQ(ip->GetSelNode(0), b);
    EXPECT_FALSE(a->Selected());
    EXPECT_EQ(ip->GetSelNode(1), nullptr);

    EXPECT_TRUE(AcceleratorsEnabled());
    DisableAccelerators();
    DisableAccelerators();
    EXPECT_FALSE(AcceleratorsEnabled());
    EnableAccelerators(); // a switch, not a counter
    EXPECT_TRUE(AcceleratorsEnabled());

    SetSaveRequiredFlag(TRUE);
    EXPECT_TRUE(IsSaveRequired());
    SetSaveRequiredFlag(FALSE);
    EXPECT_FALSE(GetSaveRequiredFlag());
}

} // namespace
