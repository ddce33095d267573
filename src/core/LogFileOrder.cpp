#include "core/LogFileOrder.h"

#include <algorithm>

namespace vm {

TLogFileOrder::TLogFileOrder(TDirStorage& log, size_t blockSize, TFollow follow, TTimes times)
    : stream_(log.Stream()), layout_(log.Layout()),
      clock_(times == TTimes::Local ? &log.Clock() : nullptr), firstOffset_(log.FirstOffset()),
      size_(log.StreamSize()),
      blockSize_(std::max<size_t>(blockSize, static_cast<size_t>(layout_.MaxRecordLength))),
      follow_(follow),
      // A log without records (empty, or a header alone) has nothing to walk, and no fault.
      next_(size_ > firstOffset_ ? firstOffset_ : kNoOffset)
{
}

bool TLogFileOrder::Fail(std::string why)
{
    damage_ = {next_, offset_, std::move(why)};
    next_ = kNoOffset;
    return false;
}

void TLogFileOrder::StartAt(int64_t offset)
{
    next_ = offset;
    offset_ = kNoOffset;
}

bool TLogFileOrder::Load(int64_t at, int64_t n)
{
    if (at >= blockStart_ && at + n <= blockStart_ + blockLength_)
        return true;
    if (at + n > size_)
        return false;
    block_.resize(blockSize_);
    blockStart_ = at;
    blockLength_ = stream_.ReadAt(at, block_.data(), static_cast<int64_t>(blockSize_));
    return at + n <= blockStart_ + blockLength_;
}

bool TLogFileOrder::Next(TLogRecord& record, std::string_view& name)
{
    const int64_t at = next_;
    if (at == kNoOffset)
        return false;
    std::string fault = LinkFault(offset_, at, TLinkDirection::Forward, firstOffset_, size_);
    if (!fault.empty())
        return Fail("the link " + fault);
    try {
        if (!Load(at, layout_.FixedSize))
            return Fail("the record is cut off by the end of the file");
        layout_.Decode(block_.data() + (at - blockStart_), record, clock_);
        fault = RecordFault(layout_, at, record, size_);
        if (!fault.empty())
            return Fail(fault);
        if (!Load(at, record.RecordLength))
            return Fail("the record is cut off by the end of the file");
        const auto* text =
            reinterpret_cast<const char*>(block_.data() + (at - blockStart_) + layout_.FixedSize);
        const size_t room = record.RecordLength - layout_.FixedSize;
        name = std::string_view(text, std::find(text, text + room, '\0') - text);
    } catch (const EStreamError& e) {
        return Fail(e.what());
    }
    if (follow_ == TFollow::NextDirOffset && record.Kind != kKindDirectory)
        return Fail("the directory chain reaches a file record");
    offset_ = at;
    next_ = follow_ == TFollow::NextDirOffset ? record.NextDirOffset : record.NextOffset;
    return true;
}

} // namespace vm
