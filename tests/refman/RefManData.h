// A data directory for the reference manager's tests: references as the store writes them, logs
// with the dates and sizes a test chooses, and comparisons made by the comparison run.
#pragma once

#include "core/DirStorage.h"
#include "platform/Stream.h"
#include "references/CompareRun.h"
#include "references/RefStore.h"
#include "support/RefFixture.h"
#include "support/SyntheticLog.h"

#include <string>

namespace vmtest {

class RefManData : public RefFixture
{
public:
    RefManData() : Store(DataDir()) {}

    // Log m of reference n, dated date, whose one root holds one file of bytes bytes with the
    // unit 1: its size total and its space taken are both bytes.
    std::string AddLog(int n, int m, vm::TDateTime date, int64_t bytes)
    {
        const std::vector<uint8_t> log =
            SyntheticLog(date).Root("/data/", 1).File("f", bytes).Log(vm::DefaultTagNames());
        const std::string path = Store.LogFileName(n, m);
        vm::TMemoryStream(log).SaveToFile(path);
        return path;
    }

    // The comparison of logs a and b of reference n.
    void AddComparison(int n, int a, int b) { vm::RunComparison(Store, n, a, b); }

    vm::TRefStore Store;
};

} // namespace vmtest
