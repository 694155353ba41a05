// Helpers shared by the X file writer and reader tests: a scene that uses every part of the
// model, comparisons that look at what a mesh looks like rather than at its raw indices, the
// invariant checker, and a plain listing of the objects the file services find in a file.
#pragma once

#include "model/XScene.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace xfiletest {

// Frames (nested, one unnamed), meshes with every stream and quads, three materials (two
// textured, one path with backslashes), two bones, and two animation sets with every key type.
// Materials hold what a file can carry (ambient 0.2, 0.2, 0.2, 1; specular and emissive alpha 0),
// so that a round trip can be compared exactly. Floats include values that are hard to print
// (0.1, 1/3, denormals, the largest float, negative zero).
XScene makeRichScene();

// Expects `actual` to look exactly like `expected`: the same faces in the same order, and at
// every corner the same position, normal, texture coordinate, colour, material and per-bone weight,
// compared bit for bit. Raw indices and list sizes may differ.
void expectSameLook(const XMesh& expected, const XMesh& actual, const std::string& where);

// Expects the two scenes to hold the same frames (names, transforms bit for bit, meshes by look,
// children in order) and the same animation sets, keys bit for bit. With ZeroSigns::same, -0 and
// +0 count as one value: compaction merges them, as it merges every pair of equal floats.
enum class ZeroSigns { distinct, same };
void expectSameScene(const XScene& expected, const XScene& actual,
                     ZeroSigns zeroSigns = ZeroSigns::distinct);

// Every frame's mesh satisfies the model's invariants, skin weights included.
void expectSceneInvariants(const XScene& scene);

// Equal in every bit: float fields compared as bit patterns.
bool identicalBits(const XScene& a, const XScene& b);

// A fresh file path in a folder of this test run.
std::filesystem::path scratchPath(const std::string& fileName);

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void writeText(const std::filesystem::path& path, const std::string& text);

// One object of a file as the file services enumerate it, depth first.
struct ListedObject {
    int depth = 0;
    std::string type; // template name for the templates the writer uses, "reference", or "other"
    std::string name;
    std::vector<std::uint8_t> data; // packed data
    std::string text; // the STRING member of TextureFilename and SkinWeights, copied out
};
// The objects of the file, or an empty list (and a test failure) when it cannot be enumerated.
std::vector<ListedObject> listObjects(const std::filesystem::path& path);

// Reads packed little-endian values from a listed object's data.
std::uint32_t dwordAt(const std::vector<std::uint8_t>& data, std::size_t offset);
std::uint16_t wordAt(const std::vector<std::uint8_t>& data, std::size_t offset);
float floatAt(const std::vector<std::uint8_t>& data, std::size_t offset);

std::string corpusPath(const std::string& fileName);
bool corpusAvailable();

} // namespace xfiletest
