#include "BenchScenes.h"

#include "DumpPrinter.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr GUID kMesh = {0x3D82AB44, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kFrame = {0x3D82AB46, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kAnimation = {0x3D82AB4F, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kAnimationSet = {0x3D82AB50, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kAnimationKey = {0x10DD46A8, 0x775B, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
constexpr GUID kMeshTextureCoords = {0xF6F23F40, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
constexpr GUID kFrameTransformMatrix = {0xF6F23F41, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
constexpr GUID kMeshNormals = {0xF6F23F43, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};

class Packer {
public:
    void dword(std::uint32_t v) { append(&v, 4); }
    void real(float v) { append(&v, 4); }
    std::vector<std::uint8_t> bytes;

private:
    void append(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
};

IDirectXFileData* create(IDirectXFileSaveObject* save, const GUID& type, const char* name, const Packer& p) {
    IDirectXFileData* object = nullptr;
    save->CreateDataObject(type, name, nullptr, static_cast<DWORD>(p.bytes.size()),
                           p.bytes.empty() ? nullptr : const_cast<std::uint8_t*>(p.bytes.data()), &object);
    return object;
}

void adopt(IDirectXFileData* parent, IDirectXFileData* child) {
    parent->AddDataObject(child);
    child->Release();
}

// A grid of 708 x 708 quads, two triangles each: 1,002,528 triangles on 503,289 vertices,
// with a gentle height field so the numbers are not all round.
constexpr std::uint32_t kQuads = 708;

void faces(Packer& p) {
    constexpr std::uint32_t row = kQuads + 1;
    p.dword(kQuads * kQuads * 2);
    for (std::uint32_t y = 0; y < kQuads; ++y)
        for (std::uint32_t x = 0; x < kQuads; ++x) {
            std::uint32_t a = y * row + x;
            p.dword(3), p.dword(a), p.dword(a + row), p.dword(a + 1);
            p.dword(3), p.dword(a + 1), p.dword(a + row), p.dword(a + row + 1);
        }
}

std::vector<IDirectXFileData*> meshScene(IDirectXFileSaveObject* save) {
    constexpr std::uint32_t row = kQuads + 1;
    constexpr std::uint32_t vertices = row * row;
    Packer none;
    IDirectXFileData* frame = create(save, kFrame, "Root", none);
    Packer matrix;
    for (int i = 0; i < 16; ++i) matrix.real(i % 5 == 0 ? 1.0f : 0.0f);
    adopt(frame, create(save, kFrameTransformMatrix, nullptr, matrix));

    Packer mesh;
    mesh.dword(vertices);
    for (std::uint32_t y = 0; y < row; ++y)
        for (std::uint32_t x = 0; x < row; ++x) {
            mesh.real(static_cast<float>(x) * 0.125f - 44.0f);
            mesh.real(std::sin(static_cast<float>(x) * 0.07f) * std::cos(static_cast<float>(y) * 0.05f) * 3.7f);
            mesh.real(static_cast<float>(y) * 0.125f - 44.0f);
        }
    faces(mesh);
    IDirectXFileData* meshObject = create(save, kMesh, "Grid", mesh);

    Packer normals;
    normals.dword(vertices);
    for (std::uint32_t i = 0; i < vertices; ++i) {
        float a = static_cast<float>(i) * 0.001f;
        float nx = std::sin(a) * 0.3f;
        float nz = std::cos(a) * 0.3f;
        float ny = std::sqrt(1.0f - nx * nx - nz * nz);
        normals.real(nx), normals.real(ny), normals.real(nz);
    }
    faces(normals);
    adopt(meshObject, create(save, kMeshNormals, nullptr, normals));

    Packer coords;
    coords.dword(vertices);
    for (std::uint32_t y = 0; y < row; ++y)
        for (std::uint32_t x = 0; x < row; ++x) {
            coords.real(static_cast<float>(x) / kQuads);
            coords.real(static_cast<float>(y) / kQuads);
        }
    adopt(meshObject, create(save, kMeshTextureCoords, nullptr, coords));
    adopt(frame, meshObject);
    return {frame};
}

std::vector<IDirectXFileData*> animationScene(IDirectXFileSaveObject* save) {
    Packer none;
    // The bones the animations refer to, under one root frame.
    IDirectXFileData* skeleton = create(save, kFrame, "Root", none);
    Packer identity;
    for (int i = 0; i < 16; ++i) identity.real(i % 5 == 0 ? 1.0f : 0.0f);
    for (int a = 0; a < 500; ++a) {
        std::string bone = "Bone_" + std::to_string(a);
        IDirectXFileData* frame = create(save, kFrame, bone.c_str(), none);
        adopt(frame, create(save, kFrameTransformMatrix, nullptr, identity));
        adopt(skeleton, frame);
    }
    IDirectXFileData* set = create(save, kAnimationSet, "Walk", none);
    for (int a = 0; a < 500; ++a) {
        IDirectXFileData* animation = create(save, kAnimation, nullptr, none);
        std::string bone = "Bone_" + std::to_string(a);
        animation->AddDataReference(bone.c_str(), nullptr);
        const std::uint32_t kTypes[] = {0, 1, 2};
        const std::uint32_t kValues[] = {4, 3, 3};
        for (int k = 0; k < 3; ++k) {
            Packer key;
            key.dword(kTypes[k]);
            key.dword(100);
            for (std::uint32_t t = 0; t < 100; ++t) {
                key.dword(t * 160);
                key.dword(kValues[k]);
                for (std::uint32_t v = 0; v < kValues[k]; ++v)
                    key.real(std::sin(static_cast<float>(t * 7 + v + a) * 0.01f));
            }
            adopt(animation, create(save, kAnimationKey, nullptr, key));
        }
        adopt(set, animation);
    }
    return {skeleton, set};
}

} // namespace

std::vector<IDirectXFileData*> buildScene(IDirectXFileSaveObject* save, BenchScene scene) {
    return scene == BenchScene::Mesh ? meshScene(save) : animationScene(save);
}

bool saveScene(IDirectXFile* root, const std::vector<IDirectXFileData*>& objects, const std::string& path,
               DXFILEFORMAT format) {
    IDirectXFileSaveObject* save = nullptr;
    if (root->CreateSaveObject(path.c_str(), format, &save) != DXFILE_OK) return false;
    bool ok = true;
    for (IDirectXFileData* object : objects) ok = ok && save->SaveData(object) == DXFILE_OK;
    save->Release();
    return ok;
}

IDirectXFile* benchRoot() {
    IDirectXFile* root = nullptr;
    DirectXFileCreate(&root);
    registerDumpTemplates(root);
    return root;
}
