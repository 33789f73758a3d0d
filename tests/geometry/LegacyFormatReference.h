#pragma once
// The legacy format-string conversion as its definition states it: one ECMAScript regular
// expression applied match after match, each match rewritten, text outside every match
// copied. A reference for short texts only: std::regex backtracks recursively.
#include <regex>
#include <stdexcept>
#include <string>

#include <Ostrel/Vision/Exceptions.h>

namespace LegacyFormatReference {

using Ostrel::Vision::VisionException;

inline std::string ConvertByExpression(const std::string& text)
{
    static const std::regex token(
        R"((.*?)\{([B|D|I|T])(?:,(-?\d+))?(?::([c|d|e|f|g|n|p|r|x|C|D|E|F|G|N|P|R|X])(\d+)?)?\})");
    std::string out;
    std::string rest = text;
    for (std::sregex_iterator it(text.begin(), text.end(), token), end; it != end; ++it) {
        const std::smatch& m = *it;
        std::string literal = m[1], width, precision = m[5].matched ? "." + m[5].str() : "", type;
        if (m[3].matched) {
            const int n = std::stoi(m[3]);
            width = n < 0 ? "<" + std::to_string(-static_cast<long long>(n)) : ">" + std::to_string(n);
        }
        const char letter = m[4].matched ? m[4].str()[0] : 0;
        if (letter == 'C' || letter == 'c')
            literal += "$", type = "f", precision = ".2";
        else if (letter && std::string("DEFGXdefgx").find(letter) != std::string::npos)
            type = letter;
        else if (letter == 'N' || letter == 'n')
            type = "L";
        else if ((letter == 'R' || letter == 'r') && m[2] == "D")
            type = "g", precision = ".9";
        else if ((letter == 'R' || letter == 'r') && m[2] == "I")
            type = "d";
        else if (letter == 'P' || letter == 'p')
            throw VisionException("Unconvertable Format String - (" + m.str() + "). Percentage format not supported");
        else if (letter == '|')
            throw VisionException("Invalid Format String - (" + m.str() + ").");
        const bool spec = !width.empty() || !precision.empty() || !type.empty();
        out += m.prefix().str() + literal + "{" + m[2].str() + (spec ? ":" : "") + width + precision + type + "}";
        rest = m.suffix();
    }
    return out + rest;
}

// The outcome of a conversion: its result, or the kind and message of its failure (an
// out-of-range width by its kind alone).
template <class Convert>
std::string Outcome(Convert convert, const std::string& text)
{
    try {
        return "= " + convert(text);
    } catch (const VisionException& e) {
        return "VisionException " + e.Message();
    } catch (const std::out_of_range&) {
        return "out_of_range";
    }
}

} // namespace LegacyFormatReference
