#include "core/Coding.h"

#include <bit>
#include <cmath>
#include <limits>

namespace vm {

namespace {
void PutReal48(bool negative, int exponent, uint64_t fraction39, uint8_t out[6])
{
    out[0] = static_cast<uint8_t>(exponent);
    for (int i = 0; i < 5; ++i)
        out[1 + i] = static_cast<uint8_t>(fraction39 >> (8 * i));
    out[5] = static_cast<uint8_t>((out[5] & 0x7F) | (negative ? 0x80 : 0));
}
} // namespace

void EncodeReal48(int64_t value, uint8_t out[6])
{
    std::memset(out, 0, 6);
    if (value == 0)
        return;
    bool negative = value < 0;
    uint64_t mag = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    int k = 63 - std::countl_zero(mag); // mag lies in [2^k, 2^(k+1))
    uint64_t mantissa;                  // 40 bits with the leading one
    if (k <= 39) {
        mantissa = mag << (39 - k);
    } else {
        int shift = k - 39;
        mantissa = mag >> shift;
        uint64_t rest = mag & ((uint64_t{1} << shift) - 1);
        uint64_t half = uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (mantissa & 1)))
            ++mantissa;
        if (mantissa >> 40) { // rounding carried into a new leading bit
            mantissa >>= 1;
            ++k;
        }
    }
    PutReal48(negative, k + 129, mantissa & ((uint64_t{1} << 39) - 1), out);
}

void EncodeReal48(double value, uint8_t out[6])
{
    std::memset(out, 0, 6);
    if (value == 0.0 || !std::isfinite(value))
        return;
    bool negative = value < 0;
    int e2 = 0;
    double m = std::frexp(std::fabs(value), &e2);      // value = m * 2^e2, m in [0.5, 1)
    double scaled = std::nearbyint(std::ldexp(m, 40)); // 40 significant bits, ties to even
    int k = e2 - 1;
    uint64_t mantissa = static_cast<uint64_t>(scaled);
    if (mantissa >> 40) {
        mantissa >>= 1;
        ++k;
    }
    int exponent = k + 129;
    if (exponent <= 0)
        return; // too small: zero
    if (exponent > 255) {
        exponent = 255;
        mantissa = (uint64_t{1} << 40) - 1;
    }
    PutReal48(negative, exponent, mantissa & ((uint64_t{1} << 39) - 1), out);
}

double DecodeReal48(const uint8_t in[6])
{
    if (in[0] == 0)
        return 0.0;
    uint64_t fraction = 0;
    for (int i = 4; i >= 0; --i)
        fraction = fraction << 8 | in[1 + i];
    fraction &= (uint64_t{1} << 39) - 1;
    double mag = std::ldexp(static_cast<double>(fraction | (uint64_t{1} << 39)), in[0] - 129 - 39);
    return (in[5] & 0x80) ? -mag : mag;
}

namespace {
int64_t Clamp64(double v)
{
    if (!(v < 9.2233720368547758e18))
        return std::numeric_limits<int64_t>::max();
    if (!(v > -9.2233720368547758e18))
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

// The magnitude of a six-byte real as a whole number, rounded half away from zero or truncated,
// computed from its 40 mantissa bits without floating point; false when it does not fit 63 bits.
// Readers decode two reals per record, and this keeps them off the floating-point library.
bool WholeMagnitude(const uint8_t in[6], bool rounded, uint64_t& magnitude)
{
    uint64_t mantissa = 0;
    for (int i = 4; i >= 0; --i)
        mantissa = mantissa << 8 | in[1 + i];
    mantissa = (mantissa & ((uint64_t{1} << 39) - 1)) | (uint64_t{1} << 39);
    const int shift = in[0] - 129 - 39; // value = mantissa * 2^shift
    if (shift >= 0) {
        if (shift > 23)
            return false;
        magnitude = mantissa << shift;
    } else if (shift < -40) {
        magnitude = 0; // below one half
    } else {
        const int down = -shift;
        magnitude = (rounded ? mantissa + (uint64_t{1} << (down - 1)) : mantissa) >> down;
    }
    return true;
}

int64_t DecodeWhole(const uint8_t in[6], bool rounded)
{
    if (in[0] == 0)
        return 0;
    uint64_t magnitude = 0;
    if (!WholeMagnitude(in, rounded, magnitude)) {
        double v = DecodeReal48(in);
        return Clamp64(rounded ? std::round(v) : std::trunc(v));
    }
    const auto value = static_cast<int64_t>(magnitude);
    return (in[5] & 0x80) ? -value : value;
}
} // namespace

int64_t DecodeReal48Rounded(const uint8_t in[6])
{
    return DecodeWhole(in, true);
}
int64_t DecodeReal48Truncated(const uint8_t in[6])
{
    return DecodeWhole(in, false);
}

int32_t PackTime(TDateTime value)
{
    // A microsecond of slack absorbs the representation error of fractions of a day, so that a
    // whole second is never stored as the second before it.
    double s = std::trunc(value * kSecondsPerDay + (value >= 0 ? 1e-6 : -1e-6));
    if (s <= static_cast<double>(kPackedFold))
        return static_cast<int32_t>(std::max(s, -2147483648.0));
    return static_cast<int32_t>(-(s - static_cast<double>(kPackedFold)));
}

int64_t UnpackSeconds(int32_t stored)
{
    return stored > 0 ? stored : -static_cast<int64_t>(stored) + kPackedFold;
}

TDateTime UnpackTime(int32_t stored)
{
    // No moment is packed as 0: it marks a date the log could not hold, which is no date.
    if (stored == 0)
        return 0;
    return static_cast<double>(UnpackSeconds(stored)) / kSecondsPerDay;
}

int32_t PackTimeOrZero(TDateTime value)
{
    double s = value * kSecondsPerDay;
    if (!(s >= 1.0) || s >= 4294967296.0)
        return 0;
    return PackTime(value);
}

int32_t PackSecondsOrZero(int64_t seconds)
{
    if (seconds < 1 || seconds >= (int64_t{1} << 32))
        return 0;
    if (seconds <= kPackedFold)
        return static_cast<int32_t>(seconds);
    return static_cast<int32_t>(-(seconds - kPackedFold));
}

} // namespace vm
