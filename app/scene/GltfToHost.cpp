#include "scene/GltfToHost.h"

#include "scene/AnimationRanges.h"
#include "scene/HostMath.h"

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
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace scene {
namespace {

namespace fs = std::filesystem;

// Keys of one transform track, in host values, before they go to the controller.
struct TrackKey {
    TimeValue time;
    gltf::Vec4 value;  // xyz for position and scale; a glTF quaternion for rotation
    bool hold = false; // repeats its neighbour's value at an animation's start or end
};

// What skinning needs once every node exists: the node, its modifier and its per-vertex joints.
struct SkinBinding {
    INode* node = nullptr;
    Modifier* modifier = nullptr;
    int skin = -1;
    std::vector<std::array<std::uint16_t, 4>> joints;
    std::vector<gltf::Vec4> weights;
};

std::string safeFileName(const std::string& text) {
    std::string out;
    for (char c : text)
        out.push_back(
            std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ? c
                                                                                            : '_');
    return out;
}

std::string extensionFor(const gltf::Image& image) {
    if (image.mimeType == "image/jpeg") return ".jpg";
    if (image.bytes.size() >= 3 && image.bytes[0] == 0xFF && image.bytes[1] == 0xD8) return ".jpg";
    return ".png";
}

class HostSceneBuilder {
public:
    HostSceneBuilder(const gltf::Scene& scene, const ImportOptions& options, ImportReport& report)
        : scene_(scene), options_(options), report_(report), core_(GetCOREInterface()) {}

    bool build() {
        hostcore::resetScene();
        SetFrameRate(options_.framesPerSecond);
        if (!placeImages()) return false;
        materials_.assign(scene_.materials.size(), nullptr);
        nodes_.assign(scene_.nodes.size(), nullptr);
        SuspendAnimate();
        AnimateOff();
        createNodes();
        ResumeAnimate();
        bindSkins();
        layAnimations();
        return true;
    }

private:
    void warn(std::string line) { report_.warnings.push_back(std::move(line)); }

    // Texture names are file paths: embedded images get a file of their own.
    bool placeImages() {
        const fs::path input(options_.inputPath);
        const std::string stem =
            safeFileName(input.stem().string().empty() ? "scene" : input.stem().string());
        fs::path folder =
            options_.imageFolder.empty() ? input.parent_path() : fs::path(options_.imageFolder);
        std::error_code ignored;
        folder = fs::absolute(folder.empty() ? fs::path(".") : folder, ignored);
        for (std::size_t i = 0; i < scene_.images.size(); ++i) {
            const gltf::Image& image = scene_.images[i];
            if (!image.path.empty()) {
                imagePaths_.push_back(image.path);
                continue;
            }
            const std::string name = image.name.empty() ? "image_" + std::to_string(i) : image.name;
            fs::path file = folder / (stem + "_" + safeFileName(name) + extensionFor(image));
            if (!options_.imageFolder.empty() && !image.bytes.empty()) {
                std::ofstream out(file, std::ios::binary | std::ios::trunc);
                out.write(reinterpret_cast<const char*>(image.bytes.data()),
                          std::streamsize(image.bytes.size()));
                if (!out) {
                    report_.error = "cannot write the embedded image '" + file.string() + "'";
                    return false;
                }
            }
            imagePaths_.push_back(file.lexically_normal().string());
        }
        return true;
    }

    // Materials are made when a node first shows them, and shared after that.
    StdMat2* materialAt(int index) {
        StdMat2*& made = materials_[std::size_t(index)];
        if (!made) {
            const gltf::Material& source = scene_.materials[std::size_t(index)];
            StdMat2* material = NewDefaultStdMat();
            material->SetName(source.name.c_str());
            const Color color(source.baseColorFactor[0], source.baseColorFactor[1],
                              source.baseColorFactor[2]);
            material->SetDiffuse(color, 0);
            material->SetAmbient(color, 0);
            material->SetOpacity(source.baseColorFactor[3], 0);
            material->SetShininess(std::clamp(1.0f - source.roughnessFactor, 0.0f, 1.0f), 0);
            material->SetTwoSided(source.doubleSided);
            if (source.baseColorImage >= 0) {
                BitmapTex* texture = NewDefaultBitmapTex();
                const std::string& path = imagePaths_[std::size_t(source.baseColorImage)];
                texture->SetMapName(path.c_str());
                texture->SetName(fs::path(path).filename().string().c_str());
                material->SetSubTexmap(material->StdIDToChannel(ID_DI), texture);
                material->EnableMap(ID_DI, TRUE);
            }
            made = material;
        }
        return made;
    }

    // The material a node shows for a mesh: none, one standard material, or a multi/sub-object
    // material whose slot i serves the faces with material id i. `slotOfPrimitive` receives
    // each primitive's material id.
    Mtl* materialFor(const gltf::Mesh& mesh, std::vector<int>& slotOfPrimitive) {
        std::vector<int> slots; // glTF material of each slot
        for (const gltf::Primitive& primitive : mesh.primitives) {
            auto found = std::find(slots.begin(), slots.end(), primitive.material);
            slotOfPrimitive.push_back(int(found - slots.begin()));
            if (found == slots.end()) slots.push_back(primitive.material);
        }
        if (slots.size() == 1) return slots[0] >= 0 ? materialAt(slots[0]) : nullptr;
        MultiMtl* multi = NewDefaultMultiMtl();
        multi->SetName((mesh.name + " materials").c_str());
        multi->SetNumSubMtls(int(slots.size()));
        for (std::size_t s = 0; s < slots.size(); ++s) {
            Mtl* sub = slots[s] >= 0 ? static_cast<Mtl*>(materialAt(slots[s])) : defaultMaterial();
            multi->SetSubMtlAndName(int(s), sub, sub->GetName());
        }
        return multi;
    }

    Mtl* defaultMaterial() {
        if (!defaultMaterial_) {
            defaultMaterial_ = NewDefaultStdMat();
            defaultMaterial_->SetName("default");
            defaultMaterial_->SetDiffuse(Color(1, 1, 1), 0);
        }
        return defaultMaterial_;
    }

    // One host vertex per glTF vertex, primitives one after another.
    TriObject* buildMesh(const gltf::Mesh& source, const std::vector<int>& slotOfPrimitive,
                         SkinBinding& binding) {
        TriObject* object = CreateNewTriObject();
        Mesh& mesh = object->GetMesh();
        int vertexCount = 0, faceCount = 0;
        bool hasTexCoords = false, hasColors = false, hasAlpha = false;
        for (const gltf::Primitive& primitive : source.primitives) {
            vertexCount += int(primitive.positions.size());
            faceCount += int(primitive.indices.size() / 3);
            hasTexCoords = hasTexCoords || !primitive.texCoords.empty();
            hasColors = hasColors || !primitive.colors.empty();
            hasAlpha = hasAlpha || primitive.colorsHaveAlpha;
        }
        mesh.setNumVerts(vertexCount);
        mesh.setNumFaces(faceCount);
        if (hasTexCoords) {
            mesh.setNumTVerts(vertexCount);
            mesh.setNumTVFaces(faceCount);
        }
        if (hasColors) {
            mesh.setNumVertCol(vertexCount);
            mesh.setNumVCFaces(faceCount);
        }
        if (hasAlpha) { // alpha goes to map channel 2 as a grey value
            mesh.setMapSupport(2, TRUE);
            mesh.setNumMapVerts(2, vertexCount);
        }
        binding.joints.assign(std::size_t(vertexCount), {0, 0, 0, 0});
        binding.weights.assign(std::size_t(vertexCount), {0, 0, 0, 0});

        int vertexBase = 0, faceBase = 0;
        std::vector<std::pair<int, Point3>> normals;
        for (std::size_t p = 0; p < source.primitives.size(); ++p) {
            const gltf::Primitive& primitive = source.primitives[p];
            for (std::size_t v = 0; v < primitive.positions.size(); ++v) {
                const int at = vertexBase + int(v);
                mesh.setVert(at, toPoint3(primitive.positions[v]));
                if (hasTexCoords) {
                    const gltf::Vec2 uv =
                        v < primitive.texCoords.size() ? primitive.texCoords[v] : gltf::Vec2{0, 0};
                    mesh.setTVert(at, UVVert(uv[0], 1.0f - uv[1], 0.0f)); // the host's v points up
                }
                const gltf::Vec4 color =
                    v < primitive.colors.size() ? primitive.colors[v] : gltf::Vec4{1, 1, 1, 1};
                if (hasColors) mesh.vertCol[at] = VertColor(color[0], color[1], color[2]);
                if (hasAlpha) mesh.mapVerts(2)[at] = UVVert(color[3], color[3], color[3]);
                if (v < primitive.normals.size())
                    normals.emplace_back(at, toPoint3(primitive.normals[v]));
                if (v < primitive.joints.size()) {
                    binding.joints[std::size_t(at)] = primitive.joints[v];
                    binding.weights[std::size_t(at)] = primitive.weights[v];
                }
            }
            for (std::size_t t = 0; t + 2 < primitive.indices.size(); t += 3) {
                const int face = faceBase + int(t / 3);
                const int a = vertexBase + int(primitive.indices[t]);
                const int b = vertexBase + int(primitive.indices[t + 1]);
                const int c = vertexBase + int(primitive.indices[t + 2]);
                mesh.faces[face].setVerts(a, b, c);
                mesh.faces[face].setEdgeVisFlags(1, 1, 1);
                // Without normals glTF shades flat: smoothing group 0.
                mesh.faces[face].setSmGroup(primitive.normals.empty() ? 0 : 1);
                mesh.faces[face].setMatID(MtlID(slotOfPrimitive[p]));
                if (hasTexCoords) mesh.tvFace[face].setTVerts(a, b, c);
                if (hasColors) mesh.vcFace[face].setTVerts(a, b, c);
                if (hasAlpha) mesh.mapFaces(2)[face].setTVerts(a, b, c);
            }
            vertexBase += int(primitive.positions.size());
            faceBase += int(primitive.indices.size() / 3);
        }
        mesh.buildNormals();
        for (const auto& [vertex, normal] : normals)
            hostcore::setSpecifiedNormal(mesh, vertex, normal);
        mesh.buildNormals();
        return object;
    }

    void setRestTransform(INode* node, const gltf::Node& source) {
        Control* transform = node->GetTMController();
        Control* position = transform ? transform->GetPositionController() : nullptr;
        Control* rotation = transform ? transform->GetRotationController() : nullptr;
        Control* scale = transform ? transform->GetScaleController() : nullptr;
        if (!position || !rotation || !scale) {
            Matrix3 world = localMatrix(source) * node->GetParentNode()->GetNodeTM(0);
            node->SetNodeTM(0, world);
            return;
        }
        // A matrix is split here rather than set as a world matrix, which would be divided by
        // the parent's and lost under a parent scaled to 0.
        gltf::Vec3 t = source.translation, s = source.scale;
        gltf::Vec4 r = source.rotation;
        if (source.hasMatrix) decomposeLocal(localMatrix(source), t, r, s);
        Point3 translation = toPoint3(t);
        Quat turn = toHostQuat(r);
        turn.Normalize();
        ScaleValue factors(toPoint3(s));
        position->SetValue(0, &translation, 1, CTRL_ABSOLUTE);
        rotation->SetValue(0, &turn, 1, CTRL_ABSOLUTE);
        scale->SetValue(0, &factors, 1, CTRL_ABSOLUTE);
    }

    // Parents before children, children in order, with an explicit stack: a glTF file may nest
    // nodes as deeply as it likes.
    void createNodes() {
        std::vector<std::pair<int, INode*>> pending;
        for (auto root = scene_.roots.rbegin(); root != scene_.roots.rend(); ++root)
            pending.push_back({*root, nullptr});
        while (!pending.empty()) {
            auto [index, parent] = pending.back();
            pending.pop_back();
            INode* node = createNode(index, parent);
            const std::vector<int>& children = scene_.nodes[std::size_t(index)].children;
            for (auto child = children.rbegin(); child != children.rend(); ++child)
                pending.push_back({*child, node});
        }
    }

    INode* createNode(int index, INode* parent) {
        const gltf::Node& source = scene_.nodes[std::size_t(index)];
        Object* object = nullptr;
        Mtl* material = nullptr;
        SkinBinding binding;
        if (source.mesh >= 0 && !scene_.meshes[std::size_t(source.mesh)].primitives.empty()) {
            const gltf::Mesh& mesh = scene_.meshes[std::size_t(source.mesh)];
            std::vector<int> slotOfPrimitive;
            material = materialFor(mesh, slotOfPrimitive);
            TriObject* triangles = buildMesh(mesh, slotOfPrimitive, binding);
            object = triangles;
            bool skinned = source.skin >= 0 &&
                           std::any_of(mesh.primitives.begin(), mesh.primitives.end(),
                                       [](const gltf::Primitive& p) { return !p.joints.empty(); });
            if (skinned) {
                // The derived object is built over the mesh before the node takes it, so the
                // mesh always has a reference.
                IDerivedObject* derived = CreateDerivedObject(triangles);
                auto* skin =
                    static_cast<Modifier*>(core_->CreateInstance(OSM_CLASS_ID, SKIN_CLASSID));
                if (skin) {
                    derived->AddModifier(skin);
                    binding.modifier = skin;
                    binding.skin = source.skin;
                } else {
                    warn("the host has no skin modifier; node '" + source.name +
                         "' stays unskinned");
                }
                object = derived;
            }
        }
        INode* node = core_->CreateObjectNode(object);
        node->SetName(source.name.c_str());
        if (parent) parent->AttachChild(node, 0);
        setRestTransform(node, source);
        if (material) node->SetMtl(material);
        nodes_[std::size_t(index)] = node;
        if (binding.modifier) {
            binding.node = node;
            skins_.push_back(std::move(binding));
        }
        return node;
    }

    void bindSkins() {
        for (SkinBinding& binding : skins_) {
            binding.node->EvalWorldState(0);
            auto* data =
                static_cast<ISkinImportData*>(binding.modifier->GetInterface(I_SKINIMPORTDATA));
            if (!data) continue;
            const gltf::Skin& skin = scene_.skins[std::size_t(binding.skin)];
            std::vector<INode*> bones(skin.joints.size(), nullptr);
            for (std::size_t j = 0; j < skin.joints.size(); ++j) {
                INode* bone = nodes_[std::size_t(skin.joints[j])];
                if (!bone) {
                    warn("skin '" + skin.name + "' names joint node " +
                         std::to_string(skin.joints[j]) + ", which is not in the scene");
                    continue;
                }
                if (!data->AddBoneEx(bone, FALSE)) continue;
                // glTF skins in the space of the mesh as given, whatever the node's transform:
                // the skinned node's initial matrix is the identity, and a bone's initial
                // matrix is the inverse of its inverse bind matrix.
                const Matrix3 bind = Inverse(toMatrix3(skin.inverseBindMatrices[j]));
                data->SetBoneTm(bone, bind, bind);
                bones[j] = bone;
            }
            data->SetSkinTm(binding.node, Matrix3(1), Matrix3(1));
            for (std::size_t v = 0; v < binding.joints.size(); ++v) {
                Tab<INode*> influences;
                Tab<float> weights;
                for (std::size_t c = 0; c < 4; ++c) {
                    const std::uint16_t joint = binding.joints[v][c];
                    float weight = binding.weights[v][c];
                    if (!(weight > 0) || joint >= bones.size() || !bones[joint]) continue;
                    INode* bone = bones[joint];
                    influences.Append(1, &bone);
                    weights.Append(1, &weight);
                }
                if (influences.Count() > 0)
                    data->AddWeights(binding.node, int(v), influences, weights);
            }
        }
    }

    static gltf::Vec4 restValue(const gltf::Node& node, gltf::AnimationPath path) {
        gltf::Vec3 translation = node.translation, scale = node.scale;
        gltf::Vec4 rotation = node.rotation;
        if (node.hasMatrix) decomposeLocal(localMatrix(node), translation, rotation, scale);
        switch (path) {
        case gltf::AnimationPath::translation:
            return {translation[0], translation[1], translation[2], 0};
        case gltf::AnimationPath::rotation:
            return rotation;
        default:
            return {scale[0], scale[1], scale[2], 0};
        }
    }

    static gltf::Vec4 keyValue(const gltf::Channel& channel, std::size_t key) {
        const std::size_t components = std::size_t(gltf::componentCount(channel.path));
        // A cubic spline stores in-tangent, value, out-tangent: the value is the middle one.
        const std::size_t at = channel.interpolation == gltf::Interpolation::cubicSpline
                                   ? (key * 3 + 1) * components
                                   : key * components;
        gltf::Vec4 value{0, 0, 0, 0};
        for (std::size_t c = 0; c < components; ++c)
            value[c] = channel.values[at + c];
        return value;
    }

    void layAnimations() {
        const int ticksPerFrame = GetTicksPerFrame();
        using Track = std::pair<int, gltf::AnimationPath>;
        std::set<Track> animated;
        for (const gltf::Animation& animation : scene_.animations)
            for (const gltf::Channel& channel : animation.channels)
                if (nodes_[std::size_t(channel.node)])
                    animated.insert({channel.node, channel.path});
        std::map<Track, std::vector<TrackKey>> keys;
        std::vector<AnimationRange> ranges;
        const std::vector<AnimationRange> places = placeAnimations();
        std::int32_t lastEndFrame = 0;
        for (std::size_t a = 0; a < scene_.animations.size(); ++a) {
            const gltf::Animation& animation = scene_.animations[a];
            const AnimationRange& range = places[a];
            if (range.startFrame < 0) {
                warn("animation '" + animation.name +
                     "' runs past the end of the host timeline; left out");
                continue;
            }
            const TimeValue start = range.startFrame * ticksPerFrame;
            const TimeValue end = range.endFrame * ticksPerFrame;
            std::set<Track> done;
            for (const gltf::Channel& channel : animation.channels) {
                const Track track{channel.node, channel.path};
                if (!nodes_[std::size_t(channel.node)] || !done.insert(track).second) continue;
                std::vector<TrackKey>& out = keys[track];
                const std::size_t count = channel.timesSeconds.size();
                const TimeValue first =
                    start +
                    TimeValue(std::lround(double(channel.timesSeconds[0]) * TIME_TICKSPERSEC));
                const TimeValue last =
                    start + TimeValue(std::lround(double(channel.timesSeconds[count - 1]) *
                                                  TIME_TICKSPERSEC));
                // glTF holds the end values before the first and after the last key.
                if (first > start) out.push_back({start, keyValue(channel, 0), true});
                for (std::size_t k = 0; k < count; ++k)
                    out.push_back({start + TimeValue(std::lround(double(channel.timesSeconds[k]) *
                                                                 TIME_TICKSPERSEC)),
                                   keyValue(channel, k)});
                if (last < end) out.push_back({end, keyValue(channel, count - 1), true});
            }
            // Tracks other animations move stay at rest over this one.
            for (const Track& track : animated)
                if (!done.count(track)) {
                    const gltf::Vec4 rest =
                        restValue(scene_.nodes[std::size_t(track.first)], track.second);
                    keys[track].push_back({start, rest});
                    keys[track].push_back({end, rest});
                }
            ranges.push_back(range);
            lastEndFrame = std::max(lastEndFrame, range.endFrame);
        }

        // A hold before a track's first key or after its last one repeats what the host holds
        // there anyway; it is needed only against another animation's keys on the same track.
        for (auto& [track, trackKeys] : keys) {
            std::stable_sort(trackKeys.begin(), trackKeys.end(),
                             [](const TrackKey& a, const TrackKey& b) { return a.time < b.time; });
            while (trackKeys.size() > 1 && trackKeys.back().hold)
                trackKeys.pop_back();
            std::size_t leading = 0;
            while (leading + 1 < trackKeys.size() && trackKeys[leading].hold)
                ++leading;
            trackKeys.erase(trackKeys.begin(), trackKeys.begin() + std::ptrdiff_t(leading));
        }

        SuspendAnimate();
        AnimateOn();
        for (const auto& [track, trackKeys] : keys) {
            Control* transform = nodes_[std::size_t(track.first)]->GetTMController();
            Control* control = nullptr;
            if (transform)
                control = track.second == gltf::AnimationPath::translation
                              ? transform->GetPositionController()
                          : track.second == gltf::AnimationPath::rotation
                              ? transform->GetRotationController()
                              : transform->GetScaleController();
            if (!control) {
                warn("node '" + scene_.nodes[std::size_t(track.first)].name + "' cannot take keys");
                continue;
            }
            for (const TrackKey& key : trackKeys)
                setKey(control, track.second, key);
        }
        ResumeAnimate();

        if (scene_.animationRange)
            core_->SetAnimRange(Interval(secondsToTicks(scene_.animationRange->startSeconds),
                                         secondsToTicks(scene_.animationRange->endSeconds)));
        else if (!ranges.empty())
            core_->SetAnimRange(Interval(0, lastEndFrame * ticksPerFrame));
        else
            core_->SetAnimRange(Interval(0, 0));
        saveAnimationRanges(ranges);
    }

    // The frames of each animation on the timeline (start -1: too long for it). A file written
    // from a host timeline records where each animation started; when every animation has such a
    // place and none overlaps another, they go back there, so frames survive a round trip.
    // Otherwise they follow one another from frame 1, in file order.
    std::vector<AnimationRange> placeAnimations() const {
        const long long lastFrame = TIME_PosInfinity / GetTicksPerFrame();
        const double fps = options_.framesPerSecond;
        std::vector<long long> frameCounts;
        for (const gltf::Animation& animation : scene_.animations) {
            float lastSeconds = 0;
            for (const gltf::Channel& channel : animation.channels)
                lastSeconds = std::max(lastSeconds, channel.timesSeconds.back());
            const double frames = std::max(0.0, std::ceil(double(lastSeconds) * fps - 1e-4));
            frameCounts.push_back(frames > double(lastFrame) ? -1 : (long long)frames);
        }
        std::vector<AnimationRange> places(scene_.animations.size());
        bool recorded = !places.empty();
        for (std::size_t a = 0; a < places.size() && recorded; ++a) {
            const std::optional<double> seconds = scene_.animations[a].timelineStartSeconds;
            const double start = seconds ? std::round(*seconds * fps) : -1;
            recorded = frameCounts[a] >= 0 && start >= 1 &&
                       start + double(frameCounts[a]) <= double(lastFrame);
            if (recorded)
                places[a] = {scene_.animations[a].name, std::int32_t(start),
                             std::int32_t(start + double(frameCounts[a]))};
        }
        if (recorded) {
            std::vector<AnimationRange> byStart = places;
            std::sort(byStart.begin(), byStart.end(),
                      [](const AnimationRange& a, const AnimationRange& b) {
                          return a.startFrame < b.startFrame;
                      });
            for (std::size_t a = 1; a < byStart.size() && recorded; ++a)
                recorded = byStart[a].startFrame > byStart[a - 1].endFrame;
        }
        if (recorded) return places;
        long long next = 1;
        for (std::size_t a = 0; a < places.size(); ++a) {
            places[a].name = scene_.animations[a].name;
            if (frameCounts[a] < 0 || next + frameCounts[a] > lastFrame) {
                places[a].startFrame = places[a].endFrame = -1;
                continue;
            }
            places[a].startFrame = std::int32_t(next);
            places[a].endFrame = std::int32_t(next + frameCounts[a]);
            next += frameCounts[a] + 1;
        }
        return places;
    }

    // The nearest tick, kept within what a TimeValue holds (the lowest value marks "empty").
    static TimeValue secondsToTicks(double seconds) {
        const double ticks = std::round(seconds * TIME_TICKSPERSEC);
        if (ticks >= double(TIME_PosInfinity)) return TIME_PosInfinity;
        if (ticks <= double(TIME_NegInfinity) + 1) return TIME_NegInfinity + 1;
        return TimeValue(ticks);
    }

    static void setKey(Control* control, gltf::AnimationPath path, const TrackKey& key) {
        if (path == gltf::AnimationPath::translation) {
            Point3 value(key.value[0], key.value[1], key.value[2]);
            control->SetValue(key.time, &value, 1, CTRL_ABSOLUTE);
        } else if (path == gltf::AnimationPath::rotation) {
            Quat value = toHostQuat(key.value);
            value.Normalize();
            control->SetValue(key.time, &value, 1, CTRL_ABSOLUTE);
        } else {
            ScaleValue value(Point3(key.value[0], key.value[1], key.value[2]));
            control->SetValue(key.time, &value, 1, CTRL_ABSOLUTE);
        }
    }

    const gltf::Scene& scene_;
    const ImportOptions& options_;
    ImportReport& report_;
    Interface* core_;
    std::vector<std::string> imagePaths_;
    std::vector<StdMat2*> materials_;
    StdMat2* defaultMaterial_ = nullptr;
    std::vector<INode*> nodes_;
    std::vector<SkinBinding> skins_;
};

} // namespace

bool isUsableFrameRate(int framesPerSecond) {
    return framesPerSecond > 0 && framesPerSecond <= TIME_TICKSPERSEC &&
           TIME_TICKSPERSEC % framesPerSecond == 0;
}

bool buildHostScene(const gltf::Scene& scene, const ImportOptions& options, ImportReport& report) {
    return HostSceneBuilder(scene, options, report).build();
}

} // namespace scene
