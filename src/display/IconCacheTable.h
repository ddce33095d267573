// The file-icon cache of the main window: row i describes image i of the small image list
// (the extension in upper case with its dot, the image index in decimal, the file-type
// description). Extensions whose icon differs from file to file are never cached.
#pragma once

#include <string>
#include <vector>

namespace vm {

class TIconCacheTable
{
public:
    struct TRow
    {
        std::string Extension; // upper case with its leading dot; empty rows never match
        std::string Index;     // the image index in decimal
        std::string TypeText;  // the file-type description shown in the file lists
    };

    // The image of the extension when it is cached, else imageCount (the caller then adds the
    // file's icon as image imageCount and records it with SetRow). Rows are scanned from 0 up to
    // and including row imageCount; the comparison is exact on the upper-cased texts.
    int GetImageIndex(const std::string& extension, int imageCount) const;

    // Records image `index` as the icon of the extension (upper-cased here); rows below it that
    // do not exist yet are created empty.
    void SetRow(int index, const std::string& extension, const std::string& typeText);

    // The row of an image, or nullptr when none was written.
    const TRow* Row(int index) const;
    int RowCount() const { return int(rows_.size()); }

    // True for ".EXE", ".BAT", ".PIF", ".COM", ".ICO" and ".MCC" (given upper-cased).
    static bool NeverCached(const std::string& upperExtension);
    // ASCII upper case: extensions compare byte by byte whatever the locale.
    static std::string UpperExtension(const std::string& extension);

private:
    std::vector<TRow> rows_;
};

} // namespace vm
