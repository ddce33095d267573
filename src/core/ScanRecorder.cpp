#include "core/ScanRecorder.h"

namespace vm {

void TScanRecorder::BeginRoot(const std::string& path, int32_t unit)
{
    items_.push_back({TKind::Root, 0, path, {}, false, unit});
    open_.push_back(path);
}

void TScanRecorder::Entry(const TFileInfo& info, bool repeatLink)
{
    std::string parent = open_.empty() ? std::string() : open_.back();
    items_.push_back(
        {TKind::Entry, static_cast<int>(open_.size()), parent + info.Name, info, repeatLink, 0});
    if (info.IsDirectory())
        open_.push_back(parent + info.Name + "/");
}

void TScanRecorder::EndDirectory()
{
    if (open_.empty())
        return;
    open_.pop_back();
    items_.push_back({TKind::End, static_cast<int>(open_.size()), {}, {}, false, 0});
}

std::vector<TScanRecorder::TItem> TScanRecorder::Entries() const
{
    std::vector<TItem> out;
    for (const TItem& i : items_)
        if (i.Kind == TKind::Entry)
            out.push_back(i);
    return out;
}

std::vector<std::string> TScanRecorder::Trace() const
{
    std::vector<std::string> out;
    for (const TItem& i : items_) {
        switch (i.Kind) {
        case TKind::Root:
            out.push_back("root " + i.Path);
            break;
        case TKind::Entry:
            out.push_back("entry " + std::to_string(i.Level) + " " + i.Path);
            break;
        case TKind::End:
            out.push_back("end " + std::to_string(i.Level));
            break;
        }
    }
    return out;
}

} // namespace vm
