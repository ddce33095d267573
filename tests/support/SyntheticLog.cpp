#include "support/SyntheticLog.h"

#include "core/DirStorage.h"

using namespace vm;

namespace vmtest {

TFileInfo FileEntry(const std::string& name, int64_t size, int64_t modifiedLocalSeconds)
{
    TFileInfo i;
    i.Name = name;
    i.Size = i.OnDisk = size;
    i.Attributes = AttributesOf(name, 0100644, size, size, false);
    i.Created = i.Accessed = i.Modified = TFileTime{modifiedLocalSeconds, 0};
    return i;
}

TFileInfo DirEntry(const std::string& name)
{
    TFileInfo i = FileEntry(name, 0);
    i.Attributes = AttributesOf(name, 040755, 0, 0, false);
    return i;
}

SyntheticLog::SyntheticLog(TDateTime logDate) : writer_(stream_, logDate)
{
    writer_.SetClock([logDate] { return logDate; });
}

SyntheticLog& SyntheticLog::Root(const std::string& path, int32_t unit)
{
    for (; open_ > 0; --open_)
        writer_.EndDirectory();
    writer_.BeginRoot(path, unit);
    open_ = 1;
    return *this;
}

SyntheticLog& SyntheticLog::File(const std::string& name, int64_t size)
{
    writer_.Entry(FileEntry(name, size), false);
    return *this;
}

SyntheticLog& SyntheticLog::Dir(const std::string& name)
{
    writer_.Entry(DirEntry(name), false);
    ++open_;
    return *this;
}

SyntheticLog& SyntheticLog::Close()
{
    writer_.EndDirectory();
    --open_;
    return *this;
}

std::vector<uint8_t> SyntheticLog::Log(const std::vector<std::string>& tagNames)
{
    writer_.Finish();
    TDirStorage log(stream_);
    for (size_t i = 0; i < tagNames.size(); ++i)
        log.SetTagName(static_cast<int>(i + 1), tagNames[i]);
    return stream_.Bytes();
}

std::vector<uint8_t> SampleLogBytes()
{
    return SyntheticLog()
        .Root("/data/")
        .File("a.txt", 10)
        .Dir("sub")
        .File("b", 5000)
        .File("c", 7)
        .Close()
        .File("z", 1)
        .Log(DefaultTagNames());
}

void Poke16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    PutU16(&b.at(at + 1) - 1, v);
}
void Poke32(std::vector<uint8_t>& b, size_t at, int32_t v)
{
    PutI32(&b.at(at + 3) - 3, v);
}

} // namespace vmtest
