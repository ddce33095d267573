// The byte coding that logs and comparisons share: little-endian integers, the six-byte real
// of sizes and the packed 32-bit time of dates. Decoders never read past the bytes they get.
#pragma once

#include "platform/DateTime.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace vm {

// On a little-endian machine the bytes are the value's own: one copy each way. Elsewhere they
// are put together a byte at a time.
template <class T> inline void PutLittle(uint8_t* p, T v)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &v, sizeof v);
    } else {
        for (size_t i = 0; i < sizeof v; ++i)
            p[i] = static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i));
    }
}
template <class T> inline T GetLittle(const uint8_t* p)
{
    if constexpr (std::endian::native == std::endian::little) {
        T v;
        std::memcpy(&v, p, sizeof v);
        return v;
    } else {
        uint64_t v = 0;
        for (size_t i = sizeof(T); i-- > 0;)
            v = v << 8 | p[i];
        return static_cast<T>(v);
    }
}

inline void PutU16(uint8_t* p, uint16_t v)
{
    PutLittle(p, v);
}
inline void PutU32(uint8_t* p, uint32_t v)
{
    PutLittle(p, v);
}
inline void PutI32(uint8_t* p, int32_t v)
{
    PutU32(p, static_cast<uint32_t>(v));
}
inline void PutU64(uint8_t* p, uint64_t v)
{
    PutLittle(p, v);
}
inline void PutI64(uint8_t* p, int64_t v)
{
    PutU64(p, static_cast<uint64_t>(v));
}
inline void PutDouble(uint8_t* p, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    PutU64(p, bits);
}

inline uint16_t GetU16(const uint8_t* p)
{
    return GetLittle<uint16_t>(p);
}
inline uint32_t GetU32(const uint8_t* p)
{
    return GetLittle<uint32_t>(p);
}
inline int32_t GetI32(const uint8_t* p)
{
    return static_cast<int32_t>(GetU32(p));
}
inline uint64_t GetU64(const uint8_t* p)
{
    return GetLittle<uint64_t>(p);
}
inline int64_t GetI64(const uint8_t* p)
{
    return static_cast<int64_t>(GetU64(p));
}
inline double GetDouble(const uint8_t* p)
{
    uint64_t bits = GetU64(p);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// Six-byte real: byte 0 the exponent biased by 129 (0 = the value 0), bytes 1 to 5 a 39-bit
// fraction with the sign in the top bit of byte 5. Whole numbers up to 2^40 are exact; larger
// ones take the nearest representable value, halves going to the even fraction.
void EncodeReal48(int64_t value, uint8_t out[6]);
void EncodeReal48(double value, uint8_t out[6]);
double DecodeReal48(const uint8_t in[6]);
// Decoded and rounded to the nearest integer (the log reader's rule).
int64_t DecodeReal48Rounded(const uint8_t in[6]);
// Decoded and truncated toward zero (the comparison reader's rule).
int64_t DecodeReal48Truncated(const uint8_t in[6]);

// Packed time: seconds since 1899-12-30 local time, folded at 2147483647 seconds
// (1968-01-18 03:14:07) so that later moments are stored as negative numbers.
constexpr int64_t kPackedFold = 2147483647;
int32_t PackTime(TDateTime value);
// The date-time of a packed time; 0 (no date) for a stored 0, the mark of a moment that could
// not be held.
TDateTime UnpackTime(int32_t stored);
// The same as whole seconds since 1899-12-30 00:00 local time.
int64_t UnpackSeconds(int32_t stored);
// The packed form of a date-time when the packed time can hold it (after 1899-12-30 00:00:00
// and up to 4294967295 seconds later, 2036-02-05 06:28:15), otherwise 0.
int32_t PackTimeOrZero(TDateTime value);
// The same for a moment given as whole seconds since 1899-12-30 00:00 local time, without a
// floating-point date-time on the way (what a scan stores for file times).
int32_t PackSecondsOrZero(int64_t seconds);

} // namespace vm
