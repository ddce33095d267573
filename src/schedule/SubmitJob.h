// The submit dialog without its window: its caption, what its reference and log boxes offer,
// where the program location starts, and the checks and queueing of a job.
#pragma once

#include "platform/Scheduler.h"
#include "platform/UserInterface.h"
#include "references/RefStore.h"
#include "schedule/JobCommand.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

inline const char* const kSubmitFormCaption = "Schedule a Volumark log to run on the scheduler";

// "Submit job on server NAME", or "Submit job on local machine" for an empty name.
std::string SubmitCaption(const std::string& server);

// The names of the references, in the order of the reference file.
std::vector<std::string> ReferenceNames(const TRefStore& store);
// The log numbers of the reference of that name as four digits ("0012"), in number order: the
// files of its directory whose extension is "kdf" in any letter case. None when the reference
// or its directory does not exist.
std::vector<std::string> LogNumberTexts(const TRefStore& store, const std::string& reference);

// Where the program location starts: the directory that holds VM_BATCH.CMD, beside the running
// program (a build) or, for an installed program (/usr/bin/volumark), lib/volumark beside its
// bin directory (/usr/lib/volumark, which holds the script and a link to the program); the
// program's own directory when neither holds it.
std::string DefaultProgramLocation(const std::string& programPath);

// The refusal of "Run periodically" with no weekday and no day of the month ticked.
inline const char* const kNoDayToRunOn =
    "Please tick at least one day to run on (a weekday or a day in the month)";

// The checks of a request before it is queued on the server (empty: this computer); each
// refusal is shown. True when the job may be added.
bool CheckJobRequest(const TJobRequest& request, const std::string& server, TScheduler& scheduler,
                     TUserInterface& ui);

// Checks the request, then adds the job on the server (empty: this computer). Every refusal
// and failure is shown and leaves nothing queued; success shows "Successfully queued job "
// with the job's number and returns it.
std::optional<uint32_t> SubmitJob(const TJobRequest& request, const std::string& server,
                                  TScheduler& scheduler, TUserInterface& ui);

} // namespace vm
