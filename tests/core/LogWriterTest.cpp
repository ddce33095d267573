// The log writer on entries made up in the test: where each field lands, the totals and links it
// patches, and the limits of the format it refuses to pass.
#include "core/LogWriter.h"
#include "core/DirStorage.h"
#include "support/LogInvariants.h"
#include "support/SyntheticLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace vm;
using namespace vmtest;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

int64_t Real(const std::vector<uint8_t>& b, size_t at)
{
    return DecodeReal48Rounded(&b[at]);
}

TEST(LogWriterTest, EveryFieldLandsAtItsByte)
{
    std::vector<uint8_t> b = SampleLogBytes();
    EXPECT_EQ(GetI32(&b[24]), 453); // tag-list offset
    // The root.
    EXPECT_EQ(GetU16(&b[40]), 72);
    EXPECT_EQ(GetI32(&b[40 + 2]), 40);
    EXPECT_EQ(GetU16(&b[40 + 6]), 0);
    EXPECT_EQ(GetI32(&b[40 + 8]), -1);
    EXPECT_EQ(GetI32(&b[40 + 12]), 112);
    EXPECT_EQ(GetI32(&b[40 + 16]), -1);  // no other root
    EXPECT_EQ(GetI32(&b[40 + 20]), 183); // directory chain to sub
    EXPECT_EQ(b[40 + 32], kKindDirectory);
    EXPECT_EQ(GetU32(&b[40 + 33]), faDirectory);
    EXPECT_EQ(Real(b, 40 + 49), 5018);
    EXPECT_EQ(Real(b, 40 + 55), 4096 + 4096 + 8192 + 4096 + 4096);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[40 + 65])), "/data/");
    // A file: level 1, parent the root, sibling sub, not in the directory chain.
    EXPECT_EQ(GetU16(&b[112]), 71);
    EXPECT_EQ(GetU16(&b[112 + 6]), 1);
    EXPECT_EQ(GetI32(&b[112 + 8]), 40);
    EXPECT_EQ(GetI32(&b[112 + 16]), 183);
    EXPECT_EQ(GetI32(&b[112 + 20]), -1);
    EXPECT_EQ(GetI32(&b[112 + 24]), -1);
    EXPECT_EQ(GetI32(&b[112 + 28]), -1);
    EXPECT_EQ(b[112 + 32], kKindFile);
    EXPECT_EQ(GetU32(&b[112 + 33]), faNormal);
    EXPECT_EQ(GetI32(&b[112 + 45]), -1008362753); // 2000-01-01 00:00:00
    EXPECT_EQ(Real(b, 112 + 49), 10);
    EXPECT_EQ(Real(b, 112 + 55), 4096);
    EXPECT_EQ(GetU32(&b[112 + 61]), 0u);
    EXPECT_EQ(b[112 + 70], 0); // the name's NUL
    // The subdirectory: its unit plus its files; its sibling is z, its first entry b.
    EXPECT_EQ(GetI32(&b[183 + 16]), 386);
    EXPECT_EQ(GetI32(&b[183 + 12]), 252);
    EXPECT_EQ(Real(b, 183 + 49), 5007);
    EXPECT_EQ(Real(b, 183 + 55), 4096 + 8192 + 4096);
    EXPECT_EQ(GetI32(&b[252 + 16]), 319);
    EXPECT_EQ(GetI32(&b[319 + 16]), -1);
    // The last record ends the file order.
    EXPECT_EQ(GetI32(&b[386 + 12]), -1);
    EXPECT_EQ(GetI32(&b[386 + 16]), -1);
}

TEST(LogWriterTest, PatchedLinksAndTotalsHoldEverywhere)
{
    TMemoryStream s(SyntheticLog()
                        .Root("/a/", 512)
                        .Dir("x")
                        .Dir("y")
                        .File("f", 513)
                        .Close()
                        .Dir("empty")
                        .Close()
                        .Close()
                        .File("g", 1)
                        .Root("/b/", 0)
                        .File("h", 3)
                        .Dir("d")
                        .Log());
    TDirStorage log(s);
    EXPECT_THAT(LogFaults(log, {512, 0}), IsEmpty());
}

TEST(LogWriterTest, LogThatWouldPassTheOffsetLimitStopsWithAClearError)
{
    TMemoryStream s;
    TLogWriter w(s, 45000.0, 40 + 72 + 3 * 67);
    w.BeginRoot("/data/", 4096);
    for (const char* n : {"a", "b", "c"})
        w.Entry(FileEntry(n, 1), false);
    try {
        w.Entry(FileEntry("d", 1), false);
        FAIL() << "no error";
    } catch (const EScanError& e) {
        EXPECT_THAT(e.what(), HasSubstr("limit of the offsets"));
    }
    EXPECT_EQ(s.Size(), 40 + 72 + 3 * 67);
}

TEST(LogWriterTest, LevelsGoTo65535AndNoFurther)
{
    TMemoryStream s;
    TLogWriter w(s, 45000.0);
    w.BeginRoot("/", 0);
    for (int level = 1; level <= 65535; ++level)
        w.Entry(DirEntry("d"), false);
    EXPECT_THROW(w.Entry(FileEntry("f", 1), false), EScanError);
    w.Finish();
    TDirStorage log(s);
    TDirNode n;
    std::string name;
    ASSERT_TRUE(log.ReadNode(log.Header().TagListOffset - 67, n, name));
    EXPECT_EQ(n.Level, 65535);
    EXPECT_EQ(n.Allocated, 0);
}

TEST(LogWriterTest, NameLongerThanARecordHoldsIsRefused)
{
    TMemoryStream s;
    TLogWriter w(s, 45000.0);
    w.BeginRoot("/", 0);
    EXPECT_THROW(w.Entry(FileEntry(std::string(260, 'n'), 1), false), EScanError);
    EXPECT_THROW(TLogWriter(s, 1.0).BeginRoot("/" + std::string(259, 'p'), 0), EScanError);
}

TEST(LogWriterTest, AllocatedSpaceRules)
{
    TFileInfo f = FileEntry("f", 5000);
    EXPECT_EQ(TLogWriter::AllocatedOf(f, false, 4096), 8192);
    EXPECT_EQ(TLogWriter::AllocatedOf(f, false, 0), 5000);
    EXPECT_EQ(TLogWriter::AllocatedOf(f, false, 1), 5000);
    EXPECT_EQ(TLogWriter::AllocatedOf(f, true, 4096), 0); // a further hard link
    f.OnDisk = 1234;
    for (uint32_t a : {faSparse, faCompressed, faReparsePoint}) {
        f.Attributes = a;
        EXPECT_EQ(TLogWriter::AllocatedOf(f, false, 4096), 1234) << a;
    }
    EXPECT_EQ(TLogWriter::AllocatedOf(DirEntry("d"), false, 4096), 4096);
    EXPECT_EQ(TLogWriter::AllocatedOf(DirEntry("d"), false, 0), 0);
}

} // namespace
