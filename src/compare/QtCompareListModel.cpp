#include "compare/QtCompareListModel.h"

#include "compare/CompareRules.h"
#include "display/DisplayHelpers.h"
#include "listwindow/QtListWindowParts.h"

namespace vm {

TCompareListModel::TCompareListModel(const TCompareListTable& table, const TImageList& smallImages,
                                     const TImageList& stateImages, const TImageList& tagImages,
                                     TIconCache& icons, QObject* parent)
    : TListTableModel(table, parent), table_(table), small_(smallImages), states_(stateImages),
      tags_(tagImages), icons_(icons)
{
}

void TCompareListModel::SetStateImages(bool tagsShown, bool tagsAvailable)
{
    tagsShown_ = tagsShown;
    tagsAvailable_ = tagsAvailable;
    ImagesChanged();
}

int TCompareListModel::RowImage(int i) const
{
    const TCompareRow& row = table_.Store().Row(i);
    if (row.Image != kImageTypeIcon)
        return int(row.Image);
    const TCompareEntry entry = table_.Entry(i);
    return icons_.ImageForFile(std::string(ExtensionOf(entry.Name)),
                               table_.DirectoryText(i) + entry.Name);
}

QIcon TCompareListModel::RowIcon(int i) const
{
    const TRowState state = RowStateOf(table_.Store().Row(i), tagsShown_, tagsAvailable_);
    const int image = RowImage(i);
    const int key = (state.Image + 1) << 21 | int(state.Tag) << 20 | image;
    auto it = composed_.find(key);
    if (it == composed_.end())
        it = composed_.insert(key, SideBySideIcon((state.Tag ? tags_ : states_).Icon(state.Image),
                                                  small_.Icon(image)));
    return *it;
}

QVariant TCompareListModel::RowData(int i, int column, int role) const
{
    const TCompareRow& row = table_.Store().Row(i);
    switch (role) {
    case Qt::DecorationRole:
        return column == kCmpName ? QVariant(RowIcon(i)) : QVariant();
    case Qt::ForegroundRole:
        if (RowGhosted(row, tagsShown_, tagsAvailable_))
            return DimmedText();
        return {};
    case ItemTagRole:
        return ItemTag(row.Offset, unsigned(row.Kind));
    default:
        return {};
    }
}

} // namespace vm
