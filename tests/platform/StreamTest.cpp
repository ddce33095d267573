// The buffered file stream against the memory stream: any mix of reads, writes, seeks and
// resizes must see the same bytes, and write errors must surface.
#include "platform/Stream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace vm;
using namespace vmtest;

namespace {

class StreamTest : public ::testing::TestWithParam<size_t>
{
};

TEST_P(StreamTest, RandomMixOfOperationsMatchesTheMemoryStream)
{
    TempDir dir;
    std::string path = dir / "s.bin";
    std::mt19937 random(static_cast<unsigned>(GetParam()));
    TMemoryStream memory;
    {
        TFileStream file(path, TFileMode::Create, GetParam());
        auto pick = [&random](int64_t n) {
            return static_cast<int64_t>(random() % static_cast<uint64_t>(n));
        };
        for (int step = 0; step < 20000; ++step) {
            int64_t size = memory.Size();
            switch (pick(10)) {
            case 0:
            case 1:
            case 2: { // append, as a scan does
                std::vector<uint8_t> data(static_cast<size_t>(1 + pick(400)));
                for (uint8_t& b : data)
                    b = static_cast<uint8_t>(random());
                memory.Seek(0, TSeekOrigin::End);
                file.Seek(0, TSeekOrigin::End);
                memory.Write(data.data(), static_cast<int64_t>(data.size()));
                file.Write(data.data(), static_cast<int64_t>(data.size()));
                break;
            }
            case 3:
            case 4: { // patch somewhere, maybe far back, maybe past the end
                int64_t at = pick(size + 50);
                uint8_t patch[12];
                for (uint8_t& b : patch)
                    b = static_cast<uint8_t>(random());
                int64_t n = 1 + pick(12);
                memory.Seek(at, TSeekOrigin::Begin);
                file.Seek(at, TSeekOrigin::Begin);
                memory.Write(patch, n);
                file.Write(patch, n);
                break;
            }
            case 5:
            case 6:
            case 7: { // read anywhere, also across the end
                int64_t at = pick(size + 10);
                int64_t n = 1 + pick(step % 50 == 0 ? 600000 : 300);
                std::vector<uint8_t> a(static_cast<size_t>(n)), b(static_cast<size_t>(n));
                int64_t ga = 0, gb = 0;
                if (pick(2) == 0) {
                    memory.Seek(at, TSeekOrigin::Begin);
                    file.Seek(at, TSeekOrigin::Begin);
                    ga = memory.Read(a.data(), n);
                    gb = file.Read(b.data(), n);
                } else { // a positional read leaves the position alone
                    ga = memory.ReadAt(at, a.data(), n);
                    gb = file.ReadAt(at, b.data(), n);
                }
                ASSERT_EQ(ga, gb) << "step " << step;
                a.resize(static_cast<size_t>(ga));
                b.resize(static_cast<size_t>(gb));
                ASSERT_EQ(a, b) << "step " << step;
                ASSERT_EQ(memory.Position(), file.Position());
                break;
            }
            case 8:
                if (pick(20) == 0) {
                    int64_t to = pick(size + 100);
                    memory.SetSize(to);
                    file.SetSize(to);
                }
                break;
            default:
                file.Flush();
                break;
            }
            ASSERT_EQ(memory.Size(), file.Size()) << "step " << step;
        }
        file.Flush();
    }
    EXPECT_EQ(ReadWholeFile(path), std::string(memory.Bytes().begin(), memory.Bytes().end()));
}

INSTANTIATE_TEST_SUITE_P(BufferSizes, StreamTest, ::testing::Values(4096, 65536, 256 * 1024));

TEST(FileStreamGapTest, BytesBetweenTheFileAndAWindowBeyondItReadAsZeros)
{
    TempDir dir;
    TFileStream f(dir / "gap.bin", TFileMode::Create, 4096);
    f.Write("abcdefghij", 10);
    f.Flush();
    char r[20];
    f.Seek(0, TSeekOrigin::Begin);
    f.Read(r, 5); // the window now holds the file, unchanged
    f.Seek(100, TSeekOrigin::Begin);
    f.Write("0123456789", 10); // a new window beyond the end of the file
    f.Seek(50, TSeekOrigin::Begin);
    ASSERT_EQ(f.Read(r, 20), 20);
    EXPECT_EQ(std::string(r, 20), std::string(20, '\0'));
    f.Seek(5000, TSeekOrigin::Begin);
    f.Write("x", 1);
    f.Seek(95, TSeekOrigin::Begin);
    ASSERT_EQ(f.Read(r, 10), 10);
    EXPECT_EQ(std::string(r, 10), std::string(5, '\0') + "01234");
}

TEST(FileStreamErrorsTest, AFullDiskIsReportedByFlush)
{
    TFileStream full("/dev/full", TFileMode::OpenReadWrite);
    char data[100] = {};
    full.Write(data, sizeof data); // lands in the buffer
    EXPECT_THROW(full.Flush(), EWriteError);
}

TEST(FileStreamErrorsTest, OpeningNamesTheFileAndTheReason)
{
    try {
        TFileStream missing("/nonexistent/dir/file", TFileMode::OpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/file"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos);
    }
}

} // namespace

TEST(FileStreamReloadTest, AReaderKeptOpenSeesAnotherStreamsChangesOnlyAfterReload)
{
    TempDir dir;
    std::string path = dir / "log.bin";
    {
        TFileStream w(path, TFileMode::Create);
        w.Write("abcdefghij", 10);
    }
    TFileStream reader(path, TFileMode::OpenRead, 4096);
    char r[12] = {};
    ASSERT_EQ(reader.ReadAt(0, r, 10), 10); // the window now holds the whole file
    {
        TFileStream w(path, TFileMode::OpenReadWrite);
        w.Seek(2, TSeekOrigin::Begin);
        w.Write("XY", 2);
        w.Seek(0, TSeekOrigin::End);
        w.Write("kl", 2);
    }
    ASSERT_EQ(reader.ReadAt(0, r, 12), 10);
    EXPECT_EQ(std::string(r, 10), "abcdefghij"); // stale: why a painting reader must reload
    reader.Reload();
    EXPECT_EQ(reader.Size(), 12);
    ASSERT_EQ(reader.ReadAt(0, r, 12), 12);
    EXPECT_EQ(std::string(r, 12), "abXYefghijkl");
}
