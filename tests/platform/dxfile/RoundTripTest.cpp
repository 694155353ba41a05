// Random object trees over the standard templates, built with CreateDataObject, saved in every
// encoding and read back: every object, name, GUID, packed byte, string and reference returns.
#include "TestSupport.h"

#include <cmath>
#include <cstring>
#include <random>

namespace {

constexpr GUID kMesh = {0x3D82AB44, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kFrame = {0x3D82AB46, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kMaterial = {0x3D82AB4D, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kAnimation = {0x3D82AB4F, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kAnimationSet = {0x3D82AB50, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kHeader = {0x3D82AB43, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kAnimationKey = {0x10DD46A8, 0x775B, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
constexpr GUID kTextureFilename = {0xA42790E1, 0x7810, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
constexpr GUID kMeshTextureCoords = {0xF6F23F40, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
constexpr GUID kFrameTransformMatrix = {0xF6F23F41, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
constexpr GUID kMeshMaterialList = {0xF6F23F42, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
constexpr GUID kMeshNormals = {0xF6F23F43, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
constexpr GUID kSkinWeights = {0x6F0D123B, 0xBAD2, 0x4167, {0xA0, 0xD0, 0x80, 0x22, 0x4F, 0x25, 0xFA, 0xBB}};
constexpr GUID kXSkinMeshHeader = {0x3CF169CE, 0xFF7C, 0x44AB, {0x93, 0xC0, 0xF7, 0x8F, 0x62, 0xD1, 0x72, 0xE2}};

// What a built object must read back as. STRING members are compared by their text.
struct Expected {
    GUID type{};
    std::string name;
    bool hasId = false;
    GUID id{};
    std::vector<std::uint8_t> packed;
    std::vector<std::pair<std::size_t, std::string>> strings;  // pointer offset, text
    std::vector<Expected> children;
    bool isReference = false;  // a reference child: `name` is its target's name
};

class Packer {
public:
    void dword(std::uint32_t v) { append(&v, 4); }
    void word(std::uint16_t v) { append(&v, 2); }
    void real(float v) { append(&v, 4); }
    void text(Expected& expected, std::string value) {
        texts_.push_back(std::make_unique<std::string>(value));
        const char* pointer = texts_.back()->c_str();
        expected.strings.emplace_back(bytes.size(), std::move(value));
        append(&pointer, sizeof pointer);
    }
    std::vector<std::uint8_t> bytes;

private:
    void append(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    std::vector<std::unique_ptr<std::string>> texts_;
};

class TreeMaker {
public:
    explicit TreeMaker(unsigned seed) : random_(seed) {}

    // Finite floats of every magnitude, signed zeros and subnormals included.
    float anyFloat() {
        switch (pick(6)) {
        case 0: return 0.0f;
        case 1: return -0.0f;
        case 2: return static_cast<float>(pick(2001)) / 8.0f - 125.0f;
        default:
            for (;;) {
                std::uint32_t bits = static_cast<std::uint32_t>(random_());
                float value;
                std::memcpy(&value, &bits, 4);
                if (std::isfinite(value)) return value;
            }
        }
    }
    std::uint32_t pick(std::uint32_t count) { return static_cast<std::uint32_t>(random_() % count); }

    std::string freshName() {
        static const char kFirst[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_";
        static const char kRest[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789";
        std::string name(1, kFirst[pick(sizeof kFirst - 1)]);
        std::uint32_t length = pick(12);
        for (std::uint32_t i = 0; i < length; ++i) name += kRest[pick(sizeof kRest - 1)];
        return name + "_" + std::to_string(++serial_);  // unique, never a keyword
    }

    Expected mesh(IDirectXFileSaveObject* save, ComRef<IDirectXFileData>& out, std::vector<std::string>& materials) {
        Expected e;
        e.type = kMesh;
        Packer p;
        std::uint32_t vertices = 3 + pick(40);
        p.dword(vertices);
        for (std::uint32_t i = 0; i < vertices * 3; ++i) p.real(anyFloat());
        std::uint32_t faces = pick(30);
        p.dword(faces);
        for (std::uint32_t f = 0; f < faces; ++f) {
            std::uint32_t corners = 3 + pick(3);
            p.dword(corners);
            for (std::uint32_t c = 0; c < corners; ++c) p.dword(pick(vertices));
        }
        build(save, kMesh, e, p, out, pick(2) == 0);
        addChild(out, e, normals(save, faces));
        addChild(out, e, simple(save, kMeshTextureCoords, [&](Packer& q, Expected&) {
            q.dword(vertices);
            for (std::uint32_t i = 0; i < vertices * 2; ++i) q.real(anyFloat());
        }));
        if (!materials.empty()) {
            ComRef<IDirectXFileData> list;
            Expected le;
            le.type = kMeshMaterialList;
            Packer q;
            q.dword(static_cast<std::uint32_t>(materials.size()));
            q.dword(faces);
            for (std::uint32_t f = 0; f < faces; ++f) q.dword(pick(static_cast<std::uint32_t>(materials.size())));
            build(save, kMeshMaterialList, le, q, list, false);
            for (const std::string& material : materials) {
                EXPECT_EQ(list->AddDataReference(material.c_str(), nullptr), DXFILE_OK);
                Expected reference;
                reference.isReference = true;
                reference.name = material;
                le.children.push_back(reference);
            }
            EXPECT_EQ(out->AddDataObject(list.get()), DXFILE_OK);
            e.children.push_back(std::move(le));
        }
        addChild(out, e, simple(save, kXSkinMeshHeader, [&](Packer& q, Expected&) {
            q.word(static_cast<std::uint16_t>(pick(65536)));
            q.word(static_cast<std::uint16_t>(pick(65536)));
            q.word(static_cast<std::uint16_t>(pick(65536)));
        }));
        addChild(out, e, simple(save, kSkinWeights, [&](Packer& q, Expected& se) {
            q.text(se, pick(3) == 0 ? std::string() : freshName() + " with spaces\\and back\\\\slashes");
            std::uint32_t weights = pick(20);
            q.dword(weights);
            for (std::uint32_t i = 0; i < weights; ++i) q.dword(pick(vertices));
            for (std::uint32_t i = 0; i < weights + 16; ++i) q.real(anyFloat());
        }));
        return e;
    }

    Expected normals(IDirectXFileSaveObject* save, std::uint32_t faces) {
        return simple(save, kMeshNormals, [&](Packer& q, Expected&) {
            std::uint32_t count = 1 + pick(10);
            q.dword(count);
            for (std::uint32_t i = 0; i < count * 3; ++i) q.real(anyFloat());
            q.dword(faces);
            for (std::uint32_t f = 0; f < faces; ++f) {
                q.dword(3);
                for (int c = 0; c < 3; ++c) q.dword(pick(count));
            }
        });
    }

    Expected material(IDirectXFileSaveObject* save, ComRef<IDirectXFileData>& out, const std::string& name) {
        Expected e;
        e.type = kMaterial;
        Packer p;
        for (int i = 0; i < 11; ++i) p.real(anyFloat());
        build(save, kMaterial, e, p, out, true, name);
        if (pick(2) == 0)
            addChild(out, e, simple(save, kTextureFilename, [&](Packer& q, Expected& te) {
                q.text(te, "C:\\maps\\" + freshName() + ".png");
            }));
        return e;
    }

    Expected frame(IDirectXFileSaveObject* save, ComRef<IDirectXFileData>& out, int depth,
                   std::vector<std::string>& materials, std::vector<std::string>& frames) {
        Expected e;
        e.type = kFrame;
        Packer p;
        std::string name = freshName();
        build(save, kFrame, e, p, out, true, name);
        frames.push_back(name);
        addChild(out, e, simple(save, kFrameTransformMatrix, [&](Packer& q, Expected&) {
            for (int i = 0; i < 16; ++i) q.real(anyFloat());
        }));
        if (pick(2) == 0) {
            ComRef<IDirectXFileData> child;
            Expected me = mesh(save, child, materials);
            EXPECT_EQ(out->AddDataObject(child.get()), DXFILE_OK);
            e.children.push_back(std::move(me));
        }
        if (depth < 4)
            for (std::uint32_t i = pick(3); i > 0; --i) {
                ComRef<IDirectXFileData> child;
                Expected fe = frame(save, child, depth + 1, materials, frames);
                EXPECT_EQ(out->AddDataObject(child.get()), DXFILE_OK);
                e.children.push_back(std::move(fe));
            }
        return e;
    }

    Expected animationSet(IDirectXFileSaveObject* save, ComRef<IDirectXFileData>& out,
                          const std::vector<std::string>& frames) {
        Expected e;
        e.type = kAnimationSet;
        Packer p;
        build(save, kAnimationSet, e, p, out, true, freshName());
        for (const std::string& target : frames) {
            ComRef<IDirectXFileData> animation;
            Expected ae;
            ae.type = kAnimation;
            Packer none;
            build(save, kAnimation, ae, none, animation, false);
            EXPECT_EQ(animation->AddDataReference(target.c_str(), nullptr), DXFILE_OK);
            Expected reference;
            reference.isReference = true;
            reference.name = target;
            ae.children.push_back(reference);
            addChild(animation, ae, simple(save, kAnimationKey, [&](Packer& q, Expected&) {
                static const std::uint32_t kTypes[] = {0, 1, 2, 4};
                static const std::uint32_t kValues[] = {4, 3, 3, 16};
                std::uint32_t kind = pick(4);
                std::uint32_t keys = pick(6);
                q.dword(kTypes[kind]);
                q.dword(keys);
                for (std::uint32_t k = 0; k < keys; ++k) {
                    q.dword(k * 160);
                    q.dword(kValues[kind]);
                    for (std::uint32_t v = 0; v < kValues[kind]; ++v) q.real(anyFloat());
                }
            }));
            EXPECT_EQ(out->AddDataObject(animation.get()), DXFILE_OK);
            e.children.push_back(std::move(ae));
        }
        return e;
    }

    Expected header(IDirectXFileSaveObject* save, ComRef<IDirectXFileData>& out) {
        return simpleInto(save, kHeader, out, [&](Packer& q, Expected&) {
            q.word(static_cast<std::uint16_t>(pick(65536)));
            q.word(static_cast<std::uint16_t>(pick(65536)));
            q.dword(static_cast<std::uint32_t>(random_()));
        });
    }

private:
    template <class Fill> Expected simple(IDirectXFileSaveObject* save, const GUID& type, Fill fill) {
        ComRef<IDirectXFileData> object;
        Expected e = simpleInto(save, type, object, fill);
        pending_ = std::move(object);
        return e;
    }
    template <class Fill>
    Expected simpleInto(IDirectXFileSaveObject* save, const GUID& type, ComRef<IDirectXFileData>& out, Fill fill) {
        Expected e;
        e.type = type;
        Packer p;
        fill(p, e);
        build(save, type, e, p, out, false);
        return e;
    }
    // Adds the object made by the last simple() to `parent`.
    void addChild(ComRef<IDirectXFileData>& parent, Expected& parentExpected, Expected child) {
        EXPECT_EQ(parent->AddDataObject(pending_.get()), DXFILE_OK);
        pending_.reset();
        parentExpected.children.push_back(std::move(child));
    }
    void build(IDirectXFileSaveObject* save, const GUID& type, Expected& e, Packer& p,
               ComRef<IDirectXFileData>& out, bool withId, const std::string& name = "") {
        e.name = name;
        e.packed = p.bytes;
        if (withId) {
            e.hasId = true;
            e.id = GUID{static_cast<DWORD>(random_()), static_cast<WORD>(pick(65536)), 0x4000,
                        {0x80, 1, 2, 3, 4, 5, 6, static_cast<BYTE>(pick(256))}};
        }
        ASSERT_EQ(save->CreateDataObject(type, name.empty() ? nullptr : name.c_str(),
                                         e.hasId ? &e.id : nullptr, static_cast<DWORD>(p.bytes.size()),
                                         p.bytes.empty() ? nullptr : p.bytes.data(), out.receive()),
                  DXFILE_OK);
    }

    std::mt19937_64 random_;
    ComRef<IDirectXFileData> pending_;
    int serial_ = 0;
};

std::string nameOf(IDirectXFileObject* object) {
    DWORD length = 0;
    EXPECT_EQ(object->GetName(nullptr, &length), DXFILE_OK);
    std::string name(length, '\0');
    if (length > 0) {
        EXPECT_EQ(object->GetName(name.data(), &length), DXFILE_OK);
    }
    return length > 0 ? name.substr(0, length - 1) : std::string();
}

void expectSame(IDirectXFileData* data, const Expected& e, const std::string& where) {
    const GUID* type = nullptr;
    ASSERT_EQ(data->GetType(&type), DXFILE_OK);
    EXPECT_TRUE(IsEqualGUID(*type, e.type)) << where;
    EXPECT_EQ(nameOf(data), e.name) << where;
    GUID id{};
    EXPECT_EQ(data->GetId(&id), DXFILE_OK);
    EXPECT_TRUE(IsEqualGUID(id, e.hasId ? e.id : GUID{})) << where;
    DWORD size = 0;
    void* bytes = nullptr;
    ASSERT_EQ(data->GetData(nullptr, &size, &bytes), DXFILE_OK);
    ASSERT_EQ(size, e.packed.size()) << where;
    std::vector<std::uint8_t> got(static_cast<std::uint8_t*>(bytes), static_cast<std::uint8_t*>(bytes) + size);
    std::vector<std::uint8_t> want = e.packed;
    for (const auto& [offset, text] : e.strings) {
        const char* pointer;
        std::memcpy(&pointer, got.data() + offset, sizeof pointer);
        ASSERT_NE(pointer, nullptr) << where;
        EXPECT_EQ(std::string(pointer), text) << where;
        std::memset(got.data() + offset, 0, sizeof pointer);
        std::memset(want.data() + offset, 0, sizeof pointer);
    }
    EXPECT_TRUE(got == want) << where << ": packed data differs";
    std::size_t index = 0;
    for (;;) {
        ComRef<IDirectXFileObject> child;
        HRESULT status = data->GetNextObject(child.receive());
        if (status == DXFILEERR_NOMOREOBJECTS) break;
        ASSERT_EQ(status, DXFILE_OK);
        ASSERT_LT(index, e.children.size()) << where << ": more children than saved";
        const Expected& expected = e.children[index];
        std::string childWhere = where + "/" + std::to_string(index);
        ++index;
        ComRef<IDirectXFileDataReference> reference;
        if (child->QueryInterface(IID_IDirectXFileDataReference, reinterpret_cast<void**>(reference.receive())) ==
            DXFILE_OK) {
            ASSERT_TRUE(expected.isReference) << childWhere;
            ComRef<IDirectXFileData> target;
            ASSERT_EQ(reference->Resolve(target.receive()), DXFILE_OK) << childWhere;
            EXPECT_EQ(nameOf(target.get()), expected.name) << childWhere;
            continue;
        }
        ComRef<IDirectXFileData> childData;
        ASSERT_EQ(child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(childData.receive())),
                  DXFILE_OK);
        ASSERT_FALSE(expected.isReference) << childWhere;
        expectSame(childData.get(), expected, childWhere);
    }
    EXPECT_EQ(index, e.children.size()) << where << ": fewer children than saved";
}

TEST(RoundTrip, RandomTreesReadBackExactlyInEveryEncoding) {
    const DXFILEFORMAT kFormats[] = {DXFILEFORMAT_TEXT, DXFILEFORMAT_BINARY,
                                     DXFILEFORMAT_BINARY | DXFILEFORMAT_COMPRESSED,
                                     DXFILEFORMAT_TEXT | DXFILEFORMAT_COMPRESSED};
    ScratchFolder scratch;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        for (DXFILEFORMAT format : kFormats) {
            std::string path = scratch.path("tree.x").string();
            std::vector<Expected> saved;
            {
                ComRef<IDirectXFile> root = makeRoot();
                ComRef<IDirectXFileSaveObject> save;
                ASSERT_EQ(root->CreateSaveObject(path.c_str(), format, save.receive()), DXFILE_OK);
                const GUID* declared[] = {&kXSkinMeshHeader, &kSkinWeights};
                ASSERT_EQ(save->SaveTemplates(2, declared), DXFILE_OK);
                TreeMaker maker(seed);
                std::vector<std::string> materials;
                std::vector<std::string> frames;
                ComRef<IDirectXFileData> object;
                saved.push_back(maker.header(save.get(), object));
                ASSERT_EQ(save->SaveData(object.get()), DXFILE_OK);
                for (std::uint32_t i = maker.pick(3); i > 0; --i) {
                    std::string name = maker.freshName();
                    saved.push_back(maker.material(save.get(), object, name));
                    ASSERT_EQ(save->SaveData(object.get()), DXFILE_OK);
                    materials.push_back(name);
                }
                for (std::uint32_t i = 1 + maker.pick(2); i > 0; --i) {
                    saved.push_back(maker.frame(save.get(), object, 1, materials, frames));
                    ASSERT_EQ(save->SaveData(object.get()), DXFILE_OK);
                }
                saved.push_back(maker.animationSet(save.get(), object, frames));
                ASSERT_EQ(save->SaveData(object.get()), DXFILE_OK);
            }
            std::string bytes = readText(path);
            ComRef<IDirectXFile> reader = makeRoot();
            ComRef<IDirectXFileEnumObject> enumObject;
            ASSERT_EQ(openMemory(reader.get(), bytes, enumObject), DXFILE_OK) << "seed " << seed;
            for (std::size_t i = 0; i < saved.size(); ++i) {
                ComRef<IDirectXFileData> data;
                ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK)
                    << "seed " << seed << " format " << format << " object " << i;
                expectSame(data.get(), saved[i],
                           "seed " + std::to_string(seed) + " format " + std::to_string(format) +
                               " object " + std::to_string(i));
            }
            ComRef<IDirectXFileData> extra;
            EXPECT_EQ(enumObject->GetNextDataObject(extra.receive()), DXFILEERR_NOMOREOBJECTS);
        }
    }
}

} // namespace
