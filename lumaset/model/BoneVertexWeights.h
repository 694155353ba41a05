// One bone's weights by vertex, held as one flat array of (vertex, weight) pairs ascending by
// vertex, one pair per vertex. It reads like an ordered map from vertex to weight (iteration in
// vertex order, lookup by vertex, setting a weight replaces the old one) but costs 8 bytes a
// weight: a skinned mesh of a million vertices has millions of weights, and a tree node per
// weight would cost five times that, scattered over the heap.
//
// Weights arrive in ascending vertex order almost always (files list them so, and so do the
// skin interfaces): setting one past the last vertex appends. A weight set in the middle moves
// the ones after it; whoever has many weights in no particular order gathers them as pairs and
// hands them over with assignPairs, which sorts once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <utility>
#include <vector>

class BoneVertexWeights {
public:
    using value_type = std::pair<std::int32_t, float>;
    using const_iterator = std::vector<value_type>::const_iterator;
    using const_reverse_iterator = std::vector<value_type>::const_reverse_iterator;

    BoneVertexWeights() = default;
    // As an ordered map takes a list: of two pairs for one vertex, the first one stays.
    BoneVertexWeights(std::initializer_list<value_type> pairs) { insertFirstWins(pairs); }
    BoneVertexWeights& operator=(std::initializer_list<value_type> pairs) {
        pairs_.clear();
        insertFirstWins(pairs);
        return *this;
    }

    const_iterator begin() const { return pairs_.begin(); }
    const_iterator end() const { return pairs_.end(); }
    const_reverse_iterator rbegin() const { return pairs_.rbegin(); }
    const_reverse_iterator rend() const { return pairs_.rend(); }
    std::size_t size() const { return pairs_.size(); }
    bool empty() const { return pairs_.empty(); }
    void clear() { pairs_.clear(); }
    void reserve(std::size_t count) { pairs_.reserve(count); }

    // The first pair whose vertex is not below `vertex`.
    const_iterator lower_bound(std::int32_t vertex) const {
        return std::lower_bound(pairs_.begin(), pairs_.end(), vertex, vertexBelow);
    }
    const_iterator find(std::int32_t vertex) const {
        const auto at = lower_bound(vertex);
        return at != pairs_.end() && at->first == vertex ? at : pairs_.end();
    }
    // The weight of `vertex`; std::out_of_range when it has none.
    float at(std::int32_t vertex) const {
        const auto found = find(vertex);
        if (found == pairs_.end()) throw std::out_of_range("no weight for this vertex");
        return found->second;
    }
    bool contains(std::int32_t vertex) const { return find(vertex) != pairs_.end(); }
    std::size_t count(std::int32_t vertex) const { return contains(vertex) ? 1 : 0; }

    // The weight of `vertex`, added as 0 when it has none.
    float& operator[](std::int32_t vertex) {
        if (pairs_.empty() || pairs_.back().first < vertex)
            return pairs_.emplace_back(vertex, 0.0f).second;
        if (pairs_.back().first == vertex) return pairs_.back().second;
        const auto at = std::lower_bound(pairs_.begin(), pairs_.end(), vertex, vertexBelow);
        if (at != pairs_.end() && at->first == vertex) return at->second;
        return pairs_.insert(at, value_type(vertex, 0.0f))->second;
    }
    // Sets the weight of `vertex`, replacing the one it had.
    void set(std::int32_t vertex, float weight) { (*this)[vertex] = weight; }

    void erase(const_iterator first, const_iterator last) { pairs_.erase(first, last); }

    // Replaces the content by `pairs`, in any order. Of two pairs for one vertex the later one
    // stays, as if each pair had been set in turn.
    void assignPairs(std::vector<value_type>&& pairs) {
        const auto byVertex = [](const value_type& a, const value_type& b) {
            return a.first < b.first;
        };
        if (!std::is_sorted(pairs.begin(), pairs.end(), byVertex))
            std::stable_sort(pairs.begin(), pairs.end(), byVertex);
        std::size_t kept = 0;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            if (i + 1 < pairs.size() && pairs[i + 1].first == pairs[i].first) continue;
            pairs[kept++] = pairs[i];
        }
        pairs.resize(kept);
        pairs_ = std::move(pairs);
    }

    friend bool operator==(const BoneVertexWeights&, const BoneVertexWeights&) = default;

private:
    static bool vertexBelow(const value_type& pair, std::int32_t vertex) {
        return pair.first < vertex;
    }
    void insertFirstWins(std::initializer_list<value_type> pairs) {
        for (const value_type& pair : pairs)
            if (!contains(pair.first)) (*this)[pair.first] = pair.second;
    }

    std::vector<value_type> pairs_;
};
