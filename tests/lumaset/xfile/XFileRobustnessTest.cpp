// No input crashes the reader: every truncation and many byte flips of a file that uses every part
// of the model, in each encoding, end in no scene or in a scene whose every index is in range.
#include "XFileIOTestSupport.h"

#include "xfile/XFileIO.h"

#include <gtest/gtest.h>

#include <random>

using namespace xfiletest;

namespace {

// The parameter is the encoding the writer uses (DXFILEFORMAT_*: 0 binary, 1 text, 2 compressed
// binary, 3 compressed text).
class DamagedFile : public ::testing::TestWithParam<std::uint32_t> {
protected:
    void SetUp() override {
        const auto path = scratchPath("damaged-" + std::to_string(GetParam()) + ".x");
        ASSERT_TRUE(XFileIO().writeScene(path.c_str(), makeRichScene(), GetParam(), false));
        file_ = readBytes(path);
        ASSERT_GT(file_.size(), 16u);
    }

    // A fresh buffer of exactly the bytes given, so a read past its end is caught.
    static void readCopy(const std::vector<std::uint8_t>& bytes, std::size_t length) {
        std::vector<std::uint8_t> copy(bytes.begin(), bytes.begin() + static_cast<long>(length));
        const std::unique_ptr<XScene> scene =
            XFileIO().readSceneFromMemory(copy.empty() ? nullptr : copy.data(), copy.size());
        if (scene) expectSceneInvariants(*scene);
    }

    std::vector<std::uint8_t> file_;
};

TEST_P(DamagedFile, EveryTruncationGivesAValidSceneOrNone) {
    for (std::size_t length = 0; length <= file_.size(); ++length) {
        readCopy(file_, length);
        if (HasFailure()) {
            ADD_FAILURE() << "at length " << length;
            return;
        }
    }
}

TEST_P(DamagedFile, ByteFlipsGiveAValidSceneOrNone) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::size_t> position(0, file_.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int flip = 0; flip < 1500; ++flip) {
        std::vector<std::uint8_t> damaged = file_;
        const int changes = 1 + flip % 3;
        for (int k = 0; k < changes; ++k)
            damaged[position(random)] = static_cast<std::uint8_t>(value(random));
        readCopy(damaged, damaged.size());
        if (HasFailure()) {
            ADD_FAILURE() << "at flip " << flip;
            return;
        }
    }
}

std::string encodingName(const ::testing::TestParamInfo<std::uint32_t>& info) {
    const char* names[] = {"binary", "text", "compressed_binary", "compressed_text"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(EveryEncoding, DamagedFile, ::testing::Values(0u, 1u, 2u, 3u),
                         encodingName);

// Counts in the packed data that promise more than is there must not be believed.
TEST(XFileReaderRobustness, HugeDeclaredCountsAreRefused) {
    const std::string text = "xof 0303txt 0032\n"
                             "Mesh { 4000000000; 0.0;0.0;0.0;; 1; 3;0,0,0;; }\n"
                             "Mesh { 1; 0.0;0.0;0.0;; 1; 4000000000;0,0,0;; }\n";
    const std::unique_ptr<XScene> scene = XFileIO().readSceneFromMemory(text.data(), text.size());
    if (scene) expectSceneInvariants(*scene);
}

} // namespace
