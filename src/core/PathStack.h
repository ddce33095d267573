// The full paths of records met in file order, without a tree: a log and a comparison hold
// every directory's entries right behind it, so the path of a record is the path of the last
// record one level up, plus its name. The stack holds one record per level (the ones the walk
// is inside of) and one path buffer; nothing grows with the number of entries.
//
// A record that does not fit (a level that skips one, a parent link that does not name the open
// directory of the level above) is damage: Enter refuses it with the reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

class TPathStack
{
public:
    // The record at offset, at level, whose parent link is parentOffset (ignored at level 0), named
    // name (for level 0 the path as stored, ending with "/"). True with its full path in path()
    // (a top-level path without its trailing "/", "/" itself staying "/"); false with the reason
    // in why when it does not fit below the records before it.
    bool Enter(int64_t offset, int level, int64_t parentOffset, std::string_view name,
               std::string& why);
    // The full path of the record Enter took last; valid until the next Enter.
    std::string_view Path() const { return path_; }
    // The level of the record Enter took last, -1 before the first.
    int Depth() const { return static_cast<int>(open_.size()) - 1; }
    // The offset of the open record at level (0 to Depth()): the last one Enter took there.
    int64_t OpenOffset(int level) const { return open_[static_cast<size_t>(level)].Offset; }
    // The full path of the open record at level.
    std::string_view OpenPath(int level) const
    {
        return std::string_view(path_).substr(0, open_[static_cast<size_t>(level)].Length);
    }

private:
    struct TOpen
    {
        int64_t Offset;
        size_t Length; // of its full path, a prefix of path_ while it is open
    };
    std::vector<TOpen> open_;
    std::string path_;
};

} // namespace vm
