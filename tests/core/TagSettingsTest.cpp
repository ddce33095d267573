// A log's tag settings: loaded into the twelve items, saved back with padding and the mask.
#include "core/TagSettings.h"
#include "support/SyntheticLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/file.h>

using namespace vm;
using namespace vmtest;

namespace {

TEST(TagSettings, TagTwoAndTheRubbishBinGiveTheMask0x40000002)
{
    TMemoryStream stream(SampleLogBytes());
    TDirStorage log(stream);
    TTagSettings s;
    s.Load(log);
    EXPECT_EQ(s.Captions[0], "Tag 1");
    EXPECT_EQ(s.Captions[kRubbishBinItem], "Rubbish Bin");
    s.Checked[1] = s.Checked[kRubbishBinItem] = true;
    EXPECT_EQ(s.CheckState(), 0x802u);
    s.Save(log);
    TDirStorage again(stream);
    EXPECT_EQ(again.GetTagMask(), 0x40000002u);
    TTagSettings back;
    back.Load(again);
    EXPECT_TRUE(back.Checked[1]);
    EXPECT_TRUE(back.Checked[kRubbishBinItem]);
    EXPECT_FALSE(back.Checked[0]);
}

TEST(TagSettings, ShortNameListShowsUnusedAndIsSavedWhole)
{
    TMemoryStream stream(SyntheticLog().Root("/r/").File("a", 1).Log({"Only one"}));
    TDirStorage log(stream);
    TTagSettings s;
    s.Load(log);
    EXPECT_EQ(s.Captions[0], "Only one");
    EXPECT_EQ(s.Captions[1], kUnusedTag);
    s.Captions[4] = "Archive";
    s.Save(log);
    TDirStorage again(stream);
    EXPECT_EQ(again.TagNameCount(), 12);
    std::string name;
    again.GetTagName(2, name);
    EXPECT_EQ(name, "Unused");
    again.GetTagName(5, name);
    EXPECT_EQ(name, "Archive");
    EXPECT_FALSE(ValidTagCaption("two\nlines"));
    EXPECT_FALSE(TagItemRenamable(kRubbishBinItem));
}

TEST(TagSettings, SaveToAFileThatAnotherWriterHoldsChangesNothing)
{
    TempDir dir;
    const std::vector<uint8_t> bytes = SampleLogBytes();
    const std::string path = dir / "Log0001.kdf";
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    TTagSettings s;
    s.Checked[0] = true;
    TFileStream holder(path, TFileMode::OpenReadWrite);
    ASSERT_EQ(::flock(holder.Handle(), LOCK_EX), 0);
    EXPECT_THROW(SaveTagSettingsToFile(s, path), EStreamError);
    EXPECT_EQ(ReadWholeFile(path), std::string(bytes.begin(), bytes.end()));
    ::flock(holder.Handle(), LOCK_UN);
    SaveTagSettingsToFile(s, path);
    TFileStream stream(path, TFileMode::OpenRead);
    EXPECT_EQ(TDirStorage(stream).GetTagMask(), 1u);
    EXPECT_THROW(SaveTagSettingsToFile(s, dir / "missing.kdf"), EStreamError);
}

} // namespace
