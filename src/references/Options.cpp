#include "references/Options.h"

#include "platform/Registry.h"

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <optional>

namespace vm {

namespace {

// One pass over the table, in its order, for loading and for saving: each value names its
// field once, so the two directions cannot drift apart.
template <class Visitor, class Options> void VisitValues(Options& o, Visitor&& visit)
{
    visit.Bool("ShowExt", o.ShowExt);
    visit.Bool("ShowIcon", o.ShowIcon);
    visit.Bool("EmailCommandLine", o.EmailCommandLine);
    visit.String("EmailProfile", o.EmailProfile);
    visit.String("EmailTo", o.EmailTo);
    visit.Bool("EmailOnlySubject", o.EmailOnlySubject);
    visit.Bool("EmailAlways", o.EmailAlways);
    visit.Bool("EmailGrown", o.EmailGrown);
    visit.Integer("EmailGrownBy", o.EmailGrownBy);
    visit.Unit("EmailGrownUnit", o.EmailGrownUnit);
    visit.Bool("EmailDiskFree", o.EmailDiskFree);
    visit.Integer("EmailDiskFreeBy", o.EmailDiskFreeBy);
    visit.Unit("EmailDiskFreeUnit", o.EmailDiskFreeUnit);
    visit.Bool("EmailRTF", o.EmailRTF);
    visit.Bool("EmailDialog", o.EmailDialog);
    visit.Bool("AllowLiveLogs", o.AllowLiveLogs);
    visit.String("MetricsDirectory", o.MetricsDirectory);
    visit.Bool("LargestFirst", o.LargestFirst);
}

struct TLoader
{
    TRegistry& reg;

    void Bool(const char* name, bool& field)
    {
        if (!reg.ValueExists(name)) {
            reg.WriteBool(name, field);
            return;
        }
        if (auto v = reg.ReadInteger(name))
            field = *v != 0;
    }
    void Integer(const char* name, int64_t& field)
    {
        if (!reg.ValueExists(name)) {
            reg.WriteInteger(name, field);
            return;
        }
        if (auto v = reg.ReadInteger(name))
            field = *v;
    }
    void String(const char* name, std::string& field)
    {
        if (!reg.ValueExists(name)) {
            field.clear();
            return;
        }
        if (auto v = reg.ReadString(name))
            field = *v;
    }
    // A unit is never empty: an empty unit would make "grown by more than 20" mean 20 of
    // nothing, so that every growth mails. A missing or empty one takes the current state and
    // is stored, as numbers are.
    void Unit(const char* name, std::string& field)
    {
        std::optional<std::string> v;
        if (reg.ValueExists(name))
            v = reg.ReadString(name);
        if (v && !v->empty()) {
            field = *v;
            return;
        }
        if (!v && reg.ValueExists(name))
            return; // a value of the wrong type stays as it is
        reg.WriteString(name, field);
    }
};

struct TSaver
{
    TRegistry& reg;

    void Bool(const char* name, bool field) { reg.WriteBool(name, field); }
    void Integer(const char* name, int64_t field) { reg.WriteInteger(name, field); }
    void String(const char* name, const std::string& field) { reg.WriteString(name, field); }
    void Unit(const char* name, const std::string& field) { reg.WriteString(name, field); }
};

bool Fail(std::string* reason, const std::string& why)
{
    if (reason)
        *reason = why;
    return false;
}

} // namespace

bool TOptions::Load(TRegistry& registry, std::string* reason)
{
    ShowExt = true;
    ShowIcon = true;
    if (!registry.OpenKey(kSettingsKey, true))
        return Fail(reason, registry.LastError());
    // Loaded into a copy, so that a store that fails half way leaves the state as it was.
    TOptions loaded = *this;
    try {
        VisitValues(loaded, TLoader{registry});
    } catch (const std::exception& e) {
        return Fail(reason, e.what());
    }
    *this = loaded;
    return true;
}

bool TOptions::Save(TRegistry& registry, std::string* reason) const
{
    if (!registry.OpenKey(kSettingsKey, true))
        return Fail(reason, registry.LastError());
    try {
        VisitValues(*this, TSaver{registry});
    } catch (const std::exception& e) {
        return Fail(reason, e.what());
    }
    return true;
}

int64_t OptionNumber(const std::string& text)
{
    size_t b = text.find_first_not_of(" \t");
    size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos)
        return 0;
    std::string t = text.substr(b, e - b + 1);
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(t.c_str(), &end, 10);
    if (errno != 0 || end == t.c_str() || *end != '\0')
        return 0;
    return v;
}

bool AllowChangesToLog()
{
    TRegistry registry;
    TOptions options;
    options.Load(registry);
    return options.AllowLiveLogs;
}

} // namespace vm
