#include "output/QtListExport.h"

#include "output/ListExport.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QProgressDialog>
#include <QWidget>

namespace vm {

std::string ChooseExportFile(QWidget* parent, const QString& suggested)
{
    const QString chosen =
        QFileDialog::getSaveFileName(parent, "Export list", QDir::home().filePath(suggested),
                                     "CSV files (*.csv);;All files (*)");
    return chosen.toStdString();
}

bool ExportListWithProgress(QWidget* parent, const TListTable& table, const std::string& path,
                            TUserInterface* ui)
{
    QProgressDialog progress("Exporting the list ...", "Stop", 0, table.RowCount(), parent);
    progress.setObjectName("ExportProgress");
    progress.setWindowTitle("Export list");
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(500);
    try {
        TPosixFileSystem fs;
        TListExportResult result = ExportListCsv(table, fs, path, [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
        return !result.Stopped;
    } catch (const std::exception& e) {
        progress.cancel();
        if (ui)
            ui->ShowMessage("The list was not exported: " + std::string(e.what()));
        return false;
    }
}

void ExportListCommand(QWidget* window, const TListTable& table, TUserInterface* ui,
                       const TExportFileChooser& choose)
{
    // A caption may end in a space or hold a "/" (a path): neither belongs in a file name.
    QString suggested = window->windowTitle().trimmed();
    suggested.replace('/', '-');
    suggested += ".csv";
    const std::string path = choose ? choose(suggested) : ChooseExportFile(window, suggested);
    if (!path.empty())
        ExportListWithProgress(window, table, path, ui);
}

} // namespace vm
