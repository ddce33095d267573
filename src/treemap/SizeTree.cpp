#include "treemap/SizeTree.h"

namespace vm {

namespace {
constexpr TNodeIndex kBlock = 256;
constexpr uint32_t kFar = 0xFFFFFFFFu;
} // namespace

void TSizeTree::PushOffset(int64_t offset)
{
    const TNodeIndex n = Count();
    if (n % kBlock == 0)
        blockOffsets_.push_back(offset);
    const int64_t above = offset - blockOffsets_.back();
    if (above >= 0 && above < kFar) {
        offsets_.push_back(static_cast<uint32_t>(above));
    } else {
        offsets_.push_back(kFar);
        far_[n] = offset;
    }
}

int64_t TSizeTree::Offset(TNodeIndex n) const
{
    const uint32_t above = offsets_[n];
    if (above == kFar)
        return far_.at(n);
    return blockOffsets_[n / kBlock] + above;
}

TNodeIndex TSizeTree::Open(int64_t offset, uint8_t key)
{
    const TNodeIndex n = Count();
    PushOffset(offset);
    weights_.push_back(0);
    ends_.push_back(n + 1);
    keys_.push_back(static_cast<uint8_t>(key | kKeyDirectory));
    open_.push_back(n);
    return n;
}

void TSizeTree::AddOwnWeight(TNodeIndex directory, int64_t weight)
{
    weights_[directory] += weight;
}

TNodeIndex TSizeTree::AddLeaf(int64_t offset, uint8_t key, int64_t weight)
{
    const TNodeIndex n = Count();
    PushOffset(offset);
    weights_.push_back(weight);
    ends_.push_back(n + 1);
    keys_.push_back(key);
    if (!open_.empty())
        weights_[open_.back()] += weight;
    return n;
}

void TSizeTree::Close()
{
    if (open_.empty())
        return;
    const TNodeIndex d = open_.back();
    open_.pop_back();
    ends_[d] = Count();
    if (!open_.empty())
        weights_[open_.back()] += weights_[d];
}

void TSizeTree::CloseAll()
{
    while (!open_.empty())
        Close();
}

TNodeIndex TSizeTree::ParentOf(TNodeIndex n) const
{
    TNodeIndex parent = 0;
    if (n == 0 || n >= Count())
        return 0;
    for (;;) {
        TNodeIndex child = parent + 1;
        while (child < ends_[parent] && n >= ends_[child])
            child = ends_[child];
        if (child == n || child >= ends_[parent])
            return parent;
        parent = child;
    }
}

TNodeIndex TSizeTree::FindOffset(int64_t offset, TNodeIndex from) const
{
    if (from >= Count())
        return Count();
    for (TNodeIndex n = from; n < ends_[from]; ++n)
        if (Offset(n) == offset)
            return n;
    return Count();
}

} // namespace vm
