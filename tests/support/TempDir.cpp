#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace vmtest {

TempDir::TempDir()
{
    std::string tmpl = (fs::temp_directory_path() / "volumark-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Give back permissions that tests took away, so that everything can be removed.
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            chmod(it->path().c_str(), 0700);
    }
    chmod(path_.c_str(), 0700);
    for (int pass = 0; pass < 2; ++pass) {
        for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            if (it->is_directory(ec) && !it->is_symlink(ec))
                chmod(it->path().c_str(), 0700);
        ec.clear();
    }
    fs::remove_all(path_, ec);
}

void TempDir::WriteFile(const std::string& name, const std::string& content) const
{
    std::ofstream f(*this / name, std::ios::binary);
    f << content;
}

void TempDir::MakeDir(const std::string& name) const { fs::create_directories(*this / name); }

std::string TempDir::ReadFile(const std::string& name) const { return ReadWholeFile(*this / name); }

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string BuiltProgram(const std::string& name)
{
    const char* bin = std::getenv("VOLUMARK_TEST_BIN");
    return std::string(bin ? bin : VOLUMARK_BINARY_DIR) + "/" + name;
}

} // namespace vmtest
