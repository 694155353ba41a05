// Helpers shared by the host program's tests: a private temporary folder, the corpus folder, the
// Khronos validator and a small PNG.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace apptest {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The glTF corpus folder, or an empty path when the corpus is not beside the checkout.
std::filesystem::path gltfCorpusFolder();

// Every .gltf and .glb file of the corpus, sorted by name.
std::vector<std::filesystem::path> gltfCorpusFiles();

// The X file corpus folder, or an empty path when the corpus is not beside the checkout.
std::filesystem::path xCorpusFolder();

// Every .x file of the corpus (either letter case), sorted by name.
std::vector<std::filesystem::path> xCorpusFiles();

// Runs the Khronos glTF validator (tools/validator) on `file`. Returns true when it reports no
// errors; `report` receives its output either way.
bool validatesWithoutErrors(const std::string& file, std::string& report);

// A valid 2x2 RGB PNG image.
const std::vector<std::uint8_t>& tinyPng();

void writeBytes(const std::string& file, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readBytes(const std::string& file);
void writeText(const std::string& file, const std::string& text);
// The number of entries in `folder` (to check that nothing was left behind).
std::size_t entriesIn(const std::filesystem::path& folder);

// Runs a shell command line; returns its exit status and fills `output` with stdout and stderr.
int runCommand(const std::string& commandLine, std::string& output);

} // namespace apptest
