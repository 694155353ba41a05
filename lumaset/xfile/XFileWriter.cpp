#include "xfile/XFileIO.h"

#include "model/MeshIndexProcessing.h"
#include "xfile/MeshAssembly.h"
#include "xfile/PackedData.h"
#include "xfile/TextNames.h"
#include "xfile/XFileIds.h"
#include "xfile/XFileServices.h"
#include "xfile/XFileTemplates.h"

#include <ComRef.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// The tick rate every written file declares.
constexpr std::uint32_t kTicksPerSecond = 4800;

// Face list bytes: per face a corner count and that many indices.
std::size_t faceListBytes(const std::vector<XFace>& faces) {
    std::size_t bytes = 0;
    for (const XFace& face : faces)
        bytes += 4 * (1 + face.cornerCount);
    return bytes;
}

void addFaceList(PackedBuilder& data, const std::vector<XFace>& faces) {
    static_assert(sizeof(XFace) == 5 * sizeof(std::uint32_t) && offsetof(XFace, indices) == 4,
                  "an XFace starts as its packed form: the corner count, then the indices");
    data.addDword(static_cast<std::uint32_t>(faces.size()));
    for (const XFace& face : faces) {
        const std::size_t bytes =
            4 * (1 + std::size_t(std::min<std::uint32_t>(face.cornerCount, 4)));
        std::memcpy(data.extend(bytes), &face, bytes);
    }
}

void addVectors(PackedBuilder& data, const std::vector<XVector3>& vectors) {
    static_assert(sizeof(XVector3) == 3 * sizeof(float), "XVector3 is the packed Vector");
    data.addDword(static_cast<std::uint32_t>(vectors.size()));
    data.addRaw(vectors.data(), vectors.size() * sizeof(XVector3));
}

void addMatrix(PackedBuilder& data, const XMatrix& matrix) {
    static_assert(sizeof(XMatrix) == 16 * sizeof(float), "XMatrix is the 16 floats of Matrix4x4");
    data.addRaw(&matrix, sizeof matrix);
}

// Backslashes are written doubled, as the importers of this format expect to collapse them.
std::string withDoubledBackslashes(const std::string& text) {
    std::string doubled;
    doubled.reserve(text.size() + 8);
    for (char c : text) {
        doubled += c;
        if (c == '\\') doubled += '\\';
    }
    return doubled;
}

std::string afterLastBackslash(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool followsPositionIndices(const XFaceList& cornerFaces, const XFaceList& faces) {
    if (cornerFaces.empty() || cornerFaces.sharesStorageWith(faces)) return true;
    if (cornerFaces.size() != faces.size()) return false;
    for (std::size_t i = 0; i < faces.size(); ++i)
        for (std::uint32_t corner = 0; corner < faces[i].cornerCount; ++corner)
            if (cornerFaces[i].indices[corner] != faces[i].indices[corner]) return false;
    return true;
}

// Clears what the switches leave out (skin weights apart) and applies the texture path rule.
void trimMesh(XMesh& mesh, const XFileIO& io) {
    if (!io.keepNormals) {
        mesh.normals.clear();
        mesh.normalFaces.clear();
    }
    if (!io.keepTexCoords) {
        mesh.texCoords.clear();
        mesh.texCoordFaces.clear();
    }
    if (!io.keepTexturePath)
        for (XMaterial& material : mesh.materials)
            material.textureFilename = afterLastBackslash(material.textureFilename);
    if (!io.keepVertexColors) {
        mesh.colors.clear();
        mesh.colorFaces.clear();
    }
}

// A file stores texture coordinates and colours per vertex, indexed by the position faces. When
// their own indices differ from the positions' (compaction alone does that to nearly every
// textured mesh), only unification can write them without scrambling them.
bool needsUnification(const XMesh& mesh) {
    return !followsPositionIndices(mesh.texCoordFaces, mesh.faces) ||
           !followsPositionIndices(mesh.colorFaces, mesh.faces);
}

// One entry per vertex, even for vertices no face uses.
void padPerVertexStreams(XMesh& mesh) {
    if (!mesh.texCoords.empty() && mesh.texCoords.size() < mesh.positions.size())
        mesh.texCoords.resize(mesh.positions.size());
    if (!mesh.colors.empty() && mesh.colors.size() < mesh.positions.size())
        mesh.colors.resize(mesh.positions.size());
}

bool weightsWithin(const std::vector<XSkinWeights>& bones, std::size_t vertexCount) {
    for (const XSkinWeights& bone : bones) {
        if (bone.weights.empty()) continue;
        if (bone.weights.begin()->first < 0 ||
            static_cast<std::size_t>(bone.weights.rbegin()->first) >= vertexCount)
            return false;
    }
    return true;
}

// Makes `mesh` the private copy of `source` in the form that is written: broken streams left out,
// compacted, trimmed, unified when asked or needed. Skin weights are the costliest part to copy,
// and they change only when compaction merges positions or unification runs; otherwise they stay
// in the caller's mesh and `skin` points at them. `skin` is null when no weights are written.
void prepareMesh(const XMesh& source, const XFileIO& io, bool unify, XMesh& mesh,
                 const std::vector<XSkinWeights>*& skin) {
    mesh.faces = source.faces;
    mesh.positions = source.positions;
    mesh.normalFaces = source.normalFaces;
    mesh.normals = source.normals;
    mesh.faceMaterials = source.faceMaterials;
    mesh.texCoordFaces = source.texCoordFaces;
    mesh.texCoords = source.texCoords;
    mesh.colorFaces = source.colorFaces;
    mesh.colors = source.colors;
    mesh.materials = source.materials;
    dropBrokenStreams(mesh);
    compactMesh(mesh);
    const bool hasSkin = io.keepSkin && !source.skinWeights.empty() && !mesh.positions.empty();
    const bool positionsKept = mesh.positions.size() == source.positions.size() &&
                               weightsWithin(source.skinWeights, source.positions.size());
    if (hasSkin && !positionsKept) {
        // The weights must follow merged vertices or lose broken entries: a whole copy it is.
        mesh = source;
        dropBrokenStreams(mesh);
        compactMesh(mesh);
    }
    trimMesh(mesh, io);
    const bool unifying = unify || needsUnification(mesh);
    // Compaction left every position where it was, so the caller's weights still fit; they are
    // copied in only when unification is to move them.
    if (hasSkin && positionsKept && unifying) mesh.skinWeights = source.skinWeights;
    if (unifying) unifyVertices(mesh);
    padPerVertexStreams(mesh);
    skin = !hasSkin                       ? nullptr
           : (positionsKept && !unifying) ? &source.skinWeights
                                          : &mesh.skinWeights;
}

// Levels of objects that a frame's own content adds below the frame object: its transform
// matrix; or its mesh, the mesh's children, a material list's materials and their textures. A
// mesh counts as the source holds it, before broken streams are left out.
int levelsBelowFrame(const XMesh& mesh, const XFileIO& io) {
    if (mesh.isEmpty()) return 1;
    if (!mesh.faceMaterials.empty()) {
        if (mesh.materials.empty()) return 2;
        for (const XMaterial& material : mesh.materials)
            if (!material.textureFilename.empty()) return 4;
        return 3;
    }
    const bool hasChildren = (io.keepNormals && !mesh.normals.empty()) ||
                             (io.keepTexCoords && !mesh.texCoords.empty()) ||
                             (io.keepVertexColors && !mesh.colors.empty()) ||
                             (io.keepSkin && !mesh.skinWeights.empty());
    return hasChildren ? 2 : 1;
}

// Whether some frame's objects would nest deeper than X readers go. The walk stops at the first
// such frame, so a chain of any depth costs no more than the readable levels above it.
bool nestsTooDeeply(const XScene& scene, const XFileIO& io) {
    std::vector<std::pair<const XFrame*, int>> pending;
    for (const XFrame& frame : scene.frames)
        pending.emplace_back(&frame, 1);
    while (!pending.empty()) {
        const auto [frame, level] = pending.back();
        pending.pop_back();
        if (level + levelsBelowFrame(frame->mesh, io) > XFileIO::kMaxObjectNesting) return true;
        for (const XFrame& child : frame->children)
            pending.emplace_back(&child, level + 1);
    }
    return false;
}

// Hands the services a chain of empty frames one level deeper than X readers go, so that they
// refuse the save in their own words: the target file stays as it was and the reason is the
// services' last error, where every caller of the writer looks for it.
void refuseTooDeepNesting(IDirectXFileSaveObject* save) {
    std::vector<ComRef<IDirectXFileData>> chain;
    for (int level = 1; level <= XFileIO::kMaxObjectNesting + 1; ++level) {
        ComRef<IDirectXFileData> frame;
        if (save->CreateDataObject(TID_D3DRMFrame, nullptr, nullptr, 0, nullptr, frame.receive()) !=
            DXFILE_OK)
            return; // that failure is on record and spoils the save already
        if (!chain.empty() && chain.back().get()->AddDataObject(frame.get()) != DXFILE_OK) return;
        chain.push_back(std::move(frame));
    }
    // Services that took such a chain must still not replace the target: a call they refuse
    // marks the save as failed.
    if (save->SaveData(chain.front().get()) == DXFILE_OK) save->SaveData(nullptr);
}

// One save: the save object and whether everything handed to it so far was taken.
class SaveSession {
public:
    // `names`: the renaming for the text encoding, or null to write names as they are.
    SaveSession(IDirectXFileSaveObject* saveObject, const XFileIO& io, bool unify,
                const TextEncodingNames* names)
        : save_(saveObject), io_(io), unify_(unify), names_(names) {}

    bool isComplete() const { return complete_; }
    // Notes a failed call: the services then keep the target file as it was.
    void check(HRESULT result) {
        if (result != DXFILE_OK) complete_ = false;
    }

    // A new unattached object, or none (and the save marked incomplete).
    // The size handed over is always the packed size, a TextureFilename's included (one text
    // pointer): the services refuse any other, and a refused object fails the whole save.
    ComRef<IDirectXFileData> create(const GUID& type, const std::string& name,
                                    PackedBuilder* data = nullptr) {
        ComRef<IDirectXFileData> object;
        const std::size_t size = data ? data->size() : 0;
        const HRESULT result = save_->CreateDataObject(
            type, name.empty() ? nullptr : name.c_str(), nullptr, static_cast<DWORD>(size),
            data ? data->data() : nullptr, object.receive());
        if (result != DXFILE_OK) {
            object.reset();
            complete_ = false;
        }
        return object;
    }

    // Adds `child` (when there is one) to `parent` and lets go of it.
    void add(IDirectXFileData* parent, ComRef<IDirectXFileData> child) {
        if (child.get() && parent->AddDataObject(child.get()) != DXFILE_OK) complete_ = false;
    }

    void addReference(IDirectXFileData* parent, const std::string& name) {
        if (parent->AddDataReference(name.c_str(), nullptr) != DXFILE_OK) complete_ = false;
    }

    void saveTopLevel(ComRef<IDirectXFileData> object) {
        if (object.get() && save_->SaveData(object.get()) != DXFILE_OK) complete_ = false;
    }

    ComRef<IDirectXFileData> buildFrame(const XFrame& frame);
    // `skin`: the weights to write with the mesh, or null for none.
    ComRef<IDirectXFileData> buildMesh(const XMesh& mesh, const std::vector<XSkinWeights>* skin);
    ComRef<IDirectXFileData> buildAnimationSet(const std::string& name, const XAnimationSet& set);

private:
    // The one builder for large blocks, emptied for each. The services copy a block when the
    // object is created, so its storage serves the next one: the memory of a mesh's largest
    // block is fresh from the system once per save, not once per block.
    PackedBuilder& largeBlock() {
        largeBlock_.clear();
        return largeBlock_;
    }
    const std::string& written(const std::string& name) const {
        return names_ ? (*names_)(name) : name;
    }
    ComRef<IDirectXFileData> buildMaterialList(const XMesh& mesh);
    ComRef<IDirectXFileData> buildSkinWeights(const XSkinWeights& bone);
    template <class KeyMap, class PackValue>
    void addKeys(IDirectXFileData* animation, std::uint32_t keyType, std::uint32_t valueCount,
                 const KeyMap& keys, PackValue packValue);

    IDirectXFileSaveObject* save_;
    const XFileIO& io_;
    bool unify_;
    const TextEncodingNames* names_;
    bool complete_ = true;
    PackedBuilder largeBlock_;
};

// Recursion is bounded: writeScene refuses scenes nested deeper than X readers go.
ComRef<IDirectXFileData> SaveSession::buildFrame(const XFrame& frame) {
    ComRef<IDirectXFileData> object = create(TID_D3DRMFrame, written(frame.name));
    if (!object.get()) return object; // the frame and its subtree are lost; the save says so

    PackedBuilder transform;
    addMatrix(transform, frame.transform);
    add(object.get(), create(TID_D3DRMFrameTransformMatrix, std::string(), &transform));
    // The private copy is made one mesh at a time: meshes are all the writer changes, and a
    // mesh's copy is gone as soon as its objects hold their packed data, so the whole scene is
    // never held twice.
    XMesh mesh;
    const std::vector<XSkinWeights>* skin = nullptr;
    prepareMesh(frame.mesh, io_, unify_, mesh, skin);
    add(object.get(), buildMesh(mesh, skin));
    mesh = XMesh();
    for (const XFrame& child : frame.children)
        add(object.get(), buildFrame(child));
    return object;
}

ComRef<IDirectXFileData> SaveSession::buildMesh(const XMesh& mesh,
                                                const std::vector<XSkinWeights>* skin) {
    if (mesh.positions.empty() || mesh.faces.empty()) return {};

    PackedBuilder& geometry = largeBlock();
    geometry.reserve(8 + 12 * mesh.positions.size() + faceListBytes(mesh.faces));
    addVectors(geometry, mesh.positions);
    addFaceList(geometry, mesh.faces);
    ComRef<IDirectXFileData> object = create(TID_D3DRMMesh, std::string(), &geometry);
    if (!object.get()) return object;

    if (!mesh.normals.empty()) {
        PackedBuilder& normals = largeBlock();
        normals.reserve(8 + 12 * mesh.normals.size() + faceListBytes(mesh.normalFaces));
        addVectors(normals, mesh.normals);
        addFaceList(normals, mesh.normalFaces);
        add(object.get(), create(TID_D3DRMMeshNormals, std::string(), &normals));
    }
    if (!mesh.texCoords.empty()) {
        PackedBuilder& coords = largeBlock();
        coords.reserve(4 + 8 * mesh.texCoords.size());
        static_assert(sizeof(XVector2) == 2 * sizeof(float), "XVector2 is the packed Coords2d");
        coords.addDword(static_cast<std::uint32_t>(mesh.texCoords.size()));
        coords.addRaw(mesh.texCoords.data(), mesh.texCoords.size() * sizeof(XVector2));
        add(object.get(), create(TID_D3DRMMeshTextureCoords, std::string(), &coords));
    }
    if (!mesh.colors.empty()) {
        PackedBuilder& colors = largeBlock();
        colors.reserve(4 + 20 * mesh.colors.size());
        colors.addDword(static_cast<std::uint32_t>(mesh.colors.size()));
        for (std::size_t i = 0; i < mesh.colors.size(); ++i) {
            const XColor& color = mesh.colors[i];
            colors.addDword(static_cast<std::uint32_t>(i));
            colors.addFloat(color.r);
            colors.addFloat(color.g);
            colors.addFloat(color.b);
            colors.addFloat(color.a);
        }
        add(object.get(), create(TID_D3DRMMeshVertexColors, std::string(), &colors));
    }
    if (!mesh.faceMaterials.empty()) add(object.get(), buildMaterialList(mesh));
    if (skin && !skin->empty()) {
        PackedBuilder header;
        header.addWord(2); // nMaxSkinWeightsPerVertex
        header.addWord(0); // nMaxSkinWeightsPerFace
        header.addWord(static_cast<std::uint16_t>(skin->size()));
        add(object.get(), create(DXFILEOBJ_XSkinMeshHeader, std::string(), &header));
        for (const XSkinWeights& bone : *skin)
            add(object.get(), buildSkinWeights(bone));
    }
    return object;
}

ComRef<IDirectXFileData> SaveSession::buildMaterialList(const XMesh& mesh) {
    PackedBuilder& list = largeBlock();
    list.reserve(8 + 4 * mesh.faceMaterials.size());
    list.addDword(static_cast<std::uint32_t>(mesh.materials.size()));
    list.addDword(static_cast<std::uint32_t>(mesh.faceMaterials.size()));
    for (std::uint32_t index : mesh.faceMaterials)
        list.addDword(index);
    ComRef<IDirectXFileData> object = create(TID_D3DRMMeshMaterialList, std::string(), &list);
    if (!object.get()) return object;

    for (const XMaterial& material : mesh.materials) {
        PackedBuilder values;
        values.addFloat(material.diffuse.r);
        values.addFloat(material.diffuse.g);
        values.addFloat(material.diffuse.b);
        values.addFloat(material.diffuse.a);
        values.addFloat(material.power);
        values.addFloat(material.specular.r);
        values.addFloat(material.specular.g);
        values.addFloat(material.specular.b);
        values.addFloat(material.emissive.r);
        values.addFloat(material.emissive.g);
        values.addFloat(material.emissive.b);
        ComRef<IDirectXFileData> materialObject = create(TID_D3DRMMaterial, std::string(), &values);
        if (!materialObject.get()) continue;
        if (!material.textureFilename.empty()) {
            const std::string fileName = withDoubledBackslashes(material.textureFilename);
            PackedBuilder texture;
            texture.addString(fileName.c_str());
            add(materialObject.get(), create(TID_D3DRMTextureFilename, std::string(), &texture));
        }
        add(object.get(), std::move(materialObject));
    }
    return object;
}

ComRef<IDirectXFileData> SaveSession::buildSkinWeights(const XSkinWeights& bone) {
    PackedBuilder& data = largeBlock();
    data.reserve(sizeof(const char*) + 68 + 8 * bone.weights.size());
    data.addString(written(bone.boneName).c_str());
    data.addDword(static_cast<std::uint32_t>(bone.weights.size()));
    for (const auto& entry : bone.weights)
        data.addDword(static_cast<std::uint32_t>(entry.first));
    for (const auto& entry : bone.weights)
        data.addFloat(entry.second);
    addMatrix(data, bone.offsetMatrix);
    return create(DXFILEOBJ_SkinWeights, std::string(), &data);
}

template <class KeyMap, class PackValue>
void SaveSession::addKeys(IDirectXFileData* animation, std::uint32_t keyType,
                          std::uint32_t valueCount, const KeyMap& keys, PackValue packValue) {
    if (keys.empty()) return;
    PackedBuilder& data = largeBlock();
    data.reserve(8 + keys.size() * (8 + 4 * valueCount));
    data.addDword(keyType);
    data.addDword(static_cast<std::uint32_t>(keys.size()));
    for (const auto& [timeTicks, value] : keys) {
        data.addDword(static_cast<std::uint32_t>(timeTicks));
        data.addDword(valueCount);
        packValue(data, value);
    }
    add(animation, create(TID_D3DRMAnimationKey, std::string(), &data));
}

ComRef<IDirectXFileData> SaveSession::buildAnimationSet(const std::string& name,
                                                        const XAnimationSet& set) {
    ComRef<IDirectXFileData> object = create(TID_D3DRMAnimationSet, written(name));
    if (!object.get()) return object;

    for (const auto& [targetName, animation] : set) {
        ComRef<IDirectXFileData> animationObject = create(TID_D3DRMAnimation, std::string());
        if (!animationObject.get()) continue;
        // An animation of an unnamed frame has nothing to name; the file then holds it without
        // a reference, which reads back as the same empty target.
        if (!targetName.empty()) addReference(animationObject.get(), written(targetName));
        IDirectXFileData* target = animationObject.get();
        addKeys(target, kMatrixKeyType, 16, animation.matrixKeys,
                [](PackedBuilder& data, const XMatrix& m) { addMatrix(data, m); });
        addKeys(target, kRotationKeyType, 4, animation.rotationKeys,
                [](PackedBuilder& data, const XQuaternion& q) {
                    data.addFloat(q.w); // the file stores w, x, y, z
                    data.addFloat(q.x);
                    data.addFloat(q.y);
                    data.addFloat(q.z);
                });
        addKeys(target, kScaleKeyType, 3, animation.scaleKeys,
                [](PackedBuilder& data, const XVector3& v) {
                    data.addFloat(v.x);
                    data.addFloat(v.y);
                    data.addFloat(v.z);
                });
        addKeys(target, kPositionKeyType, 3, animation.positionKeys,
                [](PackedBuilder& data, const XVector3& v) {
                    data.addFloat(v.x);
                    data.addFloat(v.y);
                    data.addFloat(v.z);
                });
        add(object.get(), std::move(animationObject));
    }
    return object;
}

} // namespace

bool XFileIO::writeScene(const char* fileName, const XScene& scene, std::uint32_t format,
                         bool unifyVertices) const {
    IDirectXFile* root = xfileServices().rootFile();
    if (!root) return false;
    // The writer templates go in before the save object exists: a save object that is let go
    // of replaces the target file, and a refusal here must leave an existing file as it was.
    if (root->RegisterTemplates(const_cast<char*>(kWriterTemplates),
                                static_cast<DWORD>(std::strlen(kWriterTemplates))) != DXFILE_OK)
        return false;
    ComRef<IDirectXFileSaveObject> saveObject;
    if (root->CreateSaveObject(fileName, format, saveObject.receive()) != DXFILE_OK) return false;
    if (nestsTooDeeply(scene, *this)) {
        refuseTooDeepNesting(saveObject.get());
        return false;
    }

    // The text encodings take only some names as they are; the binary ones carry any bytes.
    std::optional<TextEncodingNames> textNames;
    if (format & DXFILEFORMAT_TEXT) textNames.emplace(scene);
    SaveSession session(saveObject.get(), *this, unifyVertices, textNames ? &*textNames : nullptr);
    const GUID* declared[] = {&DXFILEOBJ_SkinWeights, &DXFILEOBJ_XSkinMeshHeader};
    session.check(saveObject.get()->SaveTemplates(2, declared));
    if (keepAnimation) {
        PackedBuilder ticks;
        ticks.addDword(kTicksPerSecond);
        session.saveTopLevel(session.create(DXFILEOBJ_AnimTicksPerSecond, std::string(), &ticks));
    }
    for (const XFrame& frame : scene.frames)
        session.saveTopLevel(session.buildFrame(frame));
    if (keepAnimation)
        for (const auto& [name, set] : scene.animationSets)
            session.saveTopLevel(session.buildAnimationSet(name, set));
    return session.isComplete();
}
