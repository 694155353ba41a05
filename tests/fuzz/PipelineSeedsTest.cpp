// The whole-path checks on the seeds the project writes itself (the demo scene exported in each
// encoding, and imported back as .glb): a scene with skin, animation, several materials, vertex
// colours and a mirrored node goes the whole way without a broken promise, and the host scene is
// left empty behind each check.
#include "PipelineChecks.h"

#include <maxapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

class PipelineSeeds : public ::testing::Test {
protected:
    void SetUp() override { scratch = makeScratchFolder("lumaset-pipeline-test"); }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }
    fs::path scratch;
};

TEST_F(PipelineSeeds, EveryXSeedImportsAndWritesGltfThatReadsBack) {
    ASSERT_FALSE(scratch.empty());
    const std::vector<fs::path> seeds = filesIn(FUZZ_PIPELINE_SEEDS_DIR "/x");
    ASSERT_EQ(seeds.size(), 3u);
    for (const fs::path& seed : seeds) {
        const std::vector<std::uint8_t> bytes = readBytes(seed);
        EXPECT_EQ(checkImportPath(bytes.data(), bytes.size(), scratch), "") << seed;
        EXPECT_EQ(GetCOREInterface()->GetRootNode()->NumberOfChildren(), 0) << seed;
    }
}

TEST_F(PipelineSeeds, EveryGltfSeedExportsInEveryEncodingAndReadsBack) {
    ASSERT_FALSE(scratch.empty());
    const std::vector<fs::path> seeds = filesIn(FUZZ_PIPELINE_SEEDS_DIR "/gltf");
    ASSERT_EQ(seeds.size(), 1u);
    for (const fs::path& seed : seeds) {
        const std::vector<std::uint8_t> bytes = readBytes(seed);
        EXPECT_EQ(checkExportPath(bytes.data(), bytes.size(), "/nonexistent", scratch), "") << seed;
        EXPECT_EQ(GetCOREInterface()->GetRootNode()->NumberOfChildren(), 0) << seed;
    }
}

} // namespace
