// The owner of a file on a NetWare volume, asked of the NetWare client libraries "CLXWIN32" and
// "CALWIN32" through the call sequence of their interface. Linux has no such client: the real
// loader reports the libraries missing, so owners on NetWare volumes stay empty; tests hand a
// loader with fake entry points to check the sequence and its errors.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vm {

// The client libraries are there but cannot be used: a missing entry point ("Can not initialise
// DLLs") or a failing first call ("InitNovell: result= 5").
class ELoadLibFail : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The entry points used, with the client interface's argument order. Every call returns 0 for
// success, else the client's error code.
namespace nw {
using TConnHandle = uint32_t;
// What NWGetNSEntryInfo fills: the entry's facts as the client describes them; the owner is the
// creator's object ID. Room is left for the fields this program does not read.
struct TEntryInfo
{
    uint32_t SpaceAlloc = 0, Attributes = 0, Flags = 0, DataStreamSize = 0, TotalStreamSize = 0;
    uint16_t NumberOfStreams = 0, CreationTime = 0, CreationDate = 0, Reserved = 0;
    uint32_t CreatorID = 0;
    uint8_t Rest[512] = {};
};
using TCallsInit = uint32_t (*)(void* in, void* out);
using TGetPrimConnRef = uint32_t (*)(uint32_t* connRef);
using TOpenConnByRef = uint32_t (*)(uint32_t connRef, uint32_t openState, uint32_t reserved,
                                    TConnHandle* conn);
using TOpenConnByName = uint32_t (*)(TConnHandle startConn, const char* name, uint32_t nameFormat,
                                     uint32_t openState, uint32_t transport, TConnHandle* conn);
using TGetNSEntryInfo = uint32_t (*)(TConnHandle conn, uint8_t dirHandle, const char* path,
                                     uint8_t srcNameSpace, uint8_t dstNameSpace,
                                     uint16_t searchAttributes, uint32_t returnMask,
                                     TEntryInfo* info);
using TGetObjectName = uint32_t (*)(TConnHandle conn, uint32_t objectId, char* name,
                                    uint16_t* objectType);
} // namespace nw

// Loads libraries by name and finds their entry points (dlopen and dlsym where a client exists).
class TNetWareLoader
{
public:
    virtual ~TNetWareLoader() = default;
    // False when the library is not installed.
    virtual bool LoadLibrary(const std::string& library) = 0;
    // An entry point of a loaded library; null when it has none of that name.
    virtual void* EntryPoint(const std::string& library, const std::string& name) = 0;
};

// The loader of this platform: no NetWare client exists, so every library is missing.
class TNoNetWareClient : public TNetWareLoader
{
public:
    bool LoadLibrary(const std::string&) override { return false; }
    void* EntryPoint(const std::string&, const std::string&) override { return nullptr; }
};

// A file path in server form split as the client wants it: "//FS1/SYS/PUBLIC/A.TXT" gives the
// server FS1 and the path SYS:PUBLIC\A.TXT (volume, ":", the rest with "\", upper-cased).
struct TNetWarePath
{
    std::string Server;
    std::string Path;
};
TNetWarePath SplitNetWarePath(const std::string& serverFormPath);

// One use of the client: initialised once (raises ELoadLibFail), then asked for owners.
class TFileOwner
{
public:
    explicit TFileOwner(TNetWareLoader& loader) : loader_(loader) {}
    // Resolves the six entry points and opens the primary connection.
    void Initialise();
    // The owner's name of the file at path (server form), or "" when the client does not know.
    std::string Owner(const std::string& serverFormPath);

private:
    TNetWareLoader& loader_;
    nw::TCallsInit callsInit_ = nullptr;
    nw::TGetPrimConnRef getPrimConnRef_ = nullptr;
    nw::TOpenConnByRef openConnByRef_ = nullptr;
    nw::TOpenConnByName openConnByName_ = nullptr;
    nw::TGetNSEntryInfo getNSEntryInfo_ = nullptr;
    nw::TGetObjectName getObjectName_ = nullptr;
};

// The owner of a file on a NetWare volume: "" when the client libraries are not installed (as on
// every Linux system). Raises ELoadLibFail when they are but cannot be used.
std::string NetWareFileOwner(TNetWareLoader& loader, const std::string& serverFormPath);

} // namespace vm
