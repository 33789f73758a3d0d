// The legacy format-string conversion as a scan of its token grammar. The scan finds the
// same tokens, with the same literal text, as the regular expression
//   (.*?)\{([B|D|I|T])(?:,(-?\d+))?(?::([c|d|e|f|g|n|p|r|x|C|D|E|F|G|N|P|R|X])(\d+)?)?\}
// applied match after match from the start (ECMAScript: "." stops at "\n" and "\r"):
// - the token grammar leaves no choice: each optional part, once started, either
//   completes or the token fails (a shorter digit run would leave a digit where ":" or
//   "}" must stand), so a token matches at a position or it does not;
// - the lazy literal part makes a match start at the search position when a token
//   follows on the same line, else just after the last line break before the first token.
// No backtracking: each character is looked at a bounded number of times.
#include <charconv>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include <Geometry/Implementation/LegacyFormatString.h>
#include <Ostrel/Vision/Exceptions.h>

namespace Ostrel::Vision::Geometry::Implementation {

namespace {

constexpr std::string_view kNames = "BDIT|";
constexpr std::string_view kLetters = "cdefgnprxCDEFGNPRX|";
constexpr std::string_view kLineBreaks = "\n\r";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool In(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

// The parts of a token; an absent part is empty (a present one never is).
struct Token {
    std::size_t end = 0;  // one past the closing brace
    char name = 0;
    std::string_view width;
    char letter = 0;
    std::string_view digits;
};

std::size_t SkipDigits(std::string_view text, std::size_t i)
{
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i;
}

// The token that starts at `at`, if one does.
std::optional<Token> MatchToken(std::string_view text, std::size_t at)
{
    const auto is = [&](std::size_t i, char c) { return i < text.size() && text[i] == c; };
    if (!is(at, '{') || at + 1 >= text.size() || !In(kNames, text[at + 1]))
        return std::nullopt;
    Token token;
    token.name = text[at + 1];
    std::size_t i = at + 2;
    if (is(i, ',')) {
        const std::size_t first = i + 1 + (is(i + 1, '-') ? 1 : 0);
        const std::size_t last = SkipDigits(text, first);
        if (last == first)
            return std::nullopt;
        token.width = text.substr(i + 1, last - i - 1);
        i = last;
    }
    if (is(i, ':')) {
        if (i + 1 >= text.size() || !In(kLetters, text[i + 1]))
            return std::nullopt;
        token.letter = text[i + 1];
        const std::size_t last = SkipDigits(text, i + 2);
        token.digits = text.substr(i + 2, last - i - 2);
        i = last;
    }
    if (!is(i, '}'))
        return std::nullopt;
    token.end = i + 1;
    return token;
}

// The first token at or after `from`, and where it starts.
std::optional<Token> FindToken(std::string_view text, std::size_t from, std::size_t& at)
{
    for (at = text.find('{', from); at != std::string_view::npos; at = text.find('{', at + 1))
        if (auto token = MatchToken(text, at))
            return token;
    return std::nullopt;
}

std::string AlignedWidth(std::string_view width, std::string_view match)
{
    std::int32_t n = 0;
    const auto [end, error] = std::from_chars(width.data(), width.data() + width.size(), n);
    if (error != std::errc() || end != width.data() + width.size())
        throw std::out_of_range("Invalid Format String - (" + std::string(match) +
                                "). The width lies outside the 32-bit range.");
    return n < 0 ? "<" + std::to_string(-static_cast<std::int64_t>(n)) : ">" + std::to_string(n);
}

} // namespace

std::string ConvertLegacyFormatString(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    std::size_t pos = 0, at = 0;
    while (const auto token = FindToken(text, pos, at)) {
        // The match starts on the token's line: earlier lines are copied as they are.
        const std::size_t lineBreak = text.substr(pos, at - pos).find_last_of(kLineBreaks);
        const std::size_t start = lineBreak == std::string_view::npos ? pos : pos + lineBreak + 1;
        out.append(text.substr(pos, start - pos));
        const std::string_view literal = text.substr(start, at - start);
        const std::string_view match = text.substr(start, token->end - start);

        const std::string width = token->width.empty() ? std::string() : AlignedWidth(token->width, match);
        std::string precision = token->digits.empty() ? std::string() : "." + std::string(token->digits);
        std::string type;
        bool currency = false;
        switch (token->letter) {
        case 0:
            break;
        case 'C': case 'c':
            currency = true, type = "f", precision = ".2";
            break;
        case 'D': case 'E': case 'F': case 'G': case 'X': case 'd': case 'e': case 'f': case 'g': case 'x':
            type = token->letter;
            break;
        case 'N': case 'n':
            type = "L";
            break;
        case 'R': case 'r':
            if (token->name == 'D')
                type = "g", precision = ".9";
            else if (token->name == 'I')
                type = "d";
            break;
        case 'P': case 'p':
            throw VisionException("Unconvertable Format String - (" + std::string(match) +
                                  "). Percentage format not supported");
        default:
            throw VisionException("Invalid Format String - (" + std::string(match) + ").");
        }

        out.append(literal);
        if (currency)
            out += '$';
        out += '{';
        out += token->name;
        if (!width.empty() || !precision.empty() || !type.empty())
            out += ':';
        out.append(width).append(precision).append(type);
        out += '}';
        pos = token->end;
    }
    out.append(text.substr(pos));
    return out;
}

} // namespace Ostrel::Vision::Geometry::Implementation
