// Numbers in text files: the usual shapes are read in place, everything else by the general
// lexer, and the two must agree. A number close to the end of the text always goes the general
// way, so each file is read as it is and again with a long comment after it: the results, the
// status and the diagnostics must not change.
#include "TestSupport.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace {

const std::string kTail = "\n#" + std::string(200, 'x') + "\n";

struct ReadResult {
    HRESULT status = DXFILE_OK;
    std::vector<std::uint8_t> bytes;
    std::string reason;
    DWORD line = 0;
    DWORD column = 0;
};

ReadResult readFirst(const std::string& body) {
    ComRef<IDirectXFile> root = makeRoot();
    ComRef<IDirectXFileData> data;
    ReadResult result;
    result.status = firstObject(root.get(), body, data);
    if (result.status == DXFILE_OK) {
        DWORD size = 0;
        void* bytes = nullptr;
        EXPECT_EQ(data->GetData(nullptr, &size, &bytes), DXFILE_OK);
        auto* p = static_cast<std::uint8_t*>(bytes);
        result.bytes.assign(p, p + size);
    } else {
        DXFILEDIAGNOSTIC diagnostic{};
        EXPECT_EQ(DirectXFileGetLastError(root.get(), &diagnostic), DXFILE_OK);
        result.reason = diagnostic.reason;
        result.line = diagnostic.line;
        result.column = diagnostic.column;
    }
    return result;
}

// Reads `body` as it is and with the tail; expects both to read the same and returns the first.
ReadResult readBothWays(const std::string& body) {
    ReadResult plain = readFirst(body);
    ReadResult tailed = readFirst(body + kTail);
    EXPECT_EQ(plain.status, tailed.status) << body;
    EXPECT_EQ(plain.bytes, tailed.bytes) << body;
    EXPECT_EQ(plain.reason, tailed.reason) << body;
    EXPECT_EQ(plain.line, tailed.line) << body;
    EXPECT_EQ(plain.column, tailed.column) << body;
    return plain;
}

// The float a number's text stands for, as the general conversion reads it.
float expectedFloat(std::string text) {
    if (text.find(".#") != std::string::npos) return 0; // `1.#INF` and its kind
    if (text[0] == '+') text.erase(0, 1);
    float value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

std::string floatKeys(const std::vector<std::string>& texts, const std::string& separator) {
    std::string body = "FloatKeys {\n " + std::to_string(texts.size()) + ";\n ";
    for (std::size_t i = 0; i < texts.size(); ++i)
        body += texts[i] + (i + 1 < texts.size() ? separator : ";;");
    return body + "\n}\n";
}

void expectFloats(const ReadResult& read, const std::vector<std::string>& texts) {
    ASSERT_EQ(read.status, DXFILE_OK);
    ASSERT_EQ(read.bytes.size(), 4 + texts.size() * 4);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        float value;
        std::memcpy(&value, read.bytes.data() + 4 + i * 4, 4);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(value),
                  std::bit_cast<std::uint32_t>(expectedFloat(texts[i])))
            << texts[i];
    }
}

std::string randomDigits(std::mt19937& random, int count) {
    std::string digits;
    for (int i = 0; i < count; ++i)
        digits += static_cast<char>('0' + random() % 10);
    return digits;
}

// Every length of integer and fraction around the limits of reading in place, with and without
// sign, point, leading zeros and exponent: all read to the correctly rounded float.
TEST(TextNumbers, DecimalsOfEveryShapeReadToTheCorrectlyRoundedFloat) {
    std::mt19937 random(2024);
    std::vector<std::string> texts;
    for (int integerDigits = 0; integerDigits <= 10; ++integerDigits)
        for (int fractionDigits = -1; fractionDigits <= 18; ++fractionDigits)
            for (int sample = 0; sample < 6; ++sample) {
                if (integerDigits == 0 && fractionDigits <= 0) continue; // no digit at all
                std::string text = sample % 3 == 1 ? "-" : sample % 3 == 2 ? "+" : "";
                text += randomDigits(random, integerDigits);
                if (fractionDigits >= 0) text += "." + randomDigits(random, fractionDigits);
                if (sample == 5 && fractionDigits > 0) text += random() % 2 ? "e-3" : "E+2";
                texts.push_back(text);
            }
    // Leading zeros, zeros of both signs, and the non-finite spellings of one C runtime.
    for (const char* text : {"0", "-0", "-0.0", "0.0", "000.000", "0000000.5", "0.0000000000001",
                             "-0.00000000000001", "1.#INF00", "-1.#IND00", "1.#QNAN0"})
        texts.push_back(text);
    // Halfway between two floats, where the product of the digits and a power of ten can round
    // to either side: ties go to the even float, and just beside them to the nearer one.
    for (const char* text : {"8388608.5", "8388609.5", "9999999.5", "4194304.25", "4194304.75",
                             "8388608.5000001", "8388608.4999999", "2097152.125", "-8388609.5",
                             "0.500000029802322387695312", "1.00000005960464477539"})
        texts.push_back(text);
    // Decimals of fourteen digits beside the halfway points, often closer to them than a double's
    // last place: the side they lie on decides the float.
    for (int i = 0; i < 3000; ++i) {
        float low = std::uniform_real_distribution<float>(1e-3f, 1e6f)(random);
        double halfway =
            (static_cast<double>(low) + std::nextafter(low, std::numeric_limits<float>::max())) / 2;
        int integerDigits = halfway < 1 ? 1 : static_cast<int>(std::log10(halfway)) + 1;
        char text[64];
        texts.emplace_back(text, std::to_chars(text, text + sizeof text, halfway,
                                               std::chars_format::fixed, 14 - integerDigits)
                                     .ptr);
    }
    expectFloats(readBothWays(floatKeys(texts, ",")), texts);
    expectFloats(readBothWays(floatKeys(texts, ";\n ")), texts);
}

// What the writer puts out: the shortest text that reads back to the same float, of any size.
TEST(TextNumbers, WrittenFloatsReadBackToTheSameBits) {
    std::mt19937 random(99);
    std::vector<std::string> texts;
    for (int i = 0; i < 4000; ++i) {
        float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (!std::isfinite(value) || std::fabs(value) > 1e12f || std::fabs(value) < 1e-14f)
            continue;
        char text[80];
        texts.emplace_back(
            text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed).ptr);
    }
    expectFloats(readBothWays(floatKeys(texts, ",")), texts);
}

// Integers of every length, with leading zeros or a sign, keep their low 32 bits; a minus
// negates modulo 2^32.
TEST(TextNumbers, IntegersOfEveryLengthReadAsTheGeneralConversionDoes) {
    struct Case {
        std::string text;
        std::uint32_t expected;
    };
    std::vector<Case> cases = {{"0", 0},
                               {"7", 7},
                               {"0000007", 7},
                               {"1234567", 1234567},
                               {"12345678", 12345678},
                               {"123456789", 123456789},
                               {"4294967295", 4294967295u},
                               {"4294967296", 0},
                               {"-1", 4294967295u},
                               {"+12", 12},
                               {"00000000000000000012", 12}};
    std::string body = "MeshFace {\n " + std::to_string(cases.size()) + ";\n ";
    for (std::size_t i = 0; i < cases.size(); ++i)
        body += cases[i].text + (i + 1 < cases.size() ? "," : ";;");
    body += "\n}\n";
    ReadResult read = readBothWays(body);
    ASSERT_EQ(read.status, DXFILE_OK);
    ASSERT_EQ(read.bytes.size(), 4 + cases.size() * 4);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::uint32_t value;
        std::memcpy(&value, read.bytes.data() + 4 + i * 4, 4);
        EXPECT_EQ(value, cases[i].expected) << cases[i].text;
    }
}

// Separators of every kind between numbers read in place: groups of ';' with spaces, line breaks
// and comments in them, a ',' after spaces; and the faults around numbers give the same status
// and diagnostics wherever they stand.
TEST(TextNumbers, SeparatorsAndFaultsAroundNumbersReadTheSameEverywhere) {
    struct Case {
        const char* separator;
        HRESULT expected;
    };
    const Case kCases[] = {
        {",", DXFILE_OK},
        {";", DXFILE_OK},
        {";,", DXFILE_OK},
        {";;,", DXFILE_OK},
        {"; ;\n;,", DXFILE_OK},
        {" ,", DXFILE_OK},
        {"\t;\n", DXFILE_OK},
        {"; # a comment\n;,", DXFILE_OK},
        {"; // a comment\n,", DXFILE_OK},
        {",\n# a comment\n", DXFILE_OK},
        {",,", DXFILEERR_PARSEERROR},
        {";,;", DXFILEERR_PARSEERROR},
        {" ", DXFILEERR_PARSEERROR},
        {"/", DXFILEERR_PARSEERROR},
        {";/", DXFILEERR_PARSEERROR},
        {"x,", DXFILEERR_PARSEERROR},
        {".5,", DXFILEERR_PARSEERROR},
        {"#,", DXFILEERR_PARSEERROR},
    };
    const std::vector<std::string> texts = {"0.25", "-1.5", "3", "0.009999833", "12.375",
                                            "-0.5", "7.0",  "1", "0.1",         "2.75"};
    for (const Case& c : kCases) {
        ReadResult read = readBothWays(floatKeys(texts, c.separator));
        EXPECT_EQ(read.status, c.expected) << c.separator;
        if (c.expected == DXFILE_OK) expectFloats(read, texts);
    }
}

// Animation keys read in one loop; a key that does not read in place, at any value, is read by
// the grammar and the keys after it go on in place.
TEST(TextNumbers, KeysThatFallOffTheFastPathMidwayReadTheSame) {
    auto floatBits = [](float value) { return std::bit_cast<std::uint32_t>(value); };
    const std::vector<std::string> odd = {"1e-2",       "+0.5", "1.#INF", "0.123456789012345678",
                                          "12345678.5", ".5",   "5."};
    for (std::size_t at = 0; at < 6; ++at)
        for (const std::string& value : odd) {
            std::vector<std::uint32_t> expected = {0, 40};
            std::string body = "AnimationKey {\n 0;\n 40;\n";
            for (std::uint32_t key = 0; key < 40; ++key) {
                std::vector<std::string> values = {"0.25", "-0.75", "0.5", "1.0"};
                std::string time = std::to_string(key * 160);
                if (key % 7 == 3) {
                    if (at < 2)
                        time = at == 0 ? "+" + time : "0" + time;
                    else
                        values[at - 2] = value;
                }
                body += " " + time + ";4;";
                expected.push_back(key * 160);
                expected.push_back(4);
                for (std::size_t v = 0; v < values.size(); ++v) {
                    body += values[v] + (v + 1 < values.size() ? "," : ";;");
                    expected.push_back(floatBits(expectedFloat(values[v])));
                }
                body += key + 1 < 40 ? ",\n" : ";\n";
            }
            body += "}\n";
            ReadResult read = readBothWays(body);
            ASSERT_EQ(read.status, DXFILE_OK) << body;
            std::vector<std::uint8_t> bytes(expected.size() * 4);
            std::memcpy(bytes.data(), expected.data(), bytes.size());
            EXPECT_EQ(read.bytes, bytes) << "value " << value << " at " << at;
        }
}

// A key that does not read at all fails with the same diagnostic, in place or not.
TEST(TextNumbers, AFaultyKeyAmongUsualOnesGivesTheSameDiagnostic) {
    for (const char* faulty : {"0.5x", "0.5.5", "--1", "0.5 0.5", "1e", "0x10"}) {
        std::string body = "AnimationKey {\n 0;\n 20;\n";
        for (int key = 0; key < 20; ++key) {
            body += " " + std::to_string(key) + ";3;0.25," + (key == 11 ? faulty : "0.5") + ",1.0";
            body += key + 1 < 20 ? ";;,\n" : ";;;\n";
        }
        body += "}\n";
        ReadResult read = readBothWays(body);
        EXPECT_EQ(read.status, DXFILEERR_PARSEERROR) << faulty;
        EXPECT_EQ(read.line, 16u) << faulty;
    }
}

// Keys with characters changed at random: whatever they become, reading them in place or the
// general way gives the same values, status and reason, and the same place for a fault that is
// not at the end of the text.
TEST(TextNumbers, RandomlyChangedKeysReadTheSameEitherWay) {
    std::mt19937 random(31337);
    const std::string kChanges = "0123456789.-+eE,; \n#/x";
    std::string keys = "AnimationKey {\n 0;\n 30;\n";
    for (int key = 0; key < 30; ++key)
        keys += " " + std::to_string(key * 160) + ";4;0.0699428" + std::to_string(key % 10) +
                ",-0.07991469,0.089878544,1.5" + (key + 1 < 30 ? ";;,\n" : ";;;\n");
    keys += "}\n";
    for (int trial = 0; trial < 400; ++trial) {
        std::string body = keys;
        for (int change = 0; change < 1 + trial % 4; ++change) {
            std::size_t at = 25 + random() % (body.size() - 30);
            char c = kChanges[random() % kChanges.size()];
            if (random() % 2)
                body[at] = c;
            else
                body.insert(at, 1, c);
        }
        ReadResult plain = readFirst(body);
        ReadResult tailed = readFirst(body + kTail);
        ASSERT_EQ(plain.status, tailed.status) << body;
        EXPECT_EQ(plain.bytes, tailed.bytes) << body;
        EXPECT_EQ(plain.reason, tailed.reason) << body;
        // The header takes the first line; the text ends on the line after the body's last break.
        DWORD lastLine = static_cast<DWORD>(std::count(body.begin(), body.end(), '\n')) + 2;
        if (plain.status != DXFILE_OK && plain.line < lastLine) {
            EXPECT_EQ(plain.line, tailed.line) << body;
            EXPECT_EQ(plain.column, tailed.column) << body;
        }
    }
}

} // namespace
