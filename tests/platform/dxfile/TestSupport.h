// Helpers shared by the file services tests: owned interface pointers, files and memory sources.
#pragma once

#include <dxfile.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

template <class Interface> class Ref {
public:
    Ref() = default;
    explicit Ref(Interface* p) : p_(p) {}
    Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    Ref& operator=(Ref&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~Ref() { reset(); }
    Interface* get() const { return p_; }
    Interface* operator->() const { return p_; }
    Interface** receive() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_) {
            p_->Release();
            p_ = nullptr;
        }
    }
    explicit operator bool() const { return p_ != nullptr; }

private:
    Interface* p_ = nullptr;
};

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::filesystem::path corpusFolder() { return std::filesystem::path(LUMASET_CORPUS_DIR) / "x"; }

// A root object with the standard and extension templates registered.
Ref<IDirectXFile> makeRoot();

// Loads `bytes` from memory through `root`: the CreateEnumObject status, and the enumerator.
HRESULT openMemory(IDirectXFile* root, std::string_view bytes, Ref<IDirectXFileEnumObject>& out);

// Enumerates every top-level object of `bytes`; returns how enumeration ended (DXFILE_OK for a
// normal end) and counts the objects.
HRESULT enumerateAll(IDirectXFile* root, std::string_view bytes, int* objectCount = nullptr);

// The first top-level object of a text file made of the header "xof 0303txt 0032" and `body`.
HRESULT firstObject(IDirectXFile* root, const std::string& body, Ref<IDirectXFileData>& out);

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    std::filesystem::path path(const std::string& name) const { return folder_ / name; }

private:
    std::filesystem::path folder_;
};
