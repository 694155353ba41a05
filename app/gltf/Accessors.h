// Checked decoding of glTF accessors from a loaded tinygltf model. Every index is checked
// against the model, every byte range against the buffer behind it, before anything is read or
// allocated. Errors are one line naming the accessor ("accessor 7 points past the end of
// buffer 0").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tinygltf {
class Model;
}

namespace gltf {

class AccessorDecoder {
public:
    explicit AccessorDecoder(const tinygltf::Model& model) : model_(model) {}

    // Decodes accessor `index` as `componentCount` numbers per element (1 for SCALAR, 3 for VEC3,
    // 16 for MAT4); integer components are scaled to 0..1 or -1..1 when the accessor is
    // normalized, else taken as they are. Fails on a type with another component count.
    [[nodiscard]] bool readFloats(int index, int componentCount, std::vector<float>& values,
                                  std::string& error) const;

    // Decodes an accessor of unsigned integers (indices, joints) with `componentCount` per element.
    [[nodiscard]] bool readUnsigned(int index, int componentCount,
                                    std::vector<std::uint32_t>& values, std::string& error) const;

    // The element count and component count of accessor `index`; false when it does not exist.
    [[nodiscard]] bool describe(int index, std::size_t& count, int& componentCount) const;

private:
    // Decodes every component as a double, the raw integer or float value; `normalizedOut` tells
    // whether the accessor asks for normalization.
    bool readRaw(int index, int componentCount, std::vector<double>& values, bool& normalized,
                 int& componentType, std::string& error) const;

    const tinygltf::Model& model_;
};

} // namespace gltf
