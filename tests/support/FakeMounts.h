// A mount table that a test writes for itself in the mountinfo format, so that volume look-ups
// see the local, CD and network mounts the test describes. Mount points may lie under the
// test's temporary directory (resolved, so they match resolved paths) or anywhere.
#pragma once

#include "support/TempDir.h"

#include <string>

namespace vmtest {

class FakeMounts
{
public:
    // Starts with the root file system as ext4.
    explicit FakeMounts(const TempDir& dir);

    // The temporary directory with symbolic links resolved.
    const std::string& Root() const { return root_; }
    // options: the file system's own (nfs: "rw,vers=3,local_lock=all").
    FakeMounts& Add(const std::string& mountPoint, const std::string& type,
                    const std::string& source, const std::string& options = "rw");
    // Writes "mountinfo" into the directory and returns its path.
    std::string Write() const;

private:
    const TempDir& dir_;
    std::string root_;
    std::string text_;
    int next_ = 2;
};

} // namespace vmtest
