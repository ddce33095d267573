// The explore window's directory tree made from a log: TDirTreeBuilder reads the log's directory
// chain in one pass, in large blocks and a few thousand directories per step, so that the window
// stays responsive; InitialExpansion says which nodes the new tree opens with.
#pragma once

#include "core/DirStorage.h"
#include "core/LogFileOrder.h"
#include "display/DirTree.h"
#include "listwindow/ListWork.h"

#include <string>
#include <vector>

namespace vm {

// Makes the tree of a log: the top-level paths under the root, each directory under the last
// directory one level above it. The log and its stream outlive the builder; nothing else may
// move the stream between two steps.
class TDirTreeBuilder : public TTreeWork
{
public:
    TDirTreeBuilder(TDirStorage& log, TDirTree& tree);

    bool Step(int directories) override;
    bool Done() const override { return done_; }
    std::string Fault() const override { return fault_; }
    std::string LastName() const override { return lastName_; }

private:
    void Stop(std::string fault);

    TLogFileOrder chain_;
    TDirTree& tree_;
    std::vector<int> levelNode_; // per level: the node of the last directory met there, or -1
    std::string lastName_;
    std::string fault_;
    bool done_ = false;
};

// The nodes a new tree opens with, for a view showing about visibleRows rows: the root when it
// has children; the first top-level path when it has sub-directories; then each further path
// with sub-directories as long as all open rows still fit (when one does not, it stays closed
// and the first path closes too).
std::vector<int> InitialExpansion(const TDirTree& tree, int visibleRows);

} // namespace vm
