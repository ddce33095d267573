// The compare window's directory tree, made from a comparison file's directory chain alone (files
// are never read for it): the root ("Log 3 with log 4"), the top-level paths under it and every
// directory below them with the arrow of its change (CompareTexts.h). The nodes are the explore
// window's plain TDirTree.
#pragma once

#include "core/DirCompare.h"
#include "core/LogChecks.h"
#include "display/DirTree.h"
#include "listwindow/ListWork.h"

#include <string>
#include <string_view>
#include <vector>

namespace vm {

// Adds the chain's directories to the tree a few at a time, so that the window stays responsive.
// The chain is followed from the record at 14 by checked forward links only, so a damaged file
// ends the tree instead of looping. A directory is put under the last directory met one level up,
// which must be the parent its record names; a level that jumps, or a parent that does not match,
// ends the tree there (Fault() says where). The file and the tree outlive the builder.
class TCompareTreeBuilder : public TTreeWork
{
public:
    TCompareTreeBuilder(TDirCompare& file, TDirTree& tree);

    // Adds up to `directories` more records of the chain; false once it has ended (then the tree
    // is finished).
    bool Step(int directories) override;
    bool Done() const override { return done_; }
    // "" when the chain ended cleanly, else where and why it stopped early (TLogDamage::Text).
    std::string Fault() const override { return fault_; }
    std::string LastName() const override { return lastName_; }

private:
    void Stop(const TLogDamage& damage);

    TDirCompare& file_;
    TDirTree& tree_;
    int64_t next_;
    int64_t from_ = kNoOffset;   // the record whose link leads to next_
    std::vector<int> levelNode_; // per level: the node of the last directory met there, or -1
    std::string lastName_;
    std::string fault_;
    bool done_ = false;
};

// The nodes a new tree opens with: the root, and when the first top-level path has directories
// below it, every top-level path that has any.
std::vector<int> CompareInitialExpansion(const TDirTree& tree);

} // namespace vm
