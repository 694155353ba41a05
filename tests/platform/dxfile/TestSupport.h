// Helpers shared by the file services tests: files and memory sources.
#pragma once

#include <ComRef.h>
#include <dxfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A copy of `bytes` in a heap block of exactly their length, so that reading one byte past the
// end is a fault the sanitizer sees (a std::string has a readable NUL there).
class ExactBytes {
public:
    explicit ExactBytes(std::string_view bytes)
        : data_(std::make_unique<char[]>(bytes.size())), size_(bytes.size()) {
        std::copy(bytes.begin(), bytes.end(), data_.get());
    }
    std::string_view view() const { return std::string_view(data_.get(), size_); }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_;
};

inline std::filesystem::path corpusFolder() { return std::filesystem::path(LUMASET_CORPUS_DIR) / "x"; }

// A root object with the standard and extension templates registered.
ComRef<IDirectXFile> makeRoot();

// Loads `bytes` from memory through `root`: the CreateEnumObject status, and the enumerator.
HRESULT openMemory(IDirectXFile* root, std::string_view bytes, ComRef<IDirectXFileEnumObject>& out);

// Enumerates every top-level object of `bytes`; returns how enumeration ended (DXFILE_OK for a
// normal end) and counts the objects.
HRESULT enumerateAll(IDirectXFile* root, std::string_view bytes, int* objectCount = nullptr);

// The first top-level object of a text file made of the header "xof 0303txt 0032" and `body`.
HRESULT firstObject(IDirectXFile* root, const std::string& body, ComRef<IDirectXFileData>& out);

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::filesystem::path path(const std::string& name) const { return folder_ / name; }

private:
    std::filesystem::path folder_;
};
