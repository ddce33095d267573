#include "large/LargeLog.h"

#include "core/DirStorage.h"
#include "core/LogWriter.h"
#include "platform/Stream.h"

#include <sys/statvfs.h>

using namespace vm;

namespace vmtest {

namespace {

// Writes the directories of the large log, counting what it writes.
class TLargeTree
{
public:
    TLargeTree(TLogWriter& writer, TLargeLog& counts) : writer_(writer), counts_(counts)
    {
        file_.Attributes = faNormal;
        file_.Modified = file_.Created = file_.Accessed = TFileTime{1700000000, 0, 1700000000};
        file_.Owner = 1000;
        file_.Group = 100;
        file_.Mode = 0100644;
        dir_ = file_;
        dir_.Attributes = faDirectory;
        dir_.Mode = 040755;
    }
    void Directory(const std::string& name, int level)
    {
        dir_.Name = name;
        writer_.Entry(dir_, false);
        ++counts_.Records;
        ++counts_.Directories;
        for (int f = 0; f < 40; ++f) {
            file_.Name = "file-with-a-longer-name-" + std::to_string(f) + ".dat";
            file_.Size = file_.OnDisk = 1000 + f;
            writer_.Entry(file_, false);
            ++counts_.Records;
            ++counts_.Files;
            counts_.FileBytes += file_.Size;
            counts_.FileSpace += TLogWriter::AllocatedOf(file_, false, kLargeUnit);
        }
        for (int d = 0; level < 5 && d < 4; ++d)
            Directory("directory-" + std::to_string(d), level + 1);
        writer_.EndDirectory();
    }

private:
    TLogWriter& writer_;
    TLargeLog& counts_;
    TFileInfo file_, dir_;
};

} // namespace

TLargeLog WriteLargeLog(const std::string& path)
{
    TLargeLog counts;
    TFileStream stream(path, TFileMode::Create);
    TLogWriter writer(stream, 45000.0, TLogFormat::Extended);
    writer.BeginRoot(kLargeRoot, kLargeUnit);
    ++counts.Records;
    TLargeTree tree(writer, counts);
    for (; stream.Size() < kPastLimit; ++counts.TopDirectories)
        tree.Directory("top-" + std::to_string(counts.TopDirectories), 1);
    writer.Finish();
    TDirStorage log(stream);
    log.SetTagName(1, "Tag 1");
    return counts;
}

bool HasFreeSpace(const std::string& directory, double bytes)
{
    struct statvfs fs = {};
    return statvfs(directory.c_str(), &fs) == 0 &&
           static_cast<double>(fs.f_bavail) * fs.f_frsize >= bytes;
}

} // namespace vmtest
