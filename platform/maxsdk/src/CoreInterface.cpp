// The host's core interface: the one scene of the process, its time, selection, folders and
// progress display.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ClassTable.h"
#include "CoreAccess.h"
#include "SceneRegistry.h"
#include "control.h"
#include "hostcore.h"
#include "maxapi.h"
#include "windows.h"

namespace {

constexpr TimeValue kDefaultRangeEndTicks = 100 * 160;

std::string defaultPlugCfgDir() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) return std::string(xdg) + "/lumaset/plugcfg";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/lumaset/plugcfg";
}

std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeMainWindow() {
    static const char* const kClassName = "LumasetHostMainWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = mainWindowProc;
        windowClass.lpszClassName = kClassName;
        registered = RegisterClassA(&windowClass) != 0;
        if (!registered) return nullptr;
    }
    return CreateWindowExA(0, kClassName, "Lumaset", WS_OVERLAPPED, 0, 0, 1024, 768, nullptr,
                           nullptr, nullptr, nullptr);
}

class CoreInterface : public Interface {
public:
    CoreInterface() { makeScene(); }

    INode* GetRootNode() override { return root; }
    ReferenceTarget* GetScenePointer() override { return scene; }

    INode* GetINodeByName(const TCHAR* name) override {
        if (!name) return nullptr;
        for (INode* node : hostcore::allNodes())
            if (std::string(node->GetName()) == name) return node;
        return nullptr;
    }

    INode* CreateObjectNode(Object* obj) override {
        auto* node = new INode;
        node->SetObjectRef(obj);
        root->AttachChild(node, 0);
        return node;
    }

    Interval GetAnimRange() override { return animRange; }
    void SetAnimRange(Interval range) override { animRange = range; }
    TimeValue GetTime() override { return currentTime; }
    void SetTime(TimeValue t, BOOL) override { currentTime = t; }
    BOOL IsAnimPlaying() override { return playing; }
    void StartAnimPlayback(int) override { playing = TRUE; }
    void EndAnimPlayback() override { playing = FALSE; }

    // The host's main window: a window of the headless window system, made on first demand
    // unless the hosting program gave its own.
    HWND GetMAXHWnd() override {
        if (!mainWindow || !IsWindow(mainWindow)) mainWindow = makeMainWindow();
        return mainWindow;
    }

    TCHAR* GetDir(int which) override {
        if (which < 0 || which >= APP_DIR_COUNT) return nullptr;
        std::string& dir = dirs[size_t(which)];
        if (which == APP_PLUGCFG_DIR) {
            std::string path =
                configured[size_t(which)].empty() ? defaultPlugCfgDir() : configured[size_t(which)];
            dir = withoutTrailingSeparator(path);
            std::error_code ignored;
            std::filesystem::create_directories(dir, ignored);
        } else if (configured[size_t(which)].empty()) {
            std::error_code failed;
            std::filesystem::path cwd = std::filesystem::current_path(failed);
            dir = failed ? std::string(".") : cwd.string();
        } else {
            dir = withoutTrailingSeparator(configured[size_t(which)]);
        }
        return dir.data();
    }

    BOOL ProgressStart(const TCHAR* title, BOOL dispBar, LPTHREAD_START_ROUTINE fn,
                       LPVOID arg) override {
        progress = hostcore::ProgressView{true, dispBar != 0, title ? title : "", 0};
        progressFn = fn;
        progressArg = arg;
        cancel = FALSE;
        showProgress();
        if (progressFn) progressFn(progressArg);
        return TRUE;
    }

    void ProgressUpdate(int pct, BOOL showPct, const TCHAR* title) override {
        if (!progress.shown) return;
        progress.percent = pct < 0 ? 0 : (pct > 99 ? 99 : pct);
        if (!showPct && title) progress.title = title;
        showProgress();
    }

    void ProgressEnd() override {
        if (!progress.shown) return;
        progress = hostcore::ProgressView();
        progressFn = nullptr;
        progressArg = nullptr;
        showProgress();
    }

    BOOL GetCancel() override { return cancel; }
    void SetCancel(BOOL sw) override { cancel = sw; }

    void* CreateInstance(SClass_ID superID, Class_ID classID) override {
        return hostcore::detail::createInstance(superID, classID);
    }

    void SelectNode(INode* node, int clearSel) override {
        if (clearSel) selection.clear();
        if (node && !node->IsRootNode() && !contains(node)) selection.push_back(node);
    }
    void DeSelectNode(INode* node) override { std::erase(selection, node); }
    void ClearNodeSelection(BOOL) override { selection.clear(); }
    int GetSelNodeCount() override { return int(selection.size()); }
    INode* GetSelNode(int i) override {
        return i >= 0 && i < int(selection.size()) ? selection[size_t(i)] : nullptr;
    }

    void RedrawViews(TimeValue, DWORD, ReferenceTarget*) override {}

    // Host-side controls.
    void pumpProgress() {
        if (progress.shown && progressFn) progressFn(progressArg);
    }
    void reset() {
        hostcore::detail::deleteAllTargets();
        selection.clear();
        makeScene();
    }

    hostcore::ProgressView progress;
    std::function<void(const hostcore::ProgressView&)> progressObserver;
    HWND mainWindow = nullptr;
    std::string configured[APP_DIR_COUNT];
    std::vector<std::string> mapFolders;
    std::string sceneFolder;
    BOOL accelerators = TRUE;
    BOOL saveRequired = FALSE;

private:
    void makeScene() {
        root = new INode;
        hostcore::detail::CoreAccess::makeRoot(*root);
        root->SetName("Scene Root");
        scene = new SceneObject;
        animRange = Interval(0, kDefaultRangeEndTicks);
        currentTime = 0;
        playing = FALSE;
        AnimateOff();
    }
    void showProgress() {
        if (progressObserver) progressObserver(progress);
    }
    bool contains(INode* node) const {
        for (INode* selected : selection)
            if (selected == node) return true;
        return false;
    }

    // The scene as an animatable, carrier of scene-wide application data.
    class SceneObject : public ReferenceTarget {
    public:
        Class_ID ClassID() override { return Class_ID(0x1234, 0); }
    };

    INode* root = nullptr;
    ReferenceTarget* scene = nullptr;
    Interval animRange;
    TimeValue currentTime = 0;
    BOOL playing = FALSE;
    std::vector<INode*> selection;
    std::string dirs[APP_DIR_COUNT];
    LPTHREAD_START_ROUTINE progressFn = nullptr;
    LPVOID progressArg = nullptr;
    BOOL cancel = FALSE;
};

// Never destroyed (see the registry): the scene outlives every static destructor.
CoreInterface& core() {
    static CoreInterface* instance = new CoreInterface;
    return *instance;
}

// Depth first in child order, with an explicit stack: hierarchies may be deep.
void collectNodes(INode* root, std::vector<INode*>& nodes) {
    std::vector<INode*> pending;
    for (int i = root->NumberOfChildren() - 1; i >= 0; --i)
        pending.push_back(root->GetChildNode(i));
    while (!pending.empty()) {
        INode* node = pending.back();
        pending.pop_back();
        nodes.push_back(node);
        for (int i = node->NumberOfChildren() - 1; i >= 0; --i)
            pending.push_back(node->GetChildNode(i));
    }
}

} // namespace

Interface* GetCOREInterface() {
    return &core();
}

void* CreateInstance(SClass_ID superID, Class_ID classID) {
    return core().CreateInstance(superID, classID);
}

void DisableAccelerators() {
    core().accelerators = FALSE;
}
void EnableAccelerators() {
    core().accelerators = TRUE;
}
BOOL AcceleratorsEnabled() {
    return core().accelerators;
}

void SetSaveRequiredFlag(BOOL b) {
    core().saveRequired = b ? TRUE : FALSE;
}
BOOL GetSaveRequiredFlag() {
    return core().saveRequired;
}
BOOL IsSaveRequired() {
    return core().saveRequired;
}

namespace hostcore {

void setDir(int which, const std::string& path) {
    if (which >= 0 && which < APP_DIR_COUNT) core().configured[size_t(which)] = path;
}

void setMainWindow(HWND window) {
    core().mainWindow = window;
}

void setProgressObserver(std::function<void(const ProgressView&)> observer) {
    core().progressObserver = std::move(observer);
}

const ProgressView& progressView() {
    return core().progress;
}

void pumpProgress() {
    core().pumpProgress();
}

void setMapPaths(const std::vector<std::string>& folders) {
    core().mapFolders = folders;
}
const std::vector<std::string>& mapPaths() {
    return core().mapFolders;
}
void setSceneFolder(const std::string& folder) {
    core().sceneFolder = folder;
}
const std::string& sceneFolder() {
    return core().sceneFolder;
}

void resetScene() {
    core().reset();
}

std::vector<INode*> allNodes() {
    std::vector<INode*> nodes;
    collectNodes(core().GetRootNode(), nodes);
    return nodes;
}

} // namespace hostcore
