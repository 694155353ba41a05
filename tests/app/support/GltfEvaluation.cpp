#include "GltfEvaluation.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace apptest {

namespace {

std::vector<double> valueAt(const gltf::Channel& channel, std::size_t key) {
    const std::size_t n = std::size_t(gltf::componentCount(channel.path));
    const std::size_t at =
        channel.interpolation == gltf::Interpolation::cubicSpline ? (key * 3 + 1) * n : key * n;
    return std::vector<double>(channel.values.begin() + std::ptrdiff_t(at),
                               channel.values.begin() + std::ptrdiff_t(at + n));
}

void normalize(std::vector<double>& q) {
    double length = 0;
    for (double c : q)
        length += c * c;
    length = std::sqrt(length);
    if (length > 0)
        for (double& c : q)
            c /= length;
}

std::vector<double> slerp(std::vector<double> a, std::vector<double> b, double t) {
    double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    if (dot < 0) {
        for (double& c : b)
            c = -c;
        dot = -dot;
    }
    std::vector<double> out(4);
    if (dot > 0.9995) {
        for (int i = 0; i < 4; ++i)
            out[std::size_t(i)] = a[std::size_t(i)] + t * (b[std::size_t(i)] - a[std::size_t(i)]);
    } else {
        const double angle = std::acos(dot);
        const double wa = std::sin((1 - t) * angle) / std::sin(angle),
                     wb = std::sin(t * angle) / std::sin(angle);
        for (int i = 0; i < 4; ++i)
            out[std::size_t(i)] = wa * a[std::size_t(i)] + wb * b[std::size_t(i)];
    }
    normalize(out);
    return out;
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b) {
    Matrix4 out{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[std::size_t(k * 4 + row)] * b[std::size_t(col * 4 + k)];
            out[std::size_t(col * 4 + row)] = sum;
        }
    return out;
}

} // namespace

std::vector<double> sampleChannel(const gltf::Channel& channel, double seconds) {
    const auto& times = channel.timesSeconds;
    std::vector<double> value;
    if (seconds <= times.front()) {
        value = valueAt(channel, 0);
    } else if (seconds >= times.back()) {
        value = valueAt(channel, times.size() - 1);
    } else {
        std::size_t k = std::size_t(std::upper_bound(times.begin(), times.end(), float(seconds)) -
                                    times.begin()) -
                        1;
        while (k + 1 < times.size() && double(times[k + 1]) <= seconds)
            ++k;
        const double t0 = times[k], t1 = times[k + 1];
        const double t = (seconds - t0) / (t1 - t0);
        std::vector<double> a = valueAt(channel, k), b = valueAt(channel, k + 1);
        if (channel.interpolation == gltf::Interpolation::step || t <= 0) {
            value = a;
        } else if (channel.path == gltf::AnimationPath::rotation) {
            value = slerp(a, b, t);
        } else {
            value.resize(a.size());
            for (std::size_t i = 0; i < a.size(); ++i)
                value[i] = a[i] + t * (b[i] - a[i]);
        }
    }
    if (channel.path == gltf::AnimationPath::rotation) normalize(value);
    return value;
}

Matrix4 localAt(const gltf::Scene& scene, int index, const gltf::Animation* animation,
                double seconds) {
    const gltf::Node& node = scene.nodes[std::size_t(index)];
    if (node.hasMatrix) {
        Matrix4 m;
        for (std::size_t i = 0; i < 16; ++i)
            m[i] = node.matrix[i];
        return m;
    }
    std::vector<double> t(node.translation.begin(), node.translation.end());
    std::vector<double> r(node.rotation.begin(), node.rotation.end());
    std::vector<double> s(node.scale.begin(), node.scale.end());
    normalize(r);
    if (animation)
        for (const gltf::Channel& channel : animation->channels)
            if (channel.node == index) {
                std::vector<double> value = sampleChannel(channel, seconds);
                (channel.path == gltf::AnimationPath::translation ? t
                 : channel.path == gltf::AnimationPath::rotation  ? r
                                                                  : s) = value;
            }
    const double x = r[0], y = r[1], z = r[2], w = r[3];
    // Columns of R * S, then the translation column.
    Matrix4 m{1 - 2 * (y * y + z * z),
              2 * (x * y + z * w),
              2 * (x * z - y * w),
              0,
              2 * (x * y - z * w),
              1 - 2 * (x * x + z * z),
              2 * (y * z + x * w),
              0,
              2 * (x * z + y * w),
              2 * (y * z - x * w),
              1 - 2 * (x * x + y * y),
              0,
              t[0],
              t[1],
              t[2],
              1};
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            m[std::size_t(col * 4 + row)] *= s[std::size_t(col)];
    return m;
}

std::vector<Matrix4> worldMatrices(const gltf::Scene& scene, const gltf::Animation* animation,
                                   double seconds) {
    std::vector<Matrix4> world(scene.nodes.size());
    std::function<void(int, const Matrix4&)> visit = [&](int index, const Matrix4& parent) {
        world[std::size_t(index)] = multiply(parent, localAt(scene, index, animation, seconds));
        for (int child : scene.nodes[std::size_t(index)].children)
            visit(child, world[std::size_t(index)]);
    };
    const Matrix4 identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int root : scene.roots)
        visit(root, identity);
    return world;
}

std::vector<int> depthFirstOrder(const gltf::Scene& scene) {
    std::vector<int> order;
    std::function<void(int)> visit = [&](int index) {
        order.push_back(index);
        for (int child : scene.nodes[std::size_t(index)].children)
            visit(child);
    };
    for (int root : scene.roots)
        visit(root);
    return order;
}

} // namespace apptest
