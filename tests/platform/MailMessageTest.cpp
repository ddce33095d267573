#include "platform/MailMessage.h"
#include "platform/MailAddress.h"
#include "platform/MailCodes.h"
#include "platform/MailSender.h"
#include "platform/TextCoding.h"

#include <gtest/gtest.h>
#include <regex>
#include <stdexcept>

namespace vm {
namespace {

TEST(MailAddress, FormsPeopleType)
{
    auto parsed = [](const std::string& t) {
        auto a = ParseAddress(t);
        return a ? a->Name + "|" + a->Mailbox : std::string("-");
    };
    EXPECT_EQ(parsed("john@example.com"), "|john@example.com");
    EXPECT_EQ(parsed(" John Smith <john@example.com> "), "John Smith|john@example.com");
    EXPECT_EQ(parsed("\"Smith, John\" <john@example.com>"), "Smith, John|john@example.com");
    EXPECT_EQ(parsed("SMTP:john@example.com"), "|john@example.com");
    EXPECT_EQ(parsed("john"), "-");
    EXPECT_EQ(parsed("john smith@example.com"), "-");
    EXPECT_EQ(parsed("-oQ/tmp@example.com"), "-"); // would be an option to sendmail
    EXPECT_EQ(parsed("a@b@example.com"), "-");
    EXPECT_EQ(parsed("john@exa mple.com"), "-");
    EXPECT_EQ(parsed("<john@example.com"), "-");
    EXPECT_TRUE(ParseAddress("root", false).has_value()); // a local user, from the book
}

TEST(MailAddress, ResolutionThroughTheBook)
{
    TAddressBook book = {{"Administrator", "admin@example.com"},
                         {"John Smith", "John <john@example.com>"},
                         {"Ops", "ops@example.com"},
                         {"OPS", "other@example.com"},
                         {"Broken", "not an address"}};
    TResolvedName r;
    ASSERT_EQ(ResolveName(book, " administrator", r), SUCCESS_SUCCESS);
    EXPECT_EQ(r.Name, "Administrator");
    EXPECT_EQ(r.Address.Mailbox, "admin@example.com");
    EXPECT_EQ(r.Address.Name, "Administrator");
    ASSERT_EQ(ResolveName(book, "john smith", r), SUCCESS_SUCCESS);
    EXPECT_EQ(r.Address.Name, "John");
    EXPECT_EQ(ResolveName(book, "ops", r), MAPI_E_AMBIGUOUS_RECIPIENT);
    EXPECT_EQ(ResolveName(book, "Broken", r), MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_EQ(ResolveName(book, "Nobody", r), MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_EQ(ResolveName(book, "  ", r), MAPI_E_UNKNOWN_RECIPIENT);
    ASSERT_EQ(ResolveName(book, "[SMTP:x@example.org]", r), SUCCESS_SUCCESS);
    EXPECT_EQ(r.Name, "x@example.org");
    EXPECT_EQ(r.Address.Mailbox, "x@example.org");
    EXPECT_EQ(ResolveName(book, "[not one]", r), MAPI_E_UNKNOWN_RECIPIENT);
    ASSERT_EQ(ResolveName(book, "Jane <jane@example.org>", r), SUCCESS_SUCCESS);
    EXPECT_EQ(r.Name, "Jane <jane@example.org>");
    EXPECT_EQ(r.Address.Name, "Jane");
}

TEST(MailMessage, HeadersAndBody)
{
    TOutgoingMail m;
    m.From = {"Volumark", "volumark@example.com"};
    m.To = {{"Administrator", "admin@example.com"}, {"", "john@example.com"}};
    m.CC = {{"Smith, John", "js@example.com"}};
    m.Bcc = {{"", "hidden@example.com"}};
    m.Subject = "Volumark log results for reference : Home";
    m.Text = "line one\nline two\r\n.\rlast";
    std::string s = BuildMessage(m, {0, "abc"});
    EXPECT_EQ(s.substr(0, s.find("Date:")),
              "From: Volumark <volumark@example.com>\r\n"
              "To: Administrator <admin@example.com>, john@example.com\r\n"
              "Cc: \"Smith, John\" <js@example.com>\r\n"
              "Subject: Volumark log results for reference : Home\r\n");
    EXPECT_NE(s.find("\r\nMessage-ID: <0.abc@example.com>\r\n"), std::string::npos);
    EXPECT_NE(s.find("\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                     "Content-Transfer-Encoding: 8bit\r\n\r\n"
                     "line one\r\nline two\r\n.\r\nlast\r\n"),
              std::string::npos);
    EXPECT_EQ(s.find("hidden"), std::string::npos);
    m.WriteBccHeader = true;
    EXPECT_NE(BuildMessage(m, {0, "abc"}).find("\r\nBcc: hidden@example.com\r\n"),
              std::string::npos);
}

TEST(MailMessage, LineBreaksNeverReachAHeader)
{
    TOutgoingMail m;
    m.From = {"", "volumark@example.com"};
    m.To = {{"", "admin@example.com"}};
    m.Subject = "Report\r\nBcc: victim@example.com";
    EXPECT_THROW(BuildMessage(m, {}), std::invalid_argument);
    m.Subject = "ok";
    m.To[0].Name = "Admin\nX-Evil: 1";
    EXPECT_THROW(BuildMessage(m, {}), std::invalid_argument);
    m.To[0] = {"", "admin@example.com\r\n"};
    EXPECT_THROW(BuildMessage(m, {}), std::invalid_argument);
    m.To[0] = {"", "admin@example.com"};
    m.From.Name = std::string("V\0", 2);
    EXPECT_THROW(BuildMessage(m, {}), std::invalid_argument);
}

TEST(MailMessage, NonAsciiSubjectsAndNamesAreEncodedInShortWords)
{
    EXPECT_EQ(EncodeHeaderText("Größe"), "=?UTF-8?B?R3LDtsOfZQ==?=");
    std::string longSubject;
    for (int i = 0; i < 60; ++i)
        longSubject += "é";
    std::string e = EncodeHeaderText(longSubject);
    size_t start = 0, words = 0;
    while (start < e.size()) {
        size_t end = e.find("\r\n ", start);
        std::string word = e.substr(start, end == std::string::npos ? end : end - start);
        EXPECT_LE(word.size(), 75u);
        EXPECT_EQ(word.substr(0, 10), "=?UTF-8?B?");
        ++words;
        start = end == std::string::npos ? e.size() : end + 3;
    }
    EXPECT_EQ(words, 3u); // 120 bytes in words of at most 45, no character cut in two
    EXPECT_EQ(EncodeHeaderText("looks =?encoded?="), "=?UTF-8?B?bG9va3MgPT9lbmNvZGVkPz0=?=");
    EXPECT_EQ(FormatAddress({"Jörg", "j@example.com"}), "=?UTF-8?B?SsO2cmc=?= <j@example.com>");
    EXPECT_EQ(FormatAddress({"j@example.com", "j@example.com"}), "j@example.com");
    EXPECT_EQ(FormatAddress({"say \"hi\"", "j@example.com"}), "\"say \\\"hi\\\"\" <j@example.com>");
}

TEST(MailMessage, OddBodiesStayIntactAndValid)
{
    EXPECT_EQ(ValidUtf8("a\xFF"
                        "b\xC3\xA9\xED\xA0\x80"),
              "a\xEF\xBF\xBD"
              "b\xC3\xA9\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    TOutgoingMail m;
    m.From = {"", "volumark@example.com"};
    m.Text = std::string(1200, 'x') + "\nend=" + " \n";
    std::string s = BuildMessage(m, {});
    EXPECT_NE(s.find("Content-Transfer-Encoding: quoted-printable"), std::string::npos);
    std::string body = s.substr(s.find("\r\n\r\n") + 4);
    size_t start = 0;
    while (start < body.size()) {
        size_t end = body.find("\r\n", start);
        EXPECT_LE(end - start, 76u);
        start = end + 2;
    }
    EXPECT_NE(body.find("end=3D=20\r\n"), std::string::npos);
}

TEST(MailDate, Rfc5322Form)
{
    std::string d = MailDate(86400 * 365);
    EXPECT_TRUE(std::regex_match(d, std::regex(R"([A-Z][a-z]{2}, \d\d [A-Z][a-z]{2} 19\d\d )"
                                               R"(\d\d:\d\d:\d\d [+-]\d{4})")))
        << d;
}

TEST(SplitCommand, WordsQuotesAndNothingElse)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitCommand("/usr/sbin/sendmail -t -oi"), (V{"/usr/sbin/sendmail", "-t", "-oi"}));
    EXPECT_EQ(SplitCommand("  a  'b c'  \"d \\\" e\" f\\ g $HOME `x` ; h "),
              (V{"a", "b c", "d \" e", "f g", "$HOME", "`x`", ";", "h"}));
    EXPECT_EQ(SplitCommand("''"), (V{""}));
    EXPECT_EQ(SplitCommand(""), V{});
}

} // namespace
} // namespace vm
