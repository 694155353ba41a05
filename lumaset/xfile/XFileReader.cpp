#include "xfile/XFileIO.h"

#include "xfile/MeshAssembly.h"
#include "xfile/PackedData.h"
#include "xfile/XFileIds.h"
#include "xfile/XFileServices.h"

#include <ComRef.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace {

// Name query buffers, in bytes with the terminating zero: longer names are cut to fit.
constexpr std::size_t kFrameNameBuffer = 1024;
constexpr std::size_t kAnimationNameBuffer = 256;

// The model's key times: ticks at this rate, which is also what a file without an
// AnimTicksPerSecond object means.
constexpr std::uint64_t kModelTicksPerSecond = 4800;

bool sameGuid(const GUID& a, const GUID& b) {
    return IsEqualGUID(a, b);
}

// The object's name, cut to `bufferSize` - 1 characters. Unnamed objects, and objects whose
// name cannot be had, give the empty text.
std::string objectName(IDirectXFileObject* object, std::size_t bufferSize) {
    DWORD needed = 0;
    if (object->GetName(nullptr, &needed) != DXFILE_OK || needed <= 1) return std::string();
    std::string name(needed, '\0');
    DWORD length = needed;
    if (object->GetName(name.data(), &length) != DXFILE_OK) return std::string();
    name.resize(std::strlen(name.c_str()));
    if (name.size() > bufferSize - 1) name.resize(bufferSize - 1);
    return name;
}

// The template of a data object, or false when the services cannot say.
bool typeOf(IDirectXFileData* object, GUID& type) {
    const GUID* typeId = nullptr;
    if (object->GetType(&typeId) != DXFILE_OK || !typeId) return false;
    type = *typeId;
    return true;
}

template <class Interface> const IID& interfaceId();
template <> const IID& interfaceId<IDirectXFileData>() {
    return IID_IDirectXFileData;
}
template <> const IID& interfaceId<IDirectXFileDataReference>() {
    return IID_IDirectXFileDataReference;
}

// Whether `object` is a data object (or a reference), with `as` then holding it as one.
template <class Interface> bool queryAs(IDirectXFileObject* object, ComRef<Interface>& as) {
    return object->QueryInterface(interfaceId<Interface>(), as.receiveVoid()) == S_OK && as.get();
}

PackedCursor dataOf(IDirectXFileData* object) {
    DWORD size = 0;
    void* data = nullptr;
    if (object->GetData(nullptr, &size, &data) != DXFILE_OK) return PackedCursor(nullptr, 0);
    return PackedCursor(data, size);
}

// The next child that is a data object; references and binary children are passed over.
bool nextDataChild(IDirectXFileData* parent, ComRef<IDirectXFileData>& child) {
    for (;;) {
        ComRef<IDirectXFileObject> object;
        if (parent->GetNextObject(object.receive()) != DXFILE_OK || !object.get()) return false;
        if (queryAs(object.get(), child)) return true;
    }
}

// Faces as a file lists them: per polygon a corner count and that many indices. Polygons of
// more than four corners are split into fans of triangles around their first corner, so
// `splitCounts[i]` says how many faces polygon i became (0 for a polygon of fewer than three
// corners, which has no area and is left out).
bool readPolygons(PackedCursor& data, XFaceList& faceList,
                  std::vector<std::uint32_t>& splitCounts) {
    std::uint32_t polygonCount = 0;
    if (!data.readDword(polygonCount) || !data.holds(polygonCount, 4)) return false;
    faceList.clear();
    // Filled as a plain vector and handed over whole, so the list starts with storage of its own.
    std::vector<XFace> faces;
    faces.reserve(polygonCount);
    splitCounts.assign(polygonCount, 0);
    std::vector<std::uint32_t> corners;
    for (std::uint32_t polygon = 0; polygon < polygonCount; ++polygon) {
        std::uint32_t cornerCount = 0;
        if (!data.readDword(cornerCount) || !data.holds(cornerCount, 4)) return false;
        if (cornerCount == 3 || cornerCount == 4) { // the common case, read in place
            XFace& face = faces.emplace_back();
            face.cornerCount = cornerCount;
            if (!data.readBytes(face.indices.data(), 4 * std::size_t(cornerCount))) return false;
            splitCounts[polygon] = 1;
            continue;
        }
        corners.resize(cornerCount);
        for (std::uint32_t& corner : corners)
            if (!data.readDword(corner)) return false;
        if (cornerCount > 4) {
            for (std::uint32_t j = 1; j + 1 < cornerCount; ++j) {
                XFace face{};
                face.cornerCount = 3;
                face.indices[0] = corners[0];
                face.indices[1] = corners[j];
                face.indices[2] = corners[j + 1];
                faces.push_back(face);
            }
            splitCounts[polygon] = cornerCount - 2;
        }
    }
    faceList = std::move(faces);
    return true;
}

bool readVectors(PackedCursor& data, std::vector<XVector3>& vectors) {
    static_assert(sizeof(XVector3) == 3 * sizeof(float), "XVector3 is the packed Vector");
    std::uint32_t count = 0;
    if (!data.readDword(count) || !data.holds(count, sizeof(XVector3))) return false;
    vectors.resize(count);
    return data.readBytes(vectors.data(), count * sizeof(XVector3));
}

bool readMatrix(PackedCursor& data, XMatrix& matrix) {
    static_assert(sizeof(XMatrix) == 16 * sizeof(float), "XMatrix is the 16 floats of Matrix4x4");
    float values[16];
    if (!data.readFloats(values, 16)) return false;
    std::memcpy(&matrix, values, sizeof matrix);
    return true;
}

// Writers of this format double every backslash of a texture path (the writer here does too), and
// the string arrives as it stands in the file; each pair stands for one backslash.
std::string withSingleBackslashes(const std::string& text) {
    std::string single;
    single.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        single += text[i];
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
    }
    return single;
}

// One Mesh object with what the reader keeps of its children.
class MeshReader {
public:
    // False when the mesh's own data is unusable; the mesh is then left out.
    bool read(IDirectXFileData* meshObject, XMesh& mesh);

private:
    void readNormals(PackedCursor data, XMesh& mesh);
    void readTextureCoords(PackedCursor data, XMesh& mesh);
    void readVertexColors(PackedCursor data, XMesh& mesh);
    void readMaterialList(IDirectXFileData* listObject, XMesh& mesh);
    void readSkinWeights(PackedCursor data, XMesh& mesh);
    bool readMaterial(IDirectXFileData* materialObject, XMaterial& material);

    std::vector<std::uint32_t> splitCounts_; // per polygon of the file, the faces it became
};

bool MeshReader::read(IDirectXFileData* meshObject, XMesh& mesh) {
    PackedCursor data = dataOf(meshObject);
    if (!readVectors(data, mesh.positions) || !readPolygons(data, mesh.faces, splitCounts_)) {
        mesh = XMesh();
        return false;
    }
    ComRef<IDirectXFileData> child;
    while (nextDataChild(meshObject, child)) {
        GUID type;
        if (!typeOf(child.get(), type)) continue;
        if (sameGuid(type, TID_D3DRMMeshNormals))
            readNormals(dataOf(child.get()), mesh);
        else if (sameGuid(type, TID_D3DRMMeshMaterialList))
            readMaterialList(child.get(), mesh);
        else if (sameGuid(type, TID_D3DRMMeshTextureCoords))
            readTextureCoords(dataOf(child.get()), mesh);
        else if (sameGuid(type, TID_D3DRMMeshVertexColors))
            readVertexColors(dataOf(child.get()), mesh);
        else if (sameGuid(type, DXFILEOBJ_SkinWeights))
            readSkinWeights(dataOf(child.get()), mesh);
    }
    dropBrokenStreams(mesh);
    return true;
}

// Each stream reader below replaces the stream; a child it cannot use leaves the mesh without that
// stream, even when an earlier child of the same kind gave one.
void MeshReader::readNormals(PackedCursor data, XMesh& mesh) {
    mesh.normals.clear();
    mesh.normalFaces.clear();
    std::vector<XVector3> normals;
    XFaceList normalFaces;
    std::vector<std::uint32_t> normalSplits;
    if (!readVectors(data, normals) || !readPolygons(data, normalFaces, normalSplits)) return;
    // The normal faces must split exactly as the faces did to stay matched with them; a list of
    // no normal faces at all keeps the normals without faces.
    if (!normalSplits.empty() && normalSplits != splitCounts_) return;
    mesh.normals = std::move(normals);
    mesh.normalFaces = std::move(normalFaces);
}

void MeshReader::readTextureCoords(PackedCursor data, XMesh& mesh) {
    mesh.texCoords.clear();
    mesh.texCoordFaces.clear();
    std::uint32_t count = 0;
    if (!data.readDword(count) || !data.holds(count, 8)) return;
    // One entry per vertex: with fewer, some corners would have none, so the stream is dropped.
    if (count < mesh.positions.size()) return;
    static_assert(sizeof(XVector2) == 2 * sizeof(float), "XVector2 is the packed Coords2d");
    std::vector<XVector2> coords(count);
    if (!data.readBytes(coords.data(), count * sizeof(XVector2))) return;
    mesh.texCoords = std::move(coords);
    mesh.texCoordFaces = mesh.faces; // shares the faces' storage
}

void MeshReader::readVertexColors(PackedCursor data, XMesh& mesh) {
    mesh.colors.clear();
    mesh.colorFaces.clear();
    std::uint32_t count = 0;
    if (!data.readDword(count) || !data.holds(count, 20)) return;
    if (count < mesh.positions.size()) return;
    // Entry i is the colour of vertex i; the entry's own index field is not consulted.
    std::vector<XColor> colors(count);
    for (XColor& color : colors) {
        std::uint32_t index = 0;
        if (!data.readDword(index) || !data.readFloat(color.r) || !data.readFloat(color.g) ||
            !data.readFloat(color.b) || !data.readFloat(color.a))
            return;
    }
    mesh.colors = std::move(colors);
    mesh.colorFaces = mesh.faces; // shares the faces' storage
}

void MeshReader::readSkinWeights(PackedCursor data, XMesh& mesh) {
    XSkinWeights bone;
    std::uint32_t count = 0;
    if (!data.readString(bone.boneName) || !data.readDword(count) || !data.holds(count, 8)) return;
    std::vector<std::uint32_t> vertices(count);
    if (!data.readBytes(vertices.data(), 4 * std::size_t(count))) return;
    std::vector<float> weights(count);
    if (!data.readFloats(weights.data(), count) || !readMatrix(data, bone.offsetMatrix)) return;
    std::vector<BoneVertexWeights::value_type> pairs;
    pairs.reserve(count);
    for (std::uint32_t k = 0; k < count; ++k) {
        // A weight on a vertex the mesh lacks is dropped alone.
        if (vertices[k] >= mesh.positions.size()) continue;
        pairs.emplace_back(static_cast<std::int32_t>(vertices[k]), weights[k]);
    }
    bone.weights.assignPairs(std::move(pairs)); // a repeated vertex keeps its last weight
    mesh.skinWeights.push_back(std::move(bone));
}

bool MeshReader::readMaterial(IDirectXFileData* materialObject, XMaterial& material) {
    PackedCursor data = dataOf(materialObject);
    float values[11];
    if (!data.readFloats(values, 11)) return false;
    material.diffuse = XColor{values[0], values[1], values[2], values[3]};
    material.power = values[4];
    material.specular = XColor{values[5], values[6], values[7], 0.0f};
    material.emissive = XColor{values[8], values[9], values[10], 0.0f};
    material.ambient = XColor{0.2f, 0.2f, 0.2f, 1.0f};
    material.textureFilename.clear();

    // The texture is the Material's first child, when that is a TextureFilename object.
    ComRef<IDirectXFileObject> first;
    ComRef<IDirectXFileData> texture;
    GUID type;
    if (materialObject->GetNextObject(first.receive()) == DXFILE_OK && first.get() &&
        queryAs(first.get(), texture) && typeOf(texture.get(), type) &&
        sameGuid(type, TID_D3DRMTextureFilename)) {
        PackedCursor name = dataOf(texture.get());
        std::string fileName;
        if (name.readString(fileName)) material.textureFilename = withSingleBackslashes(fileName);
    }
    return true;
}

void MeshReader::readMaterialList(IDirectXFileData* listObject, XMesh& mesh) {
    mesh.faceMaterials.clear();
    mesh.materials.clear();
    PackedCursor data = dataOf(listObject);
    std::uint32_t materialCount = 0;
    std::uint32_t indexCount = 0;
    if (!data.readDword(materialCount) || !data.readDword(indexCount) || !data.holds(indexCount, 4))
        return;
    std::vector<std::uint32_t> polygonMaterials(indexCount);
    if (!data.readBytes(polygonMaterials.data(), 4 * std::size_t(indexCount))) return;

    // One index per polygon of the file: a short list repeats its last index (an empty list
    // stays empty), a long one keeps the first per polygon. Then each index follows its polygon
    // into the faces the polygon was split into.
    if (!polygonMaterials.empty())
        polygonMaterials.resize(splitCounts_.size(), polygonMaterials.back());
    const bool polygonsAreFaces = std::all_of(splitCounts_.begin(), splitCounts_.end(),
                                              [](std::uint32_t count) { return count == 1; });
    if (polygonsAreFaces) {
        mesh.faceMaterials = std::move(polygonMaterials);
    } else if (!polygonMaterials.empty()) {
        mesh.faceMaterials.reserve(mesh.faces.size());
        for (std::size_t polygon = 0; polygon < splitCounts_.size(); ++polygon)
            mesh.faceMaterials.insert(mesh.faceMaterials.end(), splitCounts_[polygon],
                                      polygonMaterials[polygon]);
    }

    mesh.materials.clear();
    mesh.materials.reserve(std::min<std::size_t>(materialCount, 4096));
    for (;;) {
        ComRef<IDirectXFileObject> object;
        if (listObject->GetNextObject(object.receive()) != DXFILE_OK || !object.get()) break;
        ComRef<IDirectXFileData> material;
        ComRef<IDirectXFileDataReference> reference;
        if (queryAs(object.get(), reference)) {
            // A material defined elsewhere in the file and named here.
            if (reference.get()->Resolve(material.receive()) != DXFILE_OK) continue;
        } else if (!queryAs(object.get(), material)) {
            continue;
        }
        GUID type;
        if (!material.get() || !typeOf(material.get(), type) || !sameGuid(type, TID_D3DRMMaterial))
            continue;
        XMaterial value;
        if (readMaterial(material.get(), value)) mesh.materials.push_back(std::move(value));
    }
}

// Frames, meshes and animation sets of one enumeration.
class SceneReader {
public:
    explicit SceneReader(XScene& scene) : scene_(scene) {}

    // `depth` is 1 for a top-level frame. The services deliver no deeper nesting than X readers
    // take, and frames past that are left out all the same: the recursion stays bounded.
    void readFrame(IDirectXFileData* frameObject, XFrame& frame, int depth);
    void readTopLevelMesh(IDirectXFileData* meshObject);
    void readAnimationSet(IDirectXFileData* setObject);

private:
    void readMeshInto(IDirectXFileData* meshObject, XMesh& mesh);
    void readAnimation(IDirectXFileData* animationObject, std::string& targetName,
                       XAnimation& animation);

    XScene& scene_;
};

void SceneReader::readMeshInto(IDirectXFileData* meshObject, XMesh& mesh) {
    XMesh part;
    MeshReader reader;
    if (reader.read(meshObject, part)) appendMesh(mesh, std::move(part));
}

void SceneReader::readFrame(IDirectXFileData* frameObject, XFrame& frame, int depth) {
    frame.name = objectName(frameObject, kFrameNameBuffer);
    ComRef<IDirectXFileData> child;
    while (nextDataChild(frameObject, child)) {
        GUID type;
        if (!typeOf(child.get(), type)) continue;
        if (sameGuid(type, TID_D3DRMFrameTransformMatrix)) {
            PackedCursor data = dataOf(child.get());
            XMatrix transform;
            if (readMatrix(data, transform)) frame.transform = transform;
        } else if (sameGuid(type, TID_D3DRMFrame) && depth < XFileIO::kMaxObjectNesting) {
            frame.children.push_back(XFrame());
            readFrame(child.get(), frame.children.back(), depth + 1);
        } else if (sameGuid(type, TID_D3DRMMesh)) {
            readMeshInto(child.get(), frame.mesh);
        }
    }
}

void SceneReader::readTopLevelMesh(IDirectXFileData* meshObject) {
    XFrame frame;
    readMeshInto(meshObject, frame.mesh);
    scene_.frames.push_back(std::move(frame));
}

void SceneReader::readAnimation(IDirectXFileData* animationObject, std::string& targetName,
                                XAnimation& animation) {
    for (;;) {
        ComRef<IDirectXFileObject> object;
        if (animationObject->GetNextObject(object.receive()) != DXFILE_OK || !object.get()) break;
        ComRef<IDirectXFileDataReference> reference;
        if (queryAs(object.get(), reference)) {
            ComRef<IDirectXFileData> target;
            if (reference.get()->Resolve(target.receive()) == DXFILE_OK && target.get())
                targetName = objectName(target.get(), kAnimationNameBuffer);
            else // a target the file never defines is still named by the reference
                targetName = objectName(reference.get(), kAnimationNameBuffer);
            continue;
        }
        ComRef<IDirectXFileData> key;
        GUID type;
        if (!queryAs(object.get(), key) || !typeOf(key.get(), type) ||
            !sameGuid(type, TID_D3DRMAnimationKey))
            continue;

        PackedCursor data = dataOf(key.get());
        std::uint32_t keyType = 0;
        std::uint32_t keyCount = 0;
        if (!data.readDword(keyType) || !data.readDword(keyCount)) continue;
        for (std::uint32_t k = 0; k < keyCount; ++k) {
            std::uint32_t time = 0;
            std::uint32_t valueCount = 0;
            if (!data.readDword(time) || !data.readDword(valueCount) || !data.holds(valueCount, 4))
                break;
            float values[16] = {};
            const std::uint32_t kept = std::min<std::uint32_t>(valueCount, 16);
            if (!data.readFloats(values, kept) || !data.skip(4 * std::size_t(valueCount - kept)))
                break;
            const auto timeTicks = static_cast<std::int32_t>(time);
            if ((keyType == kMatrixKeyType || keyType == kDocumentedMatrixKeyType) && kept >= 16) {
                XMatrix matrix;
                std::memcpy(&matrix, values, sizeof matrix);
                animation.matrixKeys[timeTicks] = matrix;
            } else if (keyType == kRotationKeyType && kept >= 4) {
                animation.rotationKeys[timeTicks] =
                    XQuaternion{values[1], values[2], values[3], values[0]};
            } else if (keyType == kScaleKeyType && kept >= 3) {
                animation.scaleKeys[timeTicks] = XVector3{values[0], values[1], values[2]};
            } else if (keyType == kPositionKeyType && kept >= 3) {
                animation.positionKeys[timeTicks] = XVector3{values[0], values[1], values[2]};
            }
        }
    }
}

// Keys of `from` join those of `into`; at a time both have, `from`'s key wins.
void mergeKeys(XAnimation& into, XAnimation&& from) {
    for (auto& [time, value] : from.positionKeys)
        into.positionKeys[time] = value;
    for (auto& [time, value] : from.scaleKeys)
        into.scaleKeys[time] = value;
    for (auto& [time, value] : from.rotationKeys)
        into.rotationKeys[time] = value;
    for (auto& [time, value] : from.matrixKeys)
        into.matrixKeys[time] = value;
}

void SceneReader::readAnimationSet(IDirectXFileData* setObject) {
    // A second set of the same name adds to the first.
    XAnimationSet& set = scene_.animationSets[objectName(setObject, kAnimationNameBuffer)];
    ComRef<IDirectXFileData> child;
    while (nextDataChild(setObject, child)) {
        GUID type;
        if (!typeOf(child.get(), type) || !sameGuid(type, TID_D3DRMAnimation)) continue;
        std::string targetName;
        XAnimation animation;
        readAnimation(child.get(), targetName, animation);
        // Two animations of one frame give it the keys of both.
        mergeKeys(set[targetName], std::move(animation));
    }
}

// The rate an AnimTicksPerSecond object announces, or 0 when its data says nothing usable.
std::uint32_t announcedTicksPerSecond(IDirectXFileData* object) {
    PackedCursor data = dataOf(object);
    std::uint32_t ticksPerSecond = 0;
    return data.readDword(ticksPerSecond) ? ticksPerSecond : 0;
}

// Re-times keys stored at `ticksPerSecond` to the model's rate, rounding to the nearest tick.
// The file stores times as DWORDs, which the map holds bit for bit as signed values; they are
// taken here in their unsigned order, so of two times that meet the later one wins. A time past
// the signed 32-bit range is left out with its key.
template <class Value>
void retimeKeys(std::map<XKeyTimeTicks, Value>& keys, std::uint32_t ticksPerSecond) {
    std::map<XKeyTimeTicks, Value> retimed;
    const auto add = [&](XKeyTimeTicks stored, const Value& value) {
        const std::uint64_t fileTicks = static_cast<std::uint32_t>(stored);
        const std::uint64_t ticks =
            (fileTicks * kModelTicksPerSecond + ticksPerSecond / 2) / ticksPerSecond;
        if (ticks <= static_cast<std::uint64_t>(std::numeric_limits<XKeyTimeTicks>::max()))
            retimed[static_cast<XKeyTimeTicks>(ticks)] = value;
    };
    const auto firstNegative = keys.lower_bound(0);
    for (auto it = firstNegative; it != keys.end(); ++it)
        add(it->first, it->second);
    for (auto it = keys.begin(); it != firstNegative; ++it)
        add(it->first, it->second);
    keys.swap(retimed);
}

void retimeScene(XScene& scene, std::uint32_t ticksPerSecond) {
    if (ticksPerSecond == 0 || ticksPerSecond == kModelTicksPerSecond) return;
    for (auto& [setName, set] : scene.animationSets)
        for (auto& [target, animation] : set) {
            retimeKeys(animation.positionKeys, ticksPerSecond);
            retimeKeys(animation.scaleKeys, ticksPerSecond);
            retimeKeys(animation.rotationKeys, ticksPerSecond);
            retimeKeys(animation.matrixKeys, ticksPerSecond);
        }
}

void trimFrames(std::list<XFrame>& frames, const XFileIO& io) {
    std::vector<XFrame*> pending;
    for (XFrame& frame : frames)
        pending.push_back(&frame);
    while (!pending.empty()) {
        XFrame& frame = *pending.back();
        pending.pop_back();
        XMesh& mesh = frame.mesh;
        if (!io.keepNormals) {
            mesh.normals.clear();
            mesh.normalFaces.clear();
        }
        if (!io.keepSkin) mesh.skinWeights.clear();
        if (!io.keepTexCoords) {
            mesh.texCoords.clear();
            mesh.texCoordFaces.clear();
        }
        if (!io.keepVertexColors) {
            mesh.colors.clear();
            mesh.colorFaces.clear();
        }
        for (XFrame& child : frame.children)
            pending.push_back(&child);
    }
}

} // namespace

std::unique_ptr<XScene> XFileIO::readSceneFromMemory(const void* bytes, std::size_t size,
                                                     bool* readWhole) const {
    if (readWhole) *readWhole = false;
    if (!bytes || size > 0xFFFFFFFFu) return nullptr;
    DXFILELOADMEMORY source{const_cast<void*>(bytes), static_cast<DWORD>(size)};
    return readEnumerated(&source, DXFILELOAD_FROMMEMORY, readWhole);
}

std::unique_ptr<XScene> XFileIO::readScene(const char* fileName, bool* readWhole) const {
    if (readWhole) *readWhole = false;
    // The services load the file themselves: one place reads files, and its failures (a file
    // that is missing, unreadable or not a regular file) are on record with the file's name.
    if (!fileName) return nullptr;
    return readEnumerated(const_cast<char*>(fileName), DXFILELOAD_FROMFILE, readWhole);
}

std::unique_ptr<XScene> XFileIO::readEnumerated(void* source, std::uint32_t loadOptions,
                                                bool* readWhole) const {
    IDirectXFile* root = xfileServices().rootFile();
    if (!root) return nullptr;
    ComRef<IDirectXFileEnumObject> enumerator;
    if (root->CreateEnumObject(source, loadOptions, enumerator.receive()) != DXFILE_OK)
        return nullptr;

    auto scene = std::make_unique<XScene>();
    SceneReader reader(*scene);
    std::uint32_t ticksPerSecond = 0; // none announced yet
    // The walk ends with "no more objects" at the end of the file, or with the error the
    // services met half way.
    HRESULT walkEnd = DXFILEERR_NOMOREOBJECTS;
    for (;;) {
        ComRef<IDirectXFileData> object;
        walkEnd = enumerator.get()->GetNextDataObject(object.receive());
        if (walkEnd != DXFILE_OK || !object.get()) break;
        GUID type;
        if (!typeOf(object.get(), type)) continue;
        if (sameGuid(type, TID_D3DRMFrame)) {
            scene->frames.push_back(XFrame());
            reader.readFrame(object.get(), scene->frames.back(), 1);
        } else if (sameGuid(type, TID_D3DRMAnimationSet)) {
            reader.readAnimationSet(object.get());
        } else if (sameGuid(type, TID_D3DRMMesh)) {
            reader.readTopLevelMesh(object.get());
        } else if (sameGuid(type, DXFILEOBJ_AnimTicksPerSecond) && ticksPerSecond == 0) {
            // The first rate announced holds for every key of the file, wherever the sets are.
            ticksPerSecond = announcedTicksPerSecond(object.get());
        }
    }
    if (readWhole) *readWhole = walkEnd == DXFILEERR_NOMOREOBJECTS;
    retimeScene(*scene, ticksPerSecond);
    trimReadScene(*scene);
    return scene;
}

void XFileIO::trimReadScene(XScene& scene) const {
    if (!keepAnimation) scene.animationSets.clear();
    trimFrames(scene.frames, *this);
}
