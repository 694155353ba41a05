#include <string>
#include <vector>

#include "HostTestSupport.h"
#include "IVertexPaint.h"
#include "SceneKit.h"
#include "bipexp.h"
#include "impexp.h"
#include "iskin.h"
#include "phyexp.h"
#include "plugin.h"
#include "utilapi.h"
#include "windows.h"

namespace {

using HostInterfacesTest = HostSceneTest;
using namespace scenekit;

TEST_F(HostInterfacesTest, ImportInterfaceBuildsNodesThatJoinTheSceneWhenAdded) {
    auto ii = hostcore::newImportInterface();
    ImpNode* parent = ii->CreateNode();
    ImpNode* child = ii->CreateNode();
    parent->SetName("Parent");
    child->SetName("Child");
    parent->SetTransform(0, translation(0, 0, 5));
    child->SetTransform(0, translation(1, 0, 0)); // relative to its coming parent
    EXPECT_EQ(parent->Reference(CreateNewTriObject()), REF_SUCCEED);
    EXPECT_EQ(GetCOREInterface()->GetRootNode()->NumberOfChildren(), 0); // not in the scene yet

    parent->GetINode()->AttachChild(child->GetINode(), 1);
    ii->AddNodeToScene(parent);
    INode* root = GetCOREInterface()->GetRootNode();
    ASSERT_EQ(root->NumberOfChildren(), 1);
    EXPECT_STREQ(root->GetChildNode(0)->GetName(), "Parent");
    EXPECT_EQ(child->GetINode()->GetParentNode(), parent->GetINode());
    EXPECT_TRUE(pointNear(child->GetINode()->GetNodeTM(0).GetTrans(), Point3(1, 0, 0)));
    EXPECT_TRUE(pointNear(parent->GetINode()->GetNodeTM(0).GetTrans(), Point3(0, 0, 5)));
    EXPECT_EQ(parent->GetINode()->GetObjectRef()->ClassID(), triObjectClassID);
}

struct Visitor : ITreeEnumProc {
    std::vector<std::string> seen;
    std::string skipBelow, stopAt;
    int callback(INode* node) override {
        seen.push_back(node->GetName());
        if (seen.back() == stopAt) return TREE_ABORT;
        return seen.back() == skipBelow ? TREE_IGNORECHILDREN : TREE_CONTINUE;
    }
};

TEST_F(HostInterfacesTest, ExportInterfaceVisitsEveryNodeParentsFirst) {
    INode* a = makeNode("a");
    makeNode("a1", nullptr, a);
    makeNode("b");
    auto ei = hostcore::newExportInterface();
    Visitor all;
    EXPECT_EQ(ei->theScene->EnumTree(&all), 0);
    EXPECT_EQ(all.seen, (std::vector<std::string>{"a", "a1", "b"}));
    Visitor skipping;
    skipping.skipBelow = "a";
    ei->theScene->EnumTree(&skipping);
    EXPECT_EQ(skipping.seen, (std::vector<std::string>{"a", "b"}));
    Visitor stopping;
    stopping.stopAt = "a1";
    EXPECT_NE(ei->theScene->EnumTree(&stopping), 0);
    EXPECT_EQ(stopping.seen.size(), 2u);
}

struct RecordingUtility : UtilityObj {
    std::vector<std::string>* log;
    explicit RecordingUtility(std::vector<std::string>* l) : log(l) {}
    void BeginEditParams(Interface* ip, IUtil* iu) override {
        log->push_back(ip == GetCOREInterface() && iu == hostcore::utilityPanel() ? "begin"
                                                                                  : "begin?");
    }
    void EndEditParams(Interface*, IUtil*) override { log->push_back("end"); }
    void DeleteThis() override {
        log->push_back("delete");
        delete this;
    }
};

TEST_F(HostInterfacesTest, CloseUtilityEndsAndDeletesTheOpenUtility) {
    std::vector<std::string> log;
    hostcore::openUtility(new RecordingUtility(&log));
    EXPECT_NE(hostcore::openUtilityObject(), nullptr);
    hostcore::utilityPanel()->CloseUtility();
    EXPECT_EQ(log, (std::vector<std::string>{"begin", "end", "delete"}));
    EXPECT_EQ(hostcore::openUtilityObject(), nullptr);
    hostcore::utilityPanel()->CloseUtility(); // nothing open: nothing happens
    EXPECT_EQ(log.size(), 3u);
}

// A utility with a window of its own, whose close box closes the utility through the panel:
// the panel ends it (the window goes) and deletes it while its window procedure still runs.
struct WindowedUtility : UtilityObj {
    std::vector<std::string>* log;
    IUtil* panel = nullptr;
    HWND window = nullptr;
    explicit WindowedUtility(std::vector<std::string>* l) : log(l) {}

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CLOSE) {
            auto* self = reinterpret_cast<WindowedUtility*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            if (self) self->panel->CloseUtility(); // `self` is gone after this
            return 0;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    void BeginEditParams(Interface* ip, IUtil* iu) override {
        panel = iu;
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = procedure;
            windowClass.lpszClassName = "WindowedUtilityPanel";
            registered = RegisterClassA(&windowClass) != 0;
        }
        window = CreateWindowExA(0, "WindowedUtilityPanel", "Utility", WS_OVERLAPPED, 0, 0, 200,
                                 100, ip->GetMAXHWnd(), nullptr, nullptr, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        log->push_back("begin");
    }
    void EndEditParams(Interface*, IUtil*) override {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
        log->push_back("end");
    }
    void DeleteThis() override {
        log->push_back("delete");
        delete this;
    }
};

TEST_F(HostInterfacesTest, AUtilityClosedFromItsOwnWindowProcedureEndsAndGoesSafely) {
    std::vector<std::string> log;
    auto* utility = new WindowedUtility(&log);
    hostcore::openUtility(utility);
    HWND window = utility->window;
    ASSERT_TRUE(IsWindow(window));
    SendMessageA(window, WM_CLOSE, 0, 0); // the user's click on the close box
    EXPECT_EQ(log, (std::vector<std::string>{"begin", "end", "delete"}));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(hostcore::openUtilityObject(), nullptr);
    // A second utility opens as usual afterwards; opening closes the one before.
    hostcore::openUtility(new WindowedUtility(&log));
    hostcore::openUtility(new RecordingUtility(&log));
    EXPECT_EQ(log.size(), 7u); // begin, end, delete of the second, then begin
    hostcore::closeUtility();
}

TEST_F(HostInterfacesTest, EveryClassThePlugInCreatesExists) {
    struct Wanted {
        SClass_ID super;
        Class_ID id;
    };
    const Wanted classes[] = {
        {GEOMOBJECT_CLASS_ID, Class_ID(0x28BF6E8D, 0x2ECCA840)}, // bone
        {GEOMOBJECT_CLASS_ID, Class_ID(TRIOBJ_CLASS_ID, 0)},
        {OSM_CLASS_ID, Class_ID(0x95C723, 0x15666)},      // skin
        {OSM_CLASS_ID, Class_ID(0x100, 0)},               // Physique
        {OSM_CLASS_ID, Class_ID(0x7EBB4645, 0x7BE2044B)}, // vertex paint
        {TEXMAP_CLASS_ID, Class_ID(0x934851, 0)},         // vertex colour map
        {TEXMAP_CLASS_ID, Class_ID(BMTEX_CLASS_ID, 0)},
        {MATERIAL_CLASS_ID, Class_ID(DMTL_CLASS_ID, 0)},
        {MATERIAL_CLASS_ID, Class_ID(MULTI_CLASS_ID, 0)},
        {CTRL_MATRIX3_CLASS_ID, Class_ID(PRS_CONTROL_CLASS_ID, 0)},
        {CTRL_MATRIX3_CLASS_ID, Class_ID(0x9156, 0)}, // biped body
    };
    for (const Wanted& wanted : classes) {
        auto* made =
            static_cast<Animatable*>(GetCOREInterface()->CreateInstance(wanted.super, wanted.id));
        ASSERT_NE(made, nullptr) << std::hex << wanted.id.PartA();
        EXPECT_EQ(made->ClassID(), wanted.id);
        EXPECT_EQ(made->SuperClassID(), wanted.super);
    }
    EXPECT_EQ(CreateInstance(OSM_CLASS_ID, Class_ID(1, 2)), nullptr);
}

struct PluginThing : ClassDesc {
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return &instances.emplace_back(7); }
    const TCHAR* ClassName() override { return "Thing"; }
    SClass_ID SuperClassID() override { return UTILITY_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x1234, 0x5678); }
    const TCHAR* Category() override { return "Tests"; }
    std::vector<int> instances = std::vector<int>();
};

TEST_F(HostInterfacesTest, RegisteredPlugInClassesAreCreatedThroughTheirDescriptor) {
    PluginThing descriptor;
    descriptor.instances.reserve(4);
    EXPECT_EQ(CreateInstance(UTILITY_CLASS_ID, Class_ID(0x1234, 0x5678)), nullptr);
    hostcore::registerClass(&descriptor);
    void* made = CreateInstance(UTILITY_CLASS_ID, Class_ID(0x1234, 0x5678));
    EXPECT_EQ(made, &descriptor.instances.front());
    hostcore::unregisterClass(&descriptor);
    EXPECT_EQ(CreateInstance(UTILITY_CLASS_ID, Class_ID(0x1234, 0x5678)), nullptr);
}

// An object that tells when it is deleted.
struct WatchedObject : GeomObject {
    bool* deleted;
    explicit WatchedObject(bool* flag) : deleted(flag) {}
    ~WatchedObject() override { *deleted = true; }
};

TEST_F(HostInterfacesTest, ObjectsLiveWhileReferencedOrLocked) {
    bool firstDeleted = false, secondDeleted = false;
    INode* node = makeNode("Node", new WatchedObject(&firstDeleted));
    // The usual way: the derived object is built over the old object before the swap.
    IDerivedObject* derived = CreateDerivedObject(node->GetObjectRef());
    node->SetObjectRef(derived);
    EXPECT_FALSE(firstDeleted);
    EXPECT_EQ(derived->GetObjRef()->ClassID(), Class_ID(0, 0));

    // Replacing an object nothing else references deletes it: the derived object goes, and
    // with it its reference to the first object.
    auto* second = new WatchedObject(&secondDeleted);
    node->SetObjectRef(second);
    EXPECT_TRUE(firstDeleted);
    EXPECT_FALSE(secondDeleted);
    node->SetObjectRef(CreateNewTriObject());
    EXPECT_TRUE(secondDeleted);

    // ...unless it is locked.
    bool lockedDeleted = false;
    auto* locked = new WatchedObject(&lockedDeleted);
    node->SetObjectRef(locked);
    locked->SetAFlag(A_LOCK_TARGET);
    EXPECT_TRUE(locked->TestAFlag(0x08000000));
    node->SetObjectRef(nullptr);
    EXPECT_FALSE(lockedDeleted);
    locked->ClearAFlag(A_LOCK_TARGET);
}

TEST_F(HostInterfacesTest, ModifierStackOrderConversionAndVertexPaintOptions) {
    INode* box = makeBox("Box");
    IDerivedObject* derived = derivedObject(box);
    EXPECT_EQ(derived->SuperClassID(), ULONG(GEN_DERIVOB_CLASS_ID));
    auto* first =
        static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, Class_ID(0x7EBB4645, 0x7BE2044B)));
    auto* second =
        static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, Class_ID(0x7EBB4645, 0x7BE2044B)));
    derived->AddModifier(first);
    derived->AddModifier(second, nullptr, 0);
    ASSERT_EQ(derived->NumModifiers(), 2);
    EXPECT_EQ(derived->GetModifier(0), second); // index 0 is the top
    EXPECT_EQ(derived->GetModifier(1), first);
    EXPECT_NE(derived->GetModContext(0), nullptr);
    EXPECT_EQ(derived->GetModifier(2), nullptr);

    auto* paint = static_cast<IVertexPaint*>(first->GetInterface(IVERTEXPAINT_INTERFACE_ID));
    ASSERT_NE(paint, nullptr);
    IVertexPaint::Options options;
    paint->GetOptions(options);
    options.mapChannel = 2;
    paint->SetOptions(options);
    IVertexPaint::Options readBack;
    paint->GetOptions(readBack);
    EXPECT_EQ(readBack.mapChannel, 2);
    int firstWord = 0;
    std::memcpy(&firstWord, &readBack, sizeof firstWord);
    EXPECT_EQ(firstWord, 2); // the channel is the record's first 32-bit value

    // A fresh vertex paint modifier passes the mesh through; colours set for the node land
    // in its channel.
    Mesh evaluated = evaluatedMesh(box, 0);
    EXPECT_EQ(evaluated.getNumVerts(), 8);
    EXPECT_FALSE(evaluated.mapSupport(2));
    std::vector<Color> colours(8, Color(0.25f, 0.5f, 1.0f));
    IVertexPaint::VertColorTab table;
    for (Color& c : colours) {
        Color* p = &c;
        table.Append(1, &p);
    }
    EXPECT_EQ(paint->SetColors(box, table), 1);
    evaluated = evaluatedMesh(box, 0);
    ASSERT_TRUE(evaluated.mapSupport(2));
    EXPECT_TRUE(pointNear(evaluated.mapVerts(2)[7], Point3(0.25f, 0.5f, 1.0f)));

    // Conversion: a triangle object is itself; a bone object makes a new mesh the caller owns.
    TriObject* tri = baseTriObject(box);
    EXPECT_EQ(tri->ConvertToType(0, triObjectClassID), tri);
    auto* bone =
        static_cast<Object*>(CreateInstance(GEOMOBJECT_CLASS_ID, Class_ID(0x28BF6E8D, 0x2ECCA840)));
    EXPECT_TRUE(bone->CanConvertToType(triObjectClassID));
    Object* boneMesh = bone->ConvertToType(0, triObjectClassID);
    ASSERT_NE(boneMesh, nullptr);
    EXPECT_NE(boneMesh, bone);
    EXPECT_GT(static_cast<TriObject*>(boneMesh)->mesh.getNumFaces(), 0);
    boneMesh->DeleteMe();
}

TEST_F(HostInterfacesTest, BipedBodyTracksAnswerAsMatrixControllers) {
    INode* parent = makeNode("Root");
    place(parent, translation(0, 10, 0));
    INode* pelvis = makeNode("Bip01", nullptr, parent);
    Control* body = useBipedBody(pelvis);
    keyWorld(pelvis, 0, translation(0, 10, 1));
    keyWorld(pelvis, 320, translation(4, 10, 1));
    EXPECT_EQ(body->ClassID(), Class_ID(0x9156, 0));
    EXPECT_EQ(body->GetPositionController(), nullptr);
    ASSERT_EQ(body->NumSubs(), 3);
    auto* vertical = static_cast<Control*>(body->SubAnim(0)->GetInterface(I_CONTROL));
    ASSERT_NE(vertical, nullptr);
    EXPECT_EQ(vertical->SuperClassID(), ULONG(CTRL_MATRIX3_CLASS_ID));
    EXPECT_EQ(vertical->ClassID(), BIPSLAVE_CONTROL_CLASS_ID);
    ASSERT_EQ(vertical->NumKeys(), 2);
    EXPECT_EQ(vertical->GetKeyTime(1), 320);
    Matrix3 world;
    Interval valid = FOREVER;
    vertical->GetValue(160, &world, valid, CTRL_ABSOLUTE);
    EXPECT_TRUE(pointNear(world.GetTrans(), Point3(2, 10, 1)));
    EXPECT_TRUE(pointNear(pelvis->GetNodeTM(160).GetTrans(), Point3(2, 10, 1)));
}

TEST_F(HostInterfacesTest, AnimationSetChunksRoundTripThroughTheScene) {
    EXPECT_TRUE(storedAnimationSets().empty());
    storeAnimationSets({{"walk", 0, 30}});
    AppDataChunk* chunk = GetCOREInterface()->GetScenePointer()->GetAppDataChunk(
        Class_ID(0x760F2E41, 0x41CA01C3), UTILITY_CLASS_ID, 0);
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(chunk->length, 21u);
    const unsigned char expected[21] = {1,   0, 0, 0, 5, 0, 0,  0, 'w', 'a', 'l',
                                        'k', 0, 0, 0, 0, 0, 30, 0, 0,   0};
    EXPECT_EQ(std::memcmp(chunk->data, expected, 21), 0);

    storeAnimationSets({{"run", 31, 50}, {"back", 60, 55}});
    std::vector<AnimationSet> sets = storedAnimationSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[1].name, "back");
    EXPECT_EQ(sets[1].startFrame, 60);
    EXPECT_EQ(sets[1].endFrame, 55);
    storeAnimationSets({});
    EXPECT_TRUE(storedAnimationSets().empty());
}

} // namespace
