// Whole files that change as one: read completely, replaced through a temporary file and a
// rename (so a reader sees the old or the new content, never a part), and changed under an
// advisory lock so that two processes never lose each other's changes.
#pragma once

#include <string>

namespace vm {

// The whole content; a missing file (or a missing directory on the way) reads as empty. Raises
// std::runtime_error naming the file and the reason when it exists but cannot be read.
std::string ReadFileContent(const std::string& path);

// Replaces the file with content: a temporary file beside it, flushed to disk, then renamed over
// it. A rewritten file keeps its mode. Raises std::runtime_error naming the file and the reason.
// The temporary is named path + ".tmp" + the process id + "-" + a random number.
void ReplaceFileContent(const std::string& path, const std::string& content);

// Removes the temporaries that ReplaceFileContent left beside path when its process was killed,
// taking the file's lock (TFileLock) for it: every writer of such a file holds that lock while
// its temporary exists, so none of those removed can belong to a writer still at work. Returns
// how many it removed. Raises like TFileLock.
int RemoveAbandonedTemporaries(const std::string& path);

// Where writes to path must land: the file a symbolic link points at (a rename over the link
// would replace the link with a plain file), else path itself.
std::string WriteTarget(const std::string& path);

// An exclusive advisory lock (flock) on "<path>.lock", held for the object's life. The file
// itself cannot carry the lock: each replacement gives it a new inode. Raises
// std::runtime_error naming the file and the reason when the lock file cannot be opened.
class TFileLock
{
public:
    explicit TFileLock(const std::string& path);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace vm
