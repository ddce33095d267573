// The window side of "E&xport list ...", shared by the list windows: the save dialog, and the
// export run behind a progress dialog whose Stop button ends it. The progress dialog is modal,
// so the list cannot change while its rows are written.
#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

namespace vm {

class TListTable;
class TUserInterface;

// The caption of the menu item.
inline const char* const kExportListText = "E&xport list ...";

// Asks where to save, offering suggested (a file name) in the user's home directory; empty
// when the user cancels.
std::string ChooseExportFile(QWidget* parent, const QString& suggested);

// Writes the table into path as CSV with progress; a failure is shown through ui. True when
// the file was written.
bool ExportListWithProgress(QWidget* parent, const TListTable& table, const std::string& path,
                            TUserInterface* ui);

// Where a list window's export goes, offered a suggested file name; empty to cancel.
using TExportFileChooser = std::function<std::string(const QString& suggested)>;

// The whole command of a list window: asks where (through choose when set, else the save
// dialog), offering the window's caption + ".csv", and exports.
void ExportListCommand(QWidget* window, const TListTable& table, TUserInterface* ui,
                       const TExportFileChooser& choose);

} // namespace vm
