// Controls of the headless host core for the program that hosts it (the lumaset program and
// tests). Plug-ins never use this header: they see the host only through the SDK headers.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control.h"
#include "maxapi.h"
#include "mesh.h"
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
// Runs the progress callback once more; does nothing when no progress display is up. The host
// itself never does (ProgressStart runs it once): this is for a hosting program that wants to.
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

// References between scene objects, as the host keeps them: `maker` takes or drops a reference
// to `target` (either may be null). A target whose last reference drops is deleted, unless
// A_LOCK_TARGET is set on it. dependentsOf lists the makers that reference a target, in the
// order they took their reference.
void takeReference(ReferenceMaker* maker, ReferenceTarget* target);
void dropReference(ReferenceMaker* maker, ReferenceTarget* target);
const std::vector<ReferenceMaker*>& dependentsOf(ReferenceTarget* target);

// Tension, continuity and bias (each nominally -1..1) of key `keyIndex` of a TCB controller (all
// 0 on new keys). FALSE, changing nothing, for another kind of controller or a key out of range.
bool setKeyTcb(Control* controller, int keyIndex, float tension, float continuity, float bias);

// Explicit normals, as an edited-normals modifier leaves them: vertex `i` keeps `normal` (made
// unit length) as its only render normal, flagged SPECIFIED_NORMAL, whatever its faces'
// smoothing groups say, from the next buildNormals on. Indices out of range are ignored.
void setSpecifiedNormal(Mesh& mesh, int i, const Point3& normal);
void clearSpecifiedNormal(Mesh& mesh, int i);
void clearSpecifiedNormals(Mesh& mesh);
bool hasSpecifiedNormal(const Mesh& mesh, int i);

} // namespace hostcore

namespace hostcore {

// One bone of a Physique vertex and its weight.
struct PhysiqueLink {
    INode* bone = nullptr;
    float weight = 1.0f;
};

// The links of one Physique vertex: its own bones (one: non-blended, several: blended), rigid
// or deformable, and floating bones that pull it as well.
struct PhysiqueVertex {
    std::vector<PhysiqueLink> links;
    bool deformable = false;
    std::vector<PhysiqueLink> floating;
};

// Initialises a Physique modifier for `node`, as the modifier's own set-up does in the host:
// the node's and the bones' node matrices at time 0 become the initial matrices, and input
// vertex i gets vertices[i] (vertices beyond the list have no links). The modifier must already
// be in the node's pipeline. FALSE, changing nothing, when `physique` is not a Physique modifier
// of that pipeline, a bone is NULL or there are more vertices given than input vertices.
bool initialisePhysique(Modifier* physique, INode* node,
                        const std::vector<PhysiqueVertex>& vertices);
// The same with rigid links only (one link: rigid, several: rigid blended).
bool initialisePhysique(Modifier* physique, INode* node,
                        const std::vector<std::vector<PhysiqueLink>>& links);

} // namespace hostcore

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

} // namespace hostcore
