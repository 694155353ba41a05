#include "TestFiles.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sys/wait.h>

namespace apptest {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    do {
        path_ = fs::temp_directory_path() / ("lumaset-test-" + std::to_string(random()));
    } while (fs::exists(path_));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

namespace {

fs::path corpusFolder(const char* name) {
    fs::path folder = fs::path(LUMASET_CORPUS_DIR) / name;
    return fs::is_directory(folder) ? folder : fs::path();
}

std::vector<fs::path> filesIn(const fs::path& folder,
                              std::initializer_list<const char*> extensions) {
    std::vector<fs::path> files;
    if (folder.empty()) return files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string extension = entry.path().extension().string();
        for (const char* wanted : extensions)
            if (extension == wanted) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

fs::path gltfCorpusFolder() {
    return corpusFolder("gltf");
}

std::vector<fs::path> gltfCorpusFiles() {
    return filesIn(gltfCorpusFolder(), {".gltf", ".glb"});
}

fs::path xCorpusFolder() {
    return corpusFolder("x");
}

std::vector<fs::path> xCorpusFiles() {
    return filesIn(xCorpusFolder(), {".x", ".X"});
}

int runCommand(const std::string& commandLine, std::string& output) {
    output.clear();
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> chunk;
    std::size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        output.append(chunk.data(), got);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool validatesWithoutErrors(const std::string& file, std::string& report) {
    const fs::path script = fs::path(LUMASET_SOURCE_DIR) / "tools/validator/validate.mjs";
    if (!fs::exists(fs::path(LUMASET_SOURCE_DIR) / "tools/validator/node_modules/gltf-validator")) {
        report = "the glTF validator is not installed (run scripts/install-deps.sh)";
        return false;
    }
    return runCommand("node '" + script.string() + "' '" + file + "'", report) == 0;
}

const std::vector<std::uint8_t>& tinyPng() {
    static const std::vector<std::uint8_t> png = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44,
        0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0xFD,
        0xD4, 0x9A, 0x73, 0x00, 0x00, 0x00, 0x12, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8,
        0xCF, 0xC0, 0xC0, 0x00, 0xC2, 0x0C, 0xFF, 0x81, 0x00, 0x00, 0x1F, 0xEE, 0x05, 0xFB, 0x0B,
        0xD9, 0x68, 0x8B, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    return png;
}

void writeBytes(const std::string& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void writeText(const std::string& file, const std::string& text) {
    writeBytes(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::size_t entriesIn(const std::filesystem::path& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

std::vector<std::uint8_t> readBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
}

} // namespace apptest
