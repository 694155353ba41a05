// Reading: headers, the separator rule, the twin encodings, packed data and member access,
// names, references, and what malformed input gives.
#include "TestSupport.h"

#include <zlib.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>

namespace {

std::string bin(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes)
        out += static_cast<char>(b);
    return out;
}
std::string word(int v) {
    return bin({v & 0xFF, (v >> 8) & 0xFF});
}
std::string dword(std::uint32_t v) {
    return bin({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}
std::string name(const std::string& text) {
    return word(1) + dword(static_cast<DWORD>(text.size())) + text;
}

std::vector<std::uint8_t> dataOf(IDirectXFileData* data, const char* member = nullptr) {
    DWORD size = 0;
    void* bytes = nullptr;
    EXPECT_EQ(data->GetData(member, &size, &bytes), DXFILE_OK);
    auto* p = static_cast<std::uint8_t*>(bytes);
    return std::vector<std::uint8_t>(p, p + size);
}

TEST(Header, EachFaultMapsToItsCode) {
    struct Case {
        std::string header;
        HRESULT expected;
    };
    const Case kCases[] = {
        {"xof 0303txt 0032", DXFILE_OK},
        {"xof 0302bin 0064", DXFILE_OK},
        {"xof 0303tzip0032", DXFILEERR_PARSEERROR},  // no total size after the header
        {"xOf 0303txt 0032", DXFILEERR_BADFILETYPE}, // the magic is case-sensitive
        {"xof 0102txt 0032", DXFILEERR_BADFILEVERSION},
        {"xof 0303cmp 0032", DXFILEERR_BADFILETYPE},
        {"xof 0303foo 0032", DXFILEERR_BADFILETYPE},
        {"xof 0303txt 0050", DXFILEERR_BADFILEFLOATSIZE},
        {"xof 0303txt 003", DXFILEERR_BADFILETYPE}, // shorter than 16 bytes
        {"", DXFILEERR_BADFILETYPE},
    };
    for (const Case& c : kCases) {
        ComRef<IDirectXFile> root = makeRoot();
        std::string bytes = c.header;
        EXPECT_EQ(root->RegisterTemplates(bytes.data(), static_cast<DWORD>(bytes.size())),
                  c.expected)
            << c.header;
        EXPECT_EQ(enumerateAll(root.get(), bytes), c.expected) << c.header;
    }
}

TEST(Header, AHeaderAloneHoldsNoObjects) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(), "xof 0303txt 0032", enumObject), DXFILE_OK);
    ComRef<IDirectXFileData> data;
    EXPECT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILEERR_NOMOREOBJECTS);
    EXPECT_FALSE(data);
    EXPECT_EQ(root->RegisterTemplates(const_cast<char*>("xof 0303bin 0032"), 16), DXFILE_OK);
}

// The separator group after every value is `;`+ then an optional `,`, or a lone `,`.
TEST(Separators, FollowTheGroupRule) {
    const std::string kTemplate =
        "template Seq { <01020304-0506-0708-090A-0B0C0D0E0F10> DWORD num_elem; "
        "array DWORD value[num_elem]; DWORD dummy; }\n";
    struct Case {
        const char* members;
        HRESULT expected;
    };
    const Case kCases[] = {
        {"3; 0; 1; 2; 5;", DXFILE_OK},
        {"3, 0, 1, 2, 5,", DXFILE_OK},
        {"3;;;;; 0;;;;; 1;;;;; 2;;;;; 5;;;;;", DXFILE_OK},
        {"3;;;;;, 0;;;;;, 1;;;;;, 2;;;;;, 5;;;;;,", DXFILE_OK},
        {"0; 1234;", DXFILE_OK},      // an empty array takes nothing, not even a separator
        {"3; 0, 1, 2; 5", DXFILE_OK}, // the last value may go without one before '}'
        {"3; 0, 1,, 2; 5;", DXFILEERR_PARSEERROR},
        {"3; 0, 1,; 2; 5;", DXFILEERR_PARSEERROR},
        {"3; 0 1 2; 5;", DXFILEERR_PARSEERROR},
        {"3; 0, 1, 2; 5; 6;", DXFILEERR_PARSEERROR}, // more values than members
    };
    for (const Case& c : kCases) {
        ComRef<IDirectXFile> root = makeRoot();
        ComRef<IDirectXFileData> data;
        HRESULT status = firstObject(root.get(), kTemplate + "Seq {" + c.members + "}", data);
        EXPECT_EQ(status, c.expected) << c.members;
        if (c.expected == DXFILE_OK && status == DXFILE_OK && c.members[0] == '3') {
            std::vector<std::uint8_t> expected = {3, 0, 0, 0, 0, 0, 0, 0, 1, 0,
                                                  0, 0, 2, 0, 0, 0, 5, 0, 0, 0};
            EXPECT_EQ(dataOf(data.get()), expected) << c.members;
        }
    }
}

TEST(Separators, BinaryListsTakeNoSeparatorButSingleValuesDo) {
    std::string header = "xof 0303bin 0032";
    std::string seq = name("Header") + word(10);
    struct Case {
        std::string members;
        HRESULT expected;
    };
    const Case kCases[] = {
        {word(6) + dword(3) + dword(1) + dword(2) + dword(3), DXFILE_OK},
        {word(3) + dword(1) + word(20) + word(3) + dword(2) + word(20) + word(20) + word(19) +
             word(6) + dword(1) + dword(3),
         DXFILE_OK},
        {word(6) + dword(3) + dword(1) + dword(2) + dword(3) + word(20),
         DXFILE_OK}, // stray ';' after the members
        {word(6) + dword(2) + dword(1) + dword(2) + word(20) + word(6) + dword(1) + dword(3),
         DXFILEERR_PARSEERROR}, // a separator after a list that is not the last
        {word(3) + dword(1) + word(3) + dword(2) + word(20) + word(3) + dword(3) + word(20),
         DXFILEERR_PARSEERROR}, // a single integer without its separator
        {word(7) + dword(3) + dword(0) + dword(0) + dword(0),
         DXFILEERR_PARSEERROR}, // floats for WORDs
    };
    for (const Case& c : kCases) {
        ComRef<IDirectXFile> root = makeRoot();
        std::string file = header + seq + c.members + word(11);
        EXPECT_EQ(enumerateAll(root.get(), file), c.expected) << testing::PrintToString(file);
    }
}

// The same Header object as text and as binary gives the same packed bytes.
TEST(PackedData, TextAndBinaryTwinsAgreeAndMembersAreAddressable) {
    std::string text = "xof 0303txt 0032\nHeader { 1; 2; 3; }\n";
    std::string binary = "xof 0303bin 0032" + name("Header") + word(10) + word(6) + dword(3) +
                         dword(1) + dword(2) + dword(3) + word(11);
    for (const std::string& file : {text, binary}) {
        ComRef<IDirectXFile> root = makeRoot();
        ComRef<IDirectXFileEnumObject> enumObject;
        ASSERT_EQ(openMemory(root.get(), file, enumObject), DXFILE_OK);
        ComRef<IDirectXFileData> data;
        ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
        EXPECT_EQ(dataOf(data.get()), (std::vector<std::uint8_t>{1, 0, 2, 0, 3, 0, 0, 0}));
        EXPECT_EQ(dataOf(data.get(), "major"), (std::vector<std::uint8_t>{1, 0}));
        EXPECT_EQ(dataOf(data.get(), "minor"), (std::vector<std::uint8_t>{2, 0}));
        EXPECT_EQ(dataOf(data.get(), "flags"), (std::vector<std::uint8_t>{3, 0, 0, 0}));
        DWORD size = 0;
        void* bytes = nullptr;
        EXPECT_EQ(data->GetData("Major", &size, &bytes), DXFILEERR_BADDATAREFERENCE);
        EXPECT_EQ(data->GetData(nullptr, nullptr, &bytes), DXFILEERR_BADVALUE);
    }
}

// Faces are taken from binary integer lists in bulk: faces of mixed sizes, a member after the
// faces in the same list, and lists that end in the middle of a face all pack value for value.
TEST(PackedData, FaceArraysPackTheSameHoweverTheirListsAreCut) {
    const char* templates =
        "xof 0303txt 0032\ntemplate Runs { <AAAAAAAA-0000-0000-0000-0000000000A1> "
        "DWORD n; array MeshFace f[n]; DWORD tail; }\n";
    std::vector<std::uint32_t> values = {0};
    std::uint32_t faces = 0;
    for (std::uint32_t size : {3u, 3u, 3u, 3u, 3u, 3u, 3u, 3u, 3u, 4u, 3u, 3u,
                               3u, 3u, 3u, 5u, 3u, 3u, 1u, 3u, 3u, 3u, 3u}) {
        values.push_back(size);
        for (std::uint32_t k = 0; k < size; ++k)
            values.push_back(faces * 10 + k);
        ++faces;
    }
    values[0] = faces;
    values.push_back(77); // tail
    std::vector<std::uint8_t> expected(values.size() * 4);
    std::memcpy(expected.data(), values.data(), expected.size());
    // Every way of cutting the values into two integer lists.
    for (std::size_t cut = 0; cut < values.size(); ++cut) {
        std::string body = word(6) + dword(static_cast<std::uint32_t>(cut));
        for (std::size_t i = 0; i < cut; ++i)
            body += dword(values[i]);
        body += word(6) + dword(static_cast<std::uint32_t>(values.size() - cut));
        for (std::size_t i = cut; i < values.size(); ++i)
            body += dword(values[i]);
        std::string file = "xof 0303bin 0032" + name("Runs") + word(10) + body + word(11);
        ComRef<IDirectXFile> root = makeRoot();
        ASSERT_EQ(root->RegisterTemplates(const_cast<char*>(templates),
                                          static_cast<DWORD>(std::strlen(templates))),
                  DXFILE_OK);
        ComRef<IDirectXFileEnumObject> enumObject;
        ASSERT_EQ(openMemory(root.get(), file, enumObject), DXFILE_OK);
        ComRef<IDirectXFileData> data;
        ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK) << "cut at " << cut;
        EXPECT_EQ(dataOf(data.get()), expected) << "cut at " << cut;
        EXPECT_EQ(dataOf(data.get(), "tail"), (std::vector<std::uint8_t>{77, 0, 0, 0}))
            << "cut at " << cut;
    }
}

// Animation keys pack the same however the writer laid out their lists: the usual integer list
// then float list per key, keys without values, values split over two float lists or given as
// integers, and integers running on into the next key.
TEST(PackedData, AnimationKeysPackTheSameHoweverTheirListsAreLaidOut) {
    auto floatBits = [](float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, 4);
        return bits;
    };
    // keyType 0, 5 keys: (time, n, values...).
    std::vector<std::uint32_t> expected = {0, 5};
    std::string body = word(6) + dword(2) + dword(0) + dword(5);
    auto key = [&](std::uint32_t time, std::vector<float> values, const std::string& layout) {
        expected.push_back(time);
        expected.push_back(static_cast<std::uint32_t>(values.size()));
        for (float value : values)
            expected.push_back(floatBits(value));
        body += layout;
    };
    auto ints = [](std::vector<std::uint32_t> values) {
        std::string list = word(6) + dword(static_cast<std::uint32_t>(values.size()));
        for (std::uint32_t value : values)
            list += dword(value);
        return list;
    };
    auto floats = [&](std::vector<float> values) {
        std::string list = word(7) + dword(static_cast<std::uint32_t>(values.size()));
        for (float value : values)
            list += dword(floatBits(value));
        return list;
    };
    key(0, {1.5f, 2.5f, 3.5f}, ints({0, 3}) + floats({1.5f, 2.5f, 3.5f}));
    key(10, {}, ints({10, 0}));
    key(20, {4.0f, 5.0f, 6.0f}, ints({20, 3}) + floats({4.0f}) + floats({5.0f, 6.0f}));
    key(30, {7.0f, 8.0f}, ints({30, 2, 7, 8}));
    key(40, {9.0f}, ints({40, 1}) + floats({9.0f}));
    std::string file = "xof 0303bin 0032" + name("AnimationKey") + word(10) + body + word(11);
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(), ExactBytes(file).view(), enumObject), DXFILE_OK);
    ComRef<IDirectXFileData> data;
    ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
    std::vector<std::uint8_t> bytes(expected.size() * 4);
    std::memcpy(bytes.data(), expected.data(), bytes.size());
    EXPECT_EQ(dataOf(data.get()), bytes);
}

// Decimal numbers of every usual length read to the float the standard conversion gives: the
// correctly rounded one.
TEST(PackedData, DecimalTextReadsToTheCorrectlyRoundedValue) {
    std::mt19937 random(7);
    std::vector<std::string> texts = {"0.1",          "-0.0",        "16777215", "16777216.5",
                                      "0.0000000001", "123456.789",  ".5",       "7.",
                                      "-3.40282347",  "9999999999.5"};
    // Exactly halfway between two floats (ties go to the even one), and just beside halfway.
    for (const char* text : {"16777217", "16777219", "-33554434", "0.500000029802322387695312",
                             "16777217.000001", "16777218.999999", "1.00000005960464477539"})
        texts.push_back(text);
    // What the writer puts out: the shortest text that reads back to the same float.
    for (int i = 0; i < 3000; ++i) {
        float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(value) || std::fabs(value) > 1e9f) continue;
        char text[128]; // the smallest floats take about 50 characters in fixed form
        texts.emplace_back(
            text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr);
    }
    for (int i = 0; i < 3000; ++i) {
        std::string digits = std::to_string(random() % 1000000000u);
        std::size_t point = random() % (digits.size() + 1);
        std::string text = (random() % 2 ? "-" : "") + digits.substr(0, point) + "." +
                           std::string(random() % 4, '0') + digits.substr(point);
        texts.push_back(text);
    }
    std::string file = "xof 0303txt 0032\nFloatKeys { " + std::to_string(texts.size()) + "; ";
    for (std::size_t i = 0; i < texts.size(); ++i)
        file += texts[i] + (i + 1 < texts.size() ? "," : ";;");
    file += " }";
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(), ExactBytes(file).view(), enumObject), DXFILE_OK);
    ComRef<IDirectXFileData> data;
    ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
    std::vector<std::uint8_t> values = dataOf(data.get(), "values");
    ASSERT_EQ(values.size(), texts.size() * 4);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        float expected = 0;
        std::from_chars(texts[i].data(), texts[i].data() + texts[i].size(), expected);
        float read;
        std::memcpy(&read, values.data() + i * 4, 4);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(read), std::bit_cast<std::uint32_t>(expected))
            << texts[i];
    }
}

// Structures nested in members pack in member order, however wide and deep they nest, and
// integers in a row read the same wherever the binary lists around them are cut.
TEST(PackedData, NestedStructuresAndIntegerRunsPackInMemberOrder) {
    std::string templates = "xof 0303txt 0032\n"
                            "template L0 { <AAAAAAAA-0000-0000-0000-0000000000B0> DWORD a; DWORD "
                            "n; array DWORD v[n]; }\n";
    // Each level holds two of the level below and an integer: 2^6 leaves, more than are inlined.
    for (int level = 1; level <= 6; ++level)
        templates += "template L" + std::to_string(level) +
                     " { <AAAAAAAA-0000-0000-0000-0000000000B" + std::to_string(level) + "> L" +
                     std::to_string(level - 1) + " x; DWORD k; L" + std::to_string(level - 1) +
                     " y; }\n";
    // The values in member order: each leaf is a, n = 1, v[0].
    std::vector<std::uint32_t> values;
    std::uint32_t next = 100;
    auto leaf = [&] {
        values.push_back(next++);
        values.push_back(1);
        values.push_back(next++);
    };
    std::function<void(int)> fill = [&](int level) {
        if (level == 0) return leaf();
        fill(level - 1);
        values.push_back(next++);
        fill(level - 1);
    };
    fill(6);
    std::vector<std::uint8_t> expected(values.size() * 4);
    std::memcpy(expected.data(), values.data(), expected.size());

    std::string text = templates + "L6 {";
    for (std::uint32_t v : values)
        text += std::to_string(v) + ";";
    text += "}";
    std::vector<std::string> files = {text};
    for (std::size_t cut :
         {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4}, values.size() / 2}) {
        std::string body;
        for (std::size_t start = 0; start < values.size(); start += cut) {
            std::size_t end = std::min(values.size(), start + cut);
            body += word(6) + dword(static_cast<std::uint32_t>(end - start));
            for (std::size_t i = start; i < end; ++i)
                body += dword(values[i]);
        }
        files.push_back("xof 0303bin 0032" + name("L6") + word(10) + body + word(11));
    }
    for (const std::string& file : files) {
        ComRef<IDirectXFile> root = makeRoot();
        ASSERT_EQ(root->RegisterTemplates(const_cast<char*>(templates.data()),
                                          static_cast<DWORD>(templates.size())),
                  DXFILE_OK);
        ComRef<IDirectXFileEnumObject> enumObject;
        ASSERT_EQ(openMemory(root.get(), file, enumObject), DXFILE_OK);
        ComRef<IDirectXFileData> data;
        ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK) << file.size();
        EXPECT_EQ(dataOf(data.get()), expected) << file.size();
        // The last member: the y half, whose first leaf starts after half the values.
        std::vector<std::uint8_t> y = dataOf(data.get(), "y");
        ASSERT_EQ(y.size(), (values.size() - 1) / 2 * 4);
        EXPECT_TRUE(
            std::equal(y.begin(), y.end(), expected.end() - static_cast<std::ptrdiff_t>(y.size())));
    }
}

TEST(PackedData, FloatsPackAsFourBytesInSixtyFourBitFilesAndNumbersReadLeniently) {
    std::string file = "xof 0302txt 0064\n"
                       "Vector { 1.5e-005; +1.0; .5 }\n"
                       "Vector { 1; -1.#IND00; 1.#QNAN0 }\n"
                       "Vector { -1.#INF00; 2.; -0.0 }\n";
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(), file, enumObject), DXFILE_OK);
    const float kExpected[3][3] = {{1.5e-5f, 1.0f, 0.5f}, {1.0f, 0.0f, 0.0f}, {0.0f, 2.0f, -0.0f}};
    for (const auto& expected : kExpected) {
        ComRef<IDirectXFileData> data;
        ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
        std::vector<std::uint8_t> bytes = dataOf(data.get());
        ASSERT_EQ(bytes.size(), 12u);
        EXPECT_EQ(std::memcmp(bytes.data(), expected, 12), 0);
    }
    std::string binary64 = "xof 0303bin 0064" + name("Vector") + word(10) + word(7) + dword(3);
    for (double v : {0.25, -2.0, 1e10})
        binary64.append(reinterpret_cast<const char*>(&v), 8);
    binary64 += word(11);
    ASSERT_EQ(openMemory(root.get(), binary64, enumObject), DXFILE_OK);
    ComRef<IDirectXFileData> data;
    ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
    const float expected64[3] = {0.25f, -2.0f, 1e10f};
    std::vector<std::uint8_t> bytes = dataOf(data.get());
    ASSERT_EQ(bytes.size(), 12u);
    EXPECT_EQ(std::memcmp(bytes.data(), expected64, 12), 0);
}

TEST(Objects, GetNameFollowsTheBufferProtocol) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(), "xof 0303txt 0032\nFrame Root {}\nFrame {}\n", enumObject),
              DXFILE_OK);
    ComRef<IDirectXFileData> named;
    ComRef<IDirectXFileData> unnamed;
    ASSERT_EQ(enumObject->GetNextDataObject(named.receive()), DXFILE_OK);
    ASSERT_EQ(enumObject->GetNextDataObject(unnamed.receive()), DXFILE_OK);
    DWORD length = 99;
    EXPECT_EQ(named->GetName(nullptr, nullptr), DXFILEERR_BADVALUE);
    EXPECT_EQ(named->GetName(nullptr, &length), DXFILE_OK);
    EXPECT_EQ(length, 5u);
    char buffer[8] = "xxxxxxx";
    length = 4;
    EXPECT_EQ(named->GetName(buffer, &length), DXFILEERR_BADVALUE);
    EXPECT_EQ(length, 5u); // the needed length
    length = 8;
    EXPECT_EQ(named->GetName(buffer, &length), DXFILE_OK);
    EXPECT_STREQ(buffer, "Root");
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(unnamed->GetName(nullptr, &length), DXFILE_OK);
    EXPECT_EQ(length, 0u);
    length = 8;
    EXPECT_EQ(unnamed->GetName(buffer, &length), DXFILE_OK);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(buffer[0], '\0');
}

// Every kind of object answers for IUnknown and its own interfaces, with a reference added, and
// for nothing else.
TEST(Objects, EachKindAnswersForItsOwnInterfacesOnly) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(), "xof 0303txt 0032\nFrame A { }\n", enumObject), DXFILE_OK);
    ComRef<IDirectXFileData> data;
    ASSERT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
    ScratchFolder scratch;
    ComRef<IDirectXFileSaveObject> save;
    ASSERT_EQ(
        root->CreateSaveObject(scratch.path("a.x").c_str(), DXFILEFORMAT_TEXT, save.receive()),
        DXFILE_OK);
    struct Case {
        IUnknown* object;
        const IID* own;
        bool isFileObject;
    };
    const IID* asked[] = {&IID_IUnknown,
                          &IID_IDirectXFile,
                          &IID_IDirectXFileEnumObject,
                          &IID_IDirectXFileSaveObject,
                          &IID_IDirectXFileObject,
                          &IID_IDirectXFileData,
                          &IID_IDirectXFileDataReference,
                          &IID_IDirectXFileBinary};
    for (const Case& c : {Case{root.get(), &IID_IDirectXFile, false},
                          Case{enumObject.get(), &IID_IDirectXFileEnumObject, false},
                          Case{save.get(), &IID_IDirectXFileSaveObject, false},
                          Case{data.get(), &IID_IDirectXFileData, true}}) {
        for (const IID* iid : asked) {
            bool answers = iid == &IID_IUnknown || iid == c.own ||
                           (c.isFileObject && iid == &IID_IDirectXFileObject);
            ULONG held = c.object->AddRef() - 1;
            c.object->Release();
            void* out = &out;
            HRESULT status = c.object->QueryInterface(*iid, &out);
            if (!answers) {
                EXPECT_EQ(status, E_NOINTERFACE);
                EXPECT_EQ(out, nullptr);
                continue;
            }
            ASSERT_EQ(status, DXFILE_OK);
            EXPECT_EQ(out, static_cast<void*>(c.object));
            EXPECT_EQ(static_cast<IUnknown*>(out)->Release(), held); // the answer added one
        }
        EXPECT_EQ(c.object->QueryInterface(IID_IUnknown, nullptr), DXFILEERR_BADVALUE);
    }
}

TEST(Objects, ReferencesResolveByNameByGuidAndForward) {
    std::string file = "xof 0303txt 0032\n"
                       "Frame A { { Later } { <11111111-2222-3333-4444-555555555555> } { Later "
                       "<11111111-2222-3333-4444-555555555555> } { Missing } }\n"
                       "Frame Later { <11111111-2222-3333-4444-555555555555> }\n";
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(), file, enumObject), DXFILE_OK);
    ComRef<IDirectXFileData> a;
    ASSERT_EQ(enumObject->GetNextDataObject(a.receive()), DXFILE_OK);
    enumObject.reset(); // the objects outlive their enumerator
    root.reset();
    for (int i = 0; i < 4; ++i) {
        ComRef<IDirectXFileObject> child;
        ASSERT_EQ(a->GetNextObject(child.receive()), DXFILE_OK);
        ComRef<IDirectXFileData> asData;
        EXPECT_EQ(
            child->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(asData.receive())),
            E_NOINTERFACE);
        ComRef<IDirectXFileDataReference> reference;
        ASSERT_EQ(child->QueryInterface(IID_IDirectXFileDataReference,
                                        reinterpret_cast<void**>(reference.receive())),
                  DXFILE_OK);
        ComRef<IDirectXFileData> target;
        if (i == 3) {
            EXPECT_EQ(reference->Resolve(target.receive()), DXFILEERR_BADDATAREFERENCE);
            continue;
        }
        ASSERT_EQ(reference->Resolve(target.receive()), DXFILE_OK) << i;
        char buffer[16];
        DWORD length = sizeof buffer;
        EXPECT_EQ(target->GetName(buffer, &length), DXFILE_OK);
        EXPECT_STREQ(buffer, "Later");
    }
    ComRef<IDirectXFileObject> none;
    EXPECT_EQ(a->GetNextObject(none.receive()), DXFILEERR_NOMOREOBJECTS);
}

TEST(Objects, TopLevelObjectsAreFoundByNameAndGuid) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(),
                         "xof 0303txt 0032\nFrame A { Frame Inner {} }\nFrame B { "
                         "<0000000A-0000-0000-0000-000000000001> }\n",
                         enumObject),
              DXFILE_OK);
    ComRef<IDirectXFileData> found;
    EXPECT_EQ(enumObject->GetDataObjectByName("B", found.receive()), DXFILE_OK);
    EXPECT_EQ(enumObject->GetDataObjectByName("Inner", found.receive()), DXFILEERR_NOTFOUND);
    GUID id = {0xA, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    EXPECT_EQ(enumObject->GetDataObjectById(id, found.receive()), DXFILE_OK);
    char buffer[4];
    DWORD length = sizeof buffer;
    EXPECT_EQ(found->GetName(buffer, &length), DXFILE_OK);
    EXPECT_STREQ(buffer, "B");
}

TEST(Templates, TextAndBinaryDefinitionsRegisterAndFileTemplatesAreHonoured) {
    ComRef<IDirectXFile> root;
    ASSERT_EQ(DirectXFileCreate(root.receive()), DXFILE_OK);
    std::string text = "xof 0303txt 0032\n"
                       "template Pair { <AAAAAAAA-0000-0000-0000-000000000001> DWORD a; WORD b; }\n"
                       "template Grid { <AAAAAAAA-0000-0000-0000-000000000002> DWORD n; array Pair "
                       "cells[2][n]; [Pair, Grid <AAAAAAAA-0000-0000-0000-000000000002>] }\n";
    ASSERT_EQ(root->RegisterTemplates(text.data(), static_cast<DWORD>(text.size())), DXFILE_OK);
    ComRef<IDirectXFileData> data;
    ASSERT_EQ(firstObject(root.get(), "Grid { 2; 1;2;, 3;4;, 5;6;, 7;8;; Pair { 9; 10; } }", data),
              DXFILE_OK);
    std::vector<std::uint8_t> expected = {2, 0, 0, 0};
    for (int v = 1; v <= 8; v += 2)
        expected.insert(expected.end(), {std::uint8_t(v), 0, 0, 0, std::uint8_t(v + 1), 0});
    EXPECT_EQ(dataOf(data.get()), expected);
    EXPECT_EQ(dataOf(data.get(), "cells").size(), 24u);
    // A template declared inside a data file is honoured by later objects and later loads.
    ComRef<IDirectXFileData> declared;
    ASSERT_EQ(
        firstObject(
            root.get(),
            "template Single { <AAAAAAAA-0000-0000-0000-000000000003> FLOAT f; } Single { 0.5; }",
            declared),
        DXFILE_OK);
    ASSERT_EQ(firstObject(root.get(), "Single { 0.25; }", declared), DXFILE_OK);
    // Binary definitions: `template Pair2 { <GUID> DWORD a; }`.
    std::string binary = "xof 0303bin 0032" + word(31) + name("Pair2") + word(10) + word(5) +
                         dword(0xBBBBBBBB) + bin({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}) + word(41) +
                         name("a") + word(20) + word(11);
    ASSERT_EQ(root->RegisterTemplates(binary.data(), static_cast<DWORD>(binary.size())), DXFILE_OK);
    ASSERT_EQ(firstObject(root.get(), "Pair2 { 7; }", declared), DXFILE_OK);
    EXPECT_EQ(dataOf(declared.get()), (std::vector<std::uint8_t>{7, 0, 0, 0}));
}

TEST(Templates, MalformedDefinitionsAreParseErrors) {
    const char* kBodies[] = {
        "foobar;",
        "template NoGuid { DWORD a; }",
        "template Bad { <AAAAAAAA-0000-0000-0000-000000000009> Unknown a; }",
        "template Bad { <AAAAAAAA-0000-0000-0000-000000000009> DWORD n; array DWORD v[m]; }",
        "template Bad { <AAAAAAAA-0000-0000-0000-000000000009> DWORD a;",
        "Frame {}",
    };
    for (const char* body : kBodies) {
        ComRef<IDirectXFile> root = makeRoot();
        std::string file = std::string("xof 0303txt 0032\n") + body;
        EXPECT_EQ(root->RegisterTemplates(file.data(), static_cast<DWORD>(file.size())),
                  DXFILEERR_PARSEERROR)
            << body;
    }
}

// One block of a compressed file: its raw deflate stream, with `history` as the window it may
// copy from.
std::string deflateBlock(std::string_view block, std::string_view history) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    if (!history.empty()) {
        EXPECT_EQ(deflateSetDictionary(&stream, reinterpret_cast<const Bytef*>(history.data()),
                                       static_cast<uInt>(history.size())),
                  Z_OK);
    }
    std::string deflated(deflateBound(&stream, static_cast<uLong>(block.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.data()));
    stream.avail_in = static_cast<uInt>(block.size());
    stream.next_out = reinterpret_cast<Bytef*>(deflated.data());
    stream.avail_out = static_cast<uInt>(deflated.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    deflated.resize(deflated.size() - stream.avail_out);
    deflateEnd(&stream);
    return deflated;
}

// The deflate window carries over from block to block: a block may copy from the ones before.
TEST(Compressed, BlocksMayCopyFromTheBlocksBeforeThem) {
    std::mt19937 random(11);
    std::string objects; // names that do not compress on their own
    int count = 0;
    for (;;) {
        std::string frame =
            "Frame N" + std::to_string(random()) + std::to_string(random()) + " {}\n";
        if (objects.size() + frame.size() > 16384) break; // within the distance deflate copies
        objects += frame;
        ++count;
    }
    std::string first = deflateBlock(objects, "");
    std::string second = deflateBlock(objects, objects); // the same objects again, as copies
    ASSERT_LT(second.size(), first.size() / 10);
    std::string file = "xof 0303tzip0032";
    auto word = [&file](std::uint32_t value, std::size_t bytes) {
        file.append(reinterpret_cast<const char*>(&value), bytes);
    };
    word(static_cast<std::uint32_t>(16 + 2 * objects.size()), 4);
    for (const std::string& block : {first, second}) {
        word(static_cast<std::uint32_t>(objects.size()), 2);
        word(static_cast<std::uint32_t>(block.size() + 2), 2);
        file += "CK" + block;
    }
    ComRef<IDirectXFile> root = makeRoot();
    int read = 0;
    EXPECT_EQ(enumerateAll(root.get(), ExactBytes(file).view(), &read), DXFILE_OK);
    EXPECT_EQ(read, 2 * count);
}

TEST(Robustness, CountsLargerThanTheDataAreRefusedWithoutReservingForThem) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileData> data;
    EXPECT_EQ(firstObject(root.get(), "Mesh { 4000000000; 1.0; 2.0; 3.0;; 0;; }", data),
              DXFILEERR_PARSEERROR);
    std::string list =
        "xof 0303bin 0032" + name("Mesh") + word(10) + word(6) + dword(0xFFFFFFFF) + dword(1);
    EXPECT_EQ(enumerateAll(root.get(), list), DXFILEERR_PARSEERROR);
    std::string string =
        "xof 0303bin 0032" + name("TextureFilename") + word(10) + word(2) + dword(0x7FFFFFFF);
    EXPECT_EQ(enumerateAll(root.get(), string), DXFILEERR_PARSEERROR);
    // A fixed array of a template without values takes no input: nothing to loop over.
    std::string empty =
        "xof 0303txt 0032\ntemplate E { <AAAAAAAA-0000-0000-0000-00000000000E> }\n"
        "template Many { <AAAAAAAA-0000-0000-0000-00000000000F> array E e[4000000000]; DWORD x; }\n"
        "Many { 5; }";
    int count = 0;
    EXPECT_EQ(enumerateAll(root.get(), empty, &count), DXFILE_OK);
    EXPECT_EQ(count, 1);
}

// The bound on an array's length counts a list token already looked at as unread: a matrix whose
// float list ends just before the file's last brace is whole, in either encoding.
TEST(Robustness, AnArrayEndingAtTheLastBraceIsNotTakenForTruncated) {
    std::string floats = word(7) + dword(16);
    for (int i = 0; i < 16; ++i)
        floats += dword(i % 5 == 0 ? 0x3F800000u : 0u);
    std::string binary =
        "xof 0303bin 0032" + name("FrameTransformMatrix") + word(10) + floats + word(11);
    std::string text = "xof 0303txt 0032\nFrameTransformMatrix{1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;;}";
    for (const std::string& file : {binary, text}) {
        ComRef<IDirectXFile> root = makeRoot();
        int count = 0;
        EXPECT_EQ(enumerateAll(root.get(), file, &count), DXFILE_OK)
            << testing::PrintToString(file);
        EXPECT_EQ(count, 1);
    }
}

TEST(Robustness, NestingBeyondTheLimitIsAParseErrorNotACrash) {
    std::string deep = "xof 0303txt 0032\n";
    for (int i = 0; i < 100000; ++i)
        deep += "Frame{";
    ComRef<IDirectXFile> root = makeRoot();
    EXPECT_EQ(enumerateAll(root.get(), deep), DXFILEERR_PARSEERROR);
    std::string fine = "xof 0303txt 0032\n";
    for (int i = 0; i < 100; ++i)
        fine += "Frame{";
    for (int i = 0; i < 100; ++i)
        fine += "}";
    EXPECT_EQ(enumerateAll(root.get(), fine), DXFILE_OK);
}

// Every truncation and every single-byte change of a real file ends in a status, never a crash
// (the sanitizer build checks the reads).
TEST(Robustness, TruncationsAndByteFlipsOfEveryEncodingEndInAStatus) {
    if (!std::filesystem::exists(corpusFolder())) GTEST_SKIP() << "no corpus at " << corpusFolder();
    ComRef<IDirectXFile> root = makeRoot();
    for (const char* fileName :
         {"test_cube_text.x", "test_cube_binary.x", "test_cube_compressed.x"}) {
        std::string file = readText(corpusFolder() / fileName);
        for (std::size_t length = 0; length < file.size(); ++length) {
            ExactBytes prefix(std::string_view(file).substr(0, length));
            HRESULT status = enumerateAll(root.get(), prefix.view());
            if (length < 16) {
                EXPECT_EQ(status, DXFILEERR_BADFILETYPE) << fileName << " " << length;
            }
        }
        for (std::size_t at = 16; at < file.size(); ++at) {
            std::string changed = file;
            changed[at] = static_cast<char>(~changed[at]);
            (void)enumerateAll(root.get(), ExactBytes(changed).view());
        }
    }
    // Cut inside the compressed blocks: the data is refused, not half read.
    std::string compressed = readText(corpusFolder() / "test_cube_compressed.x");
    EXPECT_EQ(enumerateAll(
                  root.get(),
                  ExactBytes(std::string_view(compressed).substr(0, compressed.size() - 1)).view()),
              DXFILEERR_PARSEERROR);
    std::string badSignature = compressed;
    badSignature[24] = 'X';
    EXPECT_EQ(enumerateAll(root.get(), ExactBytes(badSignature).view()), DXFILEERR_PARSEERROR);
}

// A small scene of every kind of content, saved by the library in `format` at `path`: a frame
// with a matrix and a mesh, a texture name, and an animation whose key refers to the frame.
void saveSmallScene(IDirectXFile* root, const std::filesystem::path& path, DXFILEFORMAT format) {
    constexpr GUID kFrame = {
        0x3D82AB46, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
    constexpr GUID kMatrix = {
        0xF6F23F41, 0x7686, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
    constexpr GUID kMesh = {
        0x3D82AB44, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
    constexpr GUID kTexture = {
        0xA42790E1, 0x7810, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
    constexpr GUID kAnimationSet = {
        0x3D82AB50, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
    constexpr GUID kAnimation = {
        0x3D82AB4F, 0x62DA, 0x11CF, {0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33}};
    constexpr GUID kAnimationKey = {
        0x10DD46A8, 0x775B, 0x11CF, {0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3}};
    auto packed = [](std::initializer_list<float> values, std::initializer_list<int> integers,
                     bool integersFirst) {
        std::vector<std::uint8_t> bytes;
        auto put = [&bytes](const void* p) {
            bytes.insert(bytes.end(), static_cast<const std::uint8_t*>(p),
                         static_cast<const std::uint8_t*>(p) + 4);
        };
        if (!integersFirst)
            for (float v : values)
                put(&v);
        for (int i : integers)
            put(&i);
        if (integersFirst)
            for (float v : values)
                put(&v);
        return bytes;
    };
    ComRef<IDirectXFileSaveObject> save;
    ASSERT_EQ(root->CreateSaveObject(path.c_str(), format, save.receive()), DXFILE_OK);
    auto make = [&save](const GUID& type, const char* name, std::vector<std::uint8_t> bytes) {
        ComRef<IDirectXFileData> object;
        EXPECT_EQ(save->CreateDataObject(type, name, nullptr, static_cast<DWORD>(bytes.size()),
                                         bytes.empty() ? nullptr : bytes.data(), object.receive()),
                  DXFILE_OK);
        return object;
    };
    ComRef<IDirectXFileData> frame = make(kFrame, "Root", {});
    ComRef<IDirectXFileData> matrix = make(
        kMatrix, nullptr, packed({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 2, -3, 1}, {}, false));
    // Three vertices, then one face of three indices.
    std::vector<std::uint8_t> mesh = packed({0, 0, 0, 1, 0, 0, 0, 1, 0}, {3}, true);
    std::vector<std::uint8_t> faces = packed({}, {1, 3, 0, 1, 2}, true);
    mesh.insert(mesh.end(), faces.begin(), faces.end());
    ComRef<IDirectXFileData> meshObject = make(kMesh, "Tri", mesh);
    const char* textureName = "wood.png";
    std::vector<std::uint8_t> texture(sizeof textureName);
    std::memcpy(texture.data(), &textureName, sizeof textureName);
    ComRef<IDirectXFileData> textureObject = make(kTexture, nullptr, texture);
    ASSERT_EQ(frame->AddDataObject(matrix.get()), DXFILE_OK);
    ASSERT_EQ(meshObject->AddDataObject(textureObject.get()), DXFILE_OK);
    ASSERT_EQ(frame->AddDataObject(meshObject.get()), DXFILE_OK);
    ComRef<IDirectXFileData> set = make(kAnimationSet, "Walk", {});
    ComRef<IDirectXFileData> animation = make(kAnimation, nullptr, {});
    ASSERT_EQ(animation->AddDataReference("Root", nullptr), DXFILE_OK);
    // Position keys at ticks 0 and 160.
    ComRef<IDirectXFileData> key =
        make(kAnimationKey, nullptr, packed({}, {2, 2, 0, 3, 0, 0, 0, 160, 3, 0, 0, 0}, true));
    ASSERT_EQ(animation->AddDataObject(key.get()), DXFILE_OK);
    ASSERT_EQ(set->AddDataObject(animation.get()), DXFILE_OK);
    ASSERT_EQ(save->SaveData(frame.get()), DXFILE_OK);
    ASSERT_EQ(save->SaveData(set.get()), DXFILE_OK);
}

// Every cut of a file the library wrote, in each encoding, ends in a status, never a crash:
// each prefix lies in a heap block of exactly its length, so the sanitizer build sees a read one
// byte past the end.
TEST(Robustness, EveryCutOfAFileInEachEncodingEndsInAStatus) {
    ScratchFolder scratch;
    ComRef<IDirectXFile> root = makeRoot();
    for (DXFILEFORMAT format :
         {DXFILEFORMAT_TEXT, DXFILEFORMAT_BINARY, DXFILEFORMAT_BINARY | DXFILEFORMAT_COMPRESSED}) {
        std::filesystem::path path = scratch.path("scene" + std::to_string(format) + ".x");
        saveSmallScene(root.get(), path, format);
        std::string file = readText(path);
        int whole = 0;
        ASSERT_EQ(enumerateAll(root.get(), ExactBytes(file).view(), &whole), DXFILE_OK);
        ASSERT_EQ(whole, 2);
        for (std::size_t length = 0; length < file.size(); ++length) {
            ExactBytes prefix(std::string_view(file).substr(0, length));
            int objects = 0;
            HRESULT status = enumerateAll(root.get(), prefix.view(), &objects);
            if (length < 16) {
                EXPECT_EQ(status, DXFILEERR_BADFILETYPE) << format << " " << length;
            }
            // A cut binary file never reads whole: the last object's closing token is cut.
            if (format != DXFILEFORMAT_TEXT) {
                EXPECT_FALSE(status == DXFILE_OK && objects == whole) << format << " " << length;
            }
        }
    }
}

TEST(Robustness, AFailureKeepsTheObjectsBeforeIt) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileEnumObject> enumObject;
    ASSERT_EQ(openMemory(root.get(),
                         "xof 0303txt 0032\nAnimTicksPerSecond { 24; }\nMesh { 1; 1.0; }",
                         enumObject),
              DXFILE_OK);
    ComRef<IDirectXFileData> data;
    EXPECT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILE_OK);
    EXPECT_EQ(enumObject->GetNextDataObject(data.receive()), DXFILEERR_PARSEERROR);
}

} // namespace
