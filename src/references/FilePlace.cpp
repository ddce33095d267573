#include "references/FilePlace.h"

#include "references/CommandLine.h"
#include "references/RefNames.h"
#include "references/RefStore.h"

#include <exception>
#include <filesystem>

namespace fs = std::filesystem;

namespace vm {

namespace {

// The reference that owns the file: its directory is named as the store names it, and the data
// directory above it has a Volumark.ini with a named section for it.
void FindOwner(TFilePlace& place)
{
    const fs::path file(place.Path);
    const std::string name = file.filename();
    const bool storeName =
        place.Kind == TFileKind::Log
            ? LogNumberOfName(name) && LogFileBaseName(place.Log) == name
            : CompNumbersOfName(name) && CompFileBaseName(place.OldLog, place.NewLog) == name;
    const std::string refDir = file.parent_path().filename();
    const std::optional<int> n = RefNumberOfName(refDir);
    if (!storeName || !n || RefSectionName(*n) != refDir)
        return;
    const std::string data = file.parent_path().parent_path();
    std::error_code ec;
    if (!fs::is_regular_file(data + "/Volumark.ini", ec))
        return;
    try {
        const TRefStore store(data);
        if (store.RefIni().ReadString(RefSectionName(*n), "Name", "").empty())
            return;
    } catch (const std::exception&) {
        return; // a Volumark.ini that cannot be read owns nothing
    }
    place.DataDirectory = data;
    place.Reference = *n;
}

} // namespace

TFilePlace PlaceOfFile(const std::string& path)
{
    TFilePlace place;
    place.Path = path;
    std::error_code ec;
    const fs::path real = fs::canonical(path, ec);
    if (ec) {
        place.Problem = "Can't open " + path + ": " + ec.message();
        return place;
    }
    place.Path = real.string();
    if (!fs::is_regular_file(real, ec)) {
        place.Problem = "Can't open " + path + ": it is not a file";
        return place;
    }
    place.Kind = KindOfFile(place.Path);
    const std::string name = real.filename();
    if (place.Kind == TFileKind::Log) {
        place.Log = LogNumberOfName(name).value_or(0);
    } else if (place.Kind == TFileKind::Comparison) {
        if (std::optional<TCompNumbers> numbers = CompNumbersOfName(name)) {
            place.OldLog = numbers->First;
            place.NewLog = numbers->Second;
        }
    } else {
        place.Problem =
            "Can't open " + path + ": it is neither a log (.kdf) nor a comparison (.kcf)";
        return place;
    }
    FindOwner(place);
    return place;
}

std::string DataDirectoryOfFiles(const std::vector<std::string>& arguments)
{
    for (const std::string& a : arguments)
        if (IsFileArgument(a))
            if (TFilePlace place = PlaceOfFile(a); place.InReference())
                return place.DataDirectory;
    return {};
}

} // namespace vm
