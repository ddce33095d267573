#include "fileops/DeletionTexts.h"

#include "output/SizeText.h"
#include "platform/FileAttributes.h"

namespace vm {

namespace {
const char* const kContinueQuestion =
    "Continue deleting files (clicking ALL won't ask this again) ?";
}

std::string DeletionPlace(bool filterOn, const std::string& currentDirectory)
{
    if (filterOn)
        return "all directories";
    return currentDirectory.empty() ? std::string("this directory") : currentDirectory;
}

std::string ExploreDeleteQuestion(int64_t directories, int64_t files, int64_t bytes,
                                  const std::string& place, const TLocale& locale)
{
    std::string text = "\nOK to delete ";
    if (directories > 0)
        text += std::to_string(directories) + " directories ";
    if (directories > 0 && files > 0)
        text += " and ";
    if (files > 0)
        text += std::to_string(files) + " files ";
    return text + "\ntotalling " + SizeText(bytes, locale) + " in size\nfrom " + place;
}

std::string NothingToDeleteText(const std::string& place)
{
    return "No file(s) or directories able to be deleted from " + place;
}

std::string CompareDeleteQuestion(int64_t directories, int64_t files, int64_t bytes,
                                  const std::string& currentDirectory, const TLocale& locale)
{
    const std::string size = SizeText(bytes, locale);
    std::string text = "About to delete ";
    if (directories > 0)
        text += std::to_string(directories) + " directories";
    if (files == 0) {
        text += " marked for deletion totalling " + size;
    } else {
        if (directories > 0)
            text += " and ";
        text += std::to_string(files) + " file(s) marked for deletion totalling " + size;
    }
    return text + " in size\nfrom " + currentDirectory;
}

std::string RubbishBinQuestion(int64_t count, int64_t bytes, const std::string& place,
                               const TLocale& locale)
{
    return "About to delete " + std::to_string(count) + " files marked for deletion totalling " +
           SizeText(bytes, locale) + " in size\nfrom " + place;
}

std::string NoRubbishBinText(const std::string& place)
{
    return "No file(s) marked for deletion in " + place;
}

std::string RubbishBinFailuresText(int64_t failures)
{
    return std::to_string(failures) + " file(s) could not be deleted";
}

std::string FileInUseQuestion(const std::string& name)
{
    return "Cannot delete " + name + " - file could be in use.\n" + kContinueQuestion;
}

std::string AlreadyDeletedQuestion(const std::string& name)
{
    return "Can not delete " + name + ". It has been already been deleted - continue?";
}

std::string KindChangedQuestion(const std::string& name, const std::string& nowThere)
{
    return "Cannot delete " + name + " - " + nowThere +
           " stands there now, not what this log lists; it is left as it is.\n" + kContinueQuestion;
}

std::vector<std::string> FileQuestionLines(const std::string& name, uint32_t attributes)
{
    std::vector<std::string> lines;
    if (attributes & faSystem) {
        lines = {"The file " + name + " is a system file", "",
                 "If you remove it one of your programs may no longer work correctly"};
    } else if (attributes & faReadOnly) {
        lines = {"The file " + name + " is a read only file"};
    } else if (attributes & faHidden) {
        lines = {"The file " + name + " is a hidden file"};
    }
    lines.emplace_back();
    lines.emplace_back("Are you sure you want still want to delete ?");
    return lines;
}

std::string DirectoryInfoText(int64_t directories, int64_t files, int64_t bytes,
                              const std::string& path, const TLocale& locale)
{
    return "About to delete " + std::to_string(directories) + " directories containing " +
           std::to_string(files) + " files totalling " + SizeText(bytes, locale) +
           " in size from " + path;
}

} // namespace vm
