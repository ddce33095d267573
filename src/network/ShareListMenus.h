// Which items of the share list window's two pop-up menus can be used, by what is selected.
#pragma once

namespace vm {

struct TServerMenuState
{
    bool AddServer = true;
    bool RenameServer = false, DeleteServer = false, SpecifyIPAddress = false;
    bool SpecifyOperatingSystem = false;
};

// Everything but "&Add server" needs a selected server.
TServerMenuState ServerMenuState(bool serverSelected);

struct TShareMenuState
{
    bool AddVolume = false, RenameVolume = false, DeleteVolume = false;
    bool AddShare = false, RenameShare = false, DeleteShare = false;
    bool ChooseFileSystem = false, ChooseAllocUnit = false;
};

// selectedKind: kVolumeNode, kShareNode, or 0 when no node is selected. A volume offers its own
// items and "&Add share"; a share only its own. Without a server nothing can be added.
TShareMenuState ShareMenuState(bool serverSelected, int selectedKind);

} // namespace vm
