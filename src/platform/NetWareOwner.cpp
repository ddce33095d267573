#include "platform/NetWareOwner.h"

#include "platform/AsciiCase.h"

#include <array>

namespace vm {

namespace {
const char* const kClientLibrary = "CLXWIN32";
const char* const kCallsLibrary = "CALWIN32";

template <typename F>
void Resolve(TNetWareLoader& loader, const char* library, const char* name, F& entry)
{
    entry = reinterpret_cast<F>(loader.EntryPoint(library, name));
    if (!entry)
        throw ELoadLibFail("Can not initialise DLLs");
}
} // namespace

TNetWarePath SplitNetWarePath(const std::string& serverFormPath)
{
    TNetWarePath result;
    size_t at = serverFormPath.size() >= 2 ? 2 : serverFormPath.size();
    size_t end = serverFormPath.find_first_of("/\\", at);
    result.Server = serverFormPath.substr(at, end == std::string::npos ? end : end - at);
    if (end == std::string::npos)
        return result;
    size_t volumeEnd = serverFormPath.find_first_of("/\\", end + 1);
    std::string path =
        serverFormPath.substr(end + 1, volumeEnd == std::string::npos ? std::string::npos
                                                                      : volumeEnd - end - 1) +
        ":";
    if (volumeEnd != std::string::npos)
        path += serverFormPath.substr(volumeEnd + 1);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    result.Path = AsciiUpperCase(path);
    return result;
}

void TFileOwner::Initialise()
{
    Resolve(loader_, kClientLibrary, "NWCCGetPrimConnRef", getPrimConnRef_);
    Resolve(loader_, kClientLibrary, "NWCCOpenConnByRef", openConnByRef_);
    Resolve(loader_, kClientLibrary, "NWCCOpenConnByName", openConnByName_);
    Resolve(loader_, kCallsLibrary, "NWCallsInit", callsInit_);
    Resolve(loader_, kCallsLibrary, "NWGetNSEntryInfo", getNSEntryInfo_);
    Resolve(loader_, kCallsLibrary, "NWGetObjectName", getObjectName_);
    uint32_t result = callsInit_(nullptr, nullptr);
    uint32_t connRef = 0;
    nw::TConnHandle conn = 0;
    if (result == 0)
        result = getPrimConnRef_(&connRef);
    if (result == 0)
        result = openConnByRef_(connRef, 1, 0, &conn);
    if (result != 0)
        throw ELoadLibFail("InitNovell: result= " + std::to_string(result));
}

std::string TFileOwner::Owner(const std::string& serverFormPath)
{
    const TNetWarePath where = SplitNetWarePath(serverFormPath);
    nw::TConnHandle conn = 0;
    if (openConnByName_(0, where.Server.c_str(), 2, 1, 0x8000, &conn) != 0 &&
        openConnByName_(0, where.Server.c_str(), 8, 1, 0x8000, &conn) != 0)
        return {};
    nw::TEntryInfo info;
    if (getNSEntryInfo_(conn, 0, where.Path.c_str(), 0, 0, 0, 0x0FFF, &info) != 0)
        return {};
    std::array<char, 128> name{};
    uint16_t type = 0;
    if (getObjectName_(conn, info.CreatorID, name.data(), &type) != 0)
        return {};
    name.back() = 0;
    return name.data();
}

std::string NetWareFileOwner(TNetWareLoader& loader, const std::string& serverFormPath)
{
    if (!loader.LoadLibrary(kClientLibrary) || !loader.LoadLibrary(kCallsLibrary))
        return {};
    TFileOwner owner(loader);
    owner.Initialise();
    return owner.Owner(serverFormPath);
}

} // namespace vm
