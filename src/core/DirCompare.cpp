#include "core/DirCompare.h"

#include "core/CompareChecks.h"
#include "core/LogChecks.h"
#include "core/LogFileOrder.h"
#include "core/LogWalk.h"
#include "core/NameOrder.h"

#include <algorithm>
#include <cstring>

namespace vm {

namespace {

// The length of the bytes a and b begin with alike, eight at a time where it can.
size_t CommonPrefix(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (uint64_t x, y; i + 8 <= n; i += 8) {
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y)
            break;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// The full path of a top-level path as stored (with its trailing "/", which the full path
// drops; "/" itself stays "/").
std::string RootFullPath(std::string_view stored)
{
    if (stored.size() > 1 && stored.back() == '/')
        stored.remove_suffix(1);
    return std::string(stored.empty() ? std::string_view("/") : stored);
}

// A top-level path of a log: its record and its full path.
struct TRootEntry
{
    int64_t Offset;
    std::string Path;
};

// The top-level paths of a log in the order of their full paths. A log keeps them in the order
// its reference listed them when it was logged, which changes as paths are added or removed, so
// the comparison matches them by path rather than by place. Damage to the chain of top-level
// paths ends the list there, with the reason in damage.
std::vector<TRootEntry> SortedRoots(TDirStorage& log, TLogDamage& damage)
{
    std::vector<TRootEntry> roots;
    if (log.StreamSize() <= log.FirstOffset())
        return roots; // no records at all
    TDirNode node;
    std::string name;
    TLogWalk walk = TLogWalk::Roots(log);
    while (walk.Next(node, name))
        roots.push_back({walk.Offset(), RootFullPath(name)});
    damage = walk.Damage();
    std::stable_sort(roots.begin(), roots.end(), [](const TRootEntry& a, const TRootEntry& b) {
        return ComparePathKeys(a.Path, b.Path) < 0;
    });
    return roots;
}

} // namespace

int ComparePathKeys(std::string_view a, std::string_view b)
{
    // The names in front of the first byte that differs are the same in both: the order is
    // decided from the name that holds that byte on. Two paths that a merge compares mostly
    // share all but their last name, so this skips nearly all of them.
    const size_t common = CommonPrefix(a, b);
    if (common == a.size() && common == b.size())
        return 0;
    const size_t slash = common == 0 ? std::string_view::npos : a.rfind('/', common - 1);
    size_t i = slash == std::string_view::npos ? 0 : slash + 1, j = i;
    for (;;) {
        size_t ea = std::min(a.find('/', i), a.size());
        size_t eb = std::min(b.find('/', j), b.size());
        int c = CompareNames(a.substr(i, ea - i), b.substr(j, eb - j));
        if (c != 0)
            return c < 0 ? -1 : 1;
        bool aEnd = ea == a.size(), bEnd = eb == b.size();
        if (aEnd || bEnd)
            return aEnd == bEnd ? 0 : (aEnd ? -1 : 1);
        i = ea + 1;
        j = eb + 1;
    }
}

// One log's walk in file order with the full path of its current entry. The path is kept as a
// stack (one end position per level) instead of asking the log for every entry's parents: the
// same text GetFullPath gives, at the cost of one append per entry.
class TDirCompare::TLogCursor
{
public:
    // The comparison writes an extended log's stored times: no local date-times are made.
    TLogCursor(TDirStorage& log, const char* which)
        : walk_(log, 1 << 20, TLogFileOrder::TFollow::NextOffset,
                TLogFileOrder::TTimes::StoredOnly),
          which_(which)
    {
    }

    // Moves to the top-level path whose record lies at offset; the entries below it follow.
    void Start(int64_t offset)
    {
        walk_.StartAt(offset);
        Advance();
    }
    void Advance();

    bool Valid() const { return valid_; }
    // On an entry below the top-level path the cursor started at (the next one ends its tree).
    bool InTree() const { return valid_ && level_ > 0; }
    const TLogRecord& Record() const { return record_; }
    const std::string& Name() const { return name_; }
    const std::string& Path() const { return path_; }
    int64_t Offset() const { return walk_.Offset(); }
    // The entry's level; a level that jumps more than one below the previous entry (a damaged
    // log) is taken as one below it, so that every entry has a parent on the path.
    uint16_t Level() const { return level_; }
    bool IsDirectory() const { return record_.Kind == kKindDirectory; }
    int64_t Size() const { return record_.Size; }
    int64_t Allocated() const { return record_.Allocated; }
    // Damage to the chain of the log's top-level paths, which ends the list of them.
    void NoteRootsDamage(const TLogDamage& damage) { rootsDamage_ = damage; }
    // What ended the walk early ("" when the log ran to its end).
    std::string Damage() const;

private:
    void TakePath();

    TLogDamage rootsDamage_; // where the chain of top-level paths broke, if it did
    TLogFileOrder walk_;
    const char* which_;
    bool valid_ = false;
    TLogRecord record_;
    std::string name_;
    std::string path_;
    std::vector<size_t> levelEnds_; // path length that the entries of each level extend
    uint16_t level_ = 0;
};

void TDirCompare::TLogCursor::Advance()
{
    std::string_view name;
    valid_ = walk_.Next(record_, name);
    if (!valid_)
        return;
    name_.assign(name);
    TakePath();
}

void TDirCompare::TLogCursor::TakePath()
{
    level_ = static_cast<uint16_t>(std::min<size_t>(record_.Level, levelEnds_.size()));
    if (level_ == 0) {
        path_ = RootFullPath(name_);
        levelEnds_.assign(1, path_ == "/" ? 0 : path_.size()); // "/" has entries like "/etc"
        return;
    }
    path_.resize(levelEnds_[level_ - 1]);
    path_ += '/';
    path_ += name_;
    levelEnds_.resize(level_);
    levelEnds_.push_back(path_.size());
}

std::string TDirCompare::TLogCursor::Damage() const
{
    const TLogDamage& damage = rootsDamage_.Found() ? rootsDamage_ : walk_.Damage();
    if (!damage.Found())
        return "";
    return std::string("The ") + which_ + " log is damaged (" + damage.Text() +
           "); its entries end there.";
}

TDirCompare::TDirCompare(TStream& stream) : stream_(stream) {}

void TDirCompare::SetProgressHandler(TCompareProgress handler)
{
    progress_ = std::move(handler);
}

void TDirCompare::WriteHeader(TLogFormat format)
{
    uint8_t header[kExtendedCompareHeaderSize];
    int size = kCompareHeaderSize;
    if (format == TLogFormat::Extended) {
        EncodeExtendedCompareHeader(header);
        size = kExtendedCompareHeaderSize;
    } else {
        std::memcpy(header, kSignature, kSignatureLength - 1);
        header[kSignatureLength - 1] = 0x1A;
    }
    if (stream_.Size() > 0)
        stream_.SetSize(0);
    stream_.Seek(0, TSeekOrigin::Begin);
    stream_.WriteBuffer(header, size);
    format_ = format;
    version_.reset();
    writePos_ = size;
    levelOffsets_.assign(1, kNoOffset);
    pendingSibling_.clear();
    lastDirOffset_ = size;
    full_ = false;
}

void TDirCompare::CompareLogs(TDirStorage& oldLog, TDirStorage& newLog)
{
    passedExactLimit_ = false;
    const bool extended =
        oldLog.Format() == TLogFormat::Extended || newLog.Format() == TLogFormat::Extended;
    if (!extended && Merge(oldLog, newLog, TLogFormat::Exact))
        return;
    // An extended log, or too large for the exact format's offsets: the whole comparison,
    // extended.
    passedExactLimit_ = !extended;
    Merge(oldLog, newLog, TLogFormat::Extended);
}

bool TDirCompare::Merge(TDirStorage& oldLog, TDirStorage& newLog, TLogFormat format)
{
    WriteHeader(format);
    stopped_ = false;
    logDamage_.clear();
    TLogCursor oldCursor(oldLog, "old"), newCursor(newLog, "new");
    TLogDamage oldDamage, newDamage;
    const std::vector<TRootEntry> oldRoots = SortedRoots(oldLog, oldDamage);
    const std::vector<TRootEntry> newRoots = SortedRoots(newLog, newDamage);
    oldCursor.NoteRootsDamage(oldDamage);
    newCursor.NoteRootsDamage(newDamage);
    bool stop = false;
    // The top-level paths of both logs merged by path; a path in both has its two trees merged.
    size_t i = 0, j = 0;
    while ((i < oldRoots.size() || j < newRoots.size()) && !stop && !full_) {
        const int order = i == oldRoots.size() ? 1
                          : j == newRoots.size()
                              ? -1
                              : ComparePathKeys(oldRoots[i].Path, newRoots[j].Path);
        if (order <= 0)
            oldCursor.Start(oldRoots[i++].Offset);
        if (order >= 0)
            newCursor.Start(newRoots[j++].Offset);
        const bool inOld = order <= 0 && oldCursor.Valid();
        const bool inNew = order >= 0 && newCursor.Valid();
        if (inOld && oldCursor.IsDirectory() && progress_)
            progress_(oldCursor.Path(), stop);
        if (inOld && inNew)
            MergeTrees(oldCursor, newCursor, stop);
        else if (inOld)
            WriteSubtree(oldCursor, kConditionDeleted);
        else if (inNew)
            WriteSubtree(newCursor, kConditionAdded);
    }
    if (full_)
        return false;
    stopped_ = stop;
    for (const TLogCursor* c : {&oldCursor, &newCursor})
        if (!c->Damage().empty())
            logDamage_ += (logDamage_.empty() ? "" : " ") + c->Damage();
    return true;
}

// The trees of one top-level path that both logs hold, merged in file order: both logs write a
// tree in the order of ComparePathKeys.
void TDirCompare::MergeTrees(TLogCursor& oldCursor, TLogCursor& newCursor, bool& stop)
{
    WriteMatched(oldCursor, newCursor);
    while ((oldCursor.InTree() || newCursor.InTree()) && !stop && !full_) {
        if (oldCursor.InTree() && oldCursor.IsDirectory() && progress_)
            progress_(oldCursor.Path(), stop);
        int order = !oldCursor.InTree()   ? 1
                    : !newCursor.InTree() ? -1
                                          : ComparePathKeys(oldCursor.Path(), newCursor.Path());
        if (order < 0)
            WriteSubtree(oldCursor, kConditionDeleted);
        else if (order > 0)
            WriteSubtree(newCursor, kConditionAdded);
        else
            WriteMatched(oldCursor, newCursor);
    }
}

namespace {
// A time as the extended comparison stores it: an exact log's local time is taken back to UTC.
TLogTime UnixTime(const TLogTime& t, TDateTime local)
{
    if (!t.Local)
        return t;
    if (!t.Stored)
        return {};
    return {LocalDateTimeToUnix(local), 0, false, true};
}

TCompareRecord RecordFrom(const TLogRecord& from)
{
    TCompareRecord r;
    r.Kind = from.Kind;
    r.Attributes = from.Attributes;
    r.Created = from.Created;
    r.Accessed = from.Accessed;
    r.Modified = from.Modified;
    r.CreatedTime = UnixTime(from.CreatedTime, from.Created);
    r.AccessedTime = UnixTime(from.AccessedTime, from.Accessed);
    r.ModifiedTime = UnixTime(from.ModifiedTime, from.Modified);
    r.Owner = from.Owner;
    r.Group = from.Group;
    r.Mode = from.Mode;
    return r;
}
} // namespace

// An entry only one log holds, and, for a directory, every entry below it in that log: the
// whole subtree goes out with the same condition.
void TDirCompare::WriteSubtree(TLogCursor& cursor, uint8_t condition)
{
    const uint16_t top = cursor.Level();
    const bool directory = cursor.IsDirectory();
    do {
        TCompareRecord r = RecordFrom(cursor.Record());
        r.Condition = condition;
        if (condition == kConditionAdded) {
            r.SizeNow = cursor.Size();
            r.AllocNow = cursor.Allocated();
            r.NewLogOffset = cursor.Offset();
        } else {
            r.SizeWas = cursor.Size();
            r.AllocWas = cursor.Allocated();
            r.NewLogOffset = kNoOffset;
        }
        if (!WriteRecord(cursor.Level(), r, cursor.Name()))
            return;
        cursor.Advance();
    } while (directory && cursor.Valid() && cursor.Level() > top);
}

// An entry both logs hold: the new log's data under the old log's name.
void TDirCompare::WriteMatched(TLogCursor& oldCursor, TLogCursor& newCursor)
{
    TCompareRecord r = RecordFrom(newCursor.Record());
    r.SizeNow = newCursor.Size();
    r.AllocNow = newCursor.Allocated();
    r.SizeWas = oldCursor.Size();
    r.AllocWas = oldCursor.Allocated();
    r.Condition = kConditionBoth;
    r.NewLogOffset = newCursor.Offset();
    if (!WriteRecord(newCursor.Level(), r, oldCursor.Name()))
        return;
    oldCursor.Advance();
    newCursor.Advance();
}

bool TDirCompare::WriteRecord(uint16_t level, TCompareRecord& r, const std::string& name)
{
    const bool extended = format_ == TLogFormat::Extended;
    const int fixedSize = extended ? kExtendedCompareFixedSize : kCompareFixedSize;
    const size_t longest = 0xFFFF - static_cast<size_t>(fixedSize) - 1;
    if (name.size() > longest)
        throw ECompareError("The name of an entry is too long for a comparison record (" +
                            std::to_string(static_cast<int64_t>(name.size())) + " bytes).");
    const int64_t self = writePos_;
    const auto length = static_cast<uint16_t>(fixedSize + 1 + name.size());
    if (!extended && writePos_ + length > exactLimit_) {
        full_ = true;
        return false;
    }

    // Siblings chain at each level; a record at a shallower level ends every deeper chain.
    const int siblingField = extended ? xcmp::NextSiblingOffset : cmp::NextSiblingOffset;
    if (pendingSibling_.size() <= level)
        pendingSibling_.resize(level + 1, kNoOffset);
    if (pendingSibling_[level] != kNoOffset && pendingSibling_[level] != self)
        PatchLink(pendingSibling_[level], siblingField, self);
    pendingSibling_[level] = self;
    pendingSibling_.resize(level + 1);

    if (levelOffsets_.size() <= level)
        levelOffsets_.resize(level + 1, kNoOffset);
    levelOffsets_[level] = self;

    const int64_t first = extended ? kExtendedCompareHeaderSize : kCompareFirstOffset;
    r.Level = level;
    r.ParentOffset = level > 0 ? levelOffsets_[level - 1] : first;
    r.NextOffset = self + length;
    r.NextSiblingOffset = kNoOffset;
    r.NextDirOffset = kNoOffset;
    const bool directory = r.Kind == kKindDirectory;
    // The directory chain starts at the first record, so the first directory written there
    // links to itself until the next directory takes its place.
    if (directory && lastDirOffset_ == self)
        r.NextDirOffset = self;

    recordBuffer_.resize(length);
    if (extended)
        EncodeExtendedCompareFixed(r, length, self, recordBuffer_.data());
    else
        EncodeCompareFixed(r, length, self, recordBuffer_.data());
    std::memcpy(recordBuffer_.data() + fixedSize, name.data(), name.size());
    recordBuffer_[length - 1] = 0;
    stream_.WriteBuffer(recordBuffer_.data(), length);
    writePos_ += length;

    if (directory && lastDirOffset_ != kNoOffset) {
        if (lastDirOffset_ != self)
            PatchLink(lastDirOffset_, extended ? xcmp::NextDirOffset : cmp::NextDirOffset, self);
        lastDirOffset_ = self;
    }
    return true;
}

// Rewrites one link field of an earlier record; only those bytes change, so the fixed part need
// not be read back.
void TDirCompare::PatchLink(int64_t recordOffset, int fieldOffset, int64_t value)
{
    uint8_t bytes[8];
    int width = 4;
    if (format_ == TLogFormat::Extended) {
        PutI64(bytes, value);
        width = 8;
    } else {
        PutI32(bytes, static_cast<int32_t>(value));
    }
    stream_.Seek(recordOffset + fieldOffset, TSeekOrigin::Begin);
    stream_.WriteBuffer(bytes, width);
    stream_.Seek(writePos_, TSeekOrigin::Begin);
}

} // namespace vm
