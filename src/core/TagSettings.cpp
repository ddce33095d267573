#include "core/TagSettings.h"

#include "platform/ExclusiveFile.h"

namespace vm {

TTagSettings::TTagSettings()
{
    for (int i = 0; i < kTagItemCount; ++i)
        Captions[size_t(i)] = i == kRubbishBinItem ? "Rubbish bin" : "Tag " + std::to_string(i + 1);
}

std::string TagCaption(const TDirStorage& log, int item)
{
    std::string name;
    return log.GetTagName(item + 1, name) ? name : kUnusedTag;
}

int TagItemData(int item)
{
    return item == kRubbishBinItem ? 30 : item;
}

bool ValidTagCaption(const std::string& caption)
{
    return caption.find_first_of("\r\n") == std::string::npos;
}

bool TagItemRenamable(int item)
{
    return item >= 0 && item < kRubbishBinItem;
}

void TTagSettings::Load(const TDirStorage& log)
{
    const uint32_t mask = log.GetTagMask();
    for (int i = 0; i < kTagItemCount; ++i) {
        Captions[size_t(i)] = TagCaption(log, i);
        Checked[size_t(i)] = (mask >> TagItemData(i)) & 1;
    }
}

uint32_t TTagSettings::LogMask() const
{
    uint32_t mask = 0;
    for (int i = 0; i < kTagItemCount; ++i)
        if (Checked[size_t(i)])
            mask |= uint32_t(1) << TagItemData(i);
    return mask;
}

uint32_t TTagSettings::CheckState() const
{
    uint32_t state = 0;
    for (int i = 0; i < kTagItemCount; ++i)
        if (Checked[size_t(i)])
            state |= uint32_t(1) << i;
    return state;
}

void TTagSettings::SetCheckState(uint32_t state)
{
    for (int i = 0; i < kTagItemCount; ++i)
        Checked[size_t(i)] = (state >> i) & 1;
}

void TTagSettings::Save(TDirStorage& log) const
{
    for (int i = 0; i < kTagItemCount; ++i)
        log.SetTagName(i + 1, Captions[size_t(i)]);
    log.SetTagMask(LogMask());
}

void SaveTagSettingsToFile(const TTagSettings& settings, const std::string& path)
{
    std::unique_ptr<TFileStream> stream = OpenForExclusiveWriting(path);
    TDirStorage log(*stream);
    settings.Save(log);
    stream->Flush();
}

} // namespace vm
