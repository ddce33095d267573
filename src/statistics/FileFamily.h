// File type families: the few kinds of file an administrator asks about first (archives, images,
// video, audio, documents, code, libraries, logs, and everything else), told by the extension
// the file list takes a file's type from. The treemap colours by them and the statistics sum
// space by them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

enum class TFileFamily : uint8_t
{
    Archives,
    Images,
    Video,
    Audio,
    Documents,
    Code,
    Libraries,
    Logs,
    Other
};
constexpr int kFamilyCount = 9;

// Every family, in the order above (tables and the legend list them so).
constexpr std::array<TFileFamily, kFamilyCount> kFamilies = {
    TFileFamily::Archives,  TFileFamily::Images,    TFileFamily::Video,
    TFileFamily::Audio,     TFileFamily::Documents, TFileFamily::Code,
    TFileFamily::Libraries, TFileFamily::Logs,      TFileFamily::Other};

// The family of an extension with its dot (".JPG", ".tar" ...), in any letter case; Other for
// one we do not know and for "".
TFileFamily FileFamilyOfExtension(std::string_view extension);
// The family of a file by its name: the extension the file list's type column takes
// (TypeExtensionOf: "libfoo.so.9" is a library, "app.log.1" a log), so that a family and a type
// never disagree about a file.
TFileFamily FileFamilyOf(std::string_view name);

// "Archives", "Images", "Video", "Audio", "Documents", "Code", "Libraries", "Logs", "Other".
const char* FamilyName(TFileFamily family);
// The extensions of a family, in lower case with their dots, sorted; none for Other.
std::vector<std::string> FamilyExtensions(TFileFamily family);

} // namespace vm
