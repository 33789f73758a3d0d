#include <cmath>

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

std::string Private::MiscUtils::GetFixedPrecisionNumericString(double value, int decimals)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value > 0 ? "Inf" : "-Inf";
    if (decimals < 0)
        decimals = 0;
    std::string text = fmt::format("{:.{}f}", value, decimals);
    // A value that rounds to zero is written without a sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace Ostrel::Vision
