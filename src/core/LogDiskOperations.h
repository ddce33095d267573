// What a log does to the disk it describes: deleting a tree from the disk while marking it in the
// log, and checking a tree against the disk. TDirStorage::DeleteTree and VerifyTree are the
// fronts; these work through the log's public interface and the file system they are given.
#pragma once

#include "core/DirStorage.h"

namespace vm {

// Deletes the directory tree at offset from the disk, contents before their directory, reached
// from the tree's root without following links (TRootedWalker). A deleted (or, with
// MissingCountsAsDeleted, missing) entry gets the deleted mark; with UpdateLog its space is also
// taken from it and every directory above. An entry already marked is neither deleted nor
// counted again, and where another kind of entry stands than the log lists, nothing is deleted.
// Without DeleteFromDisk nothing is deleted at all: only what is gone is marked. status gets
// "Preparing to delete" per entry, then one text per entry; a stop ends the deletion. Nothing
// is raised for what cannot be deleted: the result names it.
TDeleteResult DeleteTreeOnDisk(TDirStorage& log, TFileSystem& fs, int64_t offset,
                               const TDeleteOptions& options, const TStatusEvent& status);

// Records the entry at offset as deleted from the disk: the deleted mark replaces its tags (the
// tagged chain is left alone); with updateLog its space is taken from it and from every
// directory above. Returns the space it held before.
int64_t MarkDeleted(TDirStorage& log, int64_t offset, bool updateLog);

// The path of the top-level record above the entry at offset, as TRootedWalker takes a root:
// without its trailing "/", and "" for "/".
std::string TopLevelPathOf(TDirStorage& log, int64_t offset);

// Compares the tree at offset with the disk: one message per entry below it ("Updated file - ",
// "Deleted file - ", "Ambiguous file - " and the path, or empty); a stop ends the check.
void VerifyTreeOnDisk(TDirStorage& log, TFileSystem& fs, int64_t offset,
                      const TStatusEvent& handler);

} // namespace vm
