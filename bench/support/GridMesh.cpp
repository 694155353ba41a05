#include "GridMesh.h"

#include <cmath>

XMesh makeGridMesh(std::uint32_t columns, std::uint32_t rows, float width, float depth) {
    XMesh mesh;
    const std::uint32_t stride = columns + 1;
    const std::size_t vertexCount = std::size_t(stride) * (rows + 1);
    mesh.positions.reserve(vertexCount);
    mesh.normals.reserve(vertexCount);
    mesh.texCoords.reserve(vertexCount);
    for (std::uint32_t row = 0; row <= rows; ++row)
        for (std::uint32_t column = 0; column <= columns; ++column) {
            const float u = float(column) / float(columns);
            const float v = float(row) / float(rows);
            const float height = 0.25f * std::sin(6.0f * u) * std::cos(5.0f * v);
            mesh.positions.push_back({u * width, height, v * depth});
            const float nx = -1.5f * std::cos(6.0f * u) * std::cos(5.0f * v);
            const float nz = 1.25f * std::sin(6.0f * u) * std::sin(5.0f * v);
            const float length = std::sqrt(nx * nx + 1.0f + nz * nz);
            mesh.normals.push_back({nx / length, 1.0f / length, nz / length});
            mesh.texCoords.push_back({u, v});
        }
    mesh.faces.reserve(std::size_t(columns) * rows * 2);
    for (std::uint32_t row = 0; row < rows; ++row)
        for (std::uint32_t column = 0; column < columns; ++column) {
            const std::uint32_t a = row * stride + column;
            XFace first;
            first.indices = {a, a + stride, a + 1, 0};
            XFace second;
            second.indices = {a + 1, a + stride, a + stride + 1, 0};
            mesh.faces.push_back(first);
            mesh.faces.push_back(second);
        }
    mesh.normalFaces = mesh.faces;
    mesh.texCoordFaces = mesh.faces;
    XMaterial material;
    material.diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
    mesh.materials = {material};
    mesh.faceMaterials.assign(mesh.faces.size(), 0);
    return mesh;
}
