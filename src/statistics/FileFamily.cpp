#include "statistics/FileFamily.h"

#include "output/ListTexts.h"
#include "platform/AsciiCase.h"

#include <algorithm>

namespace vm {

namespace {

struct TExtensionFamily
{
    std::string_view Extension; // lower case, with its dot
    TFileFamily Family;
};

using F = TFileFamily;

// Sorted by extension, for the binary search below.
constexpr TExtensionFamily kTable[] = {
    {".3gp", F::Video},
    {".7z", F::Archives},
    {".a", F::Libraries},
    {".aac", F::Audio},
    {".adoc", F::Documents},
    {".aif", F::Audio},
    {".aiff", F::Audio},
    {".ape", F::Audio},
    {".apk", F::Archives},
    {".arj", F::Archives},
    {".asf", F::Video},
    {".asm", F::Code},
    {".au", F::Audio},
    {".avi", F::Video},
    {".avif", F::Images},
    {".awk", F::Code},
    {".bash", F::Code},
    {".bc", F::Libraries},
    {".bmp", F::Images},
    {".bz2", F::Archives},
    {".c", F::Code},
    {".cab", F::Archives},
    {".cc", F::Code},
    {".chm", F::Documents},
    {".class", F::Code},
    {".clj", F::Code},
    {".cmake", F::Code},
    {".cpio", F::Archives},
    {".cpp", F::Code},
    {".cr2", F::Images},
    {".cs", F::Code},
    {".css", F::Code},
    {".csv", F::Documents},
    {".cxx", F::Code},
    {".d", F::Code},
    {".dart", F::Code},
    {".deb", F::Archives},
    {".diff", F::Code},
    {".divx", F::Video},
    {".djvu", F::Documents},
    {".dll", F::Libraries},
    {".dmg", F::Archives},
    {".dng", F::Images},
    {".doc", F::Documents},
    {".docx", F::Documents},
    {".dylib", F::Libraries},
    {".el", F::Code},
    {".eps", F::Documents},
    {".epub", F::Documents},
    {".erl", F::Code},
    {".ex", F::Code},
    {".exr", F::Images},
    {".exs", F::Code},
    {".f", F::Code},
    {".f90", F::Code},
    {".flac", F::Audio},
    {".flv", F::Video},
    {".gif", F::Images},
    {".go", F::Code},
    {".gradle", F::Code},
    {".groovy", F::Code},
    {".gz", F::Archives},
    {".h", F::Code},
    {".heic", F::Images},
    {".heif", F::Images},
    {".hh", F::Code},
    {".hpp", F::Code},
    {".hs", F::Code},
    {".htm", F::Documents},
    {".html", F::Documents},
    {".hxx", F::Code},
    {".ico", F::Images},
    {".ipynb", F::Code},
    {".iso", F::Archives},
    {".jar", F::Libraries},
    {".java", F::Code},
    {".jl", F::Code},
    {".journal", F::Logs},
    {".jpe", F::Images},
    {".jpeg", F::Images},
    {".jpg", F::Images},
    {".js", F::Code},
    {".json", F::Code},
    {".jsx", F::Code},
    {".jxl", F::Images},
    {".key", F::Documents},
    {".ko", F::Libraries},
    {".kt", F::Code},
    {".kts", F::Code},
    {".la", F::Libraries},
    {".less", F::Code},
    {".lib", F::Libraries},
    {".lisp", F::Code},
    {".lo", F::Libraries},
    {".log", F::Logs},
    {".lua", F::Code},
    {".lz", F::Archives},
    {".lz4", F::Archives},
    {".lzh", F::Archives},
    {".lzma", F::Archives},
    {".m", F::Code},
    {".m2ts", F::Video},
    {".m4a", F::Audio},
    {".m4v", F::Video},
    {".md", F::Documents},
    {".mid", F::Audio},
    {".midi", F::Audio},
    {".mjs", F::Code},
    {".mk", F::Code},
    {".mka", F::Audio},
    {".mkv", F::Video},
    {".ml", F::Code},
    {".mm", F::Code},
    {".mobi", F::Documents},
    {".mov", F::Video},
    {".mp3", F::Audio},
    {".mp4", F::Video},
    {".mpeg", F::Video},
    {".mpg", F::Video},
    {".mts", F::Video},
    {".nef", F::Images},
    {".numbers", F::Documents},
    {".o", F::Libraries},
    {".obj", F::Libraries},
    {".odg", F::Documents},
    {".odp", F::Documents},
    {".ods", F::Documents},
    {".odt", F::Documents},
    {".oga", F::Audio},
    {".ogg", F::Audio},
    {".ogv", F::Video},
    {".opus", F::Audio},
    {".org", F::Documents},
    {".pages", F::Documents},
    {".pas", F::Code},
    {".patch", F::Code},
    {".pbm", F::Images},
    {".pdf", F::Documents},
    {".pgm", F::Images},
    {".php", F::Code},
    {".pl", F::Code},
    {".pm", F::Code},
    {".png", F::Images},
    {".pnm", F::Images},
    {".ppm", F::Images},
    {".ppt", F::Documents},
    {".pptx", F::Documents},
    {".proto", F::Code},
    {".ps", F::Documents},
    {".ps1", F::Code},
    {".psd", F::Images},
    {".py", F::Code},
    {".pyc", F::Code},
    {".pyd", F::Libraries},
    {".pyi", F::Code},
    {".r", F::Code},
    {".rar", F::Archives},
    {".rb", F::Code},
    {".rlib", F::Libraries},
    {".rm", F::Video},
    {".rmvb", F::Video},
    {".rpm", F::Archives},
    {".rs", F::Code},
    {".rst", F::Documents},
    {".rtf", F::Documents},
    {".s", F::Code},
    {".sass", F::Code},
    {".scala", F::Code},
    {".scss", F::Code},
    {".sh", F::Code},
    {".snap", F::Archives},
    {".snd", F::Audio},
    {".so", F::Libraries},
    {".sql", F::Code},
    {".squashfs", F::Archives},
    {".svg", F::Images},
    {".svgz", F::Images},
    {".swift", F::Code},
    {".tar", F::Archives},
    {".tbz2", F::Archives},
    {".tcl", F::Code},
    {".tex", F::Documents},
    {".tga", F::Images},
    {".tgz", F::Archives},
    {".tif", F::Images},
    {".tiff", F::Images},
    {".toml", F::Code},
    {".trace", F::Logs},
    {".ts", F::Code},
    {".tsv", F::Documents},
    {".tsx", F::Code},
    {".txt", F::Documents},
    {".txz", F::Archives},
    {".vim", F::Code},
    {".vob", F::Video},
    {".vue", F::Code},
    {".war", F::Archives},
    {".wav", F::Audio},
    {".webm", F::Video},
    {".webp", F::Images},
    {".wma", F::Audio},
    {".wmv", F::Video},
    {".xbm", F::Images},
    {".xcf", F::Images},
    {".xls", F::Documents},
    {".xlsx", F::Documents},
    {".xml", F::Code},
    {".xpm", F::Images},
    {".xsl", F::Code},
    {".xz", F::Archives},
    {".yaml", F::Code},
    {".yml", F::Code},
    {".z", F::Archives},
    {".zig", F::Code},
    {".zip", F::Archives},
    {".zsh", F::Code},
    {".zst", F::Archives},
};

constexpr bool TableIsSorted()
{
    for (size_t i = 1; i < std::size(kTable); ++i)
        if (!(kTable[i - 1].Extension < kTable[i].Extension))
            return false;
    return true;
}
static_assert(TableIsSorted(), "the extension table must stay sorted for its search");

// Longer than every extension of the table: such an extension is Other without a look-up.
constexpr size_t kLongestExtension = 16;

} // namespace

namespace {

// Extensions of up to eight bytes as one number (the bytes in lower case, zero-padded), so that
// the look-up every file of a walk makes compares numbers rather than texts.
uint64_t PackedExtension(std::string_view lower)
{
    uint64_t key = 0;
    for (size_t i = 0; i < lower.size(); ++i)
        key |= uint64_t(static_cast<unsigned char>(lower[i])) << (8 * i);
    return key;
}

struct TPackedFamily
{
    uint64_t Key;
    TFileFamily Family;
    bool operator<(const TPackedFamily& o) const { return Key < o.Key; }
};

const std::vector<TPackedFamily>& PackedTable()
{
    static const std::vector<TPackedFamily> table = [] {
        std::vector<TPackedFamily> t;
        for (const TExtensionFamily& e : kTable)
            if (e.Extension.size() <= 8)
                t.push_back({PackedExtension(e.Extension), e.Family});
        std::sort(t.begin(), t.end());
        return t;
    }();
    return table;
}

} // namespace

TFileFamily FileFamilyOfExtension(std::string_view extension)
{
    if (extension.size() < 2 || extension.size() > kLongestExtension)
        return TFileFamily::Other;
    char lower[kLongestExtension];
    for (size_t i = 0; i < extension.size(); ++i)
        lower[i] = AsciiLower(extension[i]);
    const std::string_view key(lower, extension.size());
    if (key.size() <= 8) {
        const std::vector<TPackedFamily>& table = PackedTable();
        const TPackedFamily probe{PackedExtension(key), TFileFamily::Other};
        const auto found = std::lower_bound(table.begin(), table.end(), probe);
        return found != table.end() && found->Key == probe.Key ? found->Family : TFileFamily::Other;
    }
    const auto* end = std::end(kTable);
    const auto* found = std::lower_bound(
        std::begin(kTable), end, key,
        [](const TExtensionFamily& e, std::string_view k) { return e.Extension < k; });
    return found != end && found->Extension == key ? found->Family : TFileFamily::Other;
}

TFileFamily FileFamilyOf(std::string_view name)
{
    return FileFamilyOfExtension(TypeExtensionOf(name));
}

const char* FamilyName(TFileFamily family)
{
    switch (family) {
    case TFileFamily::Archives:
        return "Archives";
    case TFileFamily::Images:
        return "Images";
    case TFileFamily::Video:
        return "Video";
    case TFileFamily::Audio:
        return "Audio";
    case TFileFamily::Documents:
        return "Documents";
    case TFileFamily::Code:
        return "Code";
    case TFileFamily::Libraries:
        return "Libraries";
    case TFileFamily::Logs:
        return "Logs";
    case TFileFamily::Other:
        break;
    }
    return "Other";
}

std::vector<std::string> FamilyExtensions(TFileFamily family)
{
    std::vector<std::string> extensions;
    if (family == TFileFamily::Other)
        return extensions;
    for (const TExtensionFamily& e : kTable)
        if (e.Family == family)
            extensions.emplace_back(e.Extension);
    return extensions;
}

} // namespace vm
