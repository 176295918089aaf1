// The whole-file write: a new file replaces the old one whole, pieces join in order, and any
// failure (create, write, close, rename) keeps the old file and leaves no other file behind.
#include "platform/file_write_all.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "tests/platform/file_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

class FileWriteAll : public FileFixture {
protected:
    // Names of the files in the test's directory.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

TEST_F(FileWriteAll, ReplacesTheOldFileWhole) {
    write_file_bytes(dir.file("a"), counting_bytes(5000));
    std::vector<uint8_t> bytes = {1, 2, 3};
    EXPECT_EQ(platform_file_write_all(dir.file("a").c_str(), bytes.data(), bytes.size()),
              FileWriteResult::written);
    EXPECT_EQ(read_file_bytes(dir.file("a")), bytes);
    EXPECT_EQ(files(), std::vector<std::string>{"a"});

    // A new file, and an empty one.
    EXPECT_EQ(platform_file_write_all(dir.file("b").c_str(), nullptr, 0), FileWriteResult::written);
    EXPECT_TRUE(read_file_bytes(dir.file("b")).empty());
}

TEST_F(FileWriteAll, PiecesAreWrittenInOrder) {
    std::vector<uint8_t> whole = counting_bytes(300000);
    const FileBytes pieces[3] = {
        {whole.data(), 10}, {whole.data() + 10, 0}, {whole.data() + 10, whole.size() - 10}};
    EXPECT_EQ(platform_file_write_pieces(dir.file("p").c_str(), pieces, 3),
              FileWriteResult::written);
    EXPECT_EQ(read_file_bytes(dir.file("p")), whole);
}

TEST_F(FileWriteAll, AFailedWriteKeepsTheOldFileAndLeavesNoOtherBehind) {
    struct Case {
        const char* fault;
        void (*arm)();
        FileWriteResult result;
    } cases[] = {
        {"create", [] { g_headless.fail_open_write = true; }, FileWriteResult::cannot_create},
        {"first piece", [] { g_headless.fail_write_after = 5; }, FileWriteResult::write_error},
        {"second piece", [] { g_headless.fail_write_after = 150; }, FileWriteResult::write_error},
        {"close", [] { g_headless.fail_next_write_close = true; }, FileWriteResult::close_error},
        {"rename", [] { g_headless.fail_rename = true; }, FileWriteResult::rename_error},
    };
    std::vector<uint8_t> old = counting_bytes(77);
    std::vector<uint8_t> fresh = counting_bytes(200);
    const FileBytes pieces[2] = {{fresh.data(), 100}, {fresh.data() + 100, 100}};
    for (const Case& c : cases) {
        headless_reset();
        write_file_bytes(dir.file("target"), old);
        c.arm();
        EXPECT_EQ(platform_file_write_pieces(dir.file("target").c_str(), pieces, 2), c.result)
            << c.fault;
        EXPECT_EQ(read_file_bytes(dir.file("target")), old) << c.fault;
        EXPECT_EQ(files(), std::vector<std::string>{"target"}) << c.fault;
    }
}

TEST_F(FileWriteAll, AMissingDirectoryCannotTakeTheFile) {
    std::vector<uint8_t> bytes = {1};
    EXPECT_EQ(platform_file_write_all(dir.file("none/a").c_str(), bytes.data(), bytes.size()),
              FileWriteResult::cannot_create);
    EXPECT_TRUE(files().empty());
}

} // namespace
