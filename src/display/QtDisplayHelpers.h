// What the file lists ask the desktop: the description of a file type, a file's icon, and
// opening a file with the program the desktop associates with it.
#pragma once

#include <QIcon>

#include <map>
#include <string>

namespace vm {

// The description of a file type: the MIME database's comment for a name with that extension,
// or, when it knows nothing better than plain bytes, the extension in upper case followed by
// " File" ("dat" -> "DAT File"). The extension may come with or without its dot.
std::string FileTypeTextUncached(const std::string& extension);

// FileTypeTextUncached, remembered per extension (as given) for the life of the object: the
// lists ask once per file and the MIME database is slow in comparison.
class TFileTypes
{
public:
    const std::string& FileTypeText(const std::string& extension);

private:
    std::map<std::string, std::string> texts_;
};

// The icon the desktop's icon theme shows for the file's type (looked up by its name), else the
// theme's generic file icon; a null icon when nothing exists at the path or the theme has no
// icon at all (the lists then show their plain file image).
QIcon AssociatedIcon(const std::string& fullPath);

// Hands the file to the desktop's "open" action (never a command line). False when no
// program took it.
bool ShellOpen(const std::string& file);

// Makes the icon lookups find the desktop's themes when the platform names none (a session
// without a desktop, the offscreen platform of the tests). Call once after the application
// object exists.
void PrepareIconTheme();

} // namespace vm
