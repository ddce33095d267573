// The program's help: HTML pages of our own in a help/ folder, opened by the numeric help
// contexts that the windows and dialogs carry.
#pragma once

#include <string>

namespace vm {

inline const char* const kHelpContentsPage = "index.html";
inline const char* const kHelpIndexPage = "keywords.html";

// Help contexts that the windows use.
namespace help {
constexpr int Options = 25;         // "&Options ..." and the options dialog
constexpr int Compare = 26;         // "Compare logs"
constexpr int Wizard = 30;          // "New Reference Wizard"
constexpr int ShareList = 35;       // "Network share list"
constexpr int ClusterSize = 38;     // the allocation-unit warning of the path editor
constexpr int PrintOptions = 22;    // "Print options"
constexpr int Explore = 130;        // "Explore logs"
constexpr int FileList = 140;       // the explore window's file list
constexpr int FileFilter = 150;     // "Filter specifications"
constexpr int TagSettings = 160;    // "Define user tags"
constexpr int DeleteOptions = 170;  // "Confirm deletion options"
constexpr int DeleteFolder = 175;   // "Confirm deletion options" for a directory
constexpr int ConfirmPrinter = 220; // "Confirm printer settings"
constexpr int Email = 227;          // "Email"
constexpr int Properties = 230;     // "Properties"
constexpr int OptionsButton = 250;  // the options dialog's "Help" button
constexpr int Scheduler = 310;      // "Scheduler" and the submit dialog
constexpr int CopyOptions = 340;    // "Copy options"
} // namespace help

// The page (a file name inside the help folder, possibly with an #anchor) of a help context;
// the contents page for a context that has no page of its own.
std::string HelpPageForContext(int context);

// The help folder: help/ beside the program, ../share/volumark/help above it (an installed
// copy), or ../help above it (a build directory inside the source tree). Empty when none holds
// the contents page.
std::string FindHelpDirectory(const std::string& programPath);

} // namespace vm
