#include "scene/HostToGltf.h"

#include "scene/AnimationRanges.h"
#include "scene/HostMath.h"
#include "scene/SkinLookup.h"

#include "model/FirstAppearanceIndex.h"

#include <control.h>
#include <hostcore.h>
#include <iskin.h>
#include <istdplug.h>
#include <maxapi.h>
#include <modstack.h>
#include <stdmat.h>
#include <triobj.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>

namespace scene {
namespace {

namespace fs = std::filesystem;

// One glTF vertex: a host vertex together with the map vertices and normal its corner uses.
struct CornerKey {
    int vertex;
    int texCoord;
    int color;
    int alpha;
    std::array<std::uint32_t, 3> normalBits;
    friend bool operator==(const CornerKey&, const CornerKey&) = default;
};

std::uint64_t hashOf(const CornerKey& key) {
    std::uint64_t hash = 0;
    for (int value : {key.vertex, key.texCoord, key.color, key.alpha})
        hash = combineHash(hash, std::uint32_t(value));
    for (std::uint32_t bits : key.normalBits)
        hash = combineHash(hash, bits);
    return hash;
}

std::array<std::uint32_t, 3> bitsOf(const Point3& p) {
    std::array<std::uint32_t, 3> bits;
    std::memcpy(bits.data(), &p.x, 4);
    std::memcpy(bits.data() + 1, &p.y, 4);
    std::memcpy(bits.data() + 2, &p.z, 4);
    return bits;
}

// The normal of one face corner, as the host's renderer reads it.
Point3 cornerNormal(Mesh& mesh, int face, int vertex) {
    RVertex& render = mesh.getRVert(vertex);
    const int count = int(render.rFlags & NORCT_MASK);
    if ((render.rFlags & SPECIFIED_NORMAL) || count == 1) return render.rn.getNormal();
    if (count > 1 && render.ern)
        for (int k = 0; k < count; ++k)
            if (render.ern[k].getSmGroup() & mesh.faces[face].smGroup)
                return render.ern[k].getNormal();
    return mesh.getFaceNormal(face);
}

class SceneCapture {
public:
    explicit SceneCapture(CaptureReport& report) : report_(report), core_(GetCOREInterface()) {}

    gltf::Scene capture() {
        addNodes(core_->GetRootNode());
        for (INode* node : order_)
            captureMesh(node, indexOf_[node]);
        captureAnimations();
        return std::move(scene_);
    }

private:
    void warn(std::string line) { report_.warnings.push_back(std::move(line)); }

    // Numbers the nodes under `root` depth first, parents before children and children in order,
    // with an explicit stack: host scenes may nest as deeply as the files they came from.
    void addNodes(INode* root) {
        std::vector<std::pair<INode*, int>> pending; // node, parent index (-1: a root)
        for (int i = root->NumberOfChildren() - 1; i >= 0; --i)
            if (INode* child = root->GetChildNode(i)) pending.push_back({child, -1});
        while (!pending.empty()) {
            auto [node, parent] = pending.back();
            pending.pop_back();
            const int index = int(scene_.nodes.size());
            indexOf_[node] = index;
            order_.push_back(node);
            gltf::Node captured;
            captured.name = node->GetName();
            captureTransform(node, captured);
            scene_.nodes.push_back(std::move(captured));
            if (parent < 0)
                scene_.roots.push_back(index);
            else
                scene_.nodes[std::size_t(parent)].children.push_back(index);
            for (int i = node->NumberOfChildren() - 1; i >= 0; --i)
                if (INode* child = node->GetChildNode(i)) pending.push_back({child, index});
        }
    }

    static bool hasTrackControllers(Control* transform) {
        return transform && transform->GetPositionController() &&
               transform->GetRotationController() && transform->GetScaleController();
    }

    void captureTransform(INode* node, gltf::Node& out) {
        Control* transform = node->GetTMController();
        if (hasTrackControllers(transform)) {
            Interval valid = FOREVER;
            Point3 position;
            Quat rotation;
            ScaleValue scale;
            transform->GetPositionController()->GetValue(0, &position, valid, CTRL_ABSOLUTE);
            transform->GetRotationController()->GetValue(0, &rotation, valid, CTRL_ABSOLUTE);
            transform->GetScaleController()->GetValue(0, &scale, valid, CTRL_ABSOLUTE);
            if (scale.q.IsIdentity()) {
                out.translation = toVec3(position);
                out.rotation = toGltfQuat(rotation);
                out.scale = toVec3(scale.s);
                return;
            }
        }
        const Matrix3 local = node->GetNodeTM(0) * Inverse(node->GetParentNode()->GetNodeTM(0));
        decomposeLocal(local, out.translation, out.rotation, out.scale);
    }

    int materialIndex(Mtl* material) {
        if (!material) return -1;
        if (auto found = materialOf_.find(material); found != materialOf_.end())
            return found->second;
        gltf::Material out;
        out.name = material->GetName();
        const Color diffuse = material->GetDiffuse();
        out.baseColorFactor = {diffuse.r, diffuse.g, diffuse.b, 1.0f - material->GetXParency()};
        out.metallicFactor = 0;
        out.roughnessFactor = std::clamp(1.0f - material->GetShininess(), 0.0f, 1.0f);
        if (material->ClassID() == Class_ID(DMTL_CLASS_ID, 0)) {
            auto* standard = static_cast<StdMat2*>(material);
            out.doubleSided = standard->GetTwoSided() != 0;
            Texmap* map = standard->GetSubTexmap(standard->StdIDToChannel(ID_DI));
            if (map && standard->MapEnabled(ID_DI) && map->ClassID() == Class_ID(BMTEX_CLASS_ID, 0))
                out.baseColorImage = imageIndex(static_cast<BitmapTex*>(map)->GetMapName());
        }
        const int index = int(scene_.materials.size());
        scene_.materials.push_back(std::move(out));
        materialOf_[material] = index;
        return index;
    }

    int imageIndex(const std::string& mapName) {
        if (mapName.empty()) return -1;
        fs::path path(mapName);
        if (path.is_relative() && !hostcore::sceneFolder().empty())
            path = fs::path(hostcore::sceneFolder()) / path;
        std::error_code ignored;
        const std::string absolute = fs::absolute(path, ignored).lexically_normal().string();
        if (auto found = imageOf_.find(absolute); found != imageOf_.end()) return found->second;
        gltf::Image image;
        image.name = fs::path(absolute).stem().string();
        image.path = absolute;
        image.uri = fs::path(absolute).filename().string();
        // A missing file keeps its name; whoever loaded the scene has said so already.
        const int index = int(scene_.images.size());
        scene_.images.push_back(std::move(image));
        imageOf_[absolute] = index;
        return index;
    }

    // The mesh a node shows before any skin deforms it, in the node's pivot space.
    bool baseMesh(INode* node, Modifier* skin, Mesh& out) {
        if (skin) skin->DisableMod();
        const ObjectState& state = node->EvalWorldState(0);
        Object* object = state.obj;
        bool found = false;
        if (object && object->ClassID() != BONE_OBJ_CLASSID &&
            object->SuperClassID() == GEOMOBJECT_CLASS_ID &&
            object->CanConvertToType(triObjectClassID)) {
            Object* converted = object->ConvertToType(0, triObjectClassID);
            if (converted) {
                out = static_cast<TriObject*>(converted)->GetMesh();
                found = true;
                if (converted != object) converted->DeleteThis();
            }
        }
        if (skin) skin->EnableMod();
        return found;
    }

    void captureMesh(INode* node, int nodeIndex) {
        Object* reference = node->GetObjectRef();
        if (!reference) return;
        Modifier* skin = findSkin(reference);
        Mesh mesh;
        if (!baseMesh(node, skin, mesh) || mesh.getNumFaces() == 0) return;
        mesh.buildNormals();

        // Geometry lives in object space; glTF puts it at the node, so an object offset is
        // applied to the points (a skinned mesh is bound in object space and keeps them).
        // The offset is built from its parts: ObjectTM * Inverse(NodeTM) has no inverse to
        // take when the node is scaled to 0.
        Matrix3 offset(1);
        offset.PreTranslate(node->GetObjOffsetPos());
        PreRotateMatrix(offset, node->GetObjOffsetRot());
        ApplyScaling(offset, node->GetObjOffsetScale());
        const bool applyOffset = !skin && !offset.Equals(Matrix3(1));

        Mtl* material = node->GetMtl();
        const int subCount = material ? material->NumSubMtls() : 0;
        const bool hasTexCoords = mesh.mapSupport(1) && mesh.getNumMapVerts(1) > 0;
        const bool hasColors = mesh.mapSupport(0) && mesh.getNumMapVerts(0) > 0;
        const bool hasAlpha = mesh.mapSupport(2) && mesh.getNumMapVerts(2) > 0;

        // Faces grouped by the material they show: a sub-material slot, or the one material.
        std::map<int, std::vector<int>> facesOfSlot;
        for (int f = 0; f < mesh.getNumFaces(); ++f)
            facesOfSlot[subCount > 0 ? int(mesh.faces[f].getMatID()) % subCount : 0].push_back(f);

        gltf::Mesh out;
        out.name = node->GetName();
        std::vector<std::vector<int>>
            hostVertexOf; // per primitive: host vertex of each glTF vertex
        for (const auto& [slot, faces] : facesOfSlot) {
            gltf::Primitive primitive;
            primitive.material = materialIndex(subCount > 0 ? material->GetSubMtl(slot) : material);
            primitive.colorsHaveAlpha = hasAlpha;
            // glTF vertices numbered in order of first appearance, one per distinct corner.
            // With one primitive, each host vertex in use gives at least one glTF vertex.
            const std::size_t expected =
                facesOfSlot.size() == 1 ? std::size_t(mesh.getNumVerts()) : faces.size() / 2;
            std::vector<CornerKey> keys;
            keys.reserve(expected);
            FirstAppearanceIndex vertexOf(expected);
            std::vector<int> hostVertices;
            hostVertices.reserve(expected);
            primitive.positions.reserve(expected);
            primitive.normals.reserve(expected);
            if (hasTexCoords) primitive.texCoords.reserve(expected);
            if (hasColors || hasAlpha) primitive.colors.reserve(expected);
            primitive.indices.reserve(faces.size() * 3);
            for (int f : faces) {
                for (int corner = 0; corner < 3; ++corner) {
                    const int v = int(mesh.faces[f].v[corner]);
                    if (v < 0 || v >= mesh.getNumVerts()) continue;
                    const Point3 normal = cornerNormal(mesh, f, v);
                    CornerKey key{v, hasTexCoords ? int(mesh.mapFaces(1)[f].t[corner]) : -1,
                                  hasColors ? int(mesh.mapFaces(0)[f].t[corner]) : -1,
                                  hasAlpha ? int(mesh.mapFaces(2)[f].t[corner]) : -1,
                                  bitsOf(normal)};
                    const auto next = std::uint32_t(keys.size());
                    const std::uint32_t vertex = vertexOf.findOrAdd(
                        hashOf(key), next, [&](std::uint32_t e) { return keys[e] == key; });
                    if (vertex == next) {
                        keys.push_back(key);
                        Point3 position = mesh.getVert(v);
                        Point3 direction = normal;
                        if (applyOffset) {
                            position = position * offset;
                            direction = Normalize(VectorTransform(offset, direction));
                        }
                        primitive.positions.push_back(toVec3(position));
                        primitive.normals.push_back(toVec3(direction));
                        if (hasTexCoords) {
                            const UVVert uv = mapVertex(mesh, 1, key.texCoord);
                            primitive.texCoords.push_back({uv.x, 1.0f - uv.y});
                        }
                        if (hasColors || hasAlpha) {
                            const UVVert rgb =
                                hasColors ? mapVertex(mesh, 0, key.color) : UVVert(1, 1, 1);
                            const float alpha = hasAlpha ? mapVertex(mesh, 2, key.alpha).x : 1.0f;
                            primitive.colors.push_back({rgb.x, rgb.y, rgb.z, alpha});
                        }
                        hostVertices.push_back(v);
                    }
                    primitive.indices.push_back(vertex);
                }
            }
            if (primitive.indices.size() % 3 != 0)
                primitive.indices.resize(primitive.indices.size() / 3 * 3);
            out.primitives.push_back(std::move(primitive));
            hostVertexOf.push_back(std::move(hostVertices));
        }
        if (skin) captureSkin(node, nodeIndex, skin, out, hostVertexOf, mesh.getNumVerts());
        scene_.nodes[std::size_t(nodeIndex)].mesh = int(scene_.meshes.size());
        scene_.meshes.push_back(std::move(out));
    }

    static UVVert mapVertex(Mesh& mesh, int channel, int index) {
        if (index < 0 || index >= mesh.getNumMapVerts(channel)) return UVVert(0, 0, 0);
        return mesh.mapVerts(channel)[index];
    }

    void captureSkin(INode* node, int nodeIndex, Modifier* modifier, gltf::Mesh& mesh,
                     const std::vector<std::vector<int>>& hostVertexOf, int hostVertexCount) {
        auto* skin = static_cast<ISkin*>(modifier->GetInterface(I_SKIN));
        ISkinContextData* context = skin ? skin->GetContextInterface(node) : nullptr;
        if (!context || context->GetNumPoints() != hostVertexCount) {
            warn("the skin of node '" + std::string(node->GetName()) +
                 "' does not match its mesh; left out");
            return;
        }
        gltf::Skin out;
        out.name = std::string(node->GetName()) + " skin";
        Matrix3 skinInit(1);
        skin->GetSkinInitTM(node, skinInit, true);
        std::vector<int> jointOfBone(std::size_t(std::max(skin->GetNumBones(), 0)), -1);
        for (int b = 0; b < skin->GetNumBones(); ++b) {
            INode* bone = skin->GetBone(b);
            auto found = bone ? indexOf_.find(bone) : indexOf_.end();
            if (found == indexOf_.end()) continue;
            Matrix3 boneInit(1);
            skin->GetBoneInitTM(bone, boneInit, false);
            jointOfBone[std::size_t(b)] = int(out.joints.size());
            out.joints.push_back(found->second);
            // A point bound at p lands at p * skinInit * Inverse(boneInit) * bone(t).
            out.inverseBindMatrices.push_back(toMat4(skinInit * Inverse(boneInit)));
        }
        if (out.joints.empty()) return;
        for (std::size_t p = 0; p < mesh.primitives.size(); ++p) {
            gltf::Primitive& primitive = mesh.primitives[p];
            for (int hostVertex : hostVertexOf[p]) {
                std::vector<std::pair<float, int>> influences;
                for (int k = 0; k < context->GetNumAssignedBones(hostVertex); ++k) {
                    const int bone = context->GetAssignedBone(hostVertex, k);
                    if (bone >= 0 && std::size_t(bone) < jointOfBone.size() &&
                        jointOfBone[std::size_t(bone)] >= 0)
                        influences.emplace_back(context->GetBoneWeight(hostVertex, k),
                                                jointOfBone[std::size_t(bone)]);
                }
                // glTF carries four influences: the strongest.
                std::sort(influences.begin(), influences.end(), std::greater<>());
                std::array<std::uint16_t, 4> joints{0, 0, 0, 0};
                gltf::Vec4 weights{0, 0, 0, 0};
                for (std::size_t k = 0; k < influences.size() && k < 4; ++k) {
                    joints[k] = std::uint16_t(influences[k].second);
                    weights[k] = influences[k].first;
                }
                primitive.joints.push_back(joints);
                primitive.weights.push_back(weights);
            }
        }
        scene_.nodes[std::size_t(nodeIndex)].skin = int(scene_.skins.size());
        scene_.skins.push_back(std::move(out));
    }

    void captureAnimations() {
        std::vector<AnimationRange> ranges = loadAnimationRanges();
        std::vector<std::pair<std::string, Interval>> spans;
        for (const AnimationRange& range : ranges)
            spans.emplace_back(range.name,
                               Interval(frameTicks(range.startFrame), frameTicks(range.endFrame)));
        const bool fromStoredSets = !spans.empty();
        if (spans.empty()) spans.emplace_back("animation", core_->GetAnimRange());
        const Interval active = core_->GetAnimRange();
        scene_.animationRange = gltf::TimeSpan{double(active.Start()) / TIME_TICKSPERSEC,
                                               double(active.End()) / TIME_TICKSPERSEC};
        for (std::size_t r = 0; r < spans.size(); ++r) {
            gltf::Animation animation;
            animation.name =
                spans[r].first.empty() ? "animation_" + std::to_string(r) : spans[r].first;
            const Interval span = spans[r].second;
            if (fromStoredSets)
                animation.timelineStartSeconds = double(span.Start()) / TIME_TICKSPERSEC;
            const bool clipEndsOnLastKey = endsOnLastKey(span);
            for (INode* node : order_) {
                Control* transform = node->GetTMController();
                if (!hasTrackControllers(transform)) {
                    if (transform && transform->NumKeys() > 0)
                        warn("the keys of node '" + std::string(node->GetName()) +
                             "' are not on tracks; left out");
                    continue;
                }
                const int index = indexOf_[node];
                captureTrack(transform->GetPositionController(), index,
                             gltf::AnimationPath::translation, span, clipEndsOnLastKey, animation);
                captureTrack(transform->GetRotationController(), index,
                             gltf::AnimationPath::rotation, span, clipEndsOnLastKey, animation);
                captureTrack(transform->GetScaleController(), index, gltf::AnimationPath::scale,
                             span, clipEndsOnLastKey, animation);
            }
            if (fromStoredSets && animation.channels.empty())
                warn(
                    "animation set '" + animation.name +
                    "' moves nothing; glTF keeps no animation without channels, so it is left out");
            scene_.animations.push_back(std::move(animation));
        }
    }

    // Frames to ticks in 64 bits, kept within what a TimeValue holds.
    static TimeValue frameTicks(std::int32_t frame) {
        const long long ticks = static_cast<long long>(frame) * GetTicksPerFrame();
        return TimeValue(std::clamp<long long>(ticks, static_cast<long long>(TIME_NegInfinity) + 1,
                                               TIME_PosInfinity));
    }

    // Whether `span` ends less than a frame after the last key any node has inside it.
    bool endsOnLastKey(Interval span) const {
        TimeValue last = span.Start();
        for (INode* node : order_) {
            Control* transform = node->GetTMController();
            if (!hasTrackControllers(transform)) continue;
            for (Control* control :
                 {transform->GetPositionController(), transform->GetRotationController(),
                  transform->GetScaleController()})
                for (int k = 0; k < control->NumKeys(); ++k) {
                    const TimeValue time = control->GetKeyTime(k);
                    if (time <= span.End()) last = std::max(last, time);
                }
        }
        return double(span.End()) - double(last) < double(GetTicksPerFrame());
    }

    static void captureTrack(Control* control, int node, gltf::AnimationPath path, Interval span,
                             bool clipEndsOnLastKey, gltf::Animation& animation) {
        const int keyCount = control->NumKeys();
        if (keyCount <= 0) return;
        gltf::Channel channel;
        channel.node = node;
        channel.path = path;
        channel.interpolation = gltf::Interpolation::linear;
        // The span's keys, and the values at its ends where no key sits: a set may cut a longer
        // animation anywhere, and its clip must start and end in the pose the timeline has there.
        // After a track's last key the host holds its value, as glTF holds a channel's last
        // sample, so no end sample is needed there when the span ends less than a frame after
        // the set's last key (the clip's length, read back in whole frames, stays the same).
        std::vector<TimeValue> times;
        bool keyAfterSpan = false;
        for (int k = 0; k < keyCount; ++k) {
            const TimeValue time = control->GetKeyTime(k);
            if (time >= span.Start() && time <= span.End()) times.push_back(time);
            keyAfterSpan = keyAfterSpan || time > span.End();
        }
        if (times.empty() || times.front() > span.Start())
            times.insert(times.begin(), span.Start());
        if (times.back() < span.End() && (keyAfterSpan || !clipEndsOnLastKey))
            times.push_back(span.End());
        gltf::Vec4 previous{0, 0, 0, 1};
        for (const TimeValue time : times) {
            Interval valid = FOREVER;
            const float seconds = float((double(time) - double(span.Start())) / TIME_TICKSPERSEC);
            // Far from the span's start, neighbouring ticks can round to one float time; glTF
            // wants times that rise.
            if (!channel.timesSeconds.empty() && seconds <= channel.timesSeconds.back()) continue;
            channel.timesSeconds.push_back(seconds);
            if (path == gltf::AnimationPath::translation) {
                Point3 value;
                control->GetValue(time, &value, valid, CTRL_ABSOLUTE);
                channel.values.insert(channel.values.end(), {value.x, value.y, value.z});
            } else if (path == gltf::AnimationPath::rotation) {
                Quat value;
                control->GetValue(time, &value, valid, CTRL_ABSOLUTE);
                gltf::Vec4 q = toGltfQuat(value);
                // Keep neighbours in one hemisphere so glTF's linear blend turns the short way.
                if (q[0] * previous[0] + q[1] * previous[1] + q[2] * previous[2] +
                        q[3] * previous[3] <
                    0)
                    q = {-q[0], -q[1], -q[2], -q[3]};
                previous = q;
                channel.values.insert(channel.values.end(), q.begin(), q.end());
            } else {
                ScaleValue value;
                control->GetValue(time, &value, valid, CTRL_ABSOLUTE);
                channel.values.insert(channel.values.end(), {value.s.x, value.s.y, value.s.z});
            }
        }
        if (!channel.timesSeconds.empty()) animation.channels.push_back(std::move(channel));
    }

    CaptureReport& report_;
    Interface* core_;
    gltf::Scene scene_;
    std::map<INode*, int> indexOf_;
    std::vector<INode*> order_;
    std::map<Mtl*, int> materialOf_;
    std::map<std::string, int> imageOf_;
};

} // namespace

gltf::Scene captureHostScene(CaptureReport& report) {
    return SceneCapture(report).capture();
}

} // namespace scene
