// Objects that are not triangle meshes, conversion ownership, node validity and deep
// hierarchies.
#include "HostTestSupport.h"
#include "SceneKit.h"
#include "control.h"
#include "impexp.h"
#include "iskin.h"
#include "maxapi.h"

namespace {

using SceneObjectTest = HostSceneTest;
using namespace scenekit;

TEST_F(SceneObjectTest, HelpersCamerasAndLightsDoNotBecomeMeshes) {
    struct Case {
        INode* node;
        SClass_ID super;
        const char* name;
    };
    const Case cases[] = {{makeDummy("Dummy01"), HELPER_CLASS_ID, "Dummy"},
                          {makeCamera("Camera01"), CAMERA_CLASS_ID, "Camera"},
                          {makeLight("Omni01"), LIGHT_CLASS_ID, "Omni"}};
    for (const Case& c : cases) {
        Object* object = c.node->GetObjectRef();
        ASSERT_NE(object, nullptr) << c.name;
        EXPECT_EQ(object->SuperClassID(), c.super) << c.name;
        EXPECT_STREQ(static_cast<BaseObject*>(object)->GetObjectName(), c.name);
        const ObjectState& state = c.node->EvalWorldState(0);
        EXPECT_EQ(state.obj, object) << c.name;
        EXPECT_FALSE(state.obj->CanConvertToType(triObjectClassID)) << c.name;
        EXPECT_EQ(state.obj->ConvertToType(0, triObjectClassID), nullptr) << c.name;
        EXPECT_EQ(state.obj->ConvertToType(0, object->ClassID()), object) << c.name;
        EXPECT_EQ(evaluatedMesh(c.node, 0).getNumFaces(), 0) << c.name;
    }
    // A modifier stack over a camera passes the camera through.
    INode* camera = cases[1].node;
    addModifier(camera, static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, SKIN_CLASSID)));
    EXPECT_EQ(camera->EvalWorldState(0).obj->SuperClassID(), ULONG(CAMERA_CLASS_ID));
}

TEST_F(SceneObjectTest, APrimitiveMakesANewTriangleObjectThatTheCallerOwns) {
    INode* node = makePrimitiveBox("Box01", Point3(2.0f, 4.0f, 3.0f));
    Object* object = node->EvalWorldState(0).obj;
    ASSERT_EQ(object, node->GetObjectRef());
    EXPECT_EQ(object->ClassID(), Class_ID(BOXOBJ_CLASS_ID, 0));
    ASSERT_TRUE(object->CanConvertToType(triObjectClassID));

    Object* first = object->ConvertToType(0, triObjectClassID);
    Object* second = object->ConvertToType(0, triObjectClassID);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, object); // a new object each time...
    EXPECT_NE(first, second);
    EXPECT_EQ(first->ClassID(), triObjectClassID);
    Mesh& mesh = static_cast<TriObject*>(first)->GetMesh();
    EXPECT_EQ(mesh.getNumVerts(), 8);
    EXPECT_EQ(mesh.getNumFaces(), 12);
    Point3 low, high;
    mesh.getBounds(low, high);
    EXPECT_TRUE(pointNear(
        low, Point3(-1.0f, -2.0f, 0.0f))); // width 2, length 4, height 3 up from the pivot
    EXPECT_TRUE(pointNear(high, Point3(1.0f, 2.0f, 3.0f)));
    first->DeleteThis(); // ...which the caller deletes (the leak checker sees a forgotten one)
    second->DeleteMe();
    EXPECT_EQ(node->GetObjectRef(), object); // the node's own object is untouched

    // Under a modifier the pipeline's result is a triangle object the pipeline owns: converting
    // it gives the same object back, which the caller must not delete.
    addModifier(node, static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, SKIN_CLASSID)));
    Object* evaluated = node->EvalWorldState(0).obj;
    ASSERT_NE(evaluated, nullptr);
    EXPECT_EQ(evaluated->ClassID(), triObjectClassID);
    EXPECT_EQ(evaluated->ConvertToType(0, triObjectClassID), evaluated);
    EXPECT_EQ(evaluatedMesh(node, 0).getNumFaces(), 12);
}

TEST_F(SceneObjectTest, ANodesValidityIsItsOwnAndItsAncestors) {
    INode* parent = makeNode("Parent");
    INode* child = makeNode("Child", nullptr, parent);
    INode* grandchild = makeNode("Grandchild", nullptr, child);
    Interval valid = FOREVER;
    grandchild->GetNodeTM(100, &valid);
    EXPECT_EQ(valid, FOREVER); // nothing animated anywhere

    keyPosition(parent, 160, Point3(1.0f, 0.0f, 0.0f));
    valid = FOREVER;
    grandchild->GetNodeTM(100, &valid);
    EXPECT_EQ(valid, Interval(100, 100)); // the parent moves, so the grandchild does
    EXPECT_TRUE(valid.InInterval(100));

    valid = FOREVER;
    grandchild->GetObjectTM(50, &valid);
    EXPECT_EQ(valid, Interval(50, 50));
    valid = FOREVER;
    child->GetNodeTM(100, &valid);
    EXPECT_EQ(valid, Interval(100, 100));
    valid = FOREVER;
    parent->GetParentNode()->GetNodeTM(100, &valid); // the root never moves
    EXPECT_EQ(valid, FOREVER);
}

TEST_F(SceneObjectTest, WorldMatricesFollowEveryChangeAboveThem) {
    // Matrices are remembered between calls; every change above a node must still show.
    INode* parent = makeNode("Parent");
    INode* child = makeNode("Child", nullptr, parent);
    place(child, translation(0.0f, 1.0f, 0.0f));
    EXPECT_TRUE(pointNear(child->GetNodeTM(0).GetTrans(), Point3(0.0f, 1.0f, 0.0f)));
    place(parent, translation(5.0f, 0.0f, 0.0f));
    EXPECT_TRUE(pointNear(child->GetNodeTM(0).GetTrans(), Point3(5.0f, 1.0f, 0.0f)));
    keyPosition(parent, 100, Point3(7.0f, 0.0f, 0.0f));
    EXPECT_TRUE(pointNear(child->GetNodeTM(100).GetTrans(), Point3(7.0f, 1.0f, 0.0f)));
    EXPECT_TRUE(pointNear(child->GetNodeTM(0).GetTrans(), Point3(5.0f, 1.0f, 0.0f)));
    INode* other = makeNode("Other");
    place(other, translation(0.0f, 0.0f, 9.0f));
    other->AttachChild(child, 0); // keeps the local matrix
    EXPECT_TRUE(pointNear(child->GetNodeTM(100).GetTrans(), Point3(0.0f, 1.0f, 9.0f)));
    other->SetTMController(NewDefaultMatrix3Controller());
    EXPECT_TRUE(pointNear(child->GetNodeTM(100).GetTrans(), Point3(0.0f, 1.0f, 0.0f)));
}

class CountingVisitor : public ITreeEnumProc {
public:
    int callback(INode*) override { return ++visited, TREE_CONTINUE; }
    int visited = 0;
};

TEST_F(SceneObjectTest, AChainOfAHundredThousandNodesIsWalkedWithoutRecursion) {
    const int depth = 100000;
    INode* parent = nullptr;
    INode* deepest = nullptr;
    Point3 up(0.0f, 0.0f, 1.0f);
    for (int i = 0; i < depth; ++i) {
        deepest = makeNode("Link", nullptr, parent);
        deepest->GetTMController()->GetPositionController()->SetValue(
            0, &up); // one up from its parent
        parent = deepest;
    }
    deepest->SetVisibility(0, 0.5f);
    EXPECT_TRUE(pointNear(deepest->GetNodeTM(0).GetTrans(), Point3(0.0f, 0.0f, float(depth))));
    EXPECT_FLOAT_EQ(deepest->GetVisibility(0), 0.5f);
    EXPECT_EQ(int(hostcore::allNodes().size()), depth);
    std::unique_ptr<ExpInterface> exporter = hostcore::newExportInterface();
    CountingVisitor visitor;
    EXPECT_EQ(exporter->theScene->EnumTree(&visitor), 0);
    EXPECT_EQ(visitor.visited, depth);
}

} // namespace
