// Whole-file reads: exact bytes, the bound, and the reasons a read fails.
#include "WholeFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

namespace fs = std::filesystem;

namespace {

class WholeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        folder_ = fs::temp_directory_path() /
                  ("fileio-test-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(folder_, error);
    }
    std::string write(const std::string& name, const std::string& content) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    fs::path folder_;
};

TEST_F(WholeFileTest, ReadsEveryByteIncludingZeros) {
    const std::string content("a\0b\0\0c\xff\n", 8);
    const std::string path = write("zeros.bin", content);
    std::string text;
    ASSERT_TRUE(fileio::readWholeFile(path, 8, text).ok());
    EXPECT_EQ(text, content);
    std::vector<std::uint8_t> bytes{1, 2, 3};
    ASSERT_TRUE(fileio::readWholeFile(path, 1024, bytes).ok());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), content);
}

TEST_F(WholeFileTest, EmptyFileIsEmpty) {
    std::string text = "left over";
    const fileio::ReadResult result = fileio::readWholeFile(write("empty", ""), 0, text);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.reason, "");
    EXPECT_EQ(text, "");
}

TEST_F(WholeFileTest, MissingFileGivesNameAndSystemReason) {
    const std::string path = (folder_ / "absent.x").string();
    std::string text = "left over";
    const fileio::ReadResult result = fileio::readWholeFile(path, 100, text);
    EXPECT_EQ(result.status, fileio::ReadStatus::cannotOpen);
    EXPECT_EQ(fileio::describe(path, result),
              path + ": cannot open the file: No such file or directory");
    EXPECT_EQ(text, "");
}

TEST_F(WholeFileTest, LargerThanTheBoundFails) {
    const std::string path = write("five", "12345");
    std::string text;
    fileio::ReadResult result = fileio::readWholeFile(path, 4, text);
    EXPECT_EQ(result.status, fileio::ReadStatus::tooLarge);
    EXPECT_EQ(result.reason, "the file holds 5 bytes, more than the 4 that can be read");
    EXPECT_EQ(text, "");
    result = fileio::readWholeFile(path, 5, text);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(text, "12345");
}

TEST_F(WholeFileTest, FolderIsNotAFile) {
    std::string text;
    const fileio::ReadResult result = fileio::readWholeFile(folder_.string(), 100, text);
    EXPECT_EQ(result.status, fileio::ReadStatus::notAFile);
    EXPECT_EQ(result.reason, "the file is a folder");
}

TEST_F(WholeFileTest, DeviceWithoutEndStopsAtTheBound) {
    std::string text;
    const fileio::ReadResult result = fileio::readWholeFile("/dev/zero", 200000, text);
    EXPECT_EQ(result.status, fileio::ReadStatus::tooLarge);
    EXPECT_EQ(result.reason, "the file holds more than the 200000 bytes that can be read");
    EXPECT_EQ(text, "");
}

TEST_F(WholeFileTest, PipeWithoutWriterReadsEmpty) {
    const std::string path = (folder_ / "pipe").string();
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::string text = "left over";
    EXPECT_TRUE(fileio::readWholeFile(path, 100, text).ok());
    EXPECT_EQ(text, "");
}

TEST_F(WholeFileTest, PipeReadsUntilTheWriterCloses) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    // More than a pipe holds at once: the writer waits for the reader in between.
    const std::string content(150000, 'p');
    std::thread writer([&] {
        for (std::size_t done = 0; done < content.size();) {
            const ssize_t count = ::write(ends[1], content.data() + done, content.size() - done);
            if (count <= 0) break;
            done += static_cast<std::size_t>(count);
        }
        ::close(ends[1]);
    });
    std::string text;
    const fileio::ReadResult result =
        fileio::readWholeFile("/dev/fd/" + std::to_string(ends[0]), content.size(), text);
    writer.join();
    ::close(ends[0]);
    EXPECT_TRUE(result.ok()) << result.reason;
    EXPECT_EQ(text, content);
}

} // namespace
