// The questions and messages of deleting listed files and directories on the disk, for the
// explore window and the compare window, in one place. Line breaks are "\n".
#pragma once

#include "platform/Locale.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm {

inline const char* const kCannotDeletePath =
    "Cannot delete a path - only files and directories can be deleted";
inline const char* const kDirectoryAlreadyDeleted = "Selected directory has already been deleted";
inline const char* const kNowDeleting = "Now Deleting :";

// Where a deletion takes its files from, as its messages name it: "all directories" while the
// filter is on, else the current directory, or "this directory" at the root.
std::string DeletionPlace(bool filterOn, const std::string& currentDirectory);

// The explore window's question before deleting the selected rows:
// "\nOK to delete 2 directories  and 3 files \ntotalling 12 KB in size\nfrom /data/".
std::string ExploreDeleteQuestion(int64_t directories, int64_t files, int64_t bytes,
                                  const std::string& place, const TLocale& locale);
// "No file(s) or directories able to be deleted from " + place.
std::string NothingToDeleteText(const std::string& place);
// The compare window's question: "About to delete 2 directories and 3 file(s) marked for
// deletion totalling 12 KB in size\nfrom /data".
std::string CompareDeleteQuestion(int64_t directories, int64_t files, int64_t bytes,
                                  const std::string& currentDirectory, const TLocale& locale);

// Deleting the files marked with the rubbish bin: "About to delete 3 files marked for deletion
// totalling 12 KB in size\nfrom /data/", and "No file(s) marked for deletion in " + place.
std::string RubbishBinQuestion(int64_t count, int64_t bytes, const std::string& place,
                               const TLocale& locale);
std::string NoRubbishBinText(const std::string& place);
// How a rubbish-bin deletion ends when some files stayed: "2 file(s) could not be deleted".
std::string RubbishBinFailuresText(int64_t failures);

// The questions about one file that could not be deleted, answered Yes, No or All.
std::string FileInUseQuestion(const std::string& name);
std::string AlreadyDeletedQuestion(const std::string& name);
// Another kind of entry stands where the log lists this one ("a symbolic link", "a directory",
// ...): nothing there is deleted.
std::string KindChangedQuestion(const std::string& name, const std::string& nowThere);

// The file deletion dialog's memo for a read-only, hidden or system file: its lines.
std::vector<std::string> FileQuestionLines(const std::string& name, uint32_t attributes);

// The directory deletion dialog's information: "About to delete 3 directories containing 12
// files totalling 48 KB in size from /data/old".
std::string DirectoryInfoText(int64_t directories, int64_t files, int64_t bytes,
                              const std::string& path, const TLocale& locale);

} // namespace vm
