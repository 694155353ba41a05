// Every input that ever made a fuzz target fail, run again through that target's own entry point,
// built here without the fuzzer: a crash, a sanitizer report or a broken promise (the targets
// abort on those) fails the test. Each input is an exact copy on the heap, so a read one byte
// past its end is caught. FUZZ_REGRESSIONS_DIR names the target's regressions folder, which the
// fuzz scripts also replay; a target that never failed keeps only its README there.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), {});
}

TEST(FuzzRegressions, EveryKeptInputPassesTheTargetsChecks) {
    // The glTF targets look for buffers the inputs name beside the seeds they came from.
    const std::filesystem::path seeds = std::filesystem::path(LUMASET_CORPUS_DIR) / "gltf";
    if (std::filesystem::is_directory(seeds)) ::setenv("GLTF_FUZZ_BASE", seeds.c_str(), 0);

    const std::filesystem::path folder = FUZZ_REGRESSIONS_DIR;
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename() != "README.md")
            inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    for (const std::filesystem::path& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        const std::vector<std::uint8_t> bytes = readBytes(input);
        auto exact = std::make_unique<std::uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), exact.get());
        EXPECT_EQ(LLVMFuzzerTestOneInput(exact.get(), bytes.size()), 0);
    }
}

} // namespace
