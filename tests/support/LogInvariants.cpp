#include "support/LogInvariants.h"

#include "core/LogWalk.h"

#include <map>

using namespace vm;

namespace vmtest {

std::vector<LoggedRecord> AllRecords(TDirStorage& log)
{
    std::vector<LoggedRecord> out;
    TDirNode node;
    std::string name;
    for (TLogWalk w = TLogWalk::AllRecords(log); w.Next(node, name);)
        out.push_back({w.Offset(), node, name, {}});
    for (LoggedRecord& r : out)
        r.Path = log.GetFullPath(r.Offset);
    return out;
}

namespace {
class Checker
{
public:
    Checker(TDirStorage& log, const std::vector<int32_t>& units) : log_(log), units_(units) {}

    std::vector<std::string> Run()
    {
        records_ = AllRecords(log_);
        CheckLayout();
        CheckTree();
        CheckTotals();
        CheckTagged();
        return faults_;
    }

private:
    void Fault(const std::string& s) { faults_.push_back(s); }
    std::string At(size_t i) { return "record " + std::to_string(records_[i].Offset) + ": "; }

    void CheckLayout()
    {
        int64_t expect = log_.FirstOffset();
        for (size_t i = 0; i < records_.size(); ++i) {
            TLogRecord f;
            std::string name;
            log_.ReadRecord(records_[i].Offset, f, name);
            if (records_[i].Offset != expect)
                Fault(At(i) + "expected at " + std::to_string(expect));
            expect = records_[i].Offset + f.RecordLength;
            int32_t next = records_[i].Node.NextOffset;
            if (i + 1 < records_.size() ? next != expect : next != kNoOffset)
                Fault(At(i) + "NextOffset " + std::to_string(next));
        }
        if (log_.Header().TagListOffset != expect)
            Fault("tag list at " + std::to_string(log_.Header().TagListOffset) +
                  ", records end at " + std::to_string(expect));
    }

    void CheckTree()
    {
        std::vector<size_t> open; // indices of the directories enclosing the current record
        std::map<int32_t, size_t> index;
        std::vector<int32_t> lastAtLevel;
        int32_t lastDir = kNoOffset;
        for (size_t i = 0; i < records_.size(); ++i) {
            const TDirNode& n = records_[i].Node;
            index[records_[i].Offset] = i;
            while (!open.empty() && records_[open.back()].Node.Level >= n.Level)
                open.pop_back();
            int32_t parent = open.empty() ? kNoOffset : records_[open.back()].Offset;
            if (n.Level != open.size() || n.ParentOffset != parent)
                Fault(At(i) + "level " + std::to_string(n.Level) + " parent " +
                      std::to_string(n.ParentOffset) + ", expected " + std::to_string(open.size()) +
                      " and " + std::to_string(parent));
            if (lastAtLevel.size() <= n.Level)
                lastAtLevel.resize(n.Level + 1, kNoOffset);
            int32_t previous = lastAtLevel[n.Level];
            if (previous != kNoOffset &&
                records_[index[previous]].Node.NextSiblingOffset != records_[i].Offset &&
                records_[index[previous]].Node.ParentOffset == n.ParentOffset)
                Fault(At(index[previous]) + "NextSiblingOffset does not lead to " +
                      std::to_string(records_[i].Offset));
            lastAtLevel[n.Level] = records_[i].Offset;
            lastAtLevel.resize(n.Level + 1);
            if (n.Kind == kKindDirectory) {
                if (lastDir != kNoOffset &&
                    records_[index[lastDir]].Node.NextDirOffset != records_[i].Offset)
                    Fault(At(index[lastDir]) + "NextDirOffset does not lead to " +
                          std::to_string(records_[i].Offset));
                lastDir = records_[i].Offset;
                open.push_back(i);
            } else if (n.NextDirOffset != kNoOffset) {
                Fault(At(i) + "a file in the directory chain");
            }
        }
        if (lastDir != kNoOffset && records_[index[lastDir]].Node.NextDirOffset != kNoOffset)
            Fault("the directory chain does not end at the last directory");
        // The last of each parent's entries has no sibling.
        std::map<int32_t, int32_t> lastChild;
        for (const LoggedRecord& r : records_)
            lastChild[r.Node.ParentOffset] = r.Offset;
        for (auto& [parent, child] : lastChild)
            if (records_[index[child]].Node.NextSiblingOffset != kNoOffset)
                Fault("record " + std::to_string(child) + ": the last entry has a sibling");
    }

    void CheckTotals()
    {
        std::map<int32_t, int64_t> size, allocated;
        std::map<int32_t, size_t> rootOf;
        size_t root = 0, roots = 0;
        for (size_t i = 0; i < records_.size(); ++i) {
            const TDirNode& n = records_[i].Node;
            if (n.Level == 0)
                root = roots++;
            rootOf[records_[i].Offset] = root;
            if (n.ParentOffset != kNoOffset) {
                size[n.ParentOffset] += n.Size;
                allocated[n.ParentOffset] += n.Allocated;
            }
        }
        std::map<size_t, int64_t> ownUnit;
        for (size_t i = 0; i < records_.size(); ++i) {
            const TDirNode& n = records_[i].Node;
            if (n.Kind != kKindDirectory)
                continue;
            int32_t at = records_[i].Offset;
            if (n.Size != size[at])
                Fault(At(i) + "Size " + std::to_string(n.Size) + ", entries " +
                      std::to_string(size[at]));
            int64_t own = n.Allocated - allocated[at];
            if (n.Level == 0) {
                if (own != 0)
                    Fault(At(i) + "a root with an own allocation of " + std::to_string(own));
                continue;
            }
            size_t r = rootOf[at];
            int64_t want = r < units_.size() ? units_[r] : ownUnit.count(r) ? ownUnit[r] : own;
            ownUnit[r] = want;
            if (own != want)
                Fault(At(i) + "own allocation " + std::to_string(own) + ", expected " +
                      std::to_string(want));
        }
    }

    void CheckTagged()
    {
        if (records_.empty())
            return;
        const TDirNode& head = records_[0].Node;
        if ((head.NextTaggedOffset == kNoOffset) != (head.PrevTaggedOffset == kNoOffset))
            Fault("the head has one tagged link");
        size_t members = 0, tagged = 0;
        for (const LoggedRecord& r : records_) {
            members += r.Node.NextTaggedOffset != kNoOffset;
            tagged += r.Node.Tags != 0 && !(r.Node.Tags & kTagDeleted);
            if (r.Node.Tags != 0 && !(r.Node.Tags & kTagDeleted) &&
                r.Node.NextTaggedOffset == kNoOffset)
                Fault("record " + std::to_string(r.Offset) +
                      ": tagged but not in the tagged chain");
        }
        size_t walked = 0;
        TDirNode n;
        std::string name;
        for (TLogWalk w = TLogWalk::Tagged(log_); w.Next(n, name);)
            ++walked;
        if (walked != tagged)
            Fault("the tagged walk gives " + std::to_string(walked) + " of " +
                  std::to_string(tagged) + " tagged records");
        (void)members;
    }

    TDirStorage& log_;
    std::vector<int32_t> units_;
    std::vector<LoggedRecord> records_;
    std::vector<std::string> faults_;
};
} // namespace

std::vector<std::string> LogFaults(TDirStorage& log, const std::vector<int32_t>& units)
{
    return Checker(log, units).Run();
}

} // namespace vmtest
