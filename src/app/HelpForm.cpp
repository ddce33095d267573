#include "app/HelpForm.h"

#include "platform/HelpTopics.h"

#include <QDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace vm {

THelpForm::THelpForm(const QString& helpFolder, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("HelpForm");
    setWindowTitle("Volumark Help");
    base_ = helpFolder.isEmpty() ? QUrl("qrc:/help/")
                                 : QUrl::fromLocalFile(QDir(helpFolder).absolutePath() + "/");

    HelpBrowser = new QTextBrowser(this);
    HelpBrowser->setObjectName("HelpBrowser");
    HelpBrowser->setOpenExternalLinks(true);

    auto* tools = new QToolBar(this);
    tools->addAction("&Contents", this, &THelpForm::ShowContents);
    tools->addAction("&Index", this, &THelpForm::ShowIndex);
    QAction* back = tools->addAction("&Back", HelpBrowser, &QTextBrowser::backward);
    QAction* forward = tools->addAction("&Forward", HelpBrowser, &QTextBrowser::forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(HelpBrowser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(HelpBrowser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(HelpBrowser, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle("Volumark Help - " + HelpBrowser->documentTitle()); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tools);
    layout->addWidget(HelpBrowser);
    resize(720, 560);
}

void THelpForm::ShowPage(const QString& page)
{
    HelpBrowser->setSource(base_.resolved(QUrl(page)));
    show();
    raise();
    activateWindow();
}

void THelpForm::ShowContents()
{
    ShowPage(kHelpContentsPage);
}
void THelpForm::ShowIndex()
{
    ShowPage(kHelpIndexPage);
}
void THelpForm::ShowContext(int context)
{
    ShowPage(QString::fromStdString(HelpPageForContext(context)));
}

QUrl THelpForm::CurrentPage() const
{
    return HelpBrowser->source();
}

} // namespace vm
