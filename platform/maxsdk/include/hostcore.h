// Controls of the headless host core for the program that hosts it (the lumaset program and
// tests). Plug-ins never use this header: they see the host only through the SDK headers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "maxapi.h"
#include "object.h"

namespace hostcore {

// Sets a folder that GetDir answers (APP_*_DIR); an empty path restores the default. The
// plug-in configuration folder defaults to $XDG_CONFIG_HOME/lumaset/plugcfg, or
// ~/.config/lumaset/plugcfg, and is created when GetDir first returns it; the other folders
// default to the current directory.
void setDir(int which, const std::string& path);

// The window the host reports as its main window (GetMAXHWnd). Without one, the core makes a
// hidden top-level window of the headless window system the first time it is asked.
void setMainWindow(HWND window);

// What the host shows of its progress display: every change is reported here (the lumaset
// program draws a terminal progress bar from it).
struct ProgressView {
    bool shown = false;
    bool showBar = false;
    std::string title;
    int percent = 0;
};
void setProgressObserver(std::function<void(const ProgressView&)> observer);
const ProgressView& progressView();
// Runs the progress callback once, as the host's message pump does while progress is shown;
// does nothing when no progress display is up.
void pumpProgress();

// Folders searched for bitmaps after the name as given and the scene folder (BMMGetFullFilename).
void setMapPaths(const std::vector<std::string>& folders);
const std::vector<std::string>& mapPaths();
// The folder the current scene was loaded from ("" when none).
void setSceneFolder(const std::string& folder);
const std::string& sceneFolder();

// Deletes the whole scene (nodes, objects, materials, controllers, application data) and
// restores a new empty one: frames 0..100, time 0, animate mode off, no selection.
void resetScene();

// The scene's nodes under the root, depth first in child order.
std::vector<INode*> allNodes();

}  // namespace hostcore

namespace hostcore {

// One bone of a Physique vertex and its weight.
struct PhysiqueLink {
    INode* bone = nullptr;
    float weight = 1.0f;
};

// Initialises a Physique modifier for `node`, as the modifier's own set-up does in the host:
// the node's and the bones' node matrices at time 0 become the initial matrices, and input
// vertex i is linked to links[i] (one link: rigid, several: rigid blended). The modifier must
// already be in the node's pipeline. FALSE, changing nothing, when `physique` is not a Physique
// modifier of that pipeline, a bone is NULL or there are more vertex lists than input vertices.
bool initialisePhysique(Modifier* physique, INode* node, const std::vector<std::vector<PhysiqueLink>>& links);

}  // namespace hostcore

class ClassDesc;
class ExpInterface;
class ImpInterface;
class IUtil;
class UtilityObj;

namespace hostcore {

// Plug-in classes the host can create (CreateInstance asks their descriptors' Create(FALSE)).
// The descriptor stays the plug-in's; unregister it before its library is unloaded.
void registerClass(ClassDesc* cd);
void unregisterClass(ClassDesc* cd);

// The interfaces the host hands an importer and an exporter. An import interface owns the node
// wrappers it makes; they live as long as it does (one import).
std::unique_ptr<ImpInterface> newImportInterface();
std::unique_ptr<ExpInterface> newExportInterface();

// The utilities panel. openUtility closes the open utility (if any), then calls
// BeginEditParams on `utility`; closeUtility (also IUtil::CloseUtility) calls EndEditParams and
// DeleteThis on the open one.
IUtil* utilityPanel();
void openUtility(UtilityObj* utility);
void closeUtility();
UtilityObj* openUtilityObject();

}  // namespace hostcore
