// writeScene and readScene against the raw file services on the same file: one skinned mesh of
// 1,000,000 triangles with normals and texture coordinates, and 100 keys per key type on two
// bones, in each encoding. The raw figures are what any caller of the services pays for the file
// (read: load, enumerate, GetData on every object; save: create every object from packed data and
// save it); the difference is what the writer and the reader add.
// Most of that difference is the kernel's first touch of the model's fresh arrays. The lumaset
// program runs with the C library's large blocks in transparent huge pages; to measure as it runs,
// start the bench with GLIBC_TUNABLES=glibc.malloc.hugetlb=1.
#include "xfile/XFileIO.h"
#include "xfile/XFileIds.h"
#include "xfile/XFileServices.h"

#include "GridMesh.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::uint32_t kColumns = 1000;
constexpr std::uint32_t kRows = 500; // 1000 x 500 quads, two triangles each

XScene makeBenchScene() {
    XScene scene;
    XFrame root;
    root.name = "Root";
    XFrame body;
    body.name = "Body";
    XMesh& mesh = body.mesh;
    mesh = makeGridMesh(kColumns, kRows, 10.0f, 5.0f);
    mesh.materials[0].textureFilename = "C:\\textures\\body.png";
    const std::uint32_t stride = kColumns + 1;
    XSkinWeights left;
    left.boneName = "Left";
    XSkinWeights right;
    right.boneName = "Right";
    for (std::uint32_t row = 0; row <= kRows; ++row)
        for (std::uint32_t column = 0; column <= kColumns; ++column) {
            const float u = static_cast<float>(column) / kColumns;
            const auto vertex = static_cast<std::int32_t>(row * stride + column);
            left.weights[vertex] = 1.0f - u;
            right.weights[vertex] = u;
        }
    mesh.skinWeights = {left, right};

    XFrame leftBone;
    leftBone.name = "Left";
    XFrame rightBone;
    rightBone.name = "Right";
    body.children = {leftBone, rightBone};
    root.children.push_back(body);
    scene.frames.push_back(root);

    for (const char* bone : {"Left", "Right"}) {
        XAnimation& animation = scene.animationSets["Take"][bone];
        for (int k = 0; k < 100; ++k) {
            const float angle = 0.01f * static_cast<float>(k);
            animation.rotationKeys[k * 160] = {0, std::sin(angle), 0, std::cos(angle)};
            animation.positionKeys[k * 160] = {angle, 0, 0};
            animation.scaleKeys[k * 160] = {1, 1 + angle, 1};
        }
    }
    return scene;
}

const XScene& benchScene() {
    static const XScene scene = makeBenchScene();
    return scene;
}

const char* const kEncodingNames[] = {"binary", "text", "compressed"};

std::string benchPath(std::uint32_t format) {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("lumaset-xfileio-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return (folder / (std::string("scene.") + kEncodingNames[format] + ".x")).string();
}

// The file writeScene makes for one encoding, written once.
const std::string& writtenFile(std::uint32_t format) {
    static std::string paths[3];
    if (paths[format].empty()) {
        paths[format] = benchPath(format);
        if (!XFileIO().writeScene(paths[format].c_str(), benchScene(), format, false))
            std::fprintf(stderr, "xfileio bench: cannot write %s\n", paths[format].c_str());
    }
    return paths[format];
}

void reportFile(benchmark::State& state, const std::string& path) {
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(path));
    state.SetBytesProcessed(size * static_cast<std::int64_t>(state.iterations()));
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
}

void BM_WriteScene(benchmark::State& state) {
    const auto format = static_cast<std::uint32_t>(state.range(0));
    const XScene& scene = benchScene();
    const std::string path = benchPath(format) + ".out";
    for (auto _ : state) {
        const bool written = XFileIO().writeScene(path.c_str(), scene, format, false);
        benchmark::DoNotOptimize(written);
    }
    reportFile(state, path);
    state.SetLabel(kEncodingNames[format]);
}

void BM_ReadScene(benchmark::State& state) {
    const auto format = static_cast<std::uint32_t>(state.range(0));
    const std::string& path = writtenFile(format);
    for (auto _ : state) {
        std::unique_ptr<XScene> scene = XFileIO().readScene(path.c_str());
        benchmark::DoNotOptimize(scene.get());
    }
    reportFile(state, path);
    state.SetLabel(kEncodingNames[format]);
}

void touchTree(IDirectXFileData* object, std::size_t& bytes) {
    DWORD size = 0;
    void* data = nullptr;
    const GUID* type = nullptr;
    (void)object->GetType(&type);
    if (object->GetData(nullptr, &size, &data) == DXFILE_OK) bytes += size;
    for (;;) {
        IDirectXFileObject* child = nullptr;
        if (object->GetNextObject(&child) != DXFILE_OK || !child) break;
        IDirectXFileData* childData = nullptr;
        if (child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&childData)) ==
                S_OK &&
            childData) {
            touchTree(childData, bytes);
            childData->Release();
        }
        child->Release();
    }
}

// What the services cost for the same file: load it by name as readScene does, enumerate,
// GetData on every object.
void BM_RawRead(benchmark::State& state) {
    const auto format = static_cast<std::uint32_t>(state.range(0));
    const std::string& path = writtenFile(format);
    IDirectXFile* root = xfileServices().rootFile();
    for (auto _ : state) {
        IDirectXFileEnumObject* enumerator = nullptr;
        if (root->CreateEnumObject(const_cast<char*>(path.c_str()), DXFILELOAD_FROMFILE,
                                   &enumerator) != DXFILE_OK) {
            state.SkipWithError("cannot enumerate");
            break;
        }
        std::size_t dataBytes = 0;
        for (;;) {
            IDirectXFileData* object = nullptr;
            if (enumerator->GetNextDataObject(&object) != DXFILE_OK || !object) break;
            touchTree(object, dataBytes);
            object->Release();
        }
        enumerator->Release();
        benchmark::DoNotOptimize(dataBytes);
    }
    reportFile(state, path);
    state.SetLabel(kEncodingNames[format]);
}

// A read-back object tree, kept alive so its packed data (and the text its STRING members point
// at) can be handed to CreateDataObject again.
struct HeldObject {
    IDirectXFileData* object = nullptr;
    const GUID* type = nullptr;
    std::string name;
    DWORD size = 0;
    void* data = nullptr;
    std::vector<HeldObject> children;
    std::vector<std::string> references; // in order among the children: see `isReference`
    std::vector<bool> isReference;
};

HeldObject hold(IDirectXFileData* object) {
    HeldObject held;
    held.object = object;
    (void)object->GetType(&held.type);
    (void)object->GetData(nullptr, &held.size, &held.data);
    DWORD length = 0;
    if (object->GetName(nullptr, &length) == DXFILE_OK && length > 1) {
        held.name.resize(length);
        (void)object->GetName(held.name.data(), &length);
        held.name.resize(length - 1);
    }
    for (;;) {
        IDirectXFileObject* child = nullptr;
        if (object->GetNextObject(&child) != DXFILE_OK || !child) break;
        IDirectXFileData* childData = nullptr;
        IDirectXFileDataReference* reference = nullptr;
        if (child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&childData)) ==
                S_OK &&
            childData) {
            held.children.push_back(hold(childData));
            held.isReference.push_back(false);
        } else if (child->QueryInterface(IID_IDirectXFileDataReference,
                                         reinterpret_cast<void**>(&reference)) == S_OK &&
                   reference) {
            DWORD needed = 0;
            std::string name;
            if (reference->GetName(nullptr, &needed) == DXFILE_OK && needed > 1) {
                name.resize(needed);
                (void)reference->GetName(name.data(), &needed);
                name.resize(needed - 1);
            }
            held.references.push_back(name);
            held.isReference.push_back(true);
            reference->Release();
        }
        child->Release();
    }
    return held;
}

IDirectXFileData* rebuild(IDirectXFileSaveObject* save, const HeldObject& held) {
    IDirectXFileData* object = nullptr;
    if (save->CreateDataObject(*held.type, held.name.empty() ? nullptr : held.name.c_str(), nullptr,
                               held.size, held.data, &object) != DXFILE_OK)
        return nullptr;
    std::size_t nextChild = 0;
    std::size_t nextReference = 0;
    for (bool reference : held.isReference) {
        if (reference) {
            (void)object->AddDataReference(held.references[nextReference++].c_str(), nullptr);
        } else if (IDirectXFileData* child = rebuild(save, held.children[nextChild++])) {
            (void)object->AddDataObject(child);
            child->Release();
        }
    }
    return object;
}

// What the services cost to save the same file: every object made from packed data and saved.
void BM_RawSave(benchmark::State& state) {
    const auto format = static_cast<std::uint32_t>(state.range(0));
    const std::string& path = writtenFile(format);
    IDirectXFile* root = xfileServices().rootFile();
    IDirectXFileEnumObject* enumerator = nullptr;
    if (root->CreateEnumObject(const_cast<char*>(path.c_str()), DXFILELOAD_FROMFILE, &enumerator) !=
        DXFILE_OK) {
        state.SkipWithError("cannot enumerate");
        return;
    }
    std::vector<HeldObject> topLevel;
    for (;;) {
        IDirectXFileData* object = nullptr;
        if (enumerator->GetNextDataObject(&object) != DXFILE_OK || !object) break;
        topLevel.push_back(hold(object));
    }
    const std::string out = path + ".raw";
    for (auto _ : state) {
        IDirectXFileSaveObject* save = nullptr;
        if (root->CreateSaveObject(out.c_str(), format, &save) != DXFILE_OK) {
            state.SkipWithError("cannot save");
            break;
        }
        const GUID* declared[] = {&DXFILEOBJ_SkinWeights, &DXFILEOBJ_XSkinMeshHeader};
        (void)save->SaveTemplates(2, declared);
        for (const HeldObject& held : topLevel) {
            if (IDirectXFileData* object = rebuild(save, held)) {
                (void)save->SaveData(object);
                object->Release();
            }
        }
        save->Release();
    }
    std::function<void(HeldObject&)> release = [&](HeldObject& held) {
        for (HeldObject& child : held.children)
            release(child);
        held.object->Release();
    };
    for (HeldObject& held : topLevel)
        release(held);
    enumerator->Release();
    reportFile(state, out);
    state.SetLabel(kEncodingNames[format]);
}

void encodings(benchmark::internal::Benchmark* b) {
    b->Arg(1)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_RawSave)->Apply(encodings);
BENCHMARK(BM_WriteScene)->Apply(encodings);
BENCHMARK(BM_RawRead)->Apply(encodings);
BENCHMARK(BM_ReadScene)->Apply(encodings);

} // namespace

BENCHMARK_MAIN();
