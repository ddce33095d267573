// A sink that keeps what a scan found in memory: one item per root, entry and directory end, in
// the order they came, each entry with its level and full path. For tests, and for checks that
// need a tree of the disk without writing a log.
#pragma once

#include "core/ScanSink.h"

#include <string>
#include <vector>

namespace vm {

class TScanRecorder : public TScanSink
{
public:
    enum class TKind
    {
        Root,
        Entry,
        End
    };
    struct TItem
    {
        TKind Kind;
        int Level;        // 0 for a root, 1 for its entries, ...; the closed directory's for End
        std::string Path; // full path: "/data/sub/b"; a root's path as given ("/data/")
        TFileInfo Info;   // entries only
        bool RepeatLink = false;
        int32_t Unit = 0; // roots only
    };

    void BeginRoot(const std::string& path, int32_t unit) override;
    void Entry(const TFileInfo& info, bool repeatLink) override;
    void EndDirectory() override;
    void Unreadable(const std::string& path, int error) override
    {
        unreadable_.push_back({path, error});
    }

    const std::vector<TItem>& Items() const { return items_; }
    // The entries only (no roots, no ends).
    std::vector<TItem> Entries() const;
    // One line per item: "root /data/", "entry 1 /data/a.txt", "end 0": easy to compare in tests.
    std::vector<std::string> Trace() const;
    const std::vector<TUnreadableDirectory>& UnreadableDirectories() const { return unreadable_; }

private:
    std::vector<TItem> items_;
    std::vector<std::string> open_; // paths of the open directories, each ending with "/"
    std::vector<TUnreadableDirectory> unreadable_;
};

} // namespace vm
