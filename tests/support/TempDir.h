// A temporary directory that a test owns: created empty, removed with everything in it.
#pragma once

#include <string>

namespace vmtest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a name inside the directory.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Creates a file with the given content (parents must exist).
    void WriteFile(const std::string& name, const std::string& content) const;
    void MakeDir(const std::string& name) const;
    std::string ReadFile(const std::string& name) const;

private:
    std::string path_;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// The path of a program that the build made (build/volumark, build/vmlog).
std::string BuiltProgram(const std::string& name);

} // namespace vmtest
