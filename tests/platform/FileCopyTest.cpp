// Copying a file relative to open directories: content and permission bits arrive, an existing
// target survives a copy that fails half-way, and what is no regular file is refused at once.
#include "platform/FileCopy.h"
#include "platform/FileSystem.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vm;
using namespace vmtest;

namespace {

class FileCopyTest : public ::testing::Test
{
protected:
    FileCopyTest()
    {
        dir_.MakeDir("from");
        dir_.MakeDir("to");
        from_ = ::open((dir_ / "from").c_str(), O_RDONLY | O_DIRECTORY);
        to_ = ::open((dir_ / "to").c_str(), O_RDONLY | O_DIRECTORY);
    }
    ~FileCopyTest() override
    {
        ::close(from_);
        ::close(to_);
    }
    bool Copy(const std::string& from, const std::string& to, int& error)
    {
        return CopyRegularFileAt(from_, from, to_, to, error);
    }
    // The names in "to": no temporary file may stay behind.
    std::vector<std::string> TargetNames() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_ / "to"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir_;
    int from_ = -1, to_ = -1;
};

TEST_F(FileCopyTest, ContentAndPermissionBitsArriveAndAnOldTargetIsReplaced)
{
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = char(i * 7 + i / 4096);
    dir_.WriteFile("from/big.bin", big);
    ::chmod((dir_ / "from/big.bin").c_str(), 0640);
    dir_.WriteFile("to/big.bin", "an older copy");
    int error = 0;
    ASSERT_TRUE(Copy("big.bin", "big.bin", error)) << ErrorText(error);
    EXPECT_EQ(dir_.ReadFile("to/big.bin"), big);
    struct stat st = {};
    ::stat((dir_ / "to/big.bin").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(TargetNames(), std::vector<std::string>{"big.bin"});

    dir_.WriteFile("from/empty", "");
    ASSERT_TRUE(Copy("empty", "renamed", error));
    EXPECT_EQ(dir_.ReadFile("to/renamed"), "");
}

TEST_F(FileCopyTest, AFailedCopyKeepsTheOldTargetAndLeavesNoTemporary)
{
    dir_.WriteFile("from/large", std::string(2 * 1024 * 1024, 'n'));
    dir_.WriteFile("to/large", "the only good copy");
    // A child whose files may not grow past 64 KiB: the disk "fills" in the middle of the copy.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        int error = 0;
        const bool copied = Copy("large", "large", error);
        _exit(!copied && error == EFBIG ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(dir_.ReadFile("to/large"), "the only good copy");
    EXPECT_EQ(TargetNames(), std::vector<std::string>{"large"});
}

TEST_F(FileCopyTest, OnlyRegularFilesAreCopiedAndNeverOntoThemselves)
{
    ASSERT_EQ(::mkfifo((dir_ / "from/fifo").c_str(), 0644), 0);
    ::symlink("/etc/passwd", (dir_ / "from/link").c_str());
    dir_.MakeDir("from/sub");
    int error = 0;
    // A fifo without a writer would block a reader for ever: refused at once.
    EXPECT_FALSE(Copy("fifo", "fifo", error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(Copy("link", "link", error));
    EXPECT_EQ(error, ELOOP);
    EXPECT_FALSE(Copy("sub", "sub", error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(Copy("missing", "missing", error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_TRUE(TargetNames().empty());

    dir_.WriteFile("from/self", "mine");
    EXPECT_FALSE(CopyRegularFileAt(from_, "self", from_, "self", error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_EQ(dir_.ReadFile("from/self"), "mine");
}

TEST_F(FileCopyTest, FilesOfAnotherFileSystemComeThroughABuffer)
{
    // /dev/shm is a tmpfs of its own where it exists: the kernel may refuse to copy across.
    if (!std::filesystem::is_directory("/dev/shm"))
        GTEST_SKIP() << "no /dev/shm";
    const std::string name = "volumark-copy-" + std::to_string(getpid());
    {
        FILE* f = fopen(("/dev/shm/" + name).c_str(), "w");
        ASSERT_NE(f, nullptr);
        fputs("from another file system", f);
        fclose(f);
    }
    int shm = ::open("/dev/shm", O_RDONLY | O_DIRECTORY);
    int error = 0;
    EXPECT_TRUE(CopyRegularFileAt(shm, name, to_, "copied", error)) << ErrorText(error);
    ::unlinkat(shm, name.c_str(), 0);
    ::close(shm);
    EXPECT_EQ(dir_.ReadFile("to/copied"), "from another file system");
}

} // namespace
