// Reading (enumeration with GetData on every object) and saving of the benchmark scenes in each
// encoding, as MB/s of the file (of the inflated data for compressed files). Rates are per CPU
// second of the one thread, so a busy machine does not skew them.
#include "BenchScenes.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

const DXFILEFORMAT kFormats[] = {DXFILEFORMAT_TEXT, DXFILEFORMAT_BINARY,
                                 DXFILEFORMAT_BINARY | DXFILEFORMAT_COMPRESSED};

std::filesystem::path benchFile(BenchScene scene, DXFILEFORMAT format) {
    return std::filesystem::temp_directory_path() /
           ("dxfile-bench-" + std::to_string(static_cast<int>(scene)) + "-" + std::to_string(format) + ".x");
}

// The objects of a scene, built once.
const std::vector<IDirectXFileData*>& sceneObjects(IDirectXFile* root, BenchScene scene) {
    static std::map<BenchScene, std::vector<IDirectXFileData*>> built;
    auto found = built.find(scene);
    if (found != built.end()) return found->second;
    IDirectXFileSaveObject* scratch = nullptr;
    std::string path = (std::filesystem::temp_directory_path() / "dxfile-bench-scratch.x").string();
    root->CreateSaveObject(path.c_str(), DXFILEFORMAT_BINARY, &scratch);
    auto objects = buildScene(scratch, scene);
    scratch->Release();
    return built[scene] = std::move(objects);
}

IDirectXFile* sharedRoot() {
    static IDirectXFile* root = benchRoot();
    return root;
}

// The bytes the MB/s figure counts: the file, or for compressed files the inflated file.
std::uint64_t countedBytes(const std::string& file) {
    if (file.size() >= 20 && (file.compare(8, 4, "bzip") == 0 || file.compare(8, 4, "tzip") == 0)) {
        std::uint32_t total;
        std::memcpy(&total, file.data() + 16, 4);
        return total;
    }
    return file.size();
}

const std::string& sceneFile(BenchScene scene, DXFILEFORMAT format) {
    static std::map<std::pair<BenchScene, DXFILEFORMAT>, std::string> files;
    auto key = std::make_pair(scene, format);
    auto found = files.find(key);
    if (found != files.end()) return found->second;
    std::filesystem::path path = benchFile(scene, format);
    saveScene(sharedRoot(), sceneObjects(sharedRoot(), scene), path.string(), format);
    std::ifstream in(path, std::ios::binary);
    files[key] = std::string(std::istreambuf_iterator<char>(in), {});
    std::filesystem::remove(path);
    return files[key];
}

void walk(IDirectXFileData* data, std::uint64_t& checksum) {
    DWORD size = 0;
    void* bytes = nullptr;
    data->GetData(nullptr, &size, &bytes);
    checksum += size;
    for (;;) {
        IDirectXFileObject* child = nullptr;
        if (data->GetNextObject(&child) != DXFILE_OK) break;
        IDirectXFileData* childData = nullptr;
        if (child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&childData)) == DXFILE_OK) {
            walk(childData, checksum);
            childData->Release();
        }
        child->Release();
    }
}

void readScene(benchmark::State& state, BenchScene scene, DXFILEFORMAT format) {
    const std::string& file = sceneFile(scene, format);
    for (auto _ : state) {
        DXFILELOADMEMORY memory{const_cast<char*>(file.data()), static_cast<DWORD>(file.size())};
        IDirectXFileEnumObject* enumObject = nullptr;
        if (sharedRoot()->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &enumObject) != DXFILE_OK) {
            state.SkipWithError("cannot read the scene");
            return;
        }
        std::uint64_t checksum = 0;
        for (;;) {
            IDirectXFileData* data = nullptr;
            if (enumObject->GetNextDataObject(&data) != DXFILE_OK) break;
            walk(data, checksum);
            data->Release();
        }
        enumObject->Release();
        benchmark::DoNotOptimize(checksum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * countedBytes(file)));
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
}

void saveSceneBench(benchmark::State& state, BenchScene scene, DXFILEFORMAT format) {
    const auto& objects = sceneObjects(sharedRoot(), scene);
    std::filesystem::path path = benchFile(scene, format);
    for (auto _ : state) {
        if (!saveScene(sharedRoot(), objects, path.string(), format)) {
            state.SkipWithError("cannot save the scene");
            return;
        }
    }
    std::ifstream in(path, std::ios::binary);
    std::string file((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * countedBytes(file)));
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
}

const char* formatName(DXFILEFORMAT format) {
    return format == DXFILEFORMAT_TEXT ? "text" : format == DXFILEFORMAT_BINARY ? "binary" : "compressed";
}

int registerAll() {
    for (BenchScene scene : {BenchScene::Mesh, BenchScene::Animation}) {
        const char* sceneName = scene == BenchScene::Mesh ? "Mesh1M" : "Animation2000";
        for (DXFILEFORMAT format : kFormats) {
            benchmark::RegisterBenchmark((std::string("Read/") + sceneName + "/" + formatName(format)).c_str(),
                                         [=](benchmark::State& state) { readScene(state, scene, format); })
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((std::string("Save/") + sceneName + "/" + formatName(format)).c_str(),
                                         [=](benchmark::State& state) { saveSceneBench(state, scene, format); })
                ->Unit(benchmark::kMillisecond);
        }
    }
    return 0;
}

const int registered = registerAll();

} // namespace
