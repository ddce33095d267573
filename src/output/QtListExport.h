// The window side of "E&xport list ...", shared by the list windows: the save dialog, and the
// export run behind a progress dialog whose Stop button ends it. The progress dialog is modal,
// so the list cannot change while its rows are written.
#pragma once

#include <QString>

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

} // namespace vm
