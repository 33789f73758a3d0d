#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

#include <fmt/format.h>

#include <Ostrel/Vision/MiscUtils.h>
#include <Ostrel/Vision/Strings.h>

namespace Ostrel::Vision {

std::string Strings::Substitute(std::string_view format, const std::vector<std::string>& args)
{
    std::string out;
    out.reserve(format.size() + 16);
    std::size_t i = 0;
    while (i < format.size()) {
        const char ch = format[i];
        if (ch != '%' || i + 1 >= format.size() || format[i + 1] < '0' || format[i + 1] > '9') {
            out += ch;
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        std::size_t n = 0;
        bool overflow = false;
        while (end < format.size() && format[end] >= '0' && format[end] <= '9') {
            if (n > args.size())
                overflow = true;  // already out of range; keep scanning the digits
            else
                n = n * 10 + static_cast<std::size_t>(format[end] - '0');
            ++end;
        }
        if (!overflow && n >= 1 && n <= args.size())
            out += args[n - 1];
        else
            out.append(format.substr(i, end - i));
        i = end;
    }
    return out;
}

namespace {

constexpr double PowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
constexpr int FastDecimals = static_cast<int>(std::size(PowersOfTen)) - 1;
// Below this a scaled value and its distance from the nearest integer are exact doubles.
constexpr double FastScaledLimit = 1e15;

// The fast path of the fixed notation, for the values labels show: |value|·10^decimals is
// rounded by the hardware and the candidate accepted only when the exact product provably
// lies less than half a unit from it, which fma tells (it rounds the exact difference once,
// and rounding is monotone, so a computed |difference| below 0.5 means an exact one below
// 0.5). Ties and near-ties, huge values and many decimals return false for the exact path.
bool AppendScaled(std::string& out, double value, int decimals)
{
    if (decimals > FastDecimals)
        return false;
    const double scale = PowersOfTen[decimals];
    const double magnitude = std::fabs(value);
    if (!(magnitude * scale < FastScaledLimit))
        return false;
    const double rounded = std::round(magnitude * scale);
    if (!(std::fabs(std::fma(magnitude, scale, -rounded)) < 0.5))
        return false;
    const auto units = static_cast<std::uint64_t>(rounded);
    const auto divisor = static_cast<std::uint64_t>(scale);
    char digits[32];
    char* end = digits;
    if (value < 0 && units != 0) // a value that rounds to zero is written without a sign
        *end++ = '-';
    end = std::to_chars(end, std::end(digits), units / divisor).ptr;
    if (decimals > 0) {
        *end++ = '.';
        char* fraction = std::to_chars(end, std::end(digits), units % divisor + divisor).ptr;
        std::copy(end + 1, fraction, end); // drop the leading 1 that kept the fraction's zeros
        end += decimals;
    }
    out.append(digits, end);
    return true;
}

} // namespace

std::string Private::MiscUtils::GetFixedPrecisionNumericString(double value, int decimals)
{
    std::string text;
    AppendFixedPrecisionNumericString(text, value, decimals);
    return text;
}

void Private::MiscUtils::AppendFixedPrecisionNumericString(std::string& out, double value, int decimals)
{
    if (std::isnan(value)) {
        out += "NaN";
        return;
    }
    if (std::isinf(value)) {
        out += value > 0 ? "Inf" : "-Inf";
        return;
    }
    if (decimals < 0)
        decimals = 0;
    if (AppendScaled(out, value, decimals))
        return;
    const std::size_t start = out.size();
    fmt::format_to(std::back_inserter(out), "{:.{}f}", value, decimals);
    // A value that rounds to zero is written without a sign.
    if (out[start] == '-' && out.find_first_not_of("-0.", start) == std::string::npos)
        out.erase(start, 1);
}

} // namespace Ostrel::Vision
