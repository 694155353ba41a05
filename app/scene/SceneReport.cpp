#include "scene/SceneReport.h"

#include "scene/AnimationRanges.h"
#include "scene/SkinLookup.h"

#include <control.h>
#include <iskin.h>
#include <istdplug.h>
#include <maxapi.h>
#include <modstack.h>
#include <stdmat.h>
#include <triobj.h>

#include <charconv>
#include <string>

namespace scene {
namespace {

// Shortest text that reads back as the same float, whatever the locale.
std::string number(float value) {
    if (value == 0) value = 0; // no "-0"
    char text[32];
    auto [end, status] = std::to_chars(text, text + sizeof text, value);
    return status == std::errc() ? std::string(text, end) : std::string("?");
}

std::string triple(const Point3& p) {
    return "(" + number(p.x) + " " + number(p.y) + " " + number(p.z) + ")";
}

int keyCount(Control* control) {
    return control ? std::max(control->NumKeys(), 0) : 0;
}

void printMaterial(Mtl* material, const std::string& indent, std::ostream& out) {
    if (material->NumSubMtls() > 0) {
        out << indent << "material: '" << material->GetName() << "' (multi/sub-object, "
            << material->NumSubMtls() << " slots)\n";
        for (int i = 0; i < material->NumSubMtls(); ++i)
            if (Mtl* sub = material->GetSubMtl(i)) {
                out << indent << "  slot " << i << ":\n";
                printMaterial(sub, indent + "    ", out);
            }
        return;
    }
    const Color diffuse = material->GetDiffuse();
    out << indent << "material: '" << material->GetName() << "' diffuse (" << number(diffuse.r)
        << " " << number(diffuse.g) << " " << number(diffuse.b) << ") opacity "
        << number(1.0f - material->GetXParency()) << '\n';
    if (material->ClassID() == Class_ID(DMTL_CLASS_ID, 0)) {
        auto* standard = static_cast<StdMat2*>(material);
        Texmap* map = standard->GetSubTexmap(standard->StdIDToChannel(ID_DI));
        if (map && map->ClassID() == Class_ID(BMTEX_CLASS_ID, 0))
            out << indent << "  diffuse map: " << static_cast<BitmapTex*>(map)->GetMapName()
                << '\n';
    }
}

// Indentation shows nesting up to this depth; deeper nodes carry their depth instead, so a chain
// of thousands of nodes does not print a square of spaces.
const int kIndentedLevels = 32;

std::string indentFor(int level) {
    if (level <= kIndentedLevels) return std::string(std::size_t(2 * level), ' ');
    return std::string(std::size_t(2 * kIndentedLevels), ' ') + "[" + std::to_string(level) + "] ";
}

void printNode(INode* node, int level, std::ostream& out) {
    const std::string indent = indentFor(level);
    out << indent << node->GetName() << '\n';
    const std::string inner = indent + "  ";
    Control* transform = node->GetTMController();
    Control* position = transform ? transform->GetPositionController() : nullptr;
    Control* rotation = transform ? transform->GetRotationController() : nullptr;
    Control* scale = transform ? transform->GetScaleController() : nullptr;
    if (position && rotation && scale) {
        Interval valid = FOREVER;
        Point3 p;
        Quat q;
        ScaleValue s;
        position->GetValue(0, &p, valid, CTRL_ABSOLUTE);
        rotation->GetValue(0, &q, valid, CTRL_ABSOLUTE);
        scale->GetValue(0, &s, valid, CTRL_ABSOLUTE);
        out << inner << "position " << triple(p) << " rotation (" << number(q.x) << " "
            << number(q.y) << " " << number(q.z) << " " << number(q.w) << ") scale " << triple(s.s)
            << '\n';
        if (keyCount(position) + keyCount(rotation) + keyCount(scale) > 0)
            out << inner << "keys: position " << keyCount(position) << ", rotation "
                << keyCount(rotation) << ", scale " << keyCount(scale) << '\n';
    } else {
        const Matrix3 world = node->GetNodeTM(0);
        out << inner << "world rows " << triple(world.GetRow(0)) << " " << triple(world.GetRow(1))
            << " " << triple(world.GetRow(2)) << " " << triple(world.GetRow(3)) << '\n';
    }
    if (Object* reference = node->GetObjectRef()) {
        Modifier* skin = findSkin(reference);
        const ObjectState& state = node->EvalWorldState(0);
        if (state.obj && state.obj->ClassID() == BONE_OBJ_CLASSID) {
            out << inner << "bone object\n";
        } else if (state.obj && state.obj->CanConvertToType(triObjectClassID)) {
            Object* converted = state.obj->ConvertToType(0, triObjectClassID);
            Mesh& mesh = static_cast<TriObject*>(converted)->GetMesh();
            out << inner << "mesh: " << mesh.getNumVerts() << " vertices, " << mesh.getNumFaces()
                << " faces";
            for (int channel = 0; channel < mesh.getNumMaps(); ++channel)
                if (mesh.mapSupport(channel))
                    out << ", map channel " << channel << " (" << mesh.getNumMapVerts(channel)
                        << ")";
            out << '\n';
            if (converted != state.obj) converted->DeleteThis();
        }
        if (skin)
            if (auto* data = static_cast<ISkin*>(skin->GetInterface(I_SKIN))) {
                ISkinContextData* context = data->GetContextInterface(node);
                out << inner << "skin: " << data->GetNumBones() << " bones, "
                    << (context ? context->GetNumPoints() : 0) << " points\n";
            }
    }
    if (Mtl* material = node->GetMtl()) printMaterial(material, inner, out);
}

// The nodes under `root` with their depth (1 for the root's children), depth first in child
// order, collected with an explicit stack.
std::vector<std::pair<INode*, int>> nodesInOrder(INode* root) {
    std::vector<std::pair<INode*, int>> ordered;
    std::vector<std::pair<INode*, int>> pending = {{root, 0}};
    while (!pending.empty()) {
        auto [node, level] = pending.back();
        pending.pop_back();
        if (level > 0) ordered.push_back({node, level});
        for (int i = node->NumberOfChildren() - 1; i >= 0; --i)
            if (INode* child = node->GetChildNode(i)) pending.push_back({child, level + 1});
    }
    return ordered;
}

} // namespace

void printHostScene(std::ostream& out) {
    Interface* core = GetCOREInterface();
    const int ticksPerFrame = GetTicksPerFrame();
    const Interval range = core->GetAnimRange();
    out << "frame rate: " << GetFrameRate() << " fps\n"
        << "animation range: frames " << range.Start() / ticksPerFrame << " to "
        << range.End() / ticksPerFrame << '\n';
    const std::vector<AnimationRange> ranges = loadAnimationRanges();
    out << "animation sets: " << ranges.size() << '\n';
    for (const AnimationRange& set : ranges)
        out << "  '" << set.name << "' frames " << set.startFrame << " to " << set.endFrame << '\n';
    const std::vector<std::pair<INode*, int>> nodes = nodesInOrder(core->GetRootNode());
    out << "nodes: " << nodes.size() << '\n';
    for (const auto& [node, level] : nodes)
        printNode(node, level, out);
}

} // namespace scene
