#include "explore/FileListStore.h"

#include "platform/FileOwner.h"

namespace vm {

TFileListStore::TFileListStore() : Owners(AccountName), Groups(GroupName) {}

void TFileListStore::Clear()
{
    TNamedRowStore::Clear();
    sumSize_ = sumAllocated_ = 0;
}

int TFileListStore::Append(TFileRow row, std::string_view name)
{
    sumSize_ += row.Size;
    sumAllocated_ += row.Allocated;
    return TNamedRowStore::Append(row, name);
}

void TFileListStore::SetAllocated(int position, int64_t allocated)
{
    TFileRow& row = Row(position);
    sumAllocated_ += allocated - row.Allocated;
    row.Allocated = allocated;
}

} // namespace vm
