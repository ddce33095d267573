// The reference store: references as sections of Volumark.ini in the data directory, each with
// a directory of its own for its logs and comparisons; adding paths with the volume facts that
// logging needs; and the repair pass that runs at every start.
//
// The store holds nothing but the data directory, the mount table's source and the file system it
// reaches them through, fixed when it is made; every operation reads the files anew, so several
// stores (and processes) may share one data directory. The logging and comparison runs and the
// command line create, list and remove their files through the store's file system too.
#pragma once

#include "core/LogScan.h"
#include "network/ShareList.h"
#include "output/SizeText.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/IniFileText.h"
#include "references/RefNames.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm {

// A path that cannot be added to a reference; the message says why, for the user.
class ERefPathError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One path of a reference, its stored texts parsed once.
struct TRefPath
{
    std::string Path;
    std::string UnitText;   // AllocUnit as stored: what lists show
    int32_t Unit = 0;       // the allocation unit in bytes; 0 unless UnitValid
    bool UnitValid = false; // ParseAllocUnit takes UnitText
    std::string FileSystem;
};
using TRefPaths = std::vector<TRefPath>;
// A path from its stored texts, the unit parsed with ParseAllocUnit.
TRefPath ParsedRefPath(std::string path, std::string unitText, std::string fileSystem);

struct TVolumeFacts
{
    int32_t Unit = 0;
    std::string FileSystem;
    bool IsNetwork = false;
};

// True when every unit of the paths is valid (what logging needs).
bool AllocUnitsSet(const TRefPaths& paths);
// The roots a logging run scans for the paths.
std::vector<TScanRoot> ScanRootsOf(const TRefPaths& paths);

inline const char* const kRefDirectoryMissing = "Ref directory missing";
inline const char* const kNotDetected = "Not Detected";

class TRefStore
{
public:
    // dataDir: where the INI files and reference directories live (a trailing "/" is dropped).
    explicit TRefStore(std::string dataDir, std::string mountSource = TMountTable::DefaultSource());

    const std::string& DataDir() const { return dataDir_; }
    // The file system the store and the runs on its references work through: the real one
    // unless a test gives another, which must outlive the store and its copies.
    TFileSystem& Files() const { return *files_; }
    void SetFileSystem(TFileSystem& fs) { files_ = &fs; }
    std::string RefIniPath() const { return dataDir_ + "/" + kRefIniFileName; }
    std::string SharesIniPath() const { return dataDir_ + "/VMVols.ini"; }
    std::string FilterIniPath() const { return dataDir_ + "/VMFilter.ini"; }
    // Volumark.ini; its changes are refused where the data directory's file system keeps its
    // locks on this computer only (platform/SharedLocks.h), as other computers may share it.
    TIniFile RefIni() const { return TIniFile(RefIniPath(), mountSource_); }
    const std::string& MountSource() const { return mountSource_; }
    // Raises std::runtime_error, with the reason, where Volumark.ini could not be changed
    // safely (its locks would not reach the other computers that share the data directory):
    // changes that begin elsewhere (a directory made, files removed) ask here first.
    void CheckSharedLocks() const;
    TShareList Shares() const { return TShareList(SharesIniPath(), mountSource_); }

    static std::string RefSection(int n) { return RefSectionName(n); }
    std::string RefDir(int n) const { return dataDir_ + "/" + RefSectionName(n); }
    std::string LogFileName(int n, int m) const { return RefDir(n) + "/" + LogFileBaseName(m); }
    std::string CompFileName(int n, int a, int b) const
    {
        return RefDir(n) + "/" + CompFileBaseName(a, b);
    }

    // The reference's Name ("ERROR" when missing), or "Ref directory missing".
    std::string RefName(int n) const;
    // The reference whose name equals name without regard to letter case (the last one in file
    // order), or -1.
    int FindRefByName(const std::string& name) const;
    // One above the highest number of a reference section or directory; 0 when there is none.
    int NewRefNumber() const;
    // Creates the reference directory and, only when that succeeded, writes Name and
    // NextLogNo=1. False when the directory existed or could not be made (nothing written).
    // Raises, before anything is made, where CheckSharedLocks does.
    bool CreateRef(int n, const std::string& name);
    // Takes the number of the next log under the INI file's lock and advances NextLogNo, so two
    // processes never write the same log. A NextLogNo that names no log the store can list again
    // (not a whole number from 1 to kMaxLogNumber: "-5", "2147483648") is replaced by one above
    // the newest log, and unusable, when given, receives the value found. Raises
    // std::runtime_error when no log number is left.
    int TakeNextLogNumber(int n, std::string* unusable = nullptr) const;

    // No paths when the directory is missing; one empty path with unit "0" when the section
    // has no path; otherwise the complete Path/AllocUnit/System triples ("ERROR" for a missing
    // key), each unit parsed with ParseAllocUnit.
    TRefPaths ReadRefPaths(int n) const;
    // True when every unit of ReadRefPaths is valid.
    bool AllocUnitsSet(int n) const;
    // The format the reference's logs are written in: LogFormat=extended in its section, exact
    // when the key is missing or holds anything else.
    TLogFormat RefLogFormat(int n) const;
    // Stores the format beside the paths; exact, the default, leaves no key.
    void SetRefLogFormat(int n, TLogFormat format);
    // Writes the triple index for the path (stored with a trailing "/", its letter case kept).
    // A path that is not an existing, readable directory, or too long to be a root of the
    // reference's log format, is refused with ERefPathError before anything is written;
    // EDriveInfoError may come from the volume. A unit of 0 and an empty system mean "find them".
    void AddRefPath(int n, const std::string& path, int32_t unit, int index,
                    const std::string& system);
    // The triple AddRefPath writes for the path, refused the same way (for a log of format),
    // without writing it.
    TRefPath ResolveRefPath(const std::string& path, int32_t unit, const std::string& system,
                            TLogFormat format = TLogFormat::Exact) const;
    // Replaces every path triple of reference n by paths, numbered from 0 in their order, in
    // one write of Volumark.ini: a failure leaves the old paths, and Name, NextLogNo and any
    // other key keep their values. Raises std::runtime_error when the file cannot be written.
    void ReplaceRefPaths(int n, const TRefPaths& paths);
    // Why the path cannot be a path of a reference whose logs take format (nor a folder logged on
    // its own), "" when it can: not absolute, a line break in it, longer than a root of that
    // format can be, missing ("No such file or directory"), not a directory ("Not a directory")
    // or unreadable.
    std::string PathRefusal(const std::string& path,
                            TLogFormat format = TLogFormat::Exact) const;
    // Raises ERefPathError with PathRefusal's reason: "The path "..." cannot be added: ...".
    void CheckAddablePath(const std::string& path, TLogFormat format = TLogFormat::Exact) const;
    // Unit, file system and network flag of the volume at path: the volume first, the share
    // list where the volume does not tell. May raise EDriveInfoError.
    TVolumeFacts GetVolumeFacts(const std::string& path) const;
    // The file system type of the volume at path, or empty when it does not answer.
    std::string FileSystemName(const std::string& path) const;
    // The highest number of a log file in the reference directory, or -1.
    int LastLogNumber(int n) const;

    // The start-up repair: removes the temporaries of INI files, logs and comparisons whose
    // writers are gone (platform/AtomicFile.h, platform/PendingFile.h), drops the section (and
    // empty directory) of reference -1, names a reference directory whose section has no usable
    // name after its section, adding what the section lacks of NextLogNo and paths from its newest
    // log (unit 0, "Not Detected") and removing nothing, and gives a section without its
    // directory an empty one. Raises std::runtime_error when Volumark.ini cannot be read or
    // written, and before anything is removed where CheckSharedLocks does.
    void ReconcileRefs();

    // The size text of the lists and reports ("2 KB", "1.00 GB").
    static std::string SizeFormat(int64_t value, const TLocale& locale)
    {
        return SizeText(value, locale);
    }

private:
    void RepairSections(const std::vector<int>& directories);
    bool RepairSection(TIniFileText& text, int n) const;
    std::vector<int> RefDirectoryNumbers() const;
    // The entries of a directory that a listing shows: not hidden ("." names).
    std::vector<TFileInfo> ListShown(const std::string& path) const;
    bool IsDirectory(const std::string& path) const { return files_->IsDirectoryPath(path); }

    std::string dataDir_;
    std::string mountSource_;
    std::shared_ptr<TFileSystem> ownFiles_; // the real file system, shared by copies
    TFileSystem* files_;
};

} // namespace vm
