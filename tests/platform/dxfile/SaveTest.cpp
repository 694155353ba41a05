// Saving: the target is replaced only by a complete save; floats survive text bit for bit in
// plain fixed-point notation; packed sizes are checked; compressed output inflates anywhere.
#include "TestSupport.h"

#include <zlib.h>

#include <cmath>
#include <cstring>

namespace {

constexpr GUID kVector = {
    0x3D82AB5E, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kFrame = {
    0x3D82AB46, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kMeshFace = {
    0x3D82AB5F, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
constexpr GUID kFloatKeys = {
    0x10DD46A9, 0x775B, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};

std::size_t filesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(Save, AFailedSaveLeavesTheTargetAsItWasAndNoTemporaryFile) {
    ScratchFolder scratch;
    std::filesystem::path target = scratch.path("scene.x");
    { std::ofstream(target) << "precious"; }
    {
        ComRef<IDirectXFile> root = makeRoot();
        ComRef<IDirectXFileSaveObject> save;
        ASSERT_EQ(root->CreateSaveObject(target.c_str(), DXFILEFORMAT_TEXT, save.receive()),
                  DXFILE_OK);
        ComRef<IDirectXFileData> frame;
        ASSERT_EQ(save->CreateDataObject(kFrame, "Root", nullptr, 0, nullptr, frame.receive()),
                  DXFILE_OK);
        ASSERT_EQ(frame->AddBinaryObject("blob", nullptr, "application/octet-stream",
                                         const_cast<char*>("abc"), 3),
                  DXFILE_OK);
        EXPECT_EQ(save->SaveData(frame.get()),
                  DXFILEERR_NOTDONEYET); // binary objects have no file form
    }
    EXPECT_EQ(readText(target), "precious");
    EXPECT_EQ(filesIn(target.parent_path()), 1u);
}

TEST(Save, ACompleteSaveReplacesTheTargetOnRelease) {
    ScratchFolder scratch;
    std::filesystem::path target = scratch.path("scene.x");
    { std::ofstream(target) << "old"; }
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileSaveObject> save;
    ASSERT_EQ(root->CreateSaveObject(target.c_str(), DXFILEFORMAT_BINARY, save.receive()),
              DXFILE_OK);
    ComRef<IDirectXFileData> frame;
    ASSERT_EQ(save->CreateDataObject(kFrame, "Root", nullptr, 0, nullptr, frame.receive()),
              DXFILE_OK);
    ASSERT_EQ(save->SaveData(frame.get()), DXFILE_OK);
    EXPECT_EQ(readText(target), "old"); // nothing is written before the save completes
    save.reset();
    // Exactly the tokens: NAME "Frame", NAME "Root", '{', '}'.
    std::string expected = std::string("xof 0303bin 0032") +
                           std::string("\x01\x00\x05\x00\x00\x00"
                                       "Frame",
                                       11) +
                           std::string("\x01\x00\x04\x00\x00\x00"
                                       "Root",
                                       10) +
                           std::string("\x0A\x00\x0B\x00", 4);
    EXPECT_EQ(readText(target), expected);
    EXPECT_EQ(filesIn(target.parent_path()), 1u);
}

// Binary and text saves go to the file as they are written. Objects of megabytes, with runs of
// values open across the pieces written, read back exactly; a save that fails after pieces went
// out still leaves the target alone.
TEST(Save, LargeObjectsStreamAndReadBackExactly) {
    for (DXFILEFORMAT format : {DXFILEFORMAT_BINARY, DXFILEFORMAT_TEXT}) {
        SCOPED_TRACE(format == DXFILEFORMAT_TEXT ? "text" : "binary");
        ScratchFolder scratch;
        std::filesystem::path target = scratch.path("large.x");
        // AnimationKey: keyType, nKeys, then per key: time, FloatKeys { nValues = 3, 3 floats }.
        std::vector<std::uint8_t> keys;
        auto put = [](std::vector<std::uint8_t>& out, auto value) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
            out.insert(out.end(), bytes, bytes + sizeof value);
        };
        const std::uint32_t keyCount = 90000;
        put(keys, std::uint32_t{2});
        put(keys, keyCount);
        for (std::uint32_t k = 0; k < keyCount; ++k) {
            put(keys, k * 160);
            put(keys, std::uint32_t{3});
            for (int v = 0; v < 3; ++v)
                put(keys, std::sin(static_cast<float>(k * 3 + v)));
        }
        std::vector<std::uint8_t> floats;
        const std::uint32_t floatCount = 500000;
        put(floats, floatCount);
        for (std::uint32_t i = 0; i < floatCount; ++i)
            put(floats, static_cast<float>(i) * 0.25f);
        const GUID kAnimationKey = {
            0x10DD46A8, 0x775B, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
        {
            ComRef<IDirectXFile> root = makeRoot();
            ComRef<IDirectXFileSaveObject> save;
            ASSERT_EQ(root->CreateSaveObject(target.c_str(), format, save.receive()), DXFILE_OK);
            ComRef<IDirectXFileData> a, b;
            ASSERT_EQ(save->CreateDataObject(kAnimationKey, "Keys", nullptr,
                                             static_cast<DWORD>(keys.size()), keys.data(),
                                             a.receive()),
                      DXFILE_OK);
            ASSERT_EQ(save->CreateDataObject(kFloatKeys, "Floats", nullptr,
                                             static_cast<DWORD>(floats.size()), floats.data(),
                                             b.receive()),
                      DXFILE_OK);
            ASSERT_EQ(save->SaveData(a.get()), DXFILE_OK);
            ASSERT_EQ(save->SaveData(b.get()), DXFILE_OK);
        }
        ComRef<IDirectXFile> root = makeRoot();
        ComRef<IDirectXFileEnumObject> enumObject;
        ASSERT_EQ(root->CreateEnumObject(const_cast<char*>(target.c_str()), DXFILELOAD_FROMFILE,
                                         enumObject.receive()),
                  DXFILE_OK);
        for (const std::vector<std::uint8_t>* expected : {&keys, &floats}) {
            ComRef<IDirectXFileData> data;
            ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
            DWORD size = 0;
            void* bytes = nullptr;
            ASSERT_EQ(data->GetData(nullptr, &size, &bytes), DXFILE_OK);
            ASSERT_EQ(size, expected->size());
            EXPECT_EQ(std::memcmp(bytes, expected->data(), size), 0);
        }
        ComRef<IDirectXFileData> none;
        EXPECT_EQ(enumObject->GetNextDataObject(none.receive()), DXFILEERR_NOMOREOBJECTS);

        // A frame whose megabytes of data went out before its binary child turned out unsavable.
        std::string before = readText(target);
        {
            ComRef<IDirectXFileSaveObject> save;
            ASSERT_EQ(root->CreateSaveObject(target.c_str(), format, save.receive()), DXFILE_OK);
            ComRef<IDirectXFileData> frame, big;
            ASSERT_EQ(save->CreateDataObject(kFrame, "Root", nullptr, 0, nullptr, frame.receive()),
                      DXFILE_OK);
            ASSERT_EQ(save->CreateDataObject(kFloatKeys, nullptr, nullptr,
                                             static_cast<DWORD>(floats.size()), floats.data(),
                                             big.receive()),
                      DXFILE_OK);
            ASSERT_EQ(frame->AddDataObject(big.get()), DXFILE_OK);
            ASSERT_EQ(frame->AddBinaryObject("blob", nullptr, "application/octet-stream",
                                             const_cast<char*>("abc"), 3),
                      DXFILE_OK);
            EXPECT_EQ(save->SaveData(frame.get()), DXFILEERR_NOTDONEYET);
        }
        EXPECT_EQ(readText(target), before);
        EXPECT_EQ(filesIn(target.parent_path()), 1u);
    }
}

// Keys of every value count, none and more than usual among them, in a row: each encoding reads
// back what was saved, whichever way the writer laid out the lists.
TEST(Save, KeysOfEveryValueCountReadBackExactly) {
    const GUID kAnimationKey = {
        0x10DD46A8, 0x775B, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
    const std::uint32_t kCounts[] = {3, 0, 0, 4, 40, 1, 0, 2, 32, 33, 16, 0};
    std::vector<std::uint32_t> keys = {0, static_cast<std::uint32_t>(std::size(kCounts))};
    for (std::uint32_t k = 0; k < std::size(kCounts); ++k) {
        keys.push_back(k * 160);
        keys.push_back(kCounts[k]);
        for (std::uint32_t v = 0; v < kCounts[k]; ++v) {
            float value = std::sin(static_cast<float>(k * 50 + v));
            std::uint32_t bits;
            std::memcpy(&bits, &value, 4);
            keys.push_back(bits);
        }
    }
    const DWORD size = static_cast<DWORD>(keys.size() * 4);
    for (DXFILEFORMAT format :
         {DXFILEFORMAT_BINARY, DXFILEFORMAT_TEXT, DXFILEFORMAT_BINARY | DXFILEFORMAT_COMPRESSED}) {
        SCOPED_TRACE(format);
        ScratchFolder scratch;
        std::filesystem::path target = scratch.path("keys.x");
        ComRef<IDirectXFile> root = makeRoot();
        {
            ComRef<IDirectXFileSaveObject> save;
            ASSERT_EQ(root->CreateSaveObject(target.c_str(), format, save.receive()), DXFILE_OK);
            ComRef<IDirectXFileData> data;
            ASSERT_EQ(save->CreateDataObject(kAnimationKey, nullptr, nullptr, size, keys.data(),
                                             data.receive()),
                      DXFILE_OK);
            ASSERT_EQ(save->SaveData(data.get()), DXFILE_OK);
        }
        ComRef<IDirectXFileEnumObject> enumObject;
        ASSERT_EQ(root->CreateEnumObject(const_cast<char*>(target.c_str()), DXFILELOAD_FROMFILE,
                                         enumObject.receive()),
                  DXFILE_OK);
        ComRef<IDirectXFileData> data;
        ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
        DWORD readSize = 0;
        void* bytes = nullptr;
        ASSERT_EQ(data->GetData(nullptr, &readSize, &bytes), DXFILE_OK);
        ASSERT_EQ(readSize, size);
        EXPECT_EQ(std::memcmp(bytes, keys.data(), size), 0);
    }
}

TEST(Save, AnUnwritableTargetIsRefusedAtOnce) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileSaveObject> save;
    EXPECT_EQ(root->CreateSaveObject("/nonexistent/folder/x.x", DXFILEFORMAT_TEXT, save.receive()),
              DXFILEERR_BADFILE);
    EXPECT_EQ(root->CreateSaveObject(nullptr, DXFILEFORMAT_TEXT, save.receive()),
              DXFILEERR_BADVALUE);
}

// Floats of every kind are written fixed-point, without exponent, and read back to the same bits.
TEST(Save, TextFloatsAreFixedPointAndRoundTripBitForBit) {
    const float kValues[] = {0.0f,
                             -0.0f,
                             1.0f,
                             -1.5f,
                             0.1f,
                             1e-45f,
                             1.17549435e-38f,
                             3.40282347e38f,
                             -3.40282347e38f,
                             123456.789f,
                             9.99999975e-06f,
                             0.639215708f};
    ScratchFolder scratch;
    std::filesystem::path target = scratch.path("floats.x");
    {
        ComRef<IDirectXFile> root = makeRoot();
        ComRef<IDirectXFileSaveObject> save;
        ASSERT_EQ(root->CreateSaveObject(target.c_str(), DXFILEFORMAT_TEXT, save.receive()),
                  DXFILE_OK);
        std::vector<std::uint8_t> packed(4);
        std::uint32_t count = std::size(kValues);
        std::memcpy(packed.data(), &count, 4);
        packed.insert(packed.end(), reinterpret_cast<const std::uint8_t*>(kValues),
                      reinterpret_cast<const std::uint8_t*>(kValues) + sizeof kValues);
        ComRef<IDirectXFileData> keys;
        ASSERT_EQ(save->CreateDataObject(kFloatKeys, nullptr, nullptr,
                                         static_cast<DWORD>(packed.size()), packed.data(),
                                         keys.receive()),
                  DXFILE_OK);
        ASSERT_EQ(save->SaveData(keys.get()), DXFILE_OK);
    }
    std::string text = readText(target);
    std::string body = text.substr(text.find('{')); // the values, after the object's name
    EXPECT_EQ(body.find_first_of("eE"), std::string::npos) << body;
    EXPECT_NE(body.find("-0.0"), std::string::npos) << body;
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(), text, enumObject), DXFILE_OK);
    ComRef<IDirectXFileData> data;
    ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
    DWORD size = 0;
    void* bytes = nullptr;
    ASSERT_EQ(data->GetData("values", &size, &bytes), DXFILE_OK);
    ASSERT_EQ(size, sizeof kValues);
    EXPECT_EQ(std::memcmp(bytes, kValues, sizeof kValues), 0);
}

TEST(Save, PackedSizesAreChecked) {
    ScratchFolder scratch;
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileSaveObject> save;
    ASSERT_EQ(
        root->CreateSaveObject(scratch.path("x.x").c_str(), DXFILEFORMAT_TEXT, save.receive()),
        DXFILE_OK);
    ComRef<IDirectXFileData> object;
    float vector[4] = {1, 2, 3, 4};
    EXPECT_EQ(save->CreateDataObject(kVector, nullptr, nullptr, 16, vector, object.receive()),
              DXFILEERR_BADVALUE);
    EXPECT_EQ(save->CreateDataObject(kVector, nullptr, nullptr, 12, vector, object.receive()),
              DXFILE_OK);
    std::uint32_t face[3] = {5, 0, 1}; // promises five indices, holds two
    EXPECT_EQ(save->CreateDataObject(kMeshFace, nullptr, nullptr, 12, face, object.receive()),
              DXFILEERR_BADARRAYSIZE);
    GUID unknown = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(save->CreateDataObject(unknown, nullptr, nullptr, 0, nullptr, object.receive()),
              DXFILEERR_BADVALUE);
    const GUID* ids[] = {&unknown};
    EXPECT_EQ(save->SaveTemplates(1, ids), DXFILEERR_BADVALUE);
}

TEST(Save, ReferencesWithoutANameHaveNoBinaryForm) {
    ScratchFolder scratch;
    GUID target = {0xAB, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
    for (DXFILEFORMAT format : {DXFILEFORMAT_TEXT, DXFILEFORMAT_BINARY}) {
        std::filesystem::path path = scratch.path("refs.x");
        ComRef<IDirectXFile> root = makeRoot();
        ComRef<IDirectXFileSaveObject> save;
        ASSERT_EQ(root->CreateSaveObject(path.c_str(), format, save.receive()), DXFILE_OK);
        ComRef<IDirectXFileData> first;
        ComRef<IDirectXFileData> second;
        ASSERT_EQ(save->CreateDataObject(kFrame, nullptr, &target, 0, nullptr, first.receive()),
                  DXFILE_OK);
        ASSERT_EQ(save->CreateDataObject(kFrame, "B", nullptr, 0, nullptr, second.receive()),
                  DXFILE_OK);
        ASSERT_EQ(second->AddDataReference(nullptr, &target), DXFILE_OK);
        EXPECT_EQ(second->AddDataReference(nullptr, nullptr), DXFILEERR_BADVALUE);
        ASSERT_EQ(save->SaveData(first.get()), DXFILE_OK);
        EXPECT_EQ(save->SaveData(second.get()),
                  format == DXFILEFORMAT_TEXT ? DXFILE_OK : DXFILEERR_BADVALUE);
    }
}

TEST(Save, AnObjectCannotBecomeItsOwnDescendant) {
    ScratchFolder scratch;
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileSaveObject> save;
    ASSERT_EQ(
        root->CreateSaveObject(scratch.path("x.x").c_str(), DXFILEFORMAT_TEXT, save.receive()),
        DXFILE_OK);
    ComRef<IDirectXFileData> a;
    ComRef<IDirectXFileData> b;
    ASSERT_EQ(save->CreateDataObject(kFrame, "A", nullptr, 0, nullptr, a.receive()), DXFILE_OK);
    ASSERT_EQ(save->CreateDataObject(kFrame, "B", nullptr, 0, nullptr, b.receive()), DXFILE_OK);
    ASSERT_EQ(a->AddDataObject(b.get()), DXFILE_OK);
    EXPECT_EQ(b->AddDataObject(a.get()), DXFILEERR_BADVALUE);
    EXPECT_EQ(a->AddDataObject(a.get()), DXFILEERR_BADVALUE);
}

// Every block of a compressed save inflates on its own with a plain raw inflater, and the
// blocks together give the body the header's total size announces.
TEST(Save, CompressedBlocksInflateIndependently) {
    ScratchFolder scratch;
    std::filesystem::path path = scratch.path("big.x");
    std::vector<std::uint8_t> packed(4);
    std::uint32_t count = 60000;
    std::memcpy(packed.data(), &count, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        float v = static_cast<float>(i) * 0.37f;
        packed.insert(packed.end(), reinterpret_cast<std::uint8_t*>(&v),
                      reinterpret_cast<std::uint8_t*>(&v) + 4);
    }
    {
        ComRef<IDirectXFile> root = makeRoot();
        ComRef<IDirectXFileSaveObject> save;
        ASSERT_EQ(root->CreateSaveObject(path.c_str(), DXFILEFORMAT_TEXT | DXFILEFORMAT_COMPRESSED,
                                         save.receive()),
                  DXFILE_OK);
        ComRef<IDirectXFileData> keys;
        ASSERT_EQ(save->CreateDataObject(kFloatKeys, nullptr, nullptr,
                                         static_cast<DWORD>(packed.size()), packed.data(),
                                         keys.receive()),
                  DXFILE_OK);
        ASSERT_EQ(save->SaveData(keys.get()), DXFILE_OK);
    }
    std::vector<std::uint8_t> file = readBytes(path);
    ASSERT_GT(file.size(), 20u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 16), "xof 0303tzip0032");
    std::uint32_t total;
    std::memcpy(&total, file.data() + 16, 4);
    std::size_t inflatedTotal = 16;
    int blocks = 0;
    for (std::size_t at = 20; at < file.size(); ++blocks) {
        std::uint16_t size, follow;
        std::memcpy(&size, file.data() + at, 2);
        std::memcpy(&follow, file.data() + at + 2, 2);
        ASSERT_EQ(file[at + 4], 'C');
        ASSERT_EQ(file[at + 5], 'K');
        EXPECT_LE(size, 32768);
        z_stream stream{};
        ASSERT_EQ(inflateInit2(&stream, -MAX_WBITS), Z_OK);
        std::vector<std::uint8_t> out(size);
        stream.next_in = file.data() + at + 6;
        stream.avail_in = follow - 2u;
        stream.next_out = out.data();
        stream.avail_out = size;
        EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
        EXPECT_EQ(stream.avail_out, 0u);
        inflateEnd(&stream);
        inflatedTotal += size;
        at += 4u + follow;
    }
    EXPECT_GT(blocks, 1);
    EXPECT_EQ(inflatedTotal, total);
}

} // namespace
