#include "core/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/test_support.h"

namespace lumora {
namespace {
namespace fs = std::filesystem;

std::size_t entriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(SafeWrite, ReplacesTheFileAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const std::string path = dir / "index.bdmv";
    test::writeFile(path, "old");
    ::chmod(path.c_str(), 0640);
    writeFileSafely(path, test::hexBytes("01 02 03"));
    EXPECT_EQ(test::readFile(path), test::hexBytes("01 02 03"));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the user's permissions stay
}

TEST(SafeWrite, AnUncommittedWriteLeavesTheOldFile) {
    test::TempDir dir;
    const std::string path = dir / "MovieObject.bdmv";
    test::writeFile(path, "original");
    {
        SafeFileWriter writer(path);
        writer.write(test::hexBytes("FF FF"));
        // an error happens here: no commit
    }
    EXPECT_EQ(test::readFile(path), test::hexBytes("6F 72 69 67 69 6E 61 6C"));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(SafeWrite, UnwritableFolderRaisesAFileErrorNamingTheFile) {
    test::TempDir dir;
    const std::string path = dir / "missing/folder/x.mpls";
    try {
        writeFileSafely(path, test::hexBytes("00"));
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), path);
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
    }
}

TEST(ReadFile, RefusesWhatIsNoReadableStructureFile) {
    test::TempDir dir;
    EXPECT_THROW(readFileBytes(dir / "absent"), FileError);
    EXPECT_THROW(readFileBytes(dir.path().string()), FileError);  // a folder
    test::writeFile(dir / "big", std::string(100, 'x'));
    EXPECT_THROW(readFileBytes(dir / "big", 99), FileError);
    EXPECT_EQ(readFileBytes(dir / "big", 100).size(), 100u);
    EXPECT_EQ(fileSize(dir / "big"), 100);
    EXPECT_EQ(fileSize(dir / "absent"), -1);
    EXPECT_EQ(fileSize(dir.path().string()), -1);
}

}  // namespace
}  // namespace lumora
