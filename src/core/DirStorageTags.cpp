// Tags of records, the tagged chain and the tag-name list of a log.
#include "core/DirStorage.h"

#include <algorithm>

namespace vm {

namespace {
constexpr int kMaxTagNumber = 32;               // one name per bit of the tag set at the most
constexpr int64_t kMaxTagListBytes = 64 * 1024; // what a list of 32 names can take, and more
const char kUndefinedTag[] = "Undefined Tag";
const char kNewTag[] = "New tag";
} // namespace

std::vector<std::string> DefaultTagNames()
{
    std::vector<std::string> names;
    for (int i = 1; i <= kUserTagCount; ++i)
        names.push_back("Tag " + std::to_string(i));
    names.push_back("Rubbish Bin");
    return names;
}

uint32_t TDirStorage::ReadTags(int64_t offset)
{
    TLogRecord r;
    return ReadFixedAt(offset, r) ? r.Tags : 0;
}

void TDirStorage::WriteTags(int64_t offset, uint32_t tags)
{
    uint8_t b[4];
    PutU32(b, tags);
    WriteRecordField(offset, layout_->Tags, b, 4);
}

bool TDirStorage::ChangeTag(int64_t offset, uint32_t newTags)
{
    TLogRecord r;
    if (!ReadFixedAt(offset, r))
        return true;
    uint32_t old = r.Tags;
    WriteTags(offset, newTags);
    if (old != 0 && newTags != 0)
        return true;
    if (old == 0 && newTags != 0)
        LinkTagged(offset);
    else
        UnlinkTagged(offset);
    return true;
}

bool TDirStorage::ToggleTag(int64_t offset, int bit)
{
    return ChangeTag(offset, ReadTags(offset) ^ (1u << (bit & 31)));
}

bool TDirStorage::SetTag(int64_t offset, int bit)
{
    return ChangeTag(offset, ReadTags(offset) | (1u << (bit & 31)));
}

bool TDirStorage::ClearTag(int64_t offset, int bit)
{
    return ChangeTag(offset, ReadTags(offset) & ~(1u << (bit & 31)));
}

// New members go at the end, in front of the head. Every record touched must read, so that a
// damaged chain is left alone instead of being written into the middle of other records.
void TDirStorage::LinkTagged(int64_t x)
{
    TLogRecord head, rx, last;
    const int64_t h = firstOffset_;
    if (!ReadFixedAt(x, rx) || !ReadFixedAt(h, head) || rx.NextTaggedOffset != kNoOffset)
        return;
    const int64_t lastOffset = head.PrevTaggedOffset == kNoOffset ? h : head.PrevTaggedOffset;
    if (!ReadFixedAt(lastOffset, last))
        return;
    const TLogLayout& l = *layout_;
    const int w = l.LinkWidth;
    uint8_t b[16];
    // The two tagged links lie side by side, next first, in both formats.
    l.PutLink(b, h);
    l.PutLink(b + w, lastOffset);
    WriteField(x + l.NextTaggedOffset, b, 2 * w);
    l.PutLink(b, x);
    WriteField(lastOffset + l.NextTaggedOffset, b, w);
    WriteField(h + l.PrevTaggedOffset, b, w);
}

void TDirStorage::UnlinkTagged(int64_t x)
{
    TLogRecord rx, head;
    const int64_t h = firstOffset_;
    if (!ReadFixedAt(x, rx) || rx.NextTaggedOffset == kNoOffset || rx.PrevTaggedOffset == kNoOffset)
        return;
    const int64_t n = rx.NextTaggedOffset, p = rx.PrevTaggedOffset;
    // The head anchors the chain: while other members hang on it, it stays in, tagged or not.
    if (x == h && n != h)
        return;
    const TLogLayout& l = *layout_;
    const int w = l.LinkWidth;
    uint8_t b[16];
    l.PutLink(b, kNoOffset);
    l.PutLink(b + w, kNoOffset);
    WriteField(x + l.NextTaggedOffset, b, 2 * w);
    TLogRecord rn, rp;
    if (n == x || !ReadFixedAt(n, rn) || !ReadFixedAt(p, rp))
        return;
    if (n == p) {
        // Only one member is left. The head alone stays in the chain while it is tagged itself;
        // otherwise the chain is empty.
        const int64_t self = n == h && ReadFixedAt(h, head) && head.Tags != 0 ? h : kNoOffset;
        l.PutLink(b, self);
        WriteField(n + l.NextTaggedOffset, b, w);
        WriteField(n + l.PrevTaggedOffset, b, w);
        return;
    }
    l.PutLink(b, n);
    WriteField(p + l.NextTaggedOffset, b, w);
    l.PutLink(b, p);
    WriteField(n + l.PrevTaggedOffset, b, w);
}

// ---- Tag names --------------------------------------------------------------------------------

void TDirStorage::LoadTagNames()
{
    tagNames_.clear();
    try {
        int64_t size = stream_.Size();
        int64_t at = header_.TagListOffset;
        if (at < firstOffset_ || at > size)
            return;
        int64_t n = std::min(size - at, kMaxTagListBytes);
        std::string text(static_cast<size_t>(n), '\0');
        text.resize(static_cast<size_t>(stream_.ReadAt(at, text.data(), n)));
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find('\n', start);
            std::string line =
                text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            tagNames_.push_back(std::move(line));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    } catch (const EStreamError&) {
        tagNames_.clear();
    }
}

void TDirStorage::WriteTagNames()
{
    std::string text;
    for (const std::string& n : tagNames_)
        text += n + "\r\n";
    int64_t at = header_.TagListOffset;
    WriteField(at, text.data(), static_cast<int64_t>(text.size()));
    stream_.SetSize(at + static_cast<int64_t>(text.size()));
}

void TDirStorage::SetTagName(int n, const std::string& name)
{
    if (!HasTagList() || n < 1 || n > kMaxTagNumber)
        return;
    int64_t at = header_.TagListOffset;
    if (at < firstOffset_ || at > stream_.Size())
        return; // a damaged offset: writing there would land inside the records or past them
    // A line break would shift every later name by a line.
    std::string clean = name;
    std::replace(clean.begin(), clean.end(), '\r', ' ');
    std::replace(clean.begin(), clean.end(), '\n', ' ');
    while (static_cast<int>(tagNames_.size()) < n)
        tagNames_.push_back(kNewTag);
    tagNames_[static_cast<size_t>(n - 1)] = clean;
    WriteTagNames();
}

bool TDirStorage::GetTagName(int n, std::string& name) const
{
    if (!HasTagList() || n < 1 || n > static_cast<int>(tagNames_.size())) {
        name = kUndefinedTag;
        return false;
    }
    name = tagNames_[static_cast<size_t>(n - 1)];
    return true;
}

} // namespace vm
