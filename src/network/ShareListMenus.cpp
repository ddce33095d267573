#include "network/ShareListMenus.h"

#include "network/ShareListEditor.h"

namespace vm {

TServerMenuState ServerMenuState(bool serverSelected)
{
    TServerMenuState s;
    s.RenameServer = s.DeleteServer = s.SpecifyIPAddress = serverSelected;
    s.SpecifyOperatingSystem = serverSelected;
    return s;
}

TShareMenuState ShareMenuState(bool serverSelected, int selectedKind)
{
    TShareMenuState s;
    if (!serverSelected)
        return s;
    s.AddVolume = true;
    const bool volume = selectedKind == kVolumeNode, share = selectedKind == kShareNode;
    s.AddShare = s.RenameVolume = s.DeleteVolume = volume;
    // The file system and the unit belong to a volume: on a share they would turn its entry
    // into a volume's.
    s.ChooseFileSystem = s.ChooseAllocUnit = volume;
    s.RenameShare = s.DeleteShare = share;
    return s;
}

} // namespace vm
