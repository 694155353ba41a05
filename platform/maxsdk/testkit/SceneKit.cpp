#include "SceneKit.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "iparamblock2.h"
#include "iskin.h"
#include "istdplug.h"
#include "phyexp.h"

namespace scenekit {

namespace {

// Runs `set` in animate mode, leaving the animate state as it was.
template <class Set> void animated(Set set) {
    SuspendAnimate();
    AnimateOn();
    set();
    ResumeAnimate();
}

// Runs `set` outside animate mode, leaving the animate state as it was.
template <class Set> void unanimated(Set set) {
    SuspendAnimate();
    AnimateOff();
    set();
    ResumeAnimate();
}

const Class_ID kAnimationSetOwner(0x760F2E41, 0x41CA01C3);

void putInt(std::vector<unsigned char>& bytes, std::int32_t value) {
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<unsigned char>(bits >> (8 * i)));
}

bool takeInt(const unsigned char*& at, const unsigned char* end, std::int32_t& value) {
    if (end - at < 4) return false;
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits |= std::uint32_t(at[i]) << (8 * i);
    value = static_cast<std::int32_t>(bits);
    at += 4;
    return true;
}

} // namespace

INode* makeNode(const std::string& name, Object* object, INode* parent) {
    INode* node = GetCOREInterface()->CreateObjectNode(object);
    node->SetName(name.c_str());
    if (parent) parent->AttachChild(node, 0);
    return node;
}

// The host's box primitive converted to a mesh, lowered by half its height to centre it.
INode* makeBox(const std::string& name, Point3 size, INode* parent) {
    auto* box =
        static_cast<Object*>(CreateInstance(GEOMOBJECT_CLASS_ID, Class_ID(BOXOBJ_CLASS_ID, 0)));
    unanimated([&] {
        IParamBlock2* block = box->GetParamBlock(0);
        block->SetValue(0, 0, size.y);
        block->SetValue(1, 0, size.x);
        block->SetValue(2, 0, size.z);
    });
    auto* tri = static_cast<TriObject*>(box->ConvertToType(0, triObjectClassID));
    box->DeleteThis();
    Mesh& mesh = tri->mesh;
    for (int i = 0; i < mesh.getNumVerts(); ++i)
        mesh.verts[i].z -= 0.5f * size.z;
    return makeNode(name, tri, parent);
}

INode* makeCylinder(const std::string& name, float radius, float height, int sides, int segments,
                    INode* parent) {
    sides = sides < 3 ? 3 : sides;
    segments = segments < 1 ? 1 : segments;
    TriObject* tri = CreateNewTriObject();
    Mesh& mesh = tri->mesh;
    int ringCount = segments + 1;
    int bottomCentre = ringCount * sides;
    int topCentre = bottomCentre + 1;
    mesh.setNumVerts(ringCount * sides + 2);
    const float step = 6.28318530718f / float(sides);
    for (int r = 0; r < ringCount; ++r)
        for (int k = 0; k < sides; ++k)
            mesh.setVert(r * sides + k, radius * std::cos(step * float(k)),
                         radius * std::sin(step * float(k)), height * float(r) / float(segments));
    mesh.setVert(bottomCentre, 0.0f, 0.0f, 0.0f);
    mesh.setVert(topCentre, 0.0f, 0.0f, height);

    mesh.setNumFaces(2 * sides * segments + 2 * sides);
    int f = 0;
    for (int r = 0; r < segments; ++r) {
        for (int k = 0; k < sides; ++k) {
            int v00 = r * sides + k, v01 = r * sides + (k + 1) % sides;
            int v10 = v00 + sides, v11 = v01 + sides;
            mesh.faces[f].setVerts(v00, v01, v11);
            mesh.faces[f].setEdgeVisFlags(EDGE_VIS, EDGE_VIS, EDGE_INVIS);
            mesh.faces[f++].setSmGroup(1);
            mesh.faces[f].setVerts(v00, v11, v10);
            mesh.faces[f].setEdgeVisFlags(EDGE_INVIS, EDGE_VIS, EDGE_VIS);
            mesh.faces[f++].setSmGroup(1);
        }
    }
    int top = segments * sides;
    for (int k = 0; k < sides; ++k) {
        mesh.faces[f].setVerts(bottomCentre, (k + 1) % sides, k);
        mesh.faces[f].setEdgeVisFlags(EDGE_INVIS, EDGE_VIS, EDGE_INVIS);
        mesh.faces[f++].setSmGroup(2);
        mesh.faces[f].setVerts(topCentre, top + k, top + (k + 1) % sides);
        mesh.faces[f].setEdgeVisFlags(EDGE_INVIS, EDGE_VIS, EDGE_INVIS);
        mesh.faces[f++].setSmGroup(4);
    }
    return makeNode(name, tri, parent);
}

namespace {

INode* makeInstanceNode(const std::string& name, SClass_ID superID, Class_ID classID,
                        INode* parent) {
    return makeNode(name, static_cast<Object*>(CreateInstance(superID, classID)), parent);
}

} // namespace

INode* makePrimitiveBox(const std::string& name, Point3 size, INode* parent) {
    INode* node = makeInstanceNode(name, GEOMOBJECT_CLASS_ID, Class_ID(BOXOBJ_CLASS_ID, 0), parent);
    IParamBlock2* block = node->GetObjectRef()->GetParamBlock(0);
    block->SetValue(0, 0, size.y);
    block->SetValue(1, 0, size.x);
    block->SetValue(2, 0, size.z);
    return node;
}

INode* makeDummy(const std::string& name, INode* parent) {
    return makeInstanceNode(name, HELPER_CLASS_ID, Class_ID(DUMMY_CLASS_ID, 0), parent);
}

INode* makeCamera(const std::string& name, INode* parent) {
    return makeInstanceNode(name, CAMERA_CLASS_ID, Class_ID(SIMPLE_CAM_CLASS_ID, 0), parent);
}

INode* makeLight(const std::string& name, INode* parent) {
    return makeInstanceNode(name, LIGHT_CLASS_ID, Class_ID(OMNI_LIGHT_CLASS_ID, 0), parent);
}

TriObject* baseTriObject(INode* node) {
    Object* object = node ? node->GetObjectRef() : nullptr;
    while (object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID)
        object = static_cast<IDerivedObject*>(object)->GetObjRef();
    return object && object->ClassID() == triObjectClassID ? static_cast<TriObject*>(object)
                                                           : nullptr;
}

Mesh& baseMesh(INode* node) {
    return baseTriObject(node)->mesh;
}

void setSmoothingGroups(INode* node, DWORD groups) {
    Mesh& mesh = baseMesh(node);
    for (int f = 0; f < mesh.getNumFaces(); ++f)
        mesh.faces[f].setSmGroup(groups);
}

void setMaterialIds(INode* node, MtlID id) {
    setMaterialIdsBy(node, [id](int) { return id; });
}

void setVertexColors(INode* node, const std::vector<Point3>& colors) {
    Mesh& mesh = baseMesh(node);
    mesh.setNumVertCol(int(colors.size()));
    for (size_t i = 0; i < colors.size(); ++i)
        mesh.vertCol[i] = colors[i];
    mesh.setNumVCFaces(mesh.getNumFaces());
    for (int f = 0; f < mesh.getNumFaces(); ++f)
        mesh.vcFace[f] = TVFace(mesh.faces[f].v[0], mesh.faces[f].v[1], mesh.faces[f].v[2]);
}

Matrix3 translation(float x, float y, float z) {
    Matrix3 m(1);
    m.SetTrans(Point3(x, y, z));
    return m;
}

void place(INode* node, const Matrix3& world, TimeValue t) {
    SuspendAnimate();
    AnimateOff();
    Matrix3 copy = world;
    node->SetNodeTM(t, copy);
    ResumeAnimate();
}

void keyPosition(INode* node, TimeValue t, Point3 position) {
    animated([&] { node->GetTMController()->GetPositionController()->SetValue(t, &position); });
}

void keyRotation(INode* node, TimeValue t, Quat rotation) {
    animated([&] { node->GetTMController()->GetRotationController()->SetValue(t, &rotation); });
}

void keyScale(INode* node, TimeValue t, Point3 factors) {
    ScaleValue scale(factors);
    animated([&] { node->GetTMController()->GetScaleController()->SetValue(t, &scale); });
}

void keyWorld(INode* node, TimeValue t, const Matrix3& world) {
    Matrix3 copy = world;
    animated([&] { node->SetNodeTM(t, copy); });
}

Quat rotationAbout(int axis, float radians) {
    Matrix3 m = axis == 0 ? RotateXMatrix(radians)
                          : (axis == 1 ? RotateYMatrix(radians) : RotateZMatrix(radians));
    return Quat(m);
}

Control* useBipedBody(INode* node) {
    auto* body = static_cast<Control*>(CreateInstance(CTRL_MATRIX3_CLASS_ID, Class_ID(0x9156, 0)));
    Matrix3 world = node->GetNodeTM(0);
    node->SetTMController(body);
    place(node, world);
    return body;
}

namespace {

// A new controller of `classID` holding `current` (no key), then `keys` made in animate mode.
template <class Value>
Control* newTrack(SClass_ID superID, ULONG classPartA, Value current, const Keys<Value>& keys) {
    auto* track = static_cast<Control*>(CreateInstance(superID, Class_ID(classPartA, 0)));
    SuspendAnimate();
    AnimateOff();
    track->SetValue(0, &current);
    ResumeAnimate();
    for (const auto& [t, value] : keys) {
        Value copy = value;
        animated([&] { track->SetValue(t, &copy); });
    }
    return track;
}

template <class Value> Value valueAtZero(Control* c) {
    Value value;
    Interval valid = FOREVER;
    c->GetValue(0, &value, valid, CTRL_ABSOLUTE);
    return value;
}

Control* usePosition(INode* node, ULONG classPartA, const Keys<Point3>& keys) {
    Control* tm = node->GetTMController();
    Control* track = newTrack(CTRL_POSITION_CLASS_ID, classPartA,
                              valueAtZero<Point3>(tm->GetPositionController()), keys);
    tm->SetPositionController(track);
    return track;
}

Control* useRotation(INode* node, ULONG classPartA, const Keys<Quat>& keys) {
    Control* tm = node->GetTMController();
    Control* track = newTrack(CTRL_ROTATION_CLASS_ID, classPartA,
                              valueAtZero<Quat>(tm->GetRotationController()), keys);
    tm->SetRotationController(track);
    return track;
}

} // namespace

Control* useBezierPosition(INode* node, const Keys<Point3>& keys) {
    return usePosition(node, HYBRIDINTERP_POSITION_CLASS_ID, keys);
}

Control* useTcbPosition(INode* node, const Keys<Point3>& keys) {
    return usePosition(node, TCBINTERP_POSITION_CLASS_ID, keys);
}

Control* usePositionXYZ(INode* node, const Keys<Point3>& keys) {
    Control* tm = node->GetTMController();
    auto* track =
        static_cast<Control*>(CreateInstance(CTRL_POSITION_CLASS_ID, POSITION_XYZ_CLASS_ID));
    Point3 current = valueAtZero<Point3>(tm->GetPositionController());
    unanimated([&] { track->SetValue(0, &current); });
    for (const auto& [t, value] : keys) {
        Point3 copy = value;
        animated([&] { track->SetValue(t, &copy); });
    }
    tm->SetPositionController(track);
    return track;
}

Control* useBezierScale(INode* node, const Keys<Point3>& factorKeys) {
    Control* tm = node->GetTMController();
    Keys<ScaleValue> keys;
    for (const auto& [t, factors] : factorKeys)
        keys.push_back({t, ScaleValue(factors)});
    Control* track = newTrack(CTRL_SCALE_CLASS_ID, HYBRIDINTERP_SCALE_CLASS_ID,
                              valueAtZero<ScaleValue>(tm->GetScaleController()), keys);
    tm->SetScaleController(track);
    return track;
}

Control* useTcbRotation(INode* node, const Keys<Quat>& keys) {
    return useRotation(node, TCBINTERP_ROTATION_CLASS_ID, keys);
}

Control* useEulerRotation(INode* node, const Keys<Point3>& angleKeys) {
    Control* tm = node->GetTMController();
    auto* euler = static_cast<Control*>(
        CreateInstance(CTRL_ROTATION_CLASS_ID, Class_ID(EULER_CONTROL_CLASS_ID, 0)));
    Quat current = valueAtZero<Quat>(tm->GetRotationController());
    unanimated([&] { euler->SetValue(0, &current); });
    for (const auto& [t, angles] : angleKeys) {
        for (int axis = 0; axis < 3; ++axis) {
            Control* track = axis == 0
                                 ? euler->GetXController()
                                 : (axis == 1 ? euler->GetYController() : euler->GetZController());
            float angle = angles[axis];
            animated([&] { track->SetValue(t, &angle); });
        }
    }
    tm->SetRotationController(euler);
    return euler;
}

void keyEulerAxis(INode* node, int axis, TimeValue t, float radians) {
    Control* euler = node->GetTMController()->GetRotationController();
    Control* track = axis == 0 ? euler->GetXController()
                               : (axis == 1 ? euler->GetYController() : euler->GetZController());
    if (track) animated([&] { track->SetValue(t, &radians); });
}

void setTcb(Control* controller, int keyIndex, float tension, float continuity, float bias) {
    hostcore::setKeyTcb(controller, keyIndex, tension, continuity, bias);
}

StdMat2* standardMaterial(INode* node, Color diffuse, const std::string& bitmap, Color ambient,
                          Color specular, float glossiness, float opacity) {
    StdMat2* material = NewDefaultStdMat();
    material->SetDiffuse(diffuse, 0);
    material->SetAmbient(ambient, 0);
    material->SetSpecular(specular, 0);
    material->SetShininess(glossiness, 0);
    material->SetOpacity(opacity, 0);
    if (!bitmap.empty()) {
        BitmapTex* texture = NewDefaultBitmapTex();
        texture->SetMapName(bitmap.c_str());
        material->SetSubTexmap(ID_DI, texture);
        material->SetTexmapAmt(ID_DI, 1.0f, 0);
        material->EnableMap(ID_DI, TRUE);
    }
    if (node) node->SetMtl(material);
    return material;
}

MultiMtl* multiMaterial(INode* node, const std::vector<Mtl*>& subMaterials) {
    MultiMtl* multi = NewDefaultMultiMtl();
    multi->SetNumSubMtls(int(subMaterials.size()));
    for (size_t i = 0; i < subMaterials.size(); ++i)
        multi->SetSubMtl(int(i), subMaterials[i]);
    if (node) node->SetMtl(multi);
    return multi;
}

Texmap* vertexColorMap(StdMat2* material, int slot, int channel) {
    auto* map = static_cast<Texmap*>(CreateInstance(TEXMAP_CLASS_ID, Class_ID(VCOL_CLASS_ID, 0)));
    map->GetParamBlock(0)->SetValue(0, 0, channel);
    material->SetSubTexmap(slot, map);
    return map;
}

IDerivedObject* derivedObject(INode* node) {
    Object* object = node->GetObjectRef();
    if (object && object->SuperClassID() == GEN_DERIVOB_CLASS_ID)
        return static_cast<IDerivedObject*>(object);
    IDerivedObject* derived = CreateDerivedObject(object);
    node->SetObjectRef(derived);
    return derived;
}

void addModifier(INode* node, Modifier* mod) {
    derivedObject(node)->AddModifier(mod);
}

std::vector<INode*> makeBoneChain(const std::string& namePrefix, int boneCount, float boneLength,
                                  Point3 base, INode* parent) {
    std::vector<INode*> bones;
    for (int i = 0; i < boneCount; ++i) {
        auto* bone = static_cast<Object*>(CreateInstance(GEOMOBJECT_CLASS_ID, BONE_OBJ_CLASSID));
        INode* node =
            makeNode(namePrefix + std::to_string(i), bone, i == 0 ? parent : bones.back());
        place(node, translation(base.x, base.y, base.z + boneLength * float(i)));
        node->SetBoneNodeOnOff(TRUE, 0);
        node->SetRenderable(FALSE);
        bones.push_back(node);
    }
    return bones;
}

std::vector<VertexWeights> weightsAlongChain(INode* node, const std::vector<INode*>& bones) {
    Mesh& mesh = baseMesh(node);
    std::vector<VertexWeights> weights(size_t(mesh.getNumVerts()));
    if (bones.empty()) return weights;
    std::vector<float> middles;
    for (size_t i = 0; i < bones.size(); ++i) {
        float start = bones[i]->GetNodeTM(0).GetTrans().z;
        float end =
            i + 1 < bones.size()
                ? bones[i + 1]->GetNodeTM(0).GetTrans().z
                : (i > 0 ? start + (start - bones[i - 1]->GetNodeTM(0).GetTrans().z) : start);
        middles.push_back(0.5f * (start + end));
    }
    Matrix3 toWorld = node->GetObjectTM(0);
    for (int v = 0; v < mesh.getNumVerts(); ++v) {
        float z = (mesh.verts[v] * toWorld).z;
        VertexWeights& w = weights[size_t(v)];
        if (bones.size() == 1 || z <= middles.front()) {
            w.push_back({0, 1.0f});
        } else if (z >= middles.back()) {
            w.push_back({int(bones.size()) - 1, 1.0f});
        } else {
            size_t i = 0;
            while (i + 1 < middles.size() && z >= middles[i + 1])
                ++i;
            float u = (z - middles[i]) / (middles[i + 1] - middles[i]);
            w.push_back({int(i), 1.0f - u});
            if (u > 0.0f) w.push_back({int(i) + 1, u});
        }
    }
    return weights;
}

Modifier* skinTo(INode* node, const std::vector<INode*>& bones,
                 std::vector<VertexWeights> weights) {
    if (weights.empty()) weights = weightsAlongChain(node, bones);
    auto* skin = static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, SKIN_CLASSID));
    addModifier(node, skin);
    node->EvalWorldState(0); // makes the node's skin data
    auto* import = static_cast<ISkinImportData*>(skin->GetInterface(I_SKINIMPORTDATA));
    for (INode* bone : bones)
        import->AddBoneEx(bone, TRUE);
    for (size_t v = 0; v < weights.size(); ++v) {
        Tab<INode*> boneList;
        Tab<float> weightList;
        for (const auto& [boneIndex, weight] : weights[v]) {
            INode* bone = bones[size_t(boneIndex)];
            float w = weight;
            boneList.Append(1, &bone);
            weightList.Append(1, &w);
        }
        import->AddWeights(node, int(v), boneList, weightList);
    }
    return skin;
}

Modifier* physiqueTo(INode* node, const std::vector<INode*>& bones,
                     std::vector<VertexWeights> weights, bool deformable) {
    if (weights.empty()) weights = weightsAlongChain(node, bones);
    std::vector<PhysiqueVertexSpec> vertices(weights.size());
    for (size_t v = 0; v < weights.size(); ++v) {
        vertices[v].links = weights[v];
        vertices[v].deformable = deformable;
    }
    return physiqueWith(node, bones, vertices);
}

Modifier* physiqueWith(INode* node, const std::vector<INode*>& bones,
                       const std::vector<PhysiqueVertexSpec>& vertices) {
    auto* physique = static_cast<Modifier*>(CreateInstance(OSM_CLASS_ID, PHYSIQUE_CLASS_ID));
    addModifier(node, physique);
    auto linksOf = [&](const VertexWeights& weights) {
        std::vector<hostcore::PhysiqueLink> links;
        for (const auto& [boneIndex, weight] : weights)
            links.push_back({bones[size_t(boneIndex)], weight});
        return links;
    };
    std::vector<hostcore::PhysiqueVertex> links(vertices.size());
    for (size_t v = 0; v < vertices.size(); ++v) {
        links[v].links = linksOf(vertices[v].links);
        links[v].deformable = vertices[v].deformable;
        links[v].floating = linksOf(vertices[v].floating);
    }
    hostcore::initialisePhysique(physique, node, links);
    return physique;
}

Mesh evaluatedMesh(INode* node, TimeValue t) {
    const ObjectState& state = node->EvalWorldState(t);
    Mesh mesh;
    if (!state.obj || !state.obj->CanConvertToType(triObjectClassID)) return mesh;
    Object* converted = state.obj->ConvertToType(t, triObjectClassID);
    if (!converted) return mesh;
    mesh = static_cast<TriObject*>(converted)->mesh;
    if (converted != state.obj) converted->DeleteThis();
    return mesh;
}

void storeAnimationSets(const std::vector<AnimationSet>& sets) {
    ReferenceTarget* scene = GetCOREInterface()->GetScenePointer();
    scene->RemoveAppDataChunk(kAnimationSetOwner, UTILITY_CLASS_ID, 0);
    if (sets.empty()) return;
    std::vector<unsigned char> bytes;
    putInt(bytes, std::int32_t(sets.size()));
    for (const AnimationSet& set : sets) {
        putInt(bytes, std::int32_t(set.name.size() + 1));
        bytes.insert(bytes.end(), set.name.begin(), set.name.end());
        bytes.push_back(0);
        putInt(bytes, set.startFrame);
        putInt(bytes, set.endFrame);
    }
    void* data = std::malloc(bytes.size());
    std::memcpy(data, bytes.data(), bytes.size());
    scene->AddAppDataChunk(kAnimationSetOwner, UTILITY_CLASS_ID, 0, DWORD(bytes.size()), data);
}

std::vector<AnimationSet> storedAnimationSets() {
    AppDataChunk* chunk = GetCOREInterface()->GetScenePointer()->GetAppDataChunk(
        kAnimationSetOwner, UTILITY_CLASS_ID, 0);
    std::vector<AnimationSet> sets;
    if (!chunk || !chunk->data) return sets;
    const auto* at = static_cast<const unsigned char*>(chunk->data);
    const unsigned char* end = at + chunk->length;
    std::int32_t count = 0;
    if (!takeInt(at, end, count) || count < 0) return {};
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t nameSize = 0;
        AnimationSet set;
        if (!takeInt(at, end, nameSize) || nameSize < 1 || end - at < nameSize) return {};
        set.name.assign(reinterpret_cast<const char*>(at), size_t(nameSize - 1));
        at += nameSize;
        if (!takeInt(at, end, set.startFrame) || !takeInt(at, end, set.endFrame)) return {};
        sets.push_back(set);
    }
    return sets;
}

} // namespace scenekit
