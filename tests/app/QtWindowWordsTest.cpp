// The words the windows show: no Windows facility that Linux does not have (the NT scheduler,
// MS-DOS names, MAPI, the control panel, drives) and none of the misspellings the design's texts
// once had, in any caption, label, button, item, tip or readable name of the program's windows.
#include "app/StatusForm.h"
#include "core/DirStorage.h"
#include "fileops/FileFilterForm.h"
#include "fileops/FilePropForm.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/NetWareOwner.h"
#include "references/RefStore.h"
#include "refman/WizardForm.h"
#include "schedule/ScheduleForm.h"
#include "support/FakeScheduler.h"
#include "support/gui/QtFrameFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTabWidget>

namespace {

// Every text a user reads or hears in the widgets that exist now.
QStringList ShownTexts()
{
    QStringList texts;
    for (QWidget* w : QApplication::allWidgets()) {
        texts << w->windowTitle() << w->toolTip() << w->statusTip() << w->accessibleName();
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(w))
            texts << group->title();
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i);
        if (auto* combo = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        if (auto* list = qobject_cast<QListWidget*>(w))
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        for (const QAction* action : w->actions())
            texts << action->text() << action->toolTip() << action->statusTip();
    }
    texts.removeAll(QString());
    return texts;
}

class WindowWordsTest : public vmtest::FrameTest
{
};

TEST_F(WindowWordsTest, NoWindowNamesAWindowsFacilityOrAMisspelling)
{
    // The single-instance dialogs exist with the frame; the others are made here.
    vmtest::FakeScheduler scheduler;
    vm::TScheduleForm schedule(context_, scheduler, frame_.get());
    vm::TRefStore store(dir_.Path());
    vm::TWizardForm wizard(store, ui_, frame_.get());
    vm::TFileFilterForm filter(1, dir_ / "VMFilter.ini", ui_, frame_->TagImageList, frame_.get());
    vm::TStatusForm status(frame_.get());
    vm::TMemoryStream stream;
    vm::TDirStorage log(stream);
    vm::TPosixFileSystem fs;
    vm::TNoNetWareClient netware;
    const vm::TLocale locale = vm::TLocale::Classic();
    vm::TFileProperties properties(fs, netware, locale);
    vm::TFilePropForm propertiesForm(properties, {}, frame_.get());
    propertiesForm.LoadPropertyText(QIcon());

    const QRegularExpression windowsWords(
        R"(\bNT (&?[Ss]cheduler|Server)|MS-DOS|MAPI|[Cc]ontrol panel|\b[Dd]is[ck] drive|\b[Dd]rives?\b)");
    const QRegularExpression misspellings(
        R"(durng|tell your more|containiing|VM_Batch\.cmd|specifiy|Turno|capbility|\bwont\b|)"
        R"(Selecte,|already is use|\bCant\b)");
    const QStringList texts = ShownTexts();
    ASSERT_GT(texts.size(), 300); // the windows above are there
    for (const QString& text : texts) {
        EXPECT_FALSE(windowsWords.match(text).hasMatch()) << text.toStdString();
        EXPECT_FALSE(misspellings.match(text).hasMatch()) << text.toStdString();
    }
    EXPECT_TRUE(texts.contains("&Scheduler ..."));
    EXPECT_TRUE(texts.contains("Scheduler"));
    EXPECT_TRUE(texts.contains("Program location containing VM_BATCH.CMD :"));
    EXPECT_TRUE(texts.contains("during the previous"));
}

} // namespace
