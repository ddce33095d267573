// Logs written through the log writer from entries made up in the test, without a disk, and
// byte-poking helpers for damaging them (the fixture style of LevelDB's log_test).
#pragma once

#include "core/LogWriter.h"
#include "platform/Stream.h"

#include <string>
#include <vector>

namespace vmtest {

vm::TFileInfo FileEntry(const std::string& name, int64_t size,
                        int64_t modifiedLocalSeconds = 946684800);
vm::TFileInfo DirEntry(const std::string& name);

// Feeds a writer: Root (which ends whatever is open), then entries; Dir() opens a directory,
// Close() ends it. Log() ends every open directory, finishes the log and returns its bytes.
class SyntheticLog
{
public:
    explicit SyntheticLog(vm::TDateTime logDate = 45000.5);
    SyntheticLog& Root(const std::string& path, int32_t unit = 4096);
    SyntheticLog& File(const std::string& name, int64_t size);
    SyntheticLog& Dir(const std::string& name); // opens it
    SyntheticLog& Close();
    std::vector<uint8_t> Log(const std::vector<std::string>& tagNames = {});

private:
    vm::TMemoryStream stream_;
    vm::TLogWriter writer_;
    int open_ = 0;
};

// The sample most log tests share: /data/ [a.txt 10, sub/ [b 5000, c 7], z 1] with unit 4096
// and the default tag names; its records lie at these offsets, the tag list behind them.
namespace sample {
constexpr int32_t kRoot = 40, kA = 112, kSub = 183, kB = 252, kC = 319, kZ = 386, kEnd = 453;
}
std::vector<uint8_t> SampleLogBytes();

// Little-endian pokes into a byte vector.
void Poke16(std::vector<uint8_t>& b, size_t at, uint16_t v);
void Poke32(std::vector<uint8_t>& b, size_t at, int32_t v);

} // namespace vmtest
