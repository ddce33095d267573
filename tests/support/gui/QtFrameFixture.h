// A main window for the window tests, over temporary settings, data and integration folders,
// with the scripted user interface recording its messages.
#pragma once

#include "app/MainForm.h"
#include "listwindow/QtMdiChild.h"
#include "platform/ScriptedUserInterface.h"
#include "references/AppContext.h"
#include "support/TempDir.h"

#include <QMenu>
#include <QMenuBar>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <ostream>

// Readable QStrings in the failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace vmtest {

// A child window with menus of its own, as the explore and compare windows offer them.
class TMenuChild : public QWidget, public vm::TMdiChildMenus
{
public:
    explicit TMenuChild(const QString& caption)
    {
        setWindowTitle(caption);
        File = new QMenu("&File", this);
        File->addAction("Child close");
        Edit = new QMenu("&Edit", this);
        View = new QMenu("&View", this);
    }
    QList<vm::TGroupedMenu> MergedMenus() const override
    {
        return {
            {File, vm::menugroup::File}, {Edit, vm::menugroup::Edit}, {View, vm::menugroup::View}};
    }
    QMenu *File, *Edit, *View;
};

class FrameTest : public testing::Test
{
protected:
    FrameTest()
    {
        setenv("VOLUMARK_REGISTRY", (dir_ / "registry.ini").c_str(), 1);
        setenv("VOLUMARK_MAIL", (dir_ / "mail.ini").c_str(), 1);
        setenv("XDG_DATA_HOME", (dir_ / "share").c_str(), 1);
        context_.DataDirectory = dir_.Path();
        context_.ProgramPath = "/bin/sh"; // a program that exists, for the integration entries
        context_.UI = &ui_;
        frame_ = std::make_unique<vm::TMDIParent>(context_);
        frame_->resize(900, 700);
        frame_->show();
    }

    // The menu bar's titles in their order.
    QStringList MenuTitles() const
    {
        QStringList titles;
        for (QAction* a : frame_->menuBar()->actions())
            titles << a->text();
        return titles;
    }

    TempDir dir_;
    vm::TAppContext context_;
    vm::TScriptedUserInterface ui_;
    std::unique_ptr<vm::TMDIParent> frame_;
};

} // namespace vmtest
