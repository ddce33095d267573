#include "core/LogFile.h"

#include "platform/ExclusiveFile.h"

namespace vm {

TLogFile::TLogFile(const std::string& path, bool writing)
    : stream_(writing ? OpenForExclusiveWriting(path)
                      : std::make_unique<TFileStream>(path, TFileMode::OpenRead))
{
    log_ = std::make_unique<TDirStorage>(*stream_);
}

TLogFormat LogFileFormat(const std::string& path)
{
    try {
        TFileStream stream(path, TFileMode::OpenRead);
        return DetectLogFormat(stream);
    } catch (const EStreamError&) {
        return TLogFormat::Exact;
    }
}

TLogFile::~TLogFile()
{
    log_.reset(); // before its stream
}

} // namespace vm
