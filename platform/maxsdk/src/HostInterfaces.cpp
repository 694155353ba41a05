// What the host hands plug-ins besides the core interface: the import interface with its node
// wrappers, the export interface with its scene walker, the utilities panel, and the table of
// plug-in classes.
#include <algorithm>
#include <memory>
#include <vector>

#include "hostcore.h"
#include "impexp.h"
#include "maxapi.h"
#include "plugin.h"
#include "utilapi.h"

namespace {

class ImportNode : public ImpNode {
public:
    ImportNode() : node(new INode) {}

    RefResult Reference(ObjectHandle obj) override {
        if (!node) return REF_FAIL;
        node->SetObjectRef(obj);
        return REF_SUCCEED;
    }
    void SetTransform(TimeValue t, Matrix3 tm) override {
        if (node) node->SetNodeTM(t, tm);
    }
    void SetName(const TCHAR* newname) override {
        if (node) node->SetName(newname);
    }
    // The pivot sits at `p` in object space: the geometry moves by -p relative to it.
    void SetPivot(Point3 p) override {
        if (node) node->SetObjOffsetPos(Point3(-p.x, -p.y, -p.z));
    }
    INode* GetINode() override { return node; }

private:
    INode* node;
};

class ImportInterface : public ImpInterface {
public:
    ImpNode* CreateNode() override {
        wrappers.push_back(std::make_unique<ImportNode>());
        return wrappers.back().get();
    }
    void AddNodeToScene(ImpNode* node) override {
        if (node && node->GetINode())
            GetCOREInterface()->GetRootNode()->AttachChild(node->GetINode(), 1);
    }
    void RedrawViews() override {}
    void SetAnimRange(Interval& range) override { GetCOREInterface()->SetAnimRange(range); }
    Interval GetAnimRange() override { return GetCOREInterface()->GetAnimRange(); }
    int NewScene() override {
        wrappers.clear();
        hostcore::resetScene();
        return 1;
    }
    void* Create(SClass_ID sclass, Class_ID classid) override {
        return GetCOREInterface()->CreateInstance(sclass, classid);
    }

private:
    std::vector<std::unique_ptr<ImportNode>> wrappers;
};

class SceneWalker : public IScene {
public:
    // Depth first in child order, parents before children; an explicit stack, because
    // hierarchies may be deep. 1 when the visitor aborted.
    int EnumTree(ITreeEnumProc* proc) override {
        if (!proc) return 0;
        std::vector<INode*> pending;
        pushChildren(GetCOREInterface()->GetRootNode(), pending);
        while (!pending.empty()) {
            INode* node = pending.back();
            pending.pop_back();
            int result = proc->callback(node);
            if (result == TREE_ABORT) return 1;
            if (result != TREE_IGNORECHILDREN) pushChildren(node, pending);
        }
        return 0;
    }

private:
    static void pushChildren(INode* node, std::vector<INode*>& pending) {
        for (int i = node->NumberOfChildren() - 1; i >= 0; --i)
            pending.push_back(node->GetChildNode(i));
    }
};

class ExportInterface : public ExpInterface {
public:
    ExportInterface() { theScene = &walker; }

private:
    SceneWalker walker;
};

class UtilityPanel : public IUtil {
public:
    void CloseUtility() override { close(); }

    void open(UtilityObj* utility) {
        close();
        if (!utility) return;
        current = utility;
        current->BeginEditParams(GetCOREInterface(), this);
    }
    void close() {
        UtilityObj* closing = current;
        if (!closing) return;
        current = nullptr; // a utility that closes itself again from EndEditParams is ignored
        closing->EndEditParams(GetCOREInterface(), this);
        closing->DeleteThis();
    }
    UtilityObj* openObject() { return current; }

private:
    UtilityObj* current = nullptr;
};

UtilityPanel& panel() {
    static UtilityPanel* instance = new UtilityPanel;
    return *instance;
}

std::vector<ClassDesc*>& pluginClasses() {
    static auto* classes = new std::vector<ClassDesc*>;
    return *classes;
}

} // namespace

namespace hostcore {

void registerClass(ClassDesc* cd) {
    if (cd &&
        std::find(pluginClasses().begin(), pluginClasses().end(), cd) == pluginClasses().end())
        pluginClasses().push_back(cd);
}

void unregisterClass(ClassDesc* cd) {
    std::erase(pluginClasses(), cd);
}

std::unique_ptr<ImpInterface> newImportInterface() {
    return std::make_unique<ImportInterface>();
}
std::unique_ptr<ExpInterface> newExportInterface() {
    return std::make_unique<ExportInterface>();
}

IUtil* utilityPanel() {
    return &panel();
}
void openUtility(UtilityObj* utility) {
    panel().open(utility);
}
void closeUtility() {
    panel().close();
}
UtilityObj* openUtilityObject() {
    return panel().openObject();
}

} // namespace hostcore

namespace hostcore::detail {

void* createPluginInstance(SClass_ID superID, Class_ID classID) {
    for (ClassDesc* cd : pluginClasses())
        if (cd->SuperClassID() == superID && cd->ClassID() == classID) return cd->Create(FALSE);
    return nullptr;
}

} // namespace hostcore::detail
