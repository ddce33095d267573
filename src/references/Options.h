// The user's options as they live in the settings store: display, e-mail, unattended-run and
// log-maintenance settings under kSettingsKey. The options dialog holds one TOptions and copies
// it to and from its controls; the unattended run and the windows load one when they need it.
#pragma once

#include <cstdint>
#include <string>

namespace vm {

class TRegistry;

// The message shown when the settings key cannot be opened.
inline const char* const kCantReadRegistrySettings = "Can't read registry settings";

// Each field is one value of the settings key, named as the field. The initializers are the
// controls' initial states: the values a fresh installation stores on its first load.
struct TOptions
{
    bool ShowExt = true;                   // "Show File &Extensions"
    bool ShowIcon = true;                  // "Show File &Icons "
    bool EmailCommandLine = false;         // "Email on completion of log and compare"
    std::string EmailProfile;              // "Profile:"; empty or "default" = default profile
    std::string EmailTo = "Administrator"; // "Email to:", recipients separated by ";"
    bool EmailOnlySubject = false;         // "Send entire email in subject field"
    bool EmailAlways = true;               // "Always email ..."; false = "Only email exceptions"
    bool EmailGrown = false;               // "Logs grown by more than"
    int64_t EmailGrownBy = 20;             // the amount of growth
    std::string EmailGrownUnit = "MB";     // "MB", "GB" or "%" ("KB" is understood too)
    bool EmailDiskFree = false;            // "Disk free less than" (not offered)
    int64_t EmailDiskFreeBy = 10;          // (not offered)
    std::string EmailDiskFreeUnit = "%";   // (not offered)
    bool EmailRTF = false;                 // "Send email in RTF format" (not offered)
    bool EmailDialog = false;              // "Always show email message before sending"
    bool AllowLiveLogs = false;            // "Allow changes to log file"
    // "Write metrics for monitoring into:": the directory of node_exporter's textfile collector
    // that every logging run writes its metrics file into; empty: none (references/Metrics.h,
    // whose $VOLUMARK_METRICS_DIR overrides it).
    std::string MetricsDirectory;
    bool LargestFirst = false;             // "Largest first": lists open sorted by space

    // Loads every value from the settings key (created when missing) into this object, which
    // holds the current state: ShowExt and ShowIcon are set true first; a missing boolean or
    // integer value is written from the current state (so a fresh store receives the initial
    // states above, and a dialog keeps what it loaded last time); so is a missing or empty
    // unit (EmailGrownUnit, EmailDiskFreeUnit); any other missing string reads as empty; a value of
    // the wrong type keeps the current state and stays in the file as it is. False when the key
    // cannot be opened or written (the caller shows kCantReadRegistrySettings): then only ShowExt
    // and ShowIcon have changed. reason, when given, receives the cause.
    bool Load(TRegistry& registry, std::string* reason = nullptr);

    // Writes every value to the settings key (created when missing). False when the key cannot
    // be opened or written; reason, when given, receives the cause.
    bool Save(TRegistry& registry, std::string* reason = nullptr) const;
};

// The two display switches of the options ("Show File &Extensions", "Show File &Icons "), as the
// windows keep them after every load and save of the options; the file lists read them.
struct TDisplayFlags
{
    bool ShowExtensions = true;
    bool ShowIcons = true;
    bool LargestFirst = false; // lists open sorted by space, the largest first
};

// "Allow changes to log file" as the settings store holds it now (the deletions of the explore
// and compare windows read it when they start).
bool AllowChangesToLog();

// The number in an amount box: its whole decimal number (blanks around it allowed), 0 when the
// text is not a number. Used for EmailGrownBy and EmailDiskFreeBy when saving the dialog.
int64_t OptionNumber(const std::string& text);

} // namespace vm
