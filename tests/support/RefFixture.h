// A data directory with references for tests of the logging run and the command line: real
// trees to log, Volumark.ini written as the reference store writes it.
#pragma once

#include "support/TempDir.h"

#include <string>
#include <vector>

namespace vmtest {

struct RefPathSpec
{
    std::string Path; // an existing directory
    std::string Unit; // "4096", "0" ...
};

class RefFixture
{
public:
    RefFixture();
    // A data directory holding reference n named name with the given paths (directory made).
    void AddRef(int n, const std::string& name, const std::vector<RefPathSpec>& paths,
                const std::string& nextLogNo = "");
    // A small tree under the fixture's tree directory: a/, a/one.txt (100 bytes), two.bin
    // (5000 bytes). Returns its path.
    std::string MakeTree(const std::string& name);

    const std::string& DataDir() const { return data_; }
    std::string RefDir(int n) const;
    std::string Ini() const { return data_ + "/Volumark.ini"; }
    std::vector<std::string> RefFiles(int n) const; // sorted names in the reference directory

    TempDir Root;

private:
    std::string data_;
};

} // namespace vmtest
