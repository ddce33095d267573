// "Filter specifications": the file filter of an explore window (mode 1) or a compare window
// (mode 2). The controls hold TFilterFields; OK parses them into the test the window's list
// applies (core/FileFilter.h), and can save them as the mode's default in VMFilter.ini.
#pragma once

#include "core/FileFilter.h"
#include "display/QtImageLists.h"
#include "platform/Locale.h"
#include "platform/UserInterface.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace vm {

class TDirStorage;

class TFileFilterForm : public QDialog
{
    Q_OBJECT
public:
    // mode: kExploreFilterMode or kCompareFilterMode (the dialog's tag). iniPath: VMFilter.ini.
    // ui shows the dialog's messages; tagImages give the tag lines' images. All outlive it.
    TFileFilterForm(int mode, std::string iniPath, TUserInterface& ui, const TImageList& tagImages,
                    QWidget* parent = nullptr);

    int Mode() const { return mode_; }
    // Remembers whether tags can be read (compare mode) and loads the mode's default section.
    void Initialise(bool tagsAvailable);
    // Whether the window's log records owners: the owner and group boxes are offered, and the
    // test holds them, only where it does.
    void SetOwnersRecorded(bool recorded);
    bool OwnersRecorded() const { return ownersRecorded_; }
    // The tag lines' texts from the log: its name of tag i + 1, or "Unused".
    void ConstructTagNames(const TDirStorage& log);
    // The compare page's conditions (the compare window's lines).
    void SetCompareLines(const QStringList& lines);
    // Shows the page ("File Properties", "File tags" or "Compare ") when the dialog opens.
    void ShowPage(QWidget* page);

    void ResetFilter();
    // Parses the controls into the test; false (after the message, with the focus on the wrong
    // date) when a date is not valid.
    bool ParseFilterFields();
    void LoadFilterFromInifile(const std::string& section);
    void SaveFilterSettingsToIniFile(const std::string& section);
    std::string DefaultSection() const;

    // The fields as the controls hold them, and the other way round.
    TFilterFields Fields() const;
    void SetFields(const TFilterFields& fields);
    // The test of the last OK (or of the loaded default).
    const TFilterTest& Test() const { return test_; }
    bool TagsSelected() const { return test_.TagsOn; }
    bool TurnFilterOn() const;

    QTabWidget* PageControl;
    QWidget *PropertiesPage, *TagsPage, *ComparePage;
    QLineEdit* FileNameEdit;
    QPushButton *AddButton, *RemoveButton;
    QListWidget* FileNameListBox;
    QCheckBox* DateCheckBox;
    QComboBox* DateRangeComboBox;
    QGroupBox* DateRadioGroup;
    QRadioButton *BetweenRadio, *PreviousRadio;
    QLineEdit *DateLow, *DateHigh;
    QSpinBox* DateDaySpinEdit;
    QCheckBox* SizeCheckBox;
    QComboBox* SizeSelectComboBox;
    QSpinBox* SizeSelectSpinEdit;
    QComboBox* SizeDenoterComboBox;
    QCheckBox *DuplicatesCheckBox, *MatchSizeCheckBox, *MatchDateCheckBox, *IgnoreExtensionCheckBox;
    QCheckBox *OwnerCheckBox, *GroupCheckBox;
    QLineEdit *OwnerEdit, *GroupEdit;
    QLabel* OwnersNote; // why the owner boxes are not offered
    QCheckBox *SaveDefaultCheckBox, *TurnOnCheckBox;
    QCheckBox* TagsCheckBox;
    QGroupBox* TagRadioGroup;
    QRadioButton *AllTaggedRadio, *SelectedTagsRadio;
    QListWidget* SelectDisplayedTagsListView;
    QCheckBox* CompareCheckBox;
    QListWidget* CompareFilterListView;
    QPushButton *HelpButton, *ResetButton, *LoadButton, *OKButton, *CancelButton;

    void AddButtonClick();
    void RemoveButtonClick();
    void OKButtonClick();

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakePropertiesPage();
    QWidget* MakeTagsPage();
    QWidget* MakeComparePage();
    void UpdateEnabling();
    void KeepTest();

    int mode_;
    std::string iniPath_;
    TUserInterface& ui_;
    TLocale locale_;
    bool tagsAvailable_ = false;
    bool ownersRecorded_ = false;
    TFilterFields hidden_; // what the fields hold beyond the controls (compare lines)
    TFilterTest test_;
};

// Runs the dialog for a window whose filter is on or off, and answers what the window does
// next: turn the filter on (it was off and OK asks for it), refill its list (the filter is on),
// or nothing (cancelled, or the filter stays off).
enum class TFilterFollowUp
{
    Nothing,
    TurnOn,
    Refill
};
TFilterFollowUp RunFilterDialog(TFileFilterForm& form, bool filterOn);

} // namespace vm
