// Copying one file relative to open directories, so that neither end can be redirected by a
// symbolic link: the source is opened without following a link, the target is written under a
// temporary name beside it and renamed over the target only when every byte has arrived, so a
// copy that fails (a full disk, a read error) never destroys a file that was there before.
#pragma once

#include <string>

namespace vm {

// Copies the regular file fromName inside the directory fromDir to toName inside toDir: its
// content through the kernel (copy_file_range; read and write in blocks where the file systems
// cannot), never the whole file in memory, and its permission bits (as cp gives a new copy).
// Refuses with EINVAL anything that is not a regular file (a fifo would block the copy for ever)
// and the file itself as its own target; ELOOP for a link. False with errno in error; the
// temporary file is gone on every way out.
bool CopyRegularFileAt(int fromDir, const std::string& fromName, int toDir,
                       const std::string& toName, int& error);

} // namespace vm
