#include "display/QtDisplayHelpers.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QUrl>

#include <sys/stat.h>

namespace vm {

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

bool IsGenericMimeType(const QMimeType& type)
{
    return !type.isValid() || type.isDefault();
}

} // namespace

std::string FileTypeTextUncached(const std::string& extension)
{
    QString withDot = Q(extension);
    if (!withDot.startsWith('.'))
        withDot.prepend('.');
    const QMimeDatabase mimes;
    const QMimeType type = mimes.mimeTypeForFile("file" + withDot, QMimeDatabase::MatchExtension);
    if (!IsGenericMimeType(type) && !type.comment().isEmpty())
        return type.comment().toStdString();
    QString name = Q(extension).toLower();
    if (name.contains('.'))
        name.remove(0, 1);
    if (name.isEmpty())
        return "File"; // a name without an extension
    return (name.toUpper() + " File").toStdString();
}

const std::string& TFileTypes::FileTypeText(const std::string& extension)
{
    auto it = texts_.find(extension);
    if (it == texts_.end())
        it = texts_.emplace(extension, FileTypeTextUncached(extension)).first;
    return it->second;
}

QIcon AssociatedIcon(const std::string& fullPath)
{
    // lstat, so that a link is shown even when what it points to has gone.
    struct stat info
    {
    };
    if (fullPath.empty() || lstat(fullPath.c_str(), &info) != 0)
        return {};
    const QMimeDatabase mimes;
    // By name only: reading contents would be slow over a whole list, and could block on a
    // fifo or a device.
    const QMimeType type = S_ISDIR(info.st_mode)
                               ? mimes.mimeTypeForName("inode/directory")
                               : mimes.mimeTypeForFile(QFileInfo(Q(fullPath)).fileName(),
                                                       QMimeDatabase::MatchExtension);
    const QIcon generic = QIcon::fromTheme("text-x-generic", QIcon::fromTheme("unknown"));
    if (!type.isValid())
        return generic;
    return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), generic));
}

bool ShellOpen(const std::string& file)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(file)));
}

void PrepareIconTheme()
{
    // Without a desktop platform theme Qt searches its own resources only: add the folders
    // where the XDG rules keep icon themes.
    QStringList paths = QIcon::themeSearchPaths();
    const QString home = QDir::homePath();
    QStringList dataDirs = {qEnvironmentVariable("XDG_DATA_HOME", home + "/.local/share")};
    dataDirs += qEnvironmentVariable("XDG_DATA_DIRS", "/usr/local/share:/usr/share").split(':');
    for (const QString& dir : dataDirs)
        if (!dir.isEmpty() && !paths.contains(dir + "/icons"))
            paths.append(dir + "/icons");
    QIcon::setThemeSearchPaths(paths);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor")
        QIcon::setThemeName("Adwaita");
    if (QIcon::fallbackThemeName().isEmpty())
        QIcon::setFallbackThemeName("hicolor");
}

} // namespace vm
