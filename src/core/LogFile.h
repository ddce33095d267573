// A log file opened for one operation, with its reader: read only, or for reading and writing
// with other writers shut out (platform/ExclusiveFile.h), so that two windows or programs never
// rewrite the same records or tag chain at once.
#pragma once

#include "core/DirStorage.h"
#include "platform/Stream.h"

#include <memory>
#include <string>

namespace vm {

// The format of the log file at path (by its signature); exact when it cannot be read.
TLogFormat LogFileFormat(const std::string& path);

class TLogFile
{
public:
    // Raises EStreamError naming the file and the reason when it cannot be opened, or (writing)
    // when another program is writing it.
    TLogFile(const std::string& path, bool writing);
    ~TLogFile();
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    TDirStorage& Log() { return *log_; }
    TFileStream& Stream() { return *stream_; }
    // Writes what is buffered; raises EStreamError when the disk refuses it.
    void Flush() { stream_->Flush(); }

private:
    std::unique_ptr<TFileStream> stream_;
    std::unique_ptr<TDirStorage> log_;
};

} // namespace vm
