// The long work of a list window, done a number of entries at a time so that the window lets
// events run between two steps (a new selection, Stop and Close act at the next one): building
// its directory tree, and filling its list. Each window's walkers implement these; the list
// windows' base runs them in steps.
#pragma once

#include <cstdint>
#include <string>

namespace vm {

// Byte counts of listed entries: their sizes and the space they take.
struct TSizeTotals
{
    int64_t Size = 0, Allocated = 0;
};

// Reads a directory chain into a window's tree.
class TTreeWork
{
public:
    virtual ~TTreeWork() = default;
    // Adds up to `directories` more directories; false once the chain has ended (then the tree
    // is finished).
    virtual bool Step(int directories) = 0;
    virtual bool Done() const = 0;
    // "" when the chain ended cleanly, else where and why it stopped early.
    virtual std::string Fault() const = 0;
    // The name of the directory added last (the window shows it while building).
    virtual std::string LastName() const = 0;
};

// Walks a file for the rows of a window's list.
class TFillWork
{
public:
    virtual ~TFillWork() = default;
    // Walks up to `entries` more entries; false once the walk has ended.
    virtual bool Step(int entries) = 0;
    // "" when the walk ended cleanly, else where the file is damaged.
    virtual std::string Fault() const = 0;
    // The entry the walk came to last and the directory that holds it (the status bar shows
    // them while the list fills).
    virtual std::string LastName() const = 0;
    virtual int64_t LastParent() const = 0;
    // The sums over the rows listed so far (the filter's running totals).
    virtual TSizeTotals Listed() const = 0;
    // What the status bar shows once the list is filled without the filter: the listed rows'
    // sums, or the listed directory's whole space where the walk knows it.
    virtual TSizeTotals Shown() const { return Listed(); }
};

} // namespace vm
