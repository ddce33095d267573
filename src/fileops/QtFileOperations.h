// The dialogs that deleting and copying listed files share between the explore and compare
// windows: made once by the main window and kept for the whole program, so that "Do not show
// this message again this session" and the list of destinations last as long as the session.
// They answer the deletion procedures' questions (TDeletionDialogs of DeleteFiles.h).
#pragma once

#include "fileops/DeleteFiles.h"

#include <functional>

class QWidget;

namespace vm {

class TCopyOptionsForm;
class TDeleteDirectoryForm;
class TDeleteFileForm;
class TUserInterface;

class TFileOperationDialogs : public TDeletionDialogs
{
public:
    // The dialogs are children of parent; setConfirmDeletions changes "Confirm &deletions".
    TFileOperationDialogs(TUserInterface& ui, std::function<void(bool)> setConfirmDeletions,
                          QWidget* parent);

    TDeleteFileForm* DeleteFileForm;
    TDeleteDirectoryForm* DeleteDirectoryForm;
    TCopyOptionsForm* CopyOptionsForm;

    int ConfirmFileDeletion(const std::string& name, uint32_t attributes) override;
    void StartDirectoryDeletions() override;
    TDirectoryOutcome DeleteDirectory(TDirStorage& log, int64_t offset, TFileSystem& fs,
                                      bool updateLog) override;
};

} // namespace vm
