#include "lenientNumbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

// The span of text that can hold the number: leading white space dropped, then the ASCII
// characters a decimal number may use. Anything later cannot change the value.
std::string numberPrefix(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    std::string out;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool numeric = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' ||
                             c == u'e' || c == u'E';
        if (!numeric)
            break;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

// The number's characters without a leading sign, and whether that sign was '-'.
struct unsignedNumber {
    std::string text;
    bool negative = false;
};

unsignedNumber splitSign(QStringView text) {
    unsignedNumber n{numberPrefix(text)};
    if (!n.text.empty() && (n.text.front() == '+' || n.text.front() == '-')) {
        n.negative = n.text.front() == '-';
        n.text.erase(0, 1);
    }
    return n;
}

} // namespace

double leadingDouble(QStringView text) {
    const unsignedNumber n = splitSign(text);
    const bool negative = n.negative;
    double value = 0.0;
    const auto result = std::from_chars(n.text.data(), n.text.data() + n.text.size(), value,
                                        std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = std::numeric_limits<double>::infinity();
    else if (result.ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

float leadingFloat(QStringView text) {
    return static_cast<float>(leadingDouble(text));
}

int leadingInt(QStringView text) {
    const unsignedNumber n = splitSign(text);
    const bool negative = n.negative;
    long long value = 0;
    const auto result = std::from_chars(n.text.data(), n.text.data() + n.text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    if (result.ec != std::errc())
        return 0;
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

int truncatedToInt(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}
