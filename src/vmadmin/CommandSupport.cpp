#include "vmadmin/Commands.h"

#include "references/CommandLine.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace vm::vmadmin {

std::optional<std::string> TArgReader::Take(const std::string& name, TTaking taking)
{
    std::optional<std::string> value;
    const std::string prefix = name + "=";
    for (size_t i = 0; i < args_.size() && args_[i] != "--";) {
        size_t taken = 0;
        if (args_[i] == name && taking == TTaking::NextValue) {
            if (i + 1 == args_.size())
                throw EUsage(name + " needs a value");
            value = args_[i + 1];
            taken = 2;
        } else if (args_[i] == name) {
            value = "";
            taken = 1;
        } else if (taking != TTaking::Bare && args_[i].starts_with(prefix)) {
            value = args_[i].substr(prefix.size());
            taken = 1;
        }
        if (taken == 0)
            ++i;
        else
            args_.erase(args_.begin() + std::ptrdiff_t(i),
                        args_.begin() + std::ptrdiff_t(i + taken));
    }
    return value;
}

std::optional<std::string> TArgReader::Value(const std::string& name)
{
    return Take(name, TTaking::NextValue);
}

bool TArgReader::Flag(const std::string& name)
{
    return Take(name, TTaking::Bare).has_value();
}

std::optional<std::string> TArgReader::FlagOrValue(const std::string& name)
{
    return Take(name, TTaking::BareOrJoined);
}

TArgs TArgReader::Operands(size_t min, size_t max, const std::string& usage)
{
    TArgs operands;
    bool optionsEnd = false;
    for (const std::string& a : args_) {
        if (!optionsEnd && a == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && a.size() > 1 && a[0] == '-') {
            throw EUsage("unknown option " + a + "; usage: " + usage);
        } else {
            operands.push_back(a);
        }
    }
    if (operands.size() < min || operands.size() > max)
        throw EUsage("usage: " + usage);
    return operands;
}

int FindReference(const TRefStore& store, const std::string& name)
{
    const int n = store.FindRefByName(name);
    if (n < 0)
        throw EUsage(ReferenceNotFoundText(name));
    return n;
}

int PositiveNumber(const std::string& text, const std::string& what)
{
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || text[0] == '-' || text[0] == '+' || *end != '\0' || errno != 0 ||
        value < 1 || value > INT_MAX)
        throw EUsage(what + " must be a whole number from 1, not \"" + text + "\"");
    return int(value);
}

void RequireChangeable(const TRefStore& store)
{
    try {
        store.CheckSharedLocks();
    } catch (const std::exception& e) {
        throw EUsage(e.what());
    }
}

} // namespace vm::vmadmin
