#include "core/FileKind.h"

#include "core/CompareFormat.h"
#include "core/ExtendedCompareFormat.h"
#include "core/ExtendedLogFormat.h"

#include <cstdio>
#include <memory>
#include <strings.h>

namespace vm {

namespace {

bool HasExtension(const std::string& path, const char* extension)
{
    return path.size() >= 4 && strcasecmp(path.c_str() + path.size() - 4, extension) == 0;
}

TFileKind KindOfName(const std::string& path)
{
    if (HasExtension(path, ".kcf"))
        return TFileKind::Comparison;
    if (HasExtension(path, ".kdf"))
        return TFileKind::Log;
    return TFileKind::Unknown;
}

} // namespace

TFileKind KindOfFile(const std::string& path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f)
        return KindOfName(path);
    uint8_t head[20] = {};
    const size_t got = std::fread(head, 1, sizeof head, f.get());
    if (IsExtendedCompareSignature(head, static_cast<int64_t>(got)))
        return TFileKind::Comparison;
    if (IsExtendedLogSignature(head, static_cast<int64_t>(got)))
        return TFileKind::Log;
    if (got >= 20 && GetU16(head + 14) >= kCompareMinRecordLength &&
        GetI32(head + 16) == kCompareFirstOffset)
        return TFileKind::Comparison;
    if (got >= 16 && GetU16(head + 14) <= kLogExtensionLength)
        return TFileKind::Log;
    return KindOfName(path);
}

} // namespace vm
