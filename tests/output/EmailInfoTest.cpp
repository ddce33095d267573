// What the "Email" dialog sends: the listing text of a list's rows, the listing of a tag's
// entries walked from the log, the twelve tag rows, and sending through a real SMTP server.
#include "output/EmailInfo.h"

#include "core/DirStorage.h"
#include "core/LogFormat.h"
#include "output/Email.h"
#include "platform/ScriptedUserInterface.h"
#include "support/ListTableDouble.h"
#include "support/SmtpServer.h"
#include "support/SyntheticLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using namespace vmtest::sample;
using vmtest::ExploreLikeTable;
using vmtest::ListTableDouble;

const std::string kHead = "List of files and sizes to be reviewed -\r\n\r\n";
const std::string kTail = "\r\n--- END OF FILE LISTING ---\r\n";

TEST(ListMailTextTest, NamesArePaddedAndSizesRightAligned)
{
    ListTableDouble t = ExploreLikeTable();
    t.Add({"abcde", "", "", "", "1 KB"});
    t.Add({"abcdefghi", "", "", "", "12.50 MB"});
    t.Add({"abcdefg", "", "", "", "100 KB"});
    EXPECT_EQ(ListMailText(t, AllRows(t)), kHead +
                                               "abcde          1 KB\r\n"
                                               "abcdefghi  12.50 MB\r\n"
                                               "abcdefg      100 KB\r\n" +
                                               kTail);
    // Only the rows given, in their order.
    EXPECT_EQ(ListMailText(t, {2}), kHead + "abcdefg  100 KB\r\n" + kTail);
    EXPECT_EQ(ListMailText(t, {}), kHead + kTail);
}

TEST(ListMailTextTest, FoldersPrecedeNamesExceptOnTopLevelPaths)
{
    ListTableDouble t = ExploreLikeTable();
    t.Add({"/srv/", "/srv/", "Path", "", "8.00 GB"});
    t.Add({"data", "/srv/", "File folder", "", "2 KB"});
    t.Add({"notes.txt", "/srv/data/", "Text", "", "4 KB"});
    t.Add({"größe\tneu", "/srv/", "", "", "1 KB"}); // 12 characters once the tab is escaped
    EXPECT_EQ(ListMailText(t, AllRows(t)), kHead +
                                               "/srv/                8.00 GB\r\n"
                                               "/srv/data               2 KB\r\n"
                                               "/srv/data/notes.txt     4 KB\r\n"
                                               "/srv/größe\\x09neu       1 KB\r\n" +
                                               kTail);
}

class TaggedMailTest : public ::testing::Test
{
protected:
    TaggedMailTest() : bytes_(vmtest::SampleLogBytes()) {}
    TDirStorage& Open()
    {
        stream_ = TMemoryStream(bytes_);
        log_ = std::make_unique<TDirStorage>(stream_);
        return *log_;
    }
    void Tag()
    {
        TDirStorage& log = Open();
        log.SetTag(kA, 0);
        log.SetTag(kB, 1);
        log.SetTag(kZ, 0);
        log.SetTag(kSub, 30);
        bytes_ = stream_.Bytes();
    }

    std::vector<uint8_t> bytes_;
    TMemoryStream stream_;
    std::unique_ptr<TDirStorage> log_;
    TLocale locale_ = TLocale::Classic();
};

TEST_F(TaggedMailTest, ListsTheEntriesThatCarryTheTag)
{
    Tag();
    TDirStorage& log = Open();
    const std::string tag1 = TaggedMailText(log, TagRowMask(1), locale_);
    EXPECT_NE(tag1.find("/data/a.txt ... 4 KB\r\n"), std::string::npos) << tag1;
    EXPECT_NE(tag1.find("/data/z ... 4 KB\r\n"), std::string::npos) << tag1;
    EXPECT_EQ(tag1.find("/data/sub/b"), std::string::npos);
    EXPECT_EQ(tag1.substr(0, kHead.size()), kHead);
    EXPECT_EQ(tag1.substr(tag1.size() - kTail.size()), kTail);
    EXPECT_EQ(TaggedMailText(log, TagRowMask(2), locale_),
              kHead + "/data/sub/b ... 8 KB\r\n" + kTail);
    EXPECT_EQ(TaggedMailText(log, TagRowMask(12), locale_),
              kHead + "/data/sub ... 16 KB\r\n" + kTail);
    EXPECT_EQ(TaggedMailText(log, TagRowMask(5), locale_), kHead + kTail);
}

TEST_F(TaggedMailTest, ACyclicChainEndsTheListing)
{
    Tag();
    // The last member points back into the chain past the head: a ring the head is not on.
    vmtest::Poke32(bytes_, kZ + rec::NextTaggedOffset, kA);
    vmtest::Poke32(bytes_, kA + rec::NextTaggedOffset, kZ);
    vmtest::Poke32(bytes_, kRoot + rec::NextTaggedOffset, kA);
    const std::string text = TaggedMailText(Open(), TagRowMask(1), locale_);
    EXPECT_EQ(text, kHead + "/data/a.txt ... 4 KB\r\n/data/z ... 4 KB\r\n" + kTail);
}

TEST_F(TaggedMailTest, TagRowsTakeTheLogsNamesAndStopAtTwelve)
{
    TDirStorage& log = Open();
    log.SetTagName(2, "Old reports");
    for (int n = 13; n <= 20; ++n)
        log.SetTagName(n, "Extra " + std::to_string(n));
    std::vector<TTagRow> rows = LogTagRows(log);
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[0].Caption, "Tag 1");
    EXPECT_EQ(rows[1].Caption, "Old reports");
    EXPECT_EQ(rows[11].Caption, "Rubbish Bin");
    EXPECT_EQ(rows[11].Number, 12);
    EXPECT_EQ(TagRowMask(12), kTagRubbishBin);
    EXPECT_EQ(TagRowMask(11), 1u << 10);
    EXPECT_EQ(PresetTagRows()[11].Caption, "Rubbish bin");
}

class SendTest : public ::testing::Test
{
protected:
    bool Start(vmtest::SmtpServerOptions options = {})
    {
        server = std::make_unique<vmtest::SmtpServer>(options);
        if (!server->Running())
            return false;
        dir.WriteFile("mail.ini", server->MailFileText("Test"));
        choice.MailFile = dir / "mail.ini";
        ui.Screen = false;
        return true;
    }
    vmtest::TempDir dir;
    TScriptedUserInterface ui;
    std::unique_ptr<vmtest::SmtpServer> server;
    TMailChoice choice;
};

TEST_F(SendTest, NamesLeftOutAreReportedButTheMailGoes)
{
    if (!Start())
        GTEST_SKIP() << "no SMTP test server: " << server->Error();
    TSendOutcome sent = SendListMail(ui, choice, "Administrator;Nobody Known", "a\r\n");
    EXPECT_TRUE(sent.Done);
    EXPECT_NE(sent.Report.find("Nobody Known"), std::string::npos) << sent.Report;
    ASSERT_EQ(server->Messages().size(), 1u);
    EXPECT_EQ(server->Messages()[0].Recipients, (std::vector<std::string>{"admin@example.com"}));
}

TEST_F(SendTest, EachTagWithRecipientsGetsItsOwnMessageAndFailuresNameTheirTag)
{
    vmtest::SmtpServerOptions options;
    options.Refuse = {"john@example.com"};
    if (!Start(options))
        GTEST_SKIP() << "no SMTP test server: " << server->Error();
    std::vector<uint8_t> bytes = vmtest::SampleLogBytes();
    TMemoryStream stream(bytes);
    TDirStorage log(stream);
    log.SetTag(kA, 0);
    log.SetTag(kB, 1);
    std::vector<TTagRow> rows = LogTagRows(log);
    rows[0].Recipients = "Administrator";
    rows[1].Recipients = "John Smith";
    rows[2].Recipients = "  "; // blank: nothing for tag 3

    TSendOutcome sent = SendTagMails(ui, choice, log, rows, TLocale::Classic());
    EXPECT_FALSE(sent.Done);
    EXPECT_NE(sent.Report.find("\"Tag 2\""), std::string::npos) << sent.Report;
    EXPECT_EQ(sent.Report.find("\"Tag 1\""), std::string::npos) << sent.Report;
    auto mails = server->Messages();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].Recipients, (std::vector<std::string>{"admin@example.com"}));
    EXPECT_EQ(mails[0].Body(), kHead + "/data/a.txt ... 4 KB\r\n" + kTail);

    for (TTagRow& row : rows)
        row.Recipients.clear();
    sent = SendTagMails(ui, choice, log, rows, TLocale::Classic());
    EXPECT_FALSE(sent.Done);
    EXPECT_EQ(sent.Report, "No tag has a recipient: nothing was sent");
}

} // namespace
} // namespace vm
