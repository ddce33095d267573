// The distinct owner (or group) ids of a list's rows. A row keeps a two-byte index into the table
// instead of the id, and each id's name is looked up once, the first time a row shows it, since
// account look-ups may go over the network (LDAP, NIS) and a list holds millions of rows of a few
// hundred owners.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vm {

class TIdNameTable
{
public:
    // What a row holds once the table has as many ids as an index can name.
    static constexpr uint16_t kFull = 0xFFFF;
    inline static const char* const kTooManyIds = "(too many to name)";

    // lookup gives the name of an id (AccountName, GroupName).
    explicit TIdNameTable(std::function<std::string(uint32_t)> lookup);

    // The index of id, added when new; kFull once 65535 ids are held.
    uint16_t IndexOf(uint32_t id);
    uint32_t IdAt(uint16_t index) const { return ids_[index]; }
    // The name of the id at index (kTooManyIds for kFull).
    const std::string& NameAt(uint16_t index) const;
    size_t Count() const { return ids_.size(); }

private:
    std::function<std::string(uint32_t)> lookup_;
    std::vector<uint32_t> ids_;
    std::unordered_map<uint32_t, uint16_t> indexes_;
    mutable std::vector<std::string> names_;
    mutable std::vector<bool> named_;
};

} // namespace vm
