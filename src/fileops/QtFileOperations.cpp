#include "fileops/QtFileOperations.h"

#include "fileops/CopyOptionsForm.h"
#include "fileops/DeleteDirectoryForm.h"
#include "fileops/DeleteFileForm.h"

#include <QCheckBox>

namespace vm {

TFileOperationDialogs::TFileOperationDialogs(TUserInterface& ui,
                                             std::function<void(bool)> setConfirmDeletions,
                                             QWidget* parent)
{
    DeleteFileForm = new TDeleteFileForm(std::move(setConfirmDeletions), parent);
    DeleteDirectoryForm = new TDeleteDirectoryForm(parent);
    CopyOptionsForm = new TCopyOptionsForm(ui, parent);
}

int TFileOperationDialogs::ConfirmFileDeletion(const std::string& name, uint32_t attributes)
{
    DeleteFileForm->Initialise(name, attributes);
    return DeleteFileForm->exec();
}

void TFileOperationDialogs::StartDirectoryDeletions()
{
    DeleteDirectoryForm->CheckModFiles->setChecked(true);
    DeleteDirectoryForm->ChecknewFiles->setChecked(true);
}

TDirectoryOutcome TFileOperationDialogs::DeleteDirectory(TDirStorage& log, int64_t offset,
                                                         TFileSystem& fs, bool updateLog)
{
    TDeleteDirectoryForm& form = *DeleteDirectoryForm;
    form.GetDirectoryStats(log, offset, fs, updateLog);
    bool accepted = false;
    if (form.DontShowAgainCheckBox->isEnabled() && form.DontShowAgainCheckBox->isChecked()) {
        form.ConfirmAtOnce();
        accepted = form.Outcome().Ran;
    } else {
        accepted = form.exec() == QDialog::Accepted;
    }
    return DirectoryOutcome(accepted, form.Work(), form.Outcome());
}

} // namespace vm
