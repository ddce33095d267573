#include "platform/MailMessage.h"
#include "platform/TextCoding.h"

#include <cctype>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace vm {

namespace {

constexpr size_t kMaxLine = 998; // octets, without CR LF

bool HasBreak(const std::string& s)
{
    return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

void CheckHeaderText(const std::string& text, const std::string& what)
{
    if (HasBreak(text))
        throw std::invalid_argument("The " + what +
                                    " holds a line break, which a mail header cannot carry");
}

bool IsPrintableAscii(const std::string& s)
{
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E)
            return false;
    return s.find("=?") == std::string::npos;
}

bool IsAtomPhrase(const std::string& s)
{
    for (char c : s)
        if (!(isalnum(static_cast<unsigned char>(c)) || c == ' ' ||
              std::string("!#$%&'*+-/=?^_`{|}~.").find(c) != std::string::npos))
            return false;
    return !s.empty() && s.find("=?") == std::string::npos;
}

std::string AddressList(const std::string& header, const std::vector<TMailAddress>& list)
{
    std::string out = header + ": ";
    size_t lineLength = out.size();
    for (size_t i = 0; i < list.size(); ++i) {
        std::string a = FormatAddress(list[i]);
        if (i > 0) {
            out += ",";
            // Folding keeps long recipient lists inside the line limit.
            if (lineLength + a.size() + 2 > 78) {
                out += "\r\n";
                lineLength = 0;
            }
            out += " ";
            ++lineLength;
        }
        out += a;
        lineLength += a.size() + 1;
    }
    return out + "\r\n";
}

// Lone CR, lone LF and CR LF all become CR LF; the text ends with a line break.
std::string CrLfLines(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0)
        out += "\r\n";
    return out;
}

bool NeedsQuotedPrintable(const std::string& crlfText)
{
    size_t start = 0;
    while (start < crlfText.size()) {
        size_t end = crlfText.find("\r\n", start);
        if (end - start > kMaxLine)
            return true;
        start = end + 2;
    }
    return crlfText.find('\0') != std::string::npos;
}

std::string QuotedPrintable(const std::string& crlfText)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    size_t column = 0;
    auto put = [&](const std::string& piece) {
        if (column + piece.size() > 75) {
            out += "=\r\n"; // a soft line break
            column = 0;
        }
        out += piece;
        column += piece.size();
    };
    for (size_t i = 0; i < crlfText.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(crlfText[i]);
        if (c == '\r' && i + 1 < crlfText.size() && crlfText[i + 1] == '\n') {
            out += "\r\n";
            column = 0;
            ++i;
            continue;
        }
        bool trailingBlank =
            (c == ' ' || c == '\t') && i + 1 < crlfText.size() && crlfText[i + 1] == '\r';
        if ((c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !trailingBlank))
            put(std::string(1, char(c)));
        else
            put(std::string{'=', hex[c >> 4], hex[c & 15]});
    }
    return out;
}

std::string DomainOf(const std::string& mailbox)
{
    size_t at = mailbox.find('@');
    return at == std::string::npos ? "localhost" : mailbox.substr(at + 1);
}

} // namespace

std::string EncodeHeaderText(const std::string& text)
{
    if (IsPrintableAscii(text))
        return text;
    std::string valid = ValidUtf8(text);
    // 45 bytes make 60 base64 characters: with "=?UTF-8?B?" and "?=" a word stays within 75.
    std::string out, chunk;
    auto flush = [&] {
        if (chunk.empty())
            return;
        out += (out.empty() ? "" : "\r\n ") + std::string("=?UTF-8?B?") + Base64(chunk) + "?=";
        chunk.clear();
    };
    for (size_t i = 0; i < valid.size();) {
        size_t n = Utf8SequenceLength(valid, i);
        if (chunk.size() + n > 45)
            flush();
        chunk.append(valid, i, n);
        i += n;
    }
    flush();
    return out;
}

std::string FormatAddress(const TMailAddress& a)
{
    if (a.Name.empty() || a.Name == a.Mailbox)
        return a.Mailbox;
    std::string name;
    if (IsAtomPhrase(a.Name)) {
        name = a.Name;
    } else if (IsPrintableAscii(a.Name)) {
        name = "\"";
        for (char c : a.Name) {
            if (c == '"' || c == '\\')
                name += '\\';
            name += c;
        }
        name += "\"";
    } else {
        name = EncodeHeaderText(a.Name);
    }
    return name + " <" + a.Mailbox + ">";
}

std::string MailDate(std::time_t time)
{
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    struct tm tm
    {
    };
    localtime_r(&time, &tm);
    long offset = tm.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    offset = offset < 0 ? -offset : offset;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                  days[tm.tm_wday % 7], tm.tm_mday, months[tm.tm_mon % 12], tm.tm_year + 1900,
                  tm.tm_hour, tm.tm_min, tm.tm_sec, sign, offset / 60, offset % 60);
    return buf;
}

TMessageStamp NewMessageStamp()
{
    std::random_device rd;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%08x%08x.%d", rd(), rd(), int(getpid()));
    return {std::time(nullptr), buf};
}

std::string BuildMessage(const TOutgoingMail& mail, const TMessageStamp& stamp)
{
    auto check = [](const TMailAddress& a, const std::string& what) {
        CheckHeaderText(a.Name, what + " name");
        CheckHeaderText(a.Mailbox, what + " address");
        if (!IsMailbox(a.Mailbox, false))
            throw std::invalid_argument("\"" + a.Mailbox + "\" is not a mail address");
    };
    check(mail.From, "sender");
    for (const auto* list : {&mail.To, &mail.CC, &mail.Bcc})
        for (const TMailAddress& a : *list)
            check(a, "recipient");
    CheckHeaderText(mail.Subject, "subject");

    std::string m = "From: " + FormatAddress(mail.From) + "\r\n";
    if (!mail.To.empty())
        m += AddressList("To", mail.To);
    if (!mail.CC.empty())
        m += AddressList("Cc", mail.CC);
    if (mail.WriteBccHeader && !mail.Bcc.empty())
        m += AddressList("Bcc", mail.Bcc);
    m += "Subject: " + EncodeHeaderText(mail.Subject) + "\r\n";
    m += "Date: " + MailDate(stamp.Time) + "\r\n";
    m += "Message-ID: <" + std::to_string(static_cast<long long>(stamp.Time)) + "." +
         stamp.UniquePart + "@" + DomainOf(mail.From.Mailbox) + ">\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Content-Type: text/plain; charset=UTF-8\r\n";
    std::string body = CrLfLines(ValidUtf8(mail.Text));
    bool qp = NeedsQuotedPrintable(body);
    m += std::string("Content-Transfer-Encoding: ") + (qp ? "quoted-printable" : "8bit") + "\r\n";
    m += "\r\n";
    m += qp ? QuotedPrintable(body) : body;
    return m;
}

} // namespace vm
