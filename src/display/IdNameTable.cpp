#include "display/IdNameTable.h"

namespace vm {

TIdNameTable::TIdNameTable(std::function<std::string(uint32_t)> lookup) : lookup_(std::move(lookup))
{
}

uint16_t TIdNameTable::IndexOf(uint32_t id)
{
    auto it = indexes_.find(id);
    if (it != indexes_.end())
        return it->second;
    if (ids_.size() >= kFull)
        return kFull;
    const auto index = static_cast<uint16_t>(ids_.size());
    ids_.push_back(id);
    names_.emplace_back();
    named_.push_back(false);
    indexes_.emplace(id, index);
    return index;
}

const std::string& TIdNameTable::NameAt(uint16_t index) const
{
    static const std::string tooMany = kTooManyIds;
    if (index >= ids_.size())
        return tooMany;
    if (!named_[index]) {
        names_[index] = lookup_(ids_[index]);
        named_[index] = true;
    }
    return names_[index];
}

} // namespace vm
