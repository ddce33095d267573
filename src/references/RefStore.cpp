#include "references/RefStore.h"
#include "platform/AsciiCase.h"

#include "core/DirStorage.h"
#include "core/DriveInfo.h"
#include "core/LogFile.h"
#include "core/LogWalk.h"
#include "platform/AtomicFile.h"
#include "platform/IniFileText.h"
#include "platform/PendingFile.h"
#include "platform/SharedLocks.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace vm {

namespace {

std::string Upper(const std::string& s)
{
    return AsciiUpperCase(s);
}

std::string WithSlash(const std::string& path)
{
    return (!path.empty() && path.back() == '/') ? path : path + "/";
}

// The value of a key in an already read section (names ignore case), or the default.
std::string ValueOf(const TIniFile::TSectionValues& values, const std::string& key,
                    const std::string& defaultValue)
{
    for (const auto& [k, v] : values)
        if (SameIniName(k, key))
            return v;
    return defaultValue;
}

// A key of a path triple: Path, AllocUnit or System followed by digits, in any letter case.
bool IsPathKey(const std::string& key)
{
    for (const char* stem : {"Path", "AllocUnit", "System"}) {
        const size_t n = std::strlen(stem);
        if (key.size() > n && StartsWithIgnoringCase(key, stem) &&
            key.find_first_not_of("0123456789", n) == std::string::npos)
            return true;
    }
    return false;
}

// The stored paths of a log's roots. The walk checks every sibling link before it follows it,
// so a damaged log ends the list instead of looping; a log that cannot be read has no roots.
std::vector<std::string> RootPathsOfLog(const std::string& logPath)
{
    std::vector<std::string> roots;
    try {
        TFileStream stream(logPath, TFileMode::OpenRead);
        TDirStorage log(stream);
        TLogWalk walk = TLogWalk::Roots(log);
        TDirNode node;
        std::string path;
        while (walk.Next(node, path))
            roots.push_back(path);
    } catch (const std::exception&) {
        // What was read before the damage is kept.
    }
    return roots;
}

} // namespace

TRefStore::TRefStore(std::string dataDir, std::string mountSource)
    : dataDir_(std::move(dataDir)), mountSource_(std::move(mountSource)),
      ownFiles_(std::make_shared<TPosixFileSystem>()), files_(ownFiles_.get())
{
    while (dataDir_.size() > 1 && dataDir_.back() == '/')
        dataDir_.pop_back();
}

std::string TRefStore::RefName(int n) const
{
    if (!IsDirectory(RefDir(n)))
        return kRefDirectoryMissing;
    return RefIni().ReadString(RefSection(n), "Name", "ERROR");
}

int TRefStore::FindRefByName(const std::string& name) const
{
    int found = -1;
    std::string wanted = Upper(name);
    for (const auto& [section, values] : RefIni().ReadAll()) {
        std::optional<int> n = RefNumberOfName(section);
        if (n && Upper(ValueOf(values, "Name", "ERROR")) == wanted)
            found = *n;
    }
    return found;
}

std::vector<TFileInfo> TRefStore::ListShown(const std::string& path) const
{
    std::vector<TFileInfo> entries;
    int error = 0;
    files_->ListPath(path, entries, error);
    std::erase_if(entries, [](const TFileInfo& e) { return e.Name[0] == '.'; });
    // A reference directory may be a symbolic link to another disk: it counts as what it leads to.
    for (TFileInfo& e : entries)
        if ((e.Attributes & faReparsePoint) && IsDirectory(path + "/" + e.Name))
            e.Attributes |= faDirectory;
    return entries;
}

std::vector<int> TRefStore::RefDirectoryNumbers() const
{
    std::vector<int> numbers;
    for (const TFileInfo& e : ListShown(dataDir_))
        if (std::optional<int> n = RefNumberOfName(e.Name); n && e.IsDirectory())
            numbers.push_back(*n);
    return numbers;
}

int TRefStore::NewRefNumber() const
{
    // Directories count too: a directory left without its section would make CreateRef fail.
    int highest = -1;
    for (const std::string& section : RefIni().ReadSections())
        if (std::optional<int> n = RefNumberOfName(section))
            highest = std::max(highest, *n);
    for (int n : RefDirectoryNumbers())
        highest = std::max(highest, n);
    return highest + 1;
}

void TRefStore::CheckSharedLocks() const
{
    RequireSharedLocks(RefIniPath(), mountSource_);
}

bool TRefStore::CreateRef(int n, const std::string& name)
{
    // A name the INI file cannot hold, or an INI file that could not be changed safely, is
    // refused before the directory exists.
    TIniFileText::CheckWritable(RefSection(n), "Name", name);
    CheckSharedLocks();
    int error = 0;
    if (!files_->MakeDirectory(RefDir(n), error))
        return false;
    TIniFile ini = RefIni();
    ini.WriteString(RefSection(n), "Name", name);
    ini.WriteString(RefSection(n), "NextLogNo", "1");
    return true;
}

int TRefStore::TakeNextLogNumber(int n, std::string* unusable) const
{
    const int newest = LastLogNumber(n);
    const long long fallback = newest < 0 ? 1 : static_cast<long long>(newest) + 1;
    return int(
        RefIni().TakeNumber(RefSection(n), "NextLogNo", 1, {1, kMaxLogNumber, fallback}, unusable));
}

TRefPath ParsedRefPath(std::string path, std::string unitText, std::string fileSystem)
{
    TRefPath p{std::move(path), std::move(unitText), 0, false, std::move(fileSystem)};
    if (std::optional<int32_t> u = ParseAllocUnit(p.UnitText)) {
        p.Unit = *u;
        p.UnitValid = true;
    }
    return p;
}

TRefPaths TRefStore::ReadRefPaths(int n) const
{
    TRefPaths result;
    TIniFile::TSectionValues values = RefIni().ReadSectionValues(RefSection(n));
    if (!IsDirectory(RefDir(n)))
        return result;
    auto add = [&result](std::string path, std::string unit, std::string system) {
        result.push_back(ParsedRefPath(std::move(path), std::move(unit), std::move(system)));
    };
    if (values.size() < 4) {
        add("", "0", "");
        return result;
    }
    size_t k = (values.size() - 1) / 3;
    for (size_t i = 0; i < k; ++i) {
        std::string index = std::to_string(i);
        add(ValueOf(values, "Path" + index, "ERROR"), ValueOf(values, "AllocUnit" + index, "ERROR"),
            ValueOf(values, "System" + index, "ERROR"));
    }
    return result;
}

bool TRefStore::AllocUnitsSet(int n) const
{
    return vm::AllocUnitsSet(ReadRefPaths(n));
}

namespace {
constexpr char kLogFormatKey[] = "LogFormat";
}

TLogFormat TRefStore::RefLogFormat(int n) const
{
    return LogFormatOfName(RefIni().ReadString(RefSection(n), kLogFormatKey, ""))
        .value_or(TLogFormat::Exact);
}

void TRefStore::SetRefLogFormat(int n, TLogFormat format)
{
    // One key beside the Name, NextLogNo and the path triples: the count of keys still gives the
    // number of triples.
    TIniFile ini = RefIni();
    if (format == TLogFormat::Exact)
        ini.DeleteKey(RefSection(n), kLogFormatKey);
    else
        ini.WriteString(RefSection(n), kLogFormatKey, LogFormatName(format));
}

bool AllocUnitsSet(const TRefPaths& paths)
{
    for (const TRefPath& p : paths)
        if (!p.UnitValid)
            return false;
    return true;
}

std::vector<TScanRoot> ScanRootsOf(const TRefPaths& paths)
{
    std::vector<TScanRoot> roots;
    for (const TRefPath& p : paths)
        roots.push_back({p.Path, p.Unit});
    return roots;
}

std::string TRefStore::PathRefusal(const std::string& path, TLogFormat format) const
{
    if (path.empty() || path[0] != '/')
        return "a path must begin with \"/\"";
    if (path.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return "it holds a line break";
    const TLogLayout& layout = LayoutOf(format);
    if (WithSlash(path).size() > size_t(layout.MaxNameLength))
        return "it is longer than " + std::to_string(layout.MaxNameLength) +
               " bytes, the longest path a log can hold" +
               (format == TLogFormat::Exact
                    ? std::string(" in the exact format (the extended format holds ") +
                          std::to_string(LayoutOf(TLogFormat::Extended).MaxNameLength) + ")"
                    : std::string());
    TFileInfo info;
    int error = 0;
    if (!files_->StatPath(path, info, error))
        return ErrorText(error);
    if (!info.IsDirectory())
        return ErrorText(ENOTDIR);
    TDirHandle dir = files_->OpenDirectory(path, error);
    if (dir == kNoDir)
        return ErrorText(error);
    files_->CloseDirectory(dir);
    return "";
}

void TRefStore::CheckAddablePath(const std::string& path, TLogFormat format) const
{
    if (std::string why = PathRefusal(path, format); !why.empty())
        throw ERefPathError("The path \"" + path + "\" cannot be added: " + why);
}

void TRefStore::AddRefPath(int n, const std::string& path, int32_t unit, int index,
                           const std::string& system)
{
    if (index < 0)
        throw ERefPathError("The path \"" + path + "\" cannot be added: no path number");
    TRefPath stored = ResolveRefPath(path, unit, system, RefLogFormat(n));
    TIniFile ini = RefIni();
    std::string i = std::to_string(index);
    ini.WriteString(RefSection(n), "Path" + i, stored.Path);
    ini.WriteString(RefSection(n), "AllocUnit" + i, stored.UnitText);
    ini.WriteString(RefSection(n), "System" + i, stored.FileSystem);
}

TRefPath TRefStore::ResolveRefPath(const std::string& path, int32_t unit, const std::string& system,
                                   TLogFormat format) const
{
    CheckAddablePath(path, format);
    TShareList shares = Shares();
    std::string fileSystem = system.empty() ? shares.GetShareFileSystem(path) : system;
    std::string stored = WithSlash(path);
    // Paths stay the local paths that can be scanned; a network mount only changes where the
    // unit comes from.
    bool network = !TMountTable::Load(mountSource_).RemoteName(stored).empty();
    if (!network) {
        TVolumeFacts facts = GetVolumeFacts(stored);
        if (unit == 0)
            unit = facts.Unit;
        fileSystem = system.empty() ? facts.FileSystem : system;
    } else if (unit == 0) {
        unit = shares.GetShareClusterSize(stored);
        if (fileSystem.empty())
            fileSystem = shares.GetShareFileSystem(stored);
    }
    if (fileSystem.empty())
        fileSystem = kUnknownFileSystem;
    return ParsedRefPath(stored, std::to_string(unit), fileSystem);
}

void TRefStore::ReplaceRefPaths(int n, const TRefPaths& paths)
{
    TIniFile::TSectionValues values;
    for (size_t i = 0; i < paths.size(); ++i) {
        std::string index = std::to_string(i);
        values.emplace_back("Path" + index, paths[i].Path);
        values.emplace_back("AllocUnit" + index, paths[i].UnitText);
        values.emplace_back("System" + index, paths[i].FileSystem);
    }
    RefIni().ReplaceKeys(RefSection(n), IsPathKey, values);
}

std::string TRefStore::FileSystemName(const std::string& path) const
{
    return TMountTable::Load(mountSource_).FileSystemName(WithSlash(path));
}

TVolumeFacts TRefStore::GetVolumeFacts(const std::string& path) const
{
    TShareList shares = Shares();
    TVolumeFacts facts;
    facts.FileSystem = FileSystemName(path);
    if (facts.FileSystem.empty()) {
        facts.Unit = shares.GetShareClusterSize(path);
        facts.FileSystem = shares.GetShareFileSystem(path);
        facts.IsNetwork = true;
        if (!facts.FileSystem.empty() && facts.FileSystem != kUnknownFileSystem && facts.Unit > 0)
            return facts;
    }
    facts.FileSystem = FileSystemName(path);
    TDriveInfo drive(path, TMountTable::Load(mountSource_));
    if (facts.FileSystem.empty())
        facts.FileSystem = drive.FileSystemName();
    facts.Unit = facts.FileSystem.empty() ? 0 : drive.ClusterSize();
    facts.IsNetwork = drive.IsNetwork();
    if (facts.FileSystem.empty())
        facts.FileSystem = shares.GetShareFileSystem(path);
    if (facts.Unit == 0)
        facts.Unit = shares.GetShareClusterSize(path);
    return facts;
}

int TRefStore::LastLogNumber(int n) const
{
    int highest = -1;
    for (const TFileInfo& e : ListShown(RefDir(n)))
        if (std::optional<int> m = LogNumberOfName(e.Name); m && !e.IsDirectory())
            highest = std::max(highest, *m);
    return highest;
}

void TRefStore::ReconcileRefs()
{
    // Another computer's run could not be told from an abandoned one by its lock.
    CheckSharedLocks();
    // A write of an INI file that was killed leaves its temporary behind; nobody else removes it.
    for (const std::string& ini : {RefIniPath(), SharesIniPath(), FilterIniPath()})
        RemoveAbandonedTemporaries(ini);
    TIniFile ini = RefIni();
    // Reference -1 stands for "no reference": a section of that name is a leftover.
    int error = 0;
    if (ini.SectionExists("Ref00-1")) {
        ini.EraseSection("Ref00-1");
        files_->RemoveDirectory(dataDir_ + "/Ref00-1", error);
    }
    std::vector<int> directories;
    for (const TFileInfo& e : ListShown(dataDir_)) {
        std::optional<int> n = RefNumberOfName(e.Name);
        if (!n || !e.IsDirectory())
            continue;
        // A log or comparison that a killed run left half written is no log.
        TPendingFile::RemoveAbandoned(*files_, dataDir_ + "/" + e.Name);
        if (IsDirectory(RefDir(*n)))
            directories.push_back(*n);
    }
    RepairSections(directories);
    // A section without its directory gets an empty one, so the reference shows again. Only
    // reference sections name directories: any other section text could point anywhere.
    for (const std::string& section : ini.ReadSections()) {
        std::optional<int> n = RefNumberOfName(section);
        if (n && !IsDirectory(RefDir(*n)))
            files_->MakeDirectory(RefDir(*n), error);
    }
}

// The repairs are decided on the file as read under its lock, so that what another process wrote
// meanwhile counts. A program that writes the file in place (an editor: truncate, then write) does
// not take the lock: a repair made from its half-written file would write that guess over the
// whole file for good. So the file is read once more after a moment, and the repair is written
// only when nothing changed meanwhile; otherwise it waits for the next start.
void TRefStore::RepairSections(const std::vector<int>& directories)
{
    constexpr auto kSettle = std::chrono::milliseconds(200);
    const std::string target = WriteTarget(RefIniPath());
    TFileLock lock(target);
    const std::string before = ReadFileContent(target);
    TIniFileText text(before);
    bool changed = false;
    for (int n : directories)
        changed = RepairSection(text, n) || changed;
    if (!changed)
        return;
    std::this_thread::sleep_for(kSettle);
    if (ReadFileContent(target) == before)
        ReplaceFileContent(target, text.Text());
}

// A reference directory whose section has no usable name (none, blank, "ERROR", or no section at
// all) gets its section's name as its name; what the section lacks of NextLogNo and paths comes
// from its logs (one above the newest; the newest one's top-level paths with unit 0 and "Not
// Detected"). Nothing the section holds is removed or changed: a name lost by a slip must not cost
// the reference its paths, units and file systems. True when the text changed.
bool TRefStore::RepairSection(TIniFileText& text, int n) const
{
    const std::string section = RefSection(n);
    const std::optional<std::string> name = text.Value(section, "Name");
    if (name && !name->empty() && Upper(*name) != "ERROR")
        return false;
    const int newest = LastLogNumber(n);
    text.Set(section, "Name", section);
    if (!text.Value(section, "NextLogNo"))
        text.Set(section, "NextLogNo", std::to_string(newest < 0 ? 1 : newest + 1));
    // A reference whose newest log is extended keeps logging so.
    if (newest >= 0 && !text.Value(section, kLogFormatKey) &&
        LogFileFormat(LogFileName(n, newest)) == TLogFormat::Extended)
        text.Set(section, kLogFormatKey, LogFormatName(TLogFormat::Extended));
    bool hasPaths = false;
    for (const auto& [key, value] : text.Entries(section))
        hasPaths = hasPaths || IsPathKey(key);
    if (hasPaths || newest < 0)
        return true;
    int index = 0;
    for (const std::string& path : RootPathsOfLog(LogFileName(n, newest))) {
        const std::string i = std::to_string(index);
        try {
            TIniFileText::CheckWritable(section, "Path" + i, path);
        } catch (const std::runtime_error&) {
            continue; // a root path the INI file cannot hold is left out; the others count
        }
        text.Set(section, "Path" + i, path);
        text.Set(section, "AllocUnit" + i, "0");
        text.Set(section, "System" + i, kNotDetected);
        ++index;
    }
    return true;
}

} // namespace vm
