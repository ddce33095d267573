#include "support/RefFixture.h"

#include "platform/IniFile.h"
#include "references/RefNames.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace vmtest {

RefFixture::RefFixture()
{
    Root.MakeDir("data");
    Root.MakeDir("trees");
    data_ = Root / "data";
}

std::string RefFixture::RefDir(int n) const
{
    return data_ + "/" + vm::RefSectionName(n);
}

void RefFixture::AddRef(int n, const std::string& name, const std::vector<RefPathSpec>& paths,
                        const std::string& nextLogNo)
{
    fs::create_directories(RefDir(n));
    vm::TIniFile ini(Ini());
    std::string section = vm::RefSectionName(n);
    ini.WriteString(section, "Name", name);
    if (!nextLogNo.empty())
        ini.WriteString(section, "NextLogNo", nextLogNo);
    for (size_t i = 0; i < paths.size(); ++i) {
        std::string index = std::to_string(i);
        ini.WriteString(section, "Path" + index, paths[i].Path);
        ini.WriteString(section, "AllocUnit" + index, paths[i].Unit);
        ini.WriteString(section, "System" + index, "ext4");
    }
}

std::string RefFixture::MakeTree(const std::string& name)
{
    std::string top = "trees/" + name;
    Root.MakeDir(top + "/a");
    Root.WriteFile(top + "/a/one.txt", std::string(100, 'x'));
    Root.WriteFile(top + "/two.bin", std::string(5000, 'y'));
    return Root / top;
}

std::vector<std::string> RefFixture::RefFiles(int n) const
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(RefDir(n), ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace vmtest
