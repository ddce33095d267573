#include "network/ShareListEditor.h"
#include "platform/AsciiCase.h"

#include "network/ShareList.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <stdexcept>

namespace vm {

namespace {

const char* const kUnknownVolume = "<Unknown>,0";

std::string Upper(const std::string& s)
{
    return AsciiUpperCase(s);
}

bool IsAction(const std::string& action, const char* name)
{
    return SameIniName(action, name);
}

// The keys that are a server's own facts, not volumes or shares.
bool IsServerFact(const std::string& key)
{
    std::string u = Upper(key);
    return u.rfind("IPADDRESS", 0) == 0 || u.rfind("OS", 0) == 0;
}

// "NAME,filesystem,unit" split at its first two commas.
struct TVolumeParts
{
    std::string Name, FileSystem, Unit;
};

TVolumeParts SplitVolumeText(const std::string& text)
{
    TVolumeParts p;
    size_t first = text.find(',');
    p.Name = text.substr(0, first);
    if (first == std::string::npos)
        return p;
    size_t second = text.find(',', first + 1);
    p.FileSystem = text.substr(first + 1, second == std::string::npos ? std::string::npos
                                                                      : second - first - 1);
    if (second != std::string::npos)
        p.Unit = text.substr(second + 1);
    return p;
}

std::string AfterFirstComma(const std::string& text)
{
    size_t comma = text.find(',');
    return comma == std::string::npos ? std::string() : text.substr(comma + 1);
}

bool TextLess(const TShareNode& a, const TShareNode& b)
{
    std::string ua = Upper(a.Text), ub = Upper(b.Text);
    return ua != ub ? ua < ub : a.Text < b.Text;
}

[[noreturn]] void RefuseTakenName(const std::string& name, const std::string& server)
{
    throw std::runtime_error("\"" + name + "\" is already listed on server " + server);
}

} // namespace

std::string OperatingSystemForTag(int tag)
{
    switch (tag) {
    case 1:
        return "Novell netware";
    case 2:
        return "Windows 95/98";
    case 3:
        return "Windows NT";
    case 4:
        return "Undefined";
    default:
        return {};
    }
}

std::string OperatingSystemOf(const std::string& server, const TFileSystemQuery& fileSystemOf)
{
    std::string fs = fileSystemOf("//" + server + "/C$/");
    if (fs.empty())
        fs = fileSystemOf("//" + server + "/SYS/");
    if (fs == "NTFS")
        return "Windows NT";
    if (fs == "NWCompat" || fs == "NWFS")
        return "Novell Netware";
    return fs;
}

int32_t DefaultClusterSize(const std::string& fileSystem)
{
    if (fileSystem == "NTFS")
        return 512;
    if (fileSystem == "FAT")
        return 32768;
    if (fileSystem == "FAT32")
        return 4096;
    if (fileSystem == "NWCompat" || fileSystem == "NWFS")
        return 8192;
    if (fileSystem.empty() || fileSystem == kUnknownFileSystem)
        return 0;
    return 32768;
}

TShareListEditor::TShareListEditor(std::string iniPath, TFileSystemQuery fileSystemOf)
    : ini_(std::move(iniPath)), fileSystemOf_(std::move(fileSystemOf))
{
}

std::vector<TServerItem> TShareListEditor::Servers() const
{
    std::vector<TServerItem> servers;
    for (const auto& [name, values] : ini_.ReadAll()) {
        TServerItem item{name, "", ""};
        for (const auto& [key, value] : values) {
            if (SameIniName(key, "IPAddress") && item.IPAddress.empty())
                item.IPAddress = value;
            else if (SameIniName(key, "OS") && item.OS.empty())
                item.OS = value;
        }
        servers.push_back(std::move(item));
    }
    return servers;
}

std::vector<TShareNode> TShareListEditor::ShareTree(const std::string& server) const
{
    std::vector<TShareNode> roots;
    auto entries = ini_.ReadSectionValues(server);
    for (const auto& [key, value] : entries)
        if (!IsServerFact(key) && (key + value).find(',') != std::string::npos)
            roots.push_back({kVolumeNode, key + "," + value, "", {}});
    size_t volumes = roots.size();
    for (const auto& [key, value] : entries) {
        if (IsServerFact(key) || (key + value).find(',') != std::string::npos)
            continue;
        TShareNode share{kShareNode, key, value, {}};
        const std::string& volumeName = value; // a binding cannot be captured by every compiler
        auto volume = std::find_if(roots.begin(), roots.begin() + long(volumes), [&](auto& v) {
            return SameIniName(SplitVolumeText(v.Text).Name, volumeName);
        });
        if (volume != roots.begin() + long(volumes))
            volume->Children.push_back(std::move(share));
        else
            roots.push_back(std::move(share));
    }
    for (TShareNode& r : roots)
        std::sort(r.Children.begin(), r.Children.end(), TextLess);
    std::sort(roots.begin(), roots.end(), TextLess);
    return roots;
}

void TShareListEditor::UpdateSharesINI(const std::string& action, const std::string& kind,
                                       const std::string& newName, TServerItem& item)
{
    if (IsAction(action, "Add")) {
        ini_.WriteString(item.Caption, "IPAddress", item.IPAddress);
        ini_.WriteString(item.Caption, "OS", item.OS);
    } else if (IsAction(action, "Delete")) {
        ini_.EraseSection(item.Caption);
    } else if (IsAction(action, "Edit")) {
        if (!newName.empty() && Upper(newName) != Upper(item.Caption)) {
            RenameServer(Upper(newName), item);
            return;
        }
        ini_.WriteString(item.Caption, "IPAddress", item.IPAddress);
        ini_.WriteString(item.Caption, "OS", item.OS);
    }
}

void TShareListEditor::RenameServer(const std::string& newName, TServerItem& item)
{
    if (ini_.SectionExists(newName))
        throw std::runtime_error("A server named " + newName + " is already in the list");
    // Every entry lands in the new section before the old one goes, so a failed write loses
    // nothing.
    for (const auto& [key, value] : ini_.ReadSectionValues(item.Caption))
        ini_.WriteString(newName, key, value);
    ini_.WriteString(newName, "IPAddress", item.IPAddress);
    ini_.WriteString(newName, "OS", item.OS);
    ini_.EraseSection(item.Caption);
    item.Caption = newName;
}

TServerItem TShareListEditor::AddServer()
{
    TServerItem item{kNewServerName, "", ""};
    UpdateSharesINI("Add", "Server", "", item);
    return item;
}

void TShareListEditor::ServerCaptionEdited(TServerItem& item, const std::string& text)
{
    if (item.OS.empty())
        item.OS = OperatingSystemOf(text.empty() ? item.Caption : text, fileSystemOf_);
    UpdateSharesINI("Edit", "Server", text, item);
}

void TShareListEditor::SetIPAddress(TServerItem& item, const std::string& address)
{
    item.IPAddress = address;
    UpdateSharesINI("Edit", "Server", "", item);
}

void TShareListEditor::SetOperatingSystem(TServerItem& item, int tag)
{
    std::string os = OperatingSystemForTag(tag);
    if (os.empty())
        return;
    item.OS = os;
    UpdateSharesINI("Edit", "Server", "", item);
}

void TShareListEditor::TVUpdateSharesINI(const std::string& action, const std::string& kind,
                                         const std::string& newText, TShareNode& node,
                                         const std::string& server)
{
    bool volume = node.Data == kVolumeNode;
    std::string key = volume ? SplitVolumeText(node.Text).Name : node.Text;
    if (IsAction(action, "Add")) {
        // A second "NewVolume" or "New share" must not overwrite the first one's entry.
        if (!ini_.ValueExists(server, key))
            ini_.WriteString(server, key, volume ? kUnknownVolume : node.Volume);
    } else if (IsAction(action, "Delete")) {
        ini_.DeleteKey(server, key);
        if (volume)
            for (const TShareNode& share : node.Children)
                ini_.DeleteKey(server, share.Text);
    } else if (IsAction(action, "Edit")) {
        if (newText.empty() || newText == node.Text)
            return;
        if (volume) {
            EditVolume(server, node, newText);
        } else {
            RenameEntry(server, node.Text, newText,
                        ini_.ReadString(server, node.Text, node.Volume));
            node.Text = newText;
        }
    }
}

void TShareListEditor::RenameEntry(const std::string& server, const std::string& from,
                                   const std::string& to, const std::string& value)
{
    if (SameIniName(from, to)) {
        // Keys ignore case: writing first would only change the old line's value.
        ini_.DeleteKey(server, from);
        ini_.WriteString(server, to, value);
        return;
    }
    if (ini_.ValueExists(server, to))
        RefuseTakenName(to, server);
    ini_.WriteString(server, to, value);
    ini_.DeleteKey(server, from);
}

void TShareListEditor::EditVolume(const std::string& server, TShareNode& node,
                                  const std::string& text)
{
    std::string oldName = SplitVolumeText(node.Text).Name;
    std::string newName = SplitVolumeText(text).Name;
    std::string value =
        text.find(',') != std::string::npos ? AfterFirstComma(text) : AfterFirstComma(node.Text);
    if (newName.empty())
        return;
    if (oldName == newName) {
        ini_.WriteString(server, newName, value);
    } else {
        RenameEntry(server, oldName, newName, value);
        // The shares on the volume follow it, so that they keep finding their unit (also those
        // the tree does not show, which the lookups still find).
        for (const auto& [key, shareOf] : ini_.ReadSectionValues(server))
            if (!SameIniName(key, "IPAddress") && !SameIniName(key, "OS") &&
                shareOf.find(',') == std::string::npos && SameIniName(shareOf, oldName))
                ini_.WriteString(server, key, newName);
        for (TShareNode& share : node.Children)
            share.Volume = newName;
    }
    node.Text = newName + "," + value;
}

TShareNode TShareListEditor::AddVolume(const std::string& server)
{
    TShareNode node{kVolumeNode, kNewVolumeName, "", {}};
    TVUpdateSharesINI("Add", "Share", "", node, server);
    return node;
}

TShareNode TShareListEditor::AddShare(const std::string& server, const TShareNode& selected)
{
    std::string volume =
        selected.Data == kVolumeNode ? SplitVolumeText(selected.Text).Name : selected.Volume;
    TShareNode node{kShareNode, kNewShareName, volume, {}};
    TVUpdateSharesINI("Add", "Share", "", node, server);
    return node;
}

void TShareListEditor::NodeEdited(const TServerItem& server, TShareNode& node,
                                  const std::string& text)
{
    if (node.Data != kVolumeNode) {
        TVUpdateSharesINI("Edit", "Share", text, node, server.Caption);
        return;
    }
    // What the user typed wins: "NAME", "NAME,fs" or "NAME,fs,unit". A file system not typed
    // is detected on the server (a drive letter of a Windows NT server through its
    // administrative share), else kept; a unit not typed is kept while the file system stays,
    // else the file system's default.
    TVolumeParts typed = SplitVolumeText(text);
    if (typed.Name.empty())
        return;
    TVolumeParts old = SplitVolumeText(node.Text);
    std::string fs = typed.FileSystem;
    if (fs.empty()) {
        std::string share = typed.Name;
        if (server.OS == "Windows NT" && share.size() > 1 && share[1] == ':')
            share = share.substr(0, 1) + "$";
        fs = fileSystemOf_("//" + server.Caption + "/" + share);
    }
    if (fs.empty())
        fs = old.FileSystem;
    if (fs.empty())
        fs = kUnknownFileSystem;
    std::optional<int32_t> unit = ParseAllocUnit(typed.Unit);
    if (!unit && fs == old.FileSystem)
        unit = ParseAllocUnit(old.Unit);
    int32_t cluster = unit ? *unit : DefaultClusterSize(fs);
    TVUpdateSharesINI("Edit", "Share", typed.Name + "," + fs + "," + std::to_string(cluster), node,
                      server.Caption);
}

void TShareListEditor::ChooseFileSystem(const std::string& server, TShareNode& volume,
                                        const std::string& fileSystem)
{
    TVolumeParts p = SplitVolumeText(volume.Text);
    TVUpdateSharesINI("Edit", "Share", p.Name + "," + fileSystem + "," + p.Unit, volume, server);
}

void TShareListEditor::ChooseAllocUnit(const std::string& server, TShareNode& volume, int32_t unit)
{
    TVolumeParts p = SplitVolumeText(volume.Text);
    TVUpdateSharesINI("Edit", "Share", p.Name + "," + p.FileSystem + "," + std::to_string(unit),
                      volume, server);
}

} // namespace vm
