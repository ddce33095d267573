// The help window: the program's HTML help pages in a browser with contents, index, back and
// forward. One window serves every help request; it is shown non-modally.
#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace vm {

class THelpForm : public QWidget
{
    Q_OBJECT
public:
    // helpFolder: the folder of the pages on disk (FindHelpDirectory); empty for the copy built
    // into the program.
    explicit THelpForm(const QString& helpFolder, QWidget* parent = nullptr);

    void ShowContents();
    void ShowIndex();
    // The page of a numeric help context (the contents page for an unknown one).
    void ShowContext(int context);

    // The page shown (with its #anchor, if any).
    QUrl CurrentPage() const;

    QTextBrowser* HelpBrowser;

private:
    void ShowPage(const QString& page);
    QUrl base_;
};

} // namespace vm
