// The best n items of a stream of them (the directories that grew most, the largest files), kept
// as a heap whose top is the one to drop first: memory stays at n items however many pass.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace vm {

// better(a, b): a ranks above b. Items that rank alike keep no particular order among
// themselves; give better a tie-breaker where the order must not depend on the heap.
template <class T, class Better> class TTopN
{
public:
    explicit TTopN(size_t count, Better better = Better()) : count_(count), better_(better) {}

    // Whether an item would be kept: ask with a cheap probe before making the real item.
    bool Wants(const T& item) const
    {
        return count_ > 0 && (items_.size() < count_ || better_(item, items_.front()));
    }
    void Add(T item)
    {
        items_.push_back(std::move(item));
        std::push_heap(items_.begin(), items_.end(), better_);
        if (items_.size() > count_) {
            std::pop_heap(items_.begin(), items_.end(), better_);
            items_.pop_back();
        }
    }
    // Adds the item when it is wanted.
    void Offer(T item)
    {
        if (Wants(item))
            Add(std::move(item));
    }
    size_t Size() const { return items_.size(); }
    // The items kept, best first; the list is empty afterwards.
    std::vector<T> TakeSorted()
    {
        std::sort_heap(items_.begin(), items_.end(), better_);
        return std::move(items_);
    }

private:
    size_t count_;
    Better better_;
    std::vector<T> items_; // a heap under better_: its front ranks lowest
};

} // namespace vm
