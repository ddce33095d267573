// The commands of vmadmin, the administration of a data directory without a display. Each
// command takes the arguments behind its words and returns the exit status, with the meanings of
// the unattended run's (references/CommandLineRun.h): 0 done, 1 refused (a bad argument, an
// unknown reference, log or job, anything the windows refuse; nothing was changed), 2 not
// logged, 3 stopped, 4 comparison failed, 5 results mail not sent. Messages go to stderr; a
// command that succeeds prints only what it was asked to show.
//
// To add a command, declare it here and add a row to the table in VmadminMain.cpp.
#pragma once

#include "platform/Locale.h"
#include "references/RefStore.h"
#include "vmadmin/AdminUserInterface.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vm::vmadmin {

using TArgs = std::vector<std::string>;

// What every command works with.
struct TAdmin
{
    TRefStore& Store;
    TAdminUserInterface& UI;
    TLocale Locale;
    bool Json = false;       // --json: JSON on stdout instead of tables
    std::string ProgramPath; // the running vmadmin
};

// A command line that does not read as a command: the message, then exit status 1.
class EUsage : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The arguments of one command: options taken out by name, then the operands that remain.
class TArgReader
{
public:
    explicit TArgReader(TArgs args) : args_(std::move(args)) {}
    // "--name VALUE" or "--name=VALUE" (the last one counts); raises EUsage without a value.
    std::optional<std::string> Value(const std::string& name);
    // "--name" alone.
    bool Flag(const std::string& name);
    // "--name" alone (an empty text) or "--name=VALUE".
    std::optional<std::string> FlagOrValue(const std::string& name);
    // The operands, which must be from min to max in number; raises EUsage for an option not
    // taken and for a wrong count. usage: the command's usage line.
    TArgs Operands(size_t min, size_t max, const std::string& usage);

private:
    enum class TTaking
    {
        NextValue,    // "--name VALUE" or "--name=VALUE"
        Bare,         // "--name"
        BareOrJoined, // "--name" or "--name=VALUE"
    };
    std::optional<std::string> Take(const std::string& name, TTaking taking);

    TArgs args_;
};

// The reference of that name (letter case ignored), or EUsage with the command line's
// "Reference [name] not found".
int FindReference(const TRefStore& store, const std::string& name);
// A whole number from 1, for a log number or a count; EUsage otherwise.
int PositiveNumber(const std::string& text, const std::string& what);
// Refuses (EUsage, with the reason) a change of a data directory that could not be made safely.
void RequireChangeable(const TRefStore& store);

int RefList(TAdmin& admin, const TArgs& args);
int RefShow(TAdmin& admin, const TArgs& args);
int RefCreate(TAdmin& admin, const TArgs& args);
int RefRename(TAdmin& admin, const TArgs& args);
int RefFormat(TAdmin& admin, const TArgs& args);
int RefDelete(TAdmin& admin, const TArgs& args);
int PathAdd(TAdmin& admin, const TArgs& args);
int PathRemove(TAdmin& admin, const TArgs& args);
int PathSet(TAdmin& admin, const TArgs& args);
int LogList(TAdmin& admin, const TArgs& args);
int LogNow(TAdmin& admin, const TArgs& args);
int LogDelete(TAdmin& admin, const TArgs& args);
int CompareList(TAdmin& admin, const TArgs& args);
int CompareRun(TAdmin& admin, const TArgs& args);
int CompareDelete(TAdmin& admin, const TArgs& args);
int History(TAdmin& admin, const TArgs& args);
int Top(TAdmin& admin, const TArgs& args);
int JobList(TAdmin& admin, const TArgs& args);
int JobAdd(TAdmin& admin, const TArgs& args);
int JobDelete(TAdmin& admin, const TArgs& args);
int Metrics(TAdmin& admin, const TArgs& args);

} // namespace vm::vmadmin
