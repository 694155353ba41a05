// The vertex paint modifier: colours painted for a node, written into one map channel of the
// mesh passing through. Without colours it passes the mesh through unchanged.
#include <map>
#include <vector>

#include "Deformers.h"
#include "IVertexPaint.h"
#include "inode.h"
#include "istdplug.h"
#include "triobj.h"

namespace {

class VertexPaintModifier : public Modifier, public IVertexPaint {
public:
    Class_ID ClassID() override { return PAINTLAYERMOD_CLASS_ID; }
    const TCHAR* GetObjectName() override { return "VertexPaint"; }
    Interface_ID GetID() override { return IVERTEXPAINT_INTERFACE_ID; }

    using Modifier::GetInterface;
    BaseInterface* GetInterface(Interface_ID id) override {
        if (id == IVERTEXPAINT_INTERFACE_ID) return static_cast<IVertexPaint*>(this);
        return Modifier::GetInterface(id);
    }

    int SetColors(INode* node, VertColorTab& vertColors) override {
        if (!node) return 0;
        std::vector<Point3>& stored = perVertex[node];
        stored.clear();
        for (int i = 0; i < vertColors.Count(); ++i) {
            const Color* c = vertColors[i];
            stored.push_back(c ? Point3(c->r, c->g, c->b) : Point3(0.0f, 0.0f, 0.0f));
        }
        perCorner.erase(node);
        return 1;
    }

    int SetColors(INode* node, FaceColorTab& faceColors) override {
        if (!node) return 0;
        std::vector<Point3>& stored = perCorner[node];
        stored.clear();
        for (int f = 0; f < faceColors.Count(); ++f)
            for (int k = 0; k < 3; ++k) {
                const FaceColor* c = faceColors[f];
                stored.push_back(c ? Point3(c->colors[k].r, c->colors[k].g, c->colors[k].b)
                                   : Point3(0.0f, 0.0f, 0.0f));
            }
        perVertex.erase(node);
        return 1;
    }

    void GetOptions(Options& o) override { o = options; }
    void SetOptions(Options& o) override { options = o; }

    void ModifyObject(TimeValue, ModContext&, ObjectState* os, INode* node) override {
        if (!os || !os->obj || os->obj->ClassID() != triObjectClassID) return;
        if (options.mapChannel < 0 || options.mapChannel >= MAX_MESHMAPS) return;
        Mesh& mesh = static_cast<TriObject*>(os->obj)->mesh;
        int channel = options.mapChannel;
        auto vertexColours = perVertex.find(node);
        if (vertexColours != perVertex.end() &&
            int(vertexColours->second.size()) == mesh.getNumVerts()) {
            mesh.setMapSupport(channel, FALSE);
            mesh.setMapSupport(channel, TRUE);
            mesh.setNumMapVerts(channel, mesh.getNumVerts());
            for (int v = 0; v < mesh.getNumVerts(); ++v)
                mesh.mapVerts(channel)[v] = vertexColours->second[size_t(v)];
            for (int f = 0; f < mesh.getNumFaces(); ++f)
                mesh.mapFaces(channel)[f] =
                    TVFace(mesh.faces[f].v[0], mesh.faces[f].v[1], mesh.faces[f].v[2]);
            return;
        }
        auto cornerColours = perCorner.find(node);
        if (cornerColours != perCorner.end() &&
            int(cornerColours->second.size()) == 3 * mesh.getNumFaces()) {
            mesh.setMapSupport(channel, FALSE);
            mesh.setMapSupport(channel, TRUE);
            mesh.setNumMapVerts(channel, 3 * mesh.getNumFaces());
            for (int i = 0; i < 3 * mesh.getNumFaces(); ++i)
                mesh.mapVerts(channel)[i] = cornerColours->second[size_t(i)];
            for (int f = 0; f < mesh.getNumFaces(); ++f)
                mesh.mapFaces(channel)[f] =
                    TVFace(DWORD(3 * f), DWORD(3 * f + 1), DWORD(3 * f + 2));
        }
    }

private:
    Options options;
    std::map<INode*, std::vector<Point3>> perVertex;
    std::map<INode*, std::vector<Point3>> perCorner;
};

} // namespace

namespace hostcore::detail {

Modifier* newVertexPaintModifier() {
    return new VertexPaintModifier;
}

} // namespace hostcore::detail
