#include "model/XFaceList.h"
#include "model/XScene.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

XFace triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    return XFace{3, {a, b, c, 0}};
}

XFace quad(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return XFace{4, {a, b, c, d}};
}

const std::vector<XFace> kFaces = {triangle(0, 1, 2), quad(2, 3, 4, 5), triangle(5, 6, 7)};

TEST(XFaceList, CopiesShareStorageUntilOneIsWritten) {
    XFaceList original(kFaces);
    XFaceList copy = original;
    EXPECT_TRUE(copy.sharesStorageWith(original));
    EXPECT_EQ(std::as_const(copy).data(), std::as_const(original).data());

    // Reading the copy, even through a non-const reference to it, as long as only const
    // members are used, keeps the storage shared.
    const XFaceList& readOnly = copy;
    std::uint32_t corners = 0;
    for (const XFace& face : readOnly)
        corners += face.cornerCount;
    EXPECT_EQ(corners, 10u);
    EXPECT_EQ(readOnly[1], quad(2, 3, 4, 5));
    EXPECT_TRUE(copy.sharesStorageWith(original));

    copy[0].indices[0] = 9;
    EXPECT_FALSE(copy.sharesStorageWith(original));
    EXPECT_EQ(original.view(), kFaces);
    EXPECT_EQ(copy[0], triangle(9, 1, 2));
    EXPECT_EQ(copy[2], kFaces[2]);
}

// Every member that may change the faces must give the list storage of its own first; a missing
// detach shows as a change seen through the other list.
TEST(XFaceList, EveryChangingMemberLeavesTheOtherCopyAsItWas) {
    const std::vector<std::pair<std::string, std::function<void(XFaceList&)>>> changes = {
        {"operator[]", [](XFaceList& l) { l[1].indices[2] = 99; }},
        {"at", [](XFaceList& l) { l.at(2).cornerCount = 4; }},
        {"front", [](XFaceList& l) { l.front().indices[0] = 99; }},
        {"back", [](XFaceList& l) { l.back().indices[1] = 99; }},
        {"data", [](XFaceList& l) { l.data()[1].indices[0] = 99; }},
        {"begin", [](XFaceList& l) { l.begin()->indices[1] = 99; }},
        {"end", [](XFaceList& l) { (l.end() - 1)->indices[2] = 99; }},
        {"range for",
         [](XFaceList& l) {
             for (XFace& face : l)
                 face.indices[0] += 1;
         }},
        {"edit", [](XFaceList& l) { l.edit()[0] = triangle(7, 7, 7); }},
        {"push_back", [](XFaceList& l) { l.push_back(triangle(1, 1, 1)); }},
        {"emplace_back", [](XFaceList& l) { l.emplace_back().indices[0] = 99; }},
        {"pop_back", [](XFaceList& l) { l.pop_back(); }},
        {"insert", [](XFaceList& l) { l.insert(l.cbegin() + 1, triangle(8, 8, 8)); }},
        {"insert range", [](XFaceList& l) { l.insert(l.cend(), kFaces.begin(), kFaces.end()); }},
        {"erase", [](XFaceList& l) { l.erase(l.cbegin()); }},
        {"erase range", [](XFaceList& l) { l.erase(l.cbegin() + 1, l.cend()); }},
        {"resize", [](XFaceList& l) { l.resize(1); }},
        {"resize with face", [](XFaceList& l) { l.resize(5, quad(1, 2, 3, 4)); }},
        {"reserve then write",
         [](XFaceList& l) {
             l.reserve(100);
             l[0].indices[0] = 99;
         }},
        {"clear", [](XFaceList& l) { l.clear(); }},
        {"assign", [](XFaceList& l) { l.assign(2, triangle(4, 4, 4)); }},
        {"assign vector", [](XFaceList& l) { l = std::vector<XFace>{triangle(3, 3, 3)}; }},
        {"swap",
         [](XFaceList& l) {
             XFaceList other{triangle(6, 6, 6)};
             l.swap(other);
         }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        XFaceList original(kFaces);
        XFaceList copy = original;
        change(copy);
        EXPECT_EQ(original.view(), kFaces);
        EXPECT_NE(copy, original);
    }
}

TEST(XFaceList, InsertAndEraseFindTheirPlaceInSharedStorage) {
    XFaceList original(kFaces);
    XFaceList copy = original;
    const auto at = copy.insert(copy.cbegin() + 1, triangle(8, 8, 8));
    EXPECT_EQ(at - copy.cbegin(), 1);
    EXPECT_EQ(copy.view(),
              (std::vector<XFace>{kFaces[0], triangle(8, 8, 8), kFaces[1], kFaces[2]}));

    XFaceList other = original;
    other.erase(other.cbegin() + 1, other.cend());
    EXPECT_EQ(other.view(), std::vector<XFace>{kFaces[0]});
    EXPECT_EQ(original.view(), kFaces);
}

TEST(XFaceList, EqualityComparesFacesNotStorage) {
    const XFaceList a(kFaces);
    const XFaceList b(kFaces); // equal faces, storage of its own
    EXPECT_FALSE(a.sharesStorageWith(b));
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, kFaces);
    EXPECT_EQ(kFaces, a);

    XFaceList c = a;
    c.back().cornerCount = 4;
    EXPECT_NE(a, c);
    XFaceList shorter = a;
    shorter.pop_back();
    EXPECT_NE(a, shorter);

    // An empty list equals every other empty list, however it came to be empty.
    XFaceList emptied = a;
    emptied.clear();
    XFaceList resized(kFaces);
    resized.resize(0);
    EXPECT_EQ(emptied, XFaceList());
    EXPECT_EQ(resized, XFaceList());
    EXPECT_EQ(XFaceList(), std::vector<XFace>());
}

TEST(XFaceList, MovingHandsTheStorageOverAndLeavesTheSourceEmpty) {
    XFaceList source(kFaces);
    const XFace* storage = std::as_const(source).data();
    XFaceList moved = std::move(source);
    EXPECT_EQ(std::as_const(moved).data(), storage);
    EXPECT_TRUE(source.empty()); // NOLINT: a moved-from list is empty by contract
    source.push_back(triangle(1, 2, 3));
    EXPECT_EQ(source.size(), 1u);
    EXPECT_EQ(moved.view(), kFaces);

    // Moving one of two sharing lists keeps the other's faces intact.
    XFaceList shared = moved;
    XFaceList target;
    target = std::move(moved);
    target[0].indices[0] = 42;
    EXPECT_EQ(shared.view(), kFaces);

    // A vector moved in keeps its buffer.
    std::vector<XFace> faces = kFaces;
    const XFace* buffer = faces.data();
    XFaceList fromVector(std::move(faces));
    EXPECT_EQ(std::as_const(fromVector).data(), buffer);
}

TEST(XFaceList, AnEmptyListReadsAsEmptyAndGrowsWhenWritten) {
    XFaceList list;
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.cbegin(), list.cend());
    EXPECT_TRUE(list.view().empty());
    EXPECT_FALSE(list.sharesStorageWith(XFaceList())); // nothing to share
    list.resize(2, triangle(1, 2, 3));
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1], triangle(1, 2, 3));
}

// The mesh keeps per-corner lists that often equal the faces: copying a mesh shares them all,
// and a change made to every list alike is made once and keeps them shared.
TEST(XFaceList, MeshCopiesShareAndListWideChangesKeepSharing) {
    XMesh mesh;
    mesh.faces = kFaces;
    mesh.texCoordFaces = mesh.faces;
    mesh.colorFaces = mesh.faces;
    mesh.normalFaces = {triangle(0, 0, 0), quad(1, 1, 1, 1), triangle(2, 2, 2)};

    const XMesh copy = mesh;
    EXPECT_TRUE(copy.faces.sharesStorageWith(mesh.faces));
    EXPECT_TRUE(copy.normalFaces.sharesStorageWith(mesh.normalFaces));

    changeEveryFaceList(mesh, [](XFaceList& faces) {
        for (XFace& face : faces)
            face.indices[0] += 10;
    });
    const XMesh& changed = mesh;
    EXPECT_EQ(changed.faces[0], triangle(10, 1, 2));
    EXPECT_EQ(changed.normalFaces[1], quad(11, 1, 1, 1));
    EXPECT_TRUE(changed.texCoordFaces.sharesStorageWith(changed.faces));
    EXPECT_TRUE(changed.colorFaces.sharesStorageWith(changed.faces));
    // The copy made before the change is untouched.
    EXPECT_EQ(copy.faces.view(), kFaces);
    EXPECT_EQ(copy.texCoordFaces.view(), kFaces);
    EXPECT_EQ(copy.normalFaces[1], quad(1, 1, 1, 1));
}

} // namespace
