#include "core/PathStack.h"

namespace vm {

bool TPathStack::Enter(int64_t offset, int level, int64_t parentOffset, std::string_view name,
                       std::string& why)
{
    if (level < 0 || level > static_cast<int>(open_.size())) {
        why = "a record at level " + std::to_string(level) + " follows no directory at level " +
              std::to_string(level - 1);
        return false;
    }
    if (level == 0) {
        path_.assign(name);
        if (path_.size() > 1 && path_.back() == '/')
            path_.pop_back();
    } else {
        const TOpen& parent = open_[static_cast<size_t>(level - 1)];
        if (parent.Offset != parentOffset) {
            why = "the record's parent link " + std::to_string(parentOffset) +
                  " does not name the directory " + std::to_string(parent.Offset) + " it lies in";
            return false;
        }
        path_.resize(parent.Length);
        if (path_ != "/")
            path_ += '/';
        path_.append(name);
    }
    // Every record is open until one at its level or above comes: a comparison may hold
    // entries below a file (a directory in the old log that is a file in the new one).
    open_.resize(static_cast<size_t>(level));
    open_.push_back({offset, path_.size()});
    return true;
}

} // namespace vm
