// The records a list window read last, by their offset in its file: a view asks for one row many
// times while it paints (every column, the icon, the colour), and each read decodes a record.
// Direct-mapped: a record takes the slot its offset hashes to, dropping the one there before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vm {

template <class TValue> class TRecordCache
{
public:
    static constexpr size_t kSlots = 512;

    TRecordCache() : slots_(kSlots) {}

    // The value kept for offset, when the slot holds it; else the slot, now offset's, whose value
    // the caller fills (hit is false).
    TValue& Slot(int64_t offset, bool& hit)
    {
        // Record offsets grow by a few dozen bytes: a multiplicative hash spreads them.
        TSlot& slot = slots_[size_t((uint64_t(offset) * 0x9E3779B97F4A7C15ull) >> 40) % kSlots];
        hit = slot.Offset == offset && offset >= 0;
        slot.Offset = offset;
        return slot.Value;
    }
    // Forgets every record (the file changed under the reader, or another file is read).
    void Forget()
    {
        for (TSlot& slot : slots_)
            slot.Offset = -1;
    }

private:
    struct TSlot
    {
        int64_t Offset = -1;
        TValue Value;
    };
    std::vector<TSlot> slots_;
};

} // namespace vm
