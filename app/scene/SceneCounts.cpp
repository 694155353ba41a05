#include "scene/SceneCounts.h"

#include "scene/AnimationRanges.h"
#include "scene/SkinLookup.h"

#include <control.h>
#include <imtl.h>
#include <iskin.h>
#include <istdplug.h>
#include <maxapi.h>
#include <object.h>
#include <triobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace scene {
namespace {

std::vector<INode*> allNodes() {
    std::vector<INode*> nodes;
    std::vector<INode*> pending = {GetCOREInterface()->GetRootNode()};
    while (!pending.empty()) {
        INode* node = pending.back();
        pending.pop_back();
        for (int i = node->NumberOfChildren() - 1; i >= 0; --i)
            if (INode* child = node->GetChildNode(i)) {
                nodes.push_back(child);
                pending.push_back(child);
            }
    }
    return nodes;
}

int facesOf(INode* node) {
    const ObjectState& state = node->EvalWorldState(0);
    if (!state.obj || state.obj->ClassID() == BONE_OBJ_CLASSID ||
        !state.obj->CanConvertToType(triObjectClassID))
        return 0;
    Object* converted = state.obj->ConvertToType(0, triObjectClassID);
    const int faces = static_cast<TriObject*>(converted)->GetMesh().getNumFaces();
    if (converted != state.obj) converted->DeleteThis();
    return faces;
}

std::size_t keysWithin(Control* control, TimeValue start, TimeValue end) {
    std::size_t count = 0;
    for (int k = 0; control && k < control->NumKeys(); ++k) {
        const TimeValue time = control->GetKeyTime(k);
        if (time >= start && time <= end) ++count;
    }
    return count;
}

void countKeys(const std::vector<INode*>& nodes, TimeValue start, TimeValue end,
               SceneCounts& counts) {
    for (INode* node : nodes) {
        Control* transform = node->GetTMController();
        if (!transform) continue;
        const std::size_t position = keysWithin(transform->GetPositionController(), start, end);
        const std::size_t rotation = keysWithin(transform->GetRotationController(), start, end);
        const std::size_t scale = keysWithin(transform->GetScaleController(), start, end);
        counts.positionKeys += position;
        counts.rotationKeys += rotation;
        counts.scaleKeys += scale;
        if (position + rotation + scale > 0) ++counts.animatedNodes;
    }
}

std::string plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

SceneCounts countHostScene() {
    SceneCounts counts;
    const std::vector<INode*> nodes = allNodes();
    counts.nodes = nodes.size();
    for (INode* node : nodes) {
        if (const int faces = facesOf(node); faces > 0) {
            ++counts.meshes;
            counts.triangles += std::size_t(faces);
        }
        if (Mtl* material = node->GetMtl())
            counts.materials +=
                material->NumSubMtls() > 0 ? std::size_t(material->NumSubMtls()) : 1;
        if (Object* reference = node->GetObjectRef())
            if (Modifier* skin = findSkin(reference))
                if (auto* data = static_cast<ISkin*>(skin->GetInterface(I_SKIN)))
                    counts.bones += std::size_t(std::max(data->GetNumBones(), 0));
    }
    const std::vector<AnimationRange> sets = loadAnimationRanges();
    counts.animationSets = sets.size();
    const long long ticksPerFrame = GetTicksPerFrame();
    const auto ticksOf = [&](std::int32_t frame) {
        const long long ticks = frame * ticksPerFrame;
        return TimeValue(std::clamp<long long>(ticks, TIME_NegInfinity, TIME_PosInfinity));
    };
    for (const AnimationRange& set : sets)
        countKeys(nodes, ticksOf(set.startFrame), ticksOf(set.endFrame), counts);
    if (sets.empty()) countKeys(nodes, TIME_NegInfinity, TIME_PosInfinity, counts);
    return counts;
}

void printCounts(std::ostream& out, const SceneCounts& counts) {
    out << "counts: " << plural(counts.nodes, "node", "nodes") << ", "
        << plural(counts.meshes, "mesh", "meshes") << ", "
        << plural(counts.triangles, "triangle", "triangles") << ", "
        << plural(counts.materials, "material", "materials") << ", "
        << plural(counts.bones, "bone", "bones") << ", "
        << plural(counts.animationSets, "animation set", "animation sets") << ", "
        << plural(counts.animatedNodes, "animated node", "animated nodes")
        << ", keys: " << counts.positionKeys << " position, " << counts.rotationKeys
        << " rotation, " << counts.scaleKeys << " scale\n";
}

} // namespace scene
