// Every input that ever made an X file fuzz target fail (fuzz/dxfile/regressions), checked as the
// targets check it, under each of their default headers.
#include "TestSupport.h"

#include "XFileCheck.h"

#include <filesystem>

namespace {

TEST(FuzzRegressions, EveryKeptInputPassesTheFuzzChecks) {
    std::filesystem::path folder = LUMASET_FUZZ_REGRESSIONS_DIR;
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::vector<std::uint8_t> bytes = readBytes(entry.path());
        for (const char* header : kFuzzHeaders) {
            ComRef<IDirectXFile> root = makeRoot();
            // An exact copy on the heap, so a read one byte past the end is caught.
            auto exact = std::make_unique<std::uint8_t[]>(bytes.size());
            std::copy(bytes.begin(), bytes.end(), exact.get());
            EXPECT_EQ(checkXFile(root.get(), exact.get(), bytes.size(), header), "")
                << entry.path().filename() << " under " << header;
        }
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

} // namespace
