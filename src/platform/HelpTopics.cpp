#include "platform/HelpTopics.h"

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace vm {

std::string HelpPageForContext(int context)
{
    static const std::map<int, std::string> kPages = {
        {help::Options, "options.html"},
        {help::OptionsButton, "options.html#pages"},
        {help::Wizard, "references.html#wizard"},
        {help::Compare, "comparing.html#window"},
        {help::ShareList, "sharelist.html"},
        {help::ClusterSize, "references.html#cluster"},
        {help::FileList, "explore.html#filelist"},
        {help::Explore, "explore.html#window"},
        {help::FileFilter, "filter.html"},
        {help::TagSettings, "tags.html"},
        {help::DeleteOptions, "deleting.html#files"},
        {help::DeleteFolder, "deleting.html#directories"},
        {help::CopyOptions, "deleting.html#copying"},
        {help::PrintOptions, "printing.html"},
        {help::ConfirmPrinter, "printing.html#confirm"},
        {help::Email, "email.html"},
        {help::Properties, "explore.html#properties"},
        {help::Scheduler, "scheduler.html"},
    };
    auto it = kPages.find(context);
    return it == kPages.end() ? std::string(kHelpContentsPage) : it->second;
}

std::string FindHelpDirectory(const std::string& programPath)
{
    if (programPath.empty())
        return {};
    const fs::path dir = fs::path(programPath).parent_path();
    for (const fs::path& candidate :
         {dir / "help", dir / ".." / "share" / "volumark" / "help", dir / ".." / "help"}) {
        std::error_code ec;
        if (fs::is_regular_file(candidate / kHelpContentsPage, ec))
            return fs::weakly_canonical(candidate, ec).string();
    }
    return {};
}

} // namespace vm
