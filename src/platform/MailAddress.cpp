#include "platform/MailAddress.h"

#include "platform/MailCodes.h"

namespace vm {

namespace {

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = char(x - 32);
        if (y >= 'a' && y <= 'z')
            y = char(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

bool IsLocalChar(char c)
{
    if (c <= 0x20 || c >= 0x7F)
        return false;
    return std::string("<>()[]\\,;:\"@").find(c) == std::string::npos;
}

bool IsDomain(const std::string& d)
{
    if (d.empty() || d.front() == '.' || d.front() == '-' || d.back() == '.' ||
        d.find("..") != std::string::npos)
        return false;
    for (char c : d)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '-' || c == '.'))
            return false;
    return true;
}

std::string WithoutTypePrefix(const std::string& s)
{
    return s.size() > 5 && SameText(s.substr(0, 5), "SMTP:") ? s.substr(5) : s;
}

} // namespace

bool IsMailbox(const std::string& text, bool requireDomain)
{
    size_t at = text.find('@');
    std::string local = text.substr(0, at);
    if (local.empty() || local.front() == '-' || local.front() == '.' || local.back() == '.')
        return false;
    for (char c : local)
        if (!IsLocalChar(c))
            return false;
    if (at == std::string::npos)
        return !requireDomain;
    return IsDomain(text.substr(at + 1));
}

std::optional<TMailAddress> ParseAddress(const std::string& text, bool requireDomain)
{
    std::string t = Trim(text);
    size_t open = t.find('<');
    if (open == std::string::npos) {
        std::string box = WithoutTypePrefix(t);
        if (!IsMailbox(box, requireDomain))
            return std::nullopt;
        return TMailAddress{"", box};
    }
    if (t.back() != '>' || t.find('<', open + 1) != std::string::npos)
        return std::nullopt;
    std::string box = WithoutTypePrefix(t.substr(open + 1, t.size() - open - 2));
    std::string name = Trim(t.substr(0, open));
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    if (!IsMailbox(box, requireDomain))
        return std::nullopt;
    return TMailAddress{name, box};
}

int ResolveName(const TAddressBook& book, const std::string& text, TResolvedName& resolved)
{
    std::string t = Trim(text);
    if (t.empty())
        return MAPI_E_UNKNOWN_RECIPIENT;
    const std::pair<std::string, std::string>* match = nullptr;
    for (const auto& entry : book) {
        if (!SameText(entry.first, t))
            continue;
        if (match && !SameText(Trim(match->second), Trim(entry.second)))
            return MAPI_E_AMBIGUOUS_RECIPIENT;
        match = match ? match : &entry;
    }
    if (match) {
        auto address = ParseAddress(match->second, false);
        if (!address)
            return MAPI_E_UNKNOWN_RECIPIENT;
        if (address->Name.empty())
            address->Name = match->first;
        resolved = {match->first, *address};
        return SUCCESS_SUCCESS;
    }
    size_t open = t.find('['), close = t.find(']');
    if (open != std::string::npos && close != std::string::npos && open < close) {
        std::string box = WithoutTypePrefix(Trim(t.substr(open + 1, close - open - 1)));
        if (!IsMailbox(box, true))
            return MAPI_E_UNKNOWN_RECIPIENT;
        resolved = {box, TMailAddress{"", box}};
        return SUCCESS_SUCCESS;
    }
    auto address = ParseAddress(t, true);
    if (!address)
        return MAPI_E_UNKNOWN_RECIPIENT;
    resolved = {t, *address};
    return SUCCESS_SUCCESS;
}

} // namespace vm
