#include "gltf/Accessors.h"

#include <tiny_gltf.h>

#include <cstring>
#include <limits>

namespace gltf {
namespace {

// Elements an accessor without a buffer view (all zeros, maybe sparse) may declare: such an
// accessor promises no bytes, so its count is bounded here instead.
constexpr std::size_t maxBufferlessCount = std::size_t(1) << 24;

int componentSize(int componentType) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return 4;
    default:
        return 0;
    }
}

int typeComponents(int type) {
    switch (type) {
    case TINYGLTF_TYPE_SCALAR:
        return 1;
    case TINYGLTF_TYPE_VEC2:
        return 2;
    case TINYGLTF_TYPE_VEC3:
        return 3;
    case TINYGLTF_TYPE_VEC4:
        return 4;
    case TINYGLTF_TYPE_MAT2:
        return 4;
    case TINYGLTF_TYPE_MAT3:
        return 9;
    case TINYGLTF_TYPE_MAT4:
        return 16;
    default:
        return 0;
    }
}

int matrixRows(int type) {
    switch (type) {
    case TINYGLTF_TYPE_MAT2:
        return 2;
    case TINYGLTF_TYPE_MAT3:
        return 3;
    case TINYGLTF_TYPE_MAT4:
        return 4;
    default:
        return 0;
    }
}

double readComponent(const unsigned char* at, int componentType) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
        return double(static_cast<std::int8_t>(*at));
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return double(*at);
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
        std::int16_t v;
        std::memcpy(&v, at, 2);
        return v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        std::uint16_t v;
        std::memcpy(&v, at, 2);
        return v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
        std::uint32_t v;
        std::memcpy(&v, at, 4);
        return v;
    }
    default: {
        float v;
        std::memcpy(&v, at, 4);
        return v;
    }
    }
}

double normalize(double value, int componentType) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
        return value / 127.0 < -1.0 ? -1.0 : value / 127.0;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return value / 255.0;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
        return value / 32767.0 < -1.0 ? -1.0 : value / 32767.0;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return value / 65535.0;
    default:
        return value;
    }
}

// A checked window of bytes inside one buffer: the part a buffer view allows.
struct ByteWindow {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

bool viewWindow(const tinygltf::Model& model, int viewIndex, std::size_t extraOffset,
                const std::string& owner, ByteWindow& window, int& bufferIndex,
                std::string& error) {
    if (viewIndex < 0 || std::size_t(viewIndex) >= model.bufferViews.size()) {
        error =
            owner + " names buffer view " + std::to_string(viewIndex) + ", which does not exist";
        return false;
    }
    const tinygltf::BufferView& view = model.bufferViews[std::size_t(viewIndex)];
    if (view.buffer < 0 || std::size_t(view.buffer) >= model.buffers.size()) {
        error = "buffer view " + std::to_string(viewIndex) + " names buffer " +
                std::to_string(view.buffer) + ", which does not exist";
        return false;
    }
    const std::vector<unsigned char>& bytes = model.buffers[std::size_t(view.buffer)].data;
    if (view.byteOffset > bytes.size() || view.byteLength > bytes.size() - view.byteOffset) {
        error = "buffer view " + std::to_string(viewIndex) + " points past the end of buffer " +
                std::to_string(view.buffer);
        return false;
    }
    if (extraOffset > view.byteLength) {
        error = owner + " points past the end of buffer " + std::to_string(view.buffer);
        return false;
    }
    window.data = bytes.data() + view.byteOffset + extraOffset;
    window.size = view.byteLength - extraOffset;
    bufferIndex = view.buffer;
    return true;
}

} // namespace

bool AccessorDecoder::describe(int index, std::size_t& count, int& componentCount) const {
    if (index < 0 || std::size_t(index) >= model_.accessors.size()) return false;
    const tinygltf::Accessor& accessor = model_.accessors[std::size_t(index)];
    count = accessor.count;
    componentCount = typeComponents(accessor.type);
    return true;
}

bool AccessorDecoder::readRaw(int index, int componentCount, std::vector<double>& values,
                              bool& normalized, int& componentType, std::string& error) const {
    const std::string name = "accessor " + std::to_string(index);
    if (index < 0 || std::size_t(index) >= model_.accessors.size()) {
        error = name + " does not exist";
        return false;
    }
    const tinygltf::Accessor& accessor = model_.accessors[std::size_t(index)];
    const int size = componentSize(accessor.componentType);
    const int components = typeComponents(accessor.type);
    if (size == 0 || components == 0) {
        error = name + " has an unknown component type or type";
        return false;
    }
    if (components != componentCount) {
        error = name + " has " + std::to_string(components) + " components per element where " +
                std::to_string(componentCount) + " are needed";
        return false;
    }
    normalized = accessor.normalized;
    componentType = accessor.componentType;

    // Matrices of 1- and 2-byte components pad each column to 4 bytes.
    const int rows = matrixRows(accessor.type);
    const std::size_t columnBytes =
        rows ? (std::size_t(rows * size) + 3) / 4 * 4 : std::size_t(components * size);
    const int columns = rows ? components / rows : 1;
    const int perColumn = rows ? rows : components;
    const std::size_t elementBytes = columnBytes * std::size_t(columns);
    const std::size_t count = accessor.count;

    if (accessor.bufferView < 0) {
        if (count > maxBufferlessCount) {
            error = name + " declares " + std::to_string(count) + " elements without any data";
            return false;
        }
        values.assign(count * std::size_t(components), 0.0);
    } else {
        ByteWindow window;
        int bufferIndex = -1;
        if (!viewWindow(model_, accessor.bufferView, 0, name, window, bufferIndex, error))
            return false;
        const tinygltf::BufferView& view = model_.bufferViews[std::size_t(accessor.bufferView)];
        const std::size_t stride = view.byteStride ? view.byteStride : elementBytes;
        if (stride < elementBytes) {
            error = name + " has elements wider than the stride of buffer view " +
                    std::to_string(accessor.bufferView);
            return false;
        }
        if (count > 0) {
            const std::size_t offset = accessor.byteOffset;
            // The last element must end inside the view; checked without overflow.
            bool fits = offset <= window.size && elementBytes <= window.size - offset &&
                        (count - 1) <= (window.size - offset - elementBytes) / stride;
            if (!fits) {
                error = name + " points past the end of buffer " + std::to_string(bufferIndex);
                return false;
            }
        }
        values.resize(count * std::size_t(components));
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned char* element = window.data + accessor.byteOffset + i * stride;
            for (int c = 0; c < columns; ++c)
                for (int r = 0; r < perColumn; ++r)
                    values[i * std::size_t(components) + std::size_t(c * perColumn + r)] =
                        readComponent(element + std::size_t(c) * columnBytes +
                                          std::size_t(r * size),
                                      accessor.componentType);
        }
    }

    if (accessor.sparse.isSparse) {
        const auto& sparse = accessor.sparse;
        const std::size_t sparseCount = std::size_t(sparse.count < 0 ? 0 : sparse.count);
        if (sparse.count < 0 || sparseCount > count) {
            error = name + " has more sparse values than elements";
            return false;
        }
        const int indexSize = componentSize(sparse.indices.componentType);
        if (indexSize == 0 || sparse.indices.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT ||
            sparse.indices.componentType == TINYGLTF_COMPONENT_TYPE_BYTE ||
            sparse.indices.componentType == TINYGLTF_COMPONENT_TYPE_SHORT) {
            error = name + " has sparse indices of an unusable type";
            return false;
        }
        ByteWindow indexWindow, valueWindow;
        int bufferIndex = -1;
        if (!viewWindow(model_, sparse.indices.bufferView,
                        std::size_t(sparse.indices.byteOffset < 0 ? 0 : sparse.indices.byteOffset),
                        name + " (sparse indices)", indexWindow, bufferIndex, error))
            return false;
        if (sparseCount > indexWindow.size / std::size_t(indexSize)) {
            error = name + " points past the end of buffer " + std::to_string(bufferIndex);
            return false;
        }
        if (!viewWindow(model_, sparse.values.bufferView,
                        std::size_t(sparse.values.byteOffset < 0 ? 0 : sparse.values.byteOffset),
                        name + " (sparse values)", valueWindow, bufferIndex, error))
            return false;
        if (sparseCount > valueWindow.size / elementBytes) {
            error = name + " points past the end of buffer " + std::to_string(bufferIndex);
            return false;
        }
        for (std::size_t i = 0; i < sparseCount; ++i) {
            const double target = readComponent(indexWindow.data + i * std::size_t(indexSize),
                                                sparse.indices.componentType);
            if (target >= double(count)) {
                error =
                    name + " has a sparse index past its " + std::to_string(count) + " elements";
                return false;
            }
            const unsigned char* element = valueWindow.data + i * elementBytes;
            for (int c = 0; c < columns; ++c)
                for (int r = 0; r < perColumn; ++r)
                    values[std::size_t(target) * std::size_t(components) +
                           std::size_t(c * perColumn + r)] =
                        readComponent(element + std::size_t(c) * columnBytes +
                                          std::size_t(r * size),
                                      accessor.componentType);
        }
    }
    return true;
}

bool AccessorDecoder::readFloats(int index, int componentCount, std::vector<float>& values,
                                 std::string& error) const {
    std::vector<double> raw;
    bool normalized = false;
    int componentType = 0;
    if (!readRaw(index, componentCount, raw, normalized, componentType, error)) return false;
    values.resize(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i)
        values[i] = float(normalized ? normalize(raw[i], componentType) : raw[i]);
    return true;
}

bool AccessorDecoder::readUnsigned(int index, int componentCount,
                                   std::vector<std::uint32_t>& values, std::string& error) const {
    std::vector<double> raw;
    bool normalized = false;
    int componentType = 0;
    if (!readRaw(index, componentCount, raw, normalized, componentType, error)) return false;
    if (componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
        componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
        error = "accessor " + std::to_string(index) + " should hold unsigned integers";
        return false;
    }
    values.resize(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i)
        values[i] = std::uint32_t(raw[i]);
    return true;
}

} // namespace gltf
