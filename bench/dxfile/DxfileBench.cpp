// Reading and saving the benchmark scenes in each encoding, as a caller of the services meets
// them: a read opens the file by name (the file in the page cache) and walks every object
// (GetType, GetName, GetData, Resolve on every reference); a save creates the file from built
// objects. When the peer importer is at hand, each read runs beside it on the same file, and a
// table at the end gives both rates and their ratio against the goals. Rates are MB/s of the
// file per CPU second of the one thread, so a busy machine skews them less; the ratio is what
// counts on a shared machine.
#include "BenchScenes.h"

#ifdef LUMASET_BENCH_PEER
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#endif

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

const DXFILEFORMAT kFormats[] = {DXFILEFORMAT_TEXT, DXFILEFORMAT_BINARY,
                                 DXFILEFORMAT_BINARY | DXFILEFORMAT_COMPRESSED};

const char* formatName(DXFILEFORMAT format) {
    return format == DXFILEFORMAT_TEXT     ? "text"
           : format == DXFILEFORMAT_BINARY ? "binary"
                                           : "compressed";
}

const char* sceneName(BenchScene scene) {
    return scene == BenchScene::Mesh ? "Mesh1M" : "Animation150k";
}

std::filesystem::path benchFile(BenchScene scene, DXFILEFORMAT format, const char* use) {
    return std::filesystem::temp_directory_path() /
           ("dxfile-bench-" + std::string(use) + "-" + sceneName(scene) + "-" + formatName(format) +
            ".x");
}

IDirectXFile* sharedRoot() {
    static IDirectXFile* root = benchRoot();
    return root;
}

// The objects of a scene, built once.
const std::vector<IDirectXFileData*>& sceneObjects(BenchScene scene) {
    static std::map<BenchScene, std::vector<IDirectXFileData*>> built;
    auto found = built.find(scene);
    if (found != built.end()) return found->second;
    IDirectXFileSaveObject* scratch = nullptr;
    std::string path = (std::filesystem::temp_directory_path() / "dxfile-bench-scratch.x").string();
    sharedRoot()->CreateSaveObject(path.c_str(), DXFILEFORMAT_BINARY, &scratch);
    auto objects = buildScene(scratch, scene);
    scratch->Release();
    return built[scene] = std::move(objects);
}

// The scene saved once in `format`, left on disk for the run (and so in the page cache).
const std::filesystem::path& sceneFile(BenchScene scene, DXFILEFORMAT format) {
    static std::map<std::pair<BenchScene, DXFILEFORMAT>, std::filesystem::path> files;
    auto key = std::make_pair(scene, format);
    auto found = files.find(key);
    if (found != files.end()) return found->second;
    std::filesystem::path path = benchFile(scene, format, "read");
    saveScene(sharedRoot(), sceneObjects(scene), path.string(), format);
    return files[key] = path;
}

std::uint64_t fileBytes(const std::filesystem::path& path) {
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

std::uint64_t walk(IDirectXFileData* data);

std::uint64_t visitChild(IDirectXFileObject* child) {
    std::uint64_t checksum = 0;
    IDirectXFileData* childData = nullptr;
    IDirectXFileDataReference* reference = nullptr;
    if (child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&childData)) ==
        DXFILE_OK) {
        checksum += walk(childData);
        childData->Release();
    } else if (child->QueryInterface(IID_IDirectXFileDataReference,
                                     reinterpret_cast<void**>(&reference)) == DXFILE_OK) {
        IDirectXFileData* target = nullptr;
        if (reference->Resolve(&target) == DXFILE_OK) {
            checksum += 1;
            target->Release();
        }
        reference->Release();
    }
    return checksum;
}

// What a reader of the file does with every object.
std::uint64_t walk(IDirectXFileData* data) {
    std::uint64_t checksum = 0;
    const GUID* type = nullptr;
    if (data->GetType(&type) == DXFILE_OK) checksum += type->Data1;
    char name[256];
    DWORD length = sizeof name;
    if (data->GetName(name, &length) == DXFILE_OK) checksum += length;
    DWORD size = 0;
    void* bytes = nullptr;
    if (data->GetData(nullptr, &size, &bytes) == DXFILE_OK) checksum += size;
    for (;;) {
        IDirectXFileObject* child = nullptr;
        if (data->GetNextObject(&child) != DXFILE_OK) break;
        checksum += visitChild(child);
        child->Release();
    }
    return checksum;
}

void readFile(benchmark::State& state, BenchScene scene, DXFILEFORMAT format) {
    const std::filesystem::path& path = sceneFile(scene, format);
    std::string name = path.string();
    for (auto _ : state) {
        IDirectXFileEnumObject* enumObject = nullptr;
        if (sharedRoot()->CreateEnumObject(name.data(), DXFILELOAD_FROMFILE, &enumObject) !=
            DXFILE_OK) {
            state.SkipWithError("cannot read the scene");
            return;
        }
        std::uint64_t checksum = 0;
        for (;;) {
            IDirectXFileData* data = nullptr;
            if (enumObject->GetNextDataObject(&data) != DXFILE_OK) break;
            checksum += walk(data);
            data->Release();
        }
        enumObject->Release();
        benchmark::DoNotOptimize(checksum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileBytes(path)));
    state.counters["file_MB"] = static_cast<double>(fileBytes(path)) / 1e6;
}

#ifdef LUMASET_BENCH_PEER
// The peer importer on the same file, without post-processing.
void peerReadFile(benchmark::State& state, BenchScene scene, DXFILEFORMAT format) {
    const std::filesystem::path& path = sceneFile(scene, format);
    std::string name = path.string();
    for (auto _ : state) {
        Assimp::Importer importer;
        const aiScene* read = importer.ReadFile(name, 0);
        if (!read) {
            state.SkipWithError(importer.GetErrorString());
            return;
        }
        benchmark::DoNotOptimize(read->mNumMeshes + read->mNumAnimations);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileBytes(path)));
}
#endif

void saveFile(benchmark::State& state, BenchScene scene, DXFILEFORMAT format) {
    const auto& objects = sceneObjects(scene);
    std::filesystem::path path = benchFile(scene, format, "save");
    for (auto _ : state) {
        if (!saveScene(sharedRoot(), objects, path.string(), format)) {
            state.SkipWithError("cannot save the scene");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileBytes(path)));
    state.counters["file_MB"] = static_cast<double>(fileBytes(path)) / 1e6;
    std::filesystem::remove(path);
}

// One row of the summary: our benchmark, the peer's on the same file, and the goal.
struct Goal {
    std::string work;
    std::string ours;
    std::string peer;       // empty: no peer row
    double ratio = 0;       // goal as a multiple of the peer; 0: an absolute goal
    double megabytes = 0;   // goal in MB/s when absolute
};

std::vector<Goal> goals() {
    return {
        {"text read, mesh-heavy", "Read/Mesh1M/text", "Peer/Mesh1M/text", 4, 0},
        {"text read, animation-heavy", "Read/Animation150k/text", "Peer/Animation150k/text", 4, 0},
        {"binary read, mesh-heavy", "Read/Mesh1M/binary", "Peer/Mesh1M/binary", 12, 0},
        {"binary read, animation-heavy", "Read/Animation150k/binary", "Peer/Animation150k/binary",
         8, 0},
        {"compressed read, mesh-heavy", "Read/Mesh1M/compressed", "Peer/Mesh1M/compressed", 4, 0},
        {"compressed read, animation-heavy", "Read/Animation150k/compressed",
         "Peer/Animation150k/compressed", 4, 0},
        {"text save, mesh-heavy", "Save/Mesh1M/text", "", 0, 200},
        {"text save, animation-heavy", "Save/Animation150k/text", "", 0, 200},
        {"binary save, mesh-heavy", "Save/Mesh1M/binary", "", 0, 1000},
        {"binary save, animation-heavy", "Save/Animation150k/binary", "", 0, 1000},
    };
}

// Keeps the rate of every run and prints the goals table after the usual output.
class GoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            auto found = run.counters.find("bytes_per_second");
            if (found != run.counters.end()) rates_[run.benchmark_name()] = found->second.value / 1e6;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printGoals() const {
        std::printf("\n%-34s %10s %10s %8s  %-10s %s\n", "work", "MB/s", "peer MB/s", "ratio",
                    "goal", "met");
        for (const Goal& goal : goals()) {
            auto ours = rates_.find(goal.ours);
            if (ours == rates_.end()) continue;
            auto peer = goal.peer.empty() ? rates_.end() : rates_.find(goal.peer);
            bool hasPeer = peer != rates_.end() && peer->second > 0;
            double ratio = hasPeer ? ours->second / peer->second : 0;
            char goalText[32];
            bool met;
            if (goal.ratio > 0) {
                std::snprintf(goalText, sizeof goalText, ">= %gx", goal.ratio);
                met = hasPeer && ratio >= goal.ratio;
            } else {
                std::snprintf(goalText, sizeof goalText, ">= %g MB/s", goal.megabytes);
                met = ours->second >= goal.megabytes;
            }
            char peerText[16] = "-";
            char ratioText[16] = "-";
            if (hasPeer) {
                std::snprintf(peerText, sizeof peerText, "%.0f", peer->second);
                std::snprintf(ratioText, sizeof ratioText, "%.1fx", ratio);
            }
            const char* verdict = goal.ratio > 0 && !hasPeer ? "(no peer)" : met ? "yes" : "NO";
            std::printf("%-34s %10.0f %10s %8s  %-10s %s\n", goal.work.c_str(), ours->second,
                        peerText, ratioText, goalText, verdict);
        }
    }

private:
    std::map<std::string, double> rates_;
};

void registerAll() {
    for (BenchScene scene : {BenchScene::Mesh, BenchScene::Animation}) {
        for (DXFILEFORMAT format : kFormats) {
            std::string suffix = std::string(sceneName(scene)) + "/" + formatName(format);
            benchmark::RegisterBenchmark(("Read/" + suffix).c_str(),
                                         [=](benchmark::State& state) {
                                             readFile(state, scene, format);
                                         })
                ->Unit(benchmark::kMillisecond);
#ifdef LUMASET_BENCH_PEER
            benchmark::RegisterBenchmark(("Peer/" + suffix).c_str(),
                                         [=](benchmark::State& state) {
                                             peerReadFile(state, scene, format);
                                         })
                ->Unit(benchmark::kMillisecond);
#endif
            benchmark::RegisterBenchmark(("Save/" + suffix).c_str(),
                                         [=](benchmark::State& state) {
                                             saveFile(state, scene, format);
                                         })
                ->Unit(benchmark::kMillisecond);
        }
    }
}

void removeReadFiles() {
    for (BenchScene scene : {BenchScene::Mesh, BenchScene::Animation})
        for (DXFILEFORMAT format : kFormats) {
            std::error_code ignored;
            std::filesystem::remove(benchFile(scene, format, "read"), ignored);
        }
}

} // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printGoals();
#ifndef LUMASET_BENCH_PEER
    std::printf("(built without the peer importer: install libassimp-dev for the ratios)\n");
#endif
    removeReadFiles();
    benchmark::Shutdown();
    return 0;
}
