#include "QVRDateFormatter.h"

#include "timeZones.h"

#include <array>
#include <cstdlib>
#include <optional>

namespace {

constexpr std::array<const char*, 12> longMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<const char*, 12> shortMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// Indexed by QDate::dayOfWeek() - 1, Monday first.
constexpr std::array<const char*, 7> longWeekdays = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                     "Friday", "Saturday", "Sunday"};
constexpr std::array<const char*, 7> shortWeekdays = {"Mon", "Tue", "Wed", "Thu",
                                                      "Fri", "Sat", "Sun"};

bool isPatternLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

QString padded(qint64 value, int width) {
    QString digits = QString::number(std::llabs(value));
    if (digits.size() < width)
        digits.prepend(QString(width - digits.size(), u'0'));
    return value < 0 ? u'-' + digits : digits;
}

// Weeks start on Sunday and week 1 is the week that holds 1 January, as in US English
// calendars; so the last days of December can belong to the next week-based year.
int sundayBasedWeekday(const QDate& d) {
    return d.dayOfWeek() % 7; // Sunday 0 … Saturday 6
}

int weekBasedYear(const QDate& d) {
    const QDate saturday = d.addDays(6 - sundayBasedWeekday(d));
    return saturday.year() > d.year() ? d.year() + 1 : d.year();
}

int weekOfYear(const QDate& d) {
    const QDate jan1(weekBasedYear(d), 1, 1);
    const QDate firstSunday = jan1.addDays(-sundayBasedWeekday(jan1));
    return int(firstSunday.daysTo(d) / 7) + 1;
}

// "+01:00", "+0100" or "+01" style offsets.
QString offsetText(int seconds, bool colon, bool minutesOptional) {
    const QChar sign = seconds < 0 ? u'-' : u'+';
    const int total = std::abs(seconds) / 60;
    const int h = total / 60;
    const int m = total % 60;
    QString out = sign + padded(h, 2);
    if (minutesOptional && m == 0)
        return out;
    return out + (colon ? QStringLiteral(":") : QString()) + padded(m, 2);
}

// "GMT", "GMT+1", "GMT+5:30" (short) or "GMT+01:00" (long).
QString gmtText(int seconds, bool longForm) {
    if (seconds == 0)
        return QStringLiteral("GMT");
    const QChar sign = seconds < 0 ? u'-' : u'+';
    const int total = std::abs(seconds) / 60;
    const int h = total / 60;
    const int m = total % 60;
    if (longForm)
        return QStringLiteral("GMT") + sign + padded(h, 2) + u':' + padded(m, 2);
    QString out = QStringLiteral("GMT") + sign + QString::number(h);
    if (m != 0)
        out += u':' + padded(m, 2);
    return out;
}

QString zoneName(const QDateTime& local, bool longForm) {
    const QTimeZone zone = local.timeZone();
    if (zone == QTimeZone::utc() || zone.id() == "UTC" || zone.id() == "Etc/UTC")
        return longForm ? QStringLiteral("Coordinated Universal Time") : QStringLiteral("UTC");
    if (longForm) {
        const QString name =
            zone.displayName(local, QTimeZone::LongName, QLocale(QLocale::English));
        if (!name.isEmpty())
            return name;
    }
    const QString abbreviation = zone.abbreviation(local);
    // Zones without a name of their own come back as "UTC+01:00"; speak of them as CLDR does.
    if (abbreviation.isEmpty() || abbreviation.startsWith(u"UTC+") ||
        abbreviation.startsWith(u"UTC-"))
        return gmtText(local.offsetFromUtc(), false);
    return abbreviation;
}

bool isNumericToken(char16_t letter, int count) {
    switch (letter) {
    case u'y':
    case u'Y':
    case u'd':
    case u'D':
    case u'h':
    case u'H':
    case u'k':
    case u'K':
    case u'm':
    case u's':
    case u'S':
    case u'A':
    case u'w':
        return true;
    case u'M':
    case u'L':
    case u'e':
    case u'c':
        return count <= 2;
    default:
        return false;
    }
}

// The fields read from a text before they are resolved into an instant.
struct ParsedFields {
    std::optional<int> year, yearOfWeek, month, day, dayOfYear, hour24, hour12, minute, second;
    int msec = 0;
    std::optional<int> msecInDay;
    std::optional<bool> pm;
    std::optional<int> offsetSeconds;
};

class TextReader {
public:
    explicit TextReader(QStringView text)
        : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    bool literal(const QString& s) {
        if (text_.mid(pos_).startsWith(s)) {
            pos_ += s.size();
            return true;
        }
        return false;
    }

    // Up to `maxDigits` decimal digits (at least one); `exact` demands exactly that many.
    std::optional<qint64> digits(int maxDigits, bool exact, int* countRead = nullptr) {
        qint64 value = 0;
        int n = 0;
        while (n < maxDigits && pos_ < text_.size() && text_.at(pos_).unicode() >= u'0' &&
               text_.at(pos_).unicode() <= u'9') {
            value = value * 10 + (text_.at(pos_).unicode() - u'0');
            ++pos_;
            ++n;
        }
        if (n == 0 || (exact && n != maxDigits))
            return std::nullopt;
        if (countRead)
            *countRead = n;
        return value;
    }

    // Index of the longest name that the text continues with, ignoring case.
    template <size_t N>
    std::optional<int> oneOf(const std::array<const char*, N>& names) {
        int best = -1;
        qsizetype bestLength = 0;
        for (size_t i = 0; i < N; ++i) {
            const QLatin1StringView name(names[i]);
            if (name.size() > bestLength && text_.mid(pos_).startsWith(name, Qt::CaseInsensitive)) {
                best = int(i);
                bestLength = name.size();
            }
        }
        if (best < 0)
            return std::nullopt;
        pos_ += bestLength;
        return best;
    }

    // "Z", "UTC", "GMT", optionally followed by an offset, or a bare "+hh", "+hhmm", "+hh:mm".
    std::optional<int> zoneOffset() {
        if (literal(QStringLiteral("Z")))
            return 0;
        const bool named = literal(QStringLiteral("UTC")) || literal(QStringLiteral("GMT"));
        if (pos_ >= text_.size() || (text_.at(pos_) != u'+' && text_.at(pos_) != u'-'))
            return named ? std::optional<int>(0) : std::nullopt;
        const int sign = text_.at(pos_) == u'-' ? -1 : 1;
        ++pos_;
        int hourDigits = 0;
        const auto hours = digits(2, false, &hourDigits);
        if (!hours)
            return std::nullopt;
        qint64 minutes = 0;
        const qsizetype beforeMinutes = pos_;
        literal(QStringLiteral(":"));
        if (const auto m = digits(2, true))
            minutes = *m;
        else
            pos_ = beforeMinutes;
        if (*hours > 23 || minutes > 59)
            return std::nullopt;
        return sign * int(*hours * 3600 + minutes * 60);
    }

private:
    QStringView text_;
    qsizetype pos_ = 0;
};

} // namespace

QVRDateFormatter::QVRDateFormatter()
    : zone_(timeZones::defaultTimeZone()) {}

QVRDateFormatter::QVRDateFormatter(const QString& pattern)
    : QVRDateFormatter(pattern, timeZones::defaultTimeZone()) {}

QVRDateFormatter::QVRDateFormatter(const QString& pattern, const QTimeZone& zone)
    : pattern_(pattern)
    , zone_(zone)
    , tokens_(tokenize(pattern)) {}

void QVRDateFormatter::setDateFormat(const QString& pattern) {
    pattern_ = pattern;
    tokens_ = tokenize(pattern);
}

QList<QVRDateFormatter::Token> QVRDateFormatter::tokenize(const QString& pattern) {
    QList<Token> tokens;
    auto appendLiteral = [&tokens](const QString& s) {
        if (s.isEmpty())
            return;
        if (!tokens.isEmpty() && tokens.last().letter == 0)
            tokens.last().literal += s;
        else
            tokens.append(Token{0, 0, s});
    };
    qsizetype i = 0;
    while (i < pattern.size()) {
        const char16_t c = pattern.at(i).unicode();
        if (c == u'\'') {
            if (i + 1 < pattern.size() && pattern.at(i + 1) == u'\'') {
                appendLiteral(QStringLiteral("'"));
                i += 2;
                continue;
            }
            // Quoted text up to the closing quote; '' inside stands for one quote.
            QString quoted;
            ++i;
            while (i < pattern.size()) {
                if (pattern.at(i) == u'\'') {
                    if (i + 1 < pattern.size() && pattern.at(i + 1) == u'\'') {
                        quoted += u'\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                quoted += pattern.at(i++);
            }
            appendLiteral(quoted);
        } else if (isPatternLetter(c)) {
            int count = 0;
            while (i < pattern.size() && pattern.at(i).unicode() == c) {
                ++count;
                ++i;
            }
            tokens.append(Token{c, count, QString()});
        } else {
            appendLiteral(QString(pattern.at(i++)));
        }
    }
    return tokens;
}

QString QVRDateFormatter::stringFromDate(const QDateTime& date) const {
    if (!date.isValid())
        return {};
    const QDateTime local = date.toTimeZone(zone_);
    QString out;
    for (const Token& token : tokens_) {
        if (token.letter == 0)
            out += token.literal;
        else
            appendField(out, token, local);
    }
    return out;
}

void QVRDateFormatter::appendField(QString& out, const Token& token, const QDateTime& local) const {
    const QDate d = local.date();
    const QTime t = local.time();
    const int n = token.count;
    // QDate has no year 0: 1 BC is -1. Unicode years count 1 BC as 0 only in the extended
    // year; the era year is what patterns print.
    const int eraYear = d.year() < 0 ? -d.year() : d.year();
    switch (token.letter) {
    case u'G':
        out += n == 4 ? (d.year() < 0 ? u"Before Christ"_qs : u"Anno Domini"_qs)
                      : (d.year() < 0 ? u"BC"_qs : u"AD"_qs);
        break;
    case u'y':
        out += n == 2 ? padded(eraYear % 100, 2) : padded(eraYear, n);
        break;
    case u'Y': {
        const int y = weekBasedYear(d);
        out += n == 2 ? padded(y % 100, 2) : padded(y, n);
        break;
    }
    case u'M':
    case u'L':
        if (n <= 2)
            out += padded(d.month(), n);
        else if (n == 3)
            out += QLatin1StringView(shortMonths[d.month() - 1]);
        else if (n == 4)
            out += QLatin1StringView(longMonths[d.month() - 1]);
        else
            out += QLatin1StringView(longMonths[d.month() - 1]).left(1);
        break;
    case u'd':
        out += padded(d.day(), n);
        break;
    case u'D':
        out += padded(d.dayOfYear(), n);
        break;
    case u'w':
        out += padded(weekOfYear(d), n);
        break;
    case u'e':
    case u'c':
        if (n <= 2) {
            out += padded(sundayBasedWeekday(d) + 1, n);
            break;
        }
        [[fallthrough]];
    case u'E':
        if (n == 4)
            out += QLatin1StringView(longWeekdays[d.dayOfWeek() - 1]);
        else if (n == 5)
            out += QLatin1StringView(longWeekdays[d.dayOfWeek() - 1]).left(1);
        else if (n == 6)
            out += QLatin1StringView(longWeekdays[d.dayOfWeek() - 1]).left(2);
        else
            out += QLatin1StringView(shortWeekdays[d.dayOfWeek() - 1]);
        break;
    case u'a':
        out += t.hour() < 12 ? u"AM"_qs : u"PM"_qs;
        break;
    case u'h':
        out += padded(t.hour() % 12 == 0 ? 12 : t.hour() % 12, n);
        break;
    case u'H':
        out += padded(t.hour(), n);
        break;
    case u'K':
        out += padded(t.hour() % 12, n);
        break;
    case u'k':
        out += padded(t.hour() == 0 ? 24 : t.hour(), n);
        break;
    case u'm':
        out += padded(t.minute(), n);
        break;
    case u's':
        out += padded(t.second(), n);
        break;
    case u'S': {
        // Fractional seconds, truncated to the number of letters.
        QString fraction = padded(t.msec(), 3);
        if (n <= 3)
            fraction.truncate(n);
        else
            fraction += QString(n - 3, u'0');
        out += fraction;
        break;
    }
    case u'A':
        out += padded(t.msecsSinceStartOfDay(), n);
        break;
    case u'z':
        out += zoneName(local, n >= 4);
        break;
    case u'Z':
        if (n <= 3)
            out += offsetText(local.offsetFromUtc(), false, false);
        else if (n == 4)
            out += gmtText(local.offsetFromUtc(), true);
        else
            out += local.offsetFromUtc() == 0 ? u"Z"_qs
                                              : offsetText(local.offsetFromUtc(), true, false);
        break;
    case u'O':
        out += gmtText(local.offsetFromUtc(), n >= 4);
        break;
    case u'X':
    case u'x': {
        const int offset = local.offsetFromUtc();
        if (token.letter == u'X' && offset == 0) {
            out += u'Z';
            break;
        }
        if (n == 1)
            out += offsetText(offset, false, true);
        else
            out += offsetText(offset, n == 3 || n == 5, false);
        break;
    }
    default:
        out += QString(n, QChar(token.letter));
        break;
    }
}

QDateTime QVRDateFormatter::dateFromString(QStringView text) const {
    TextReader reader(text);
    ParsedFields f;

    for (qsizetype i = 0; i < tokens_.size(); ++i) {
        const Token& token = tokens_.at(i);
        if (token.letter == 0) {
            if (!reader.literal(token.literal))
                return {};
            continue;
        }
        // Numeric fields that abut another numeric field take exactly their width.
        const bool abutting = isNumericToken(token.letter, token.count) && i + 1 < tokens_.size() &&
                              isNumericToken(tokens_.at(i + 1).letter, tokens_.at(i + 1).count);
        auto number = [&](int defaultMax) {
            return abutting ? reader.digits(token.count, true) : reader.digits(defaultMax, false);
        };
        const int n = token.count;
        switch (token.letter) {
        case u'y':
        case u'Y': {
            int read = 0;
            const auto v =
                abutting ? reader.digits(n, true, &read) : reader.digits(9, false, &read);
            if (!v)
                return {};
            int year = int(*v);
            if (n == 2 && read == 2) {
                // Two-digit years fall within the 80 years before and 20 after today.
                const int now = QDate::currentDate().year();
                year += (now - 80) / 100 * 100;
                if (year < now - 80)
                    year += 100;
            }
            (token.letter == u'y' ? f.year : f.yearOfWeek) = year;
            break;
        }
        case u'M':
        case u'L':
            if (n <= 2) {
                const auto v = number(2);
                if (!v)
                    return {};
                f.month = int(*v);
            } else {
                std::optional<int> m = reader.oneOf(longMonths);
                if (!m)
                    m = reader.oneOf(shortMonths);
                if (!m)
                    return {};
                f.month = *m + 1;
            }
            break;
        case u'd': {
            const auto v = number(2);
            if (!v)
                return {};
            f.day = int(*v);
            break;
        }
        case u'D': {
            const auto v = number(3);
            if (!v)
                return {};
            f.dayOfYear = int(*v);
            break;
        }
        case u'w': {
            if (!number(2))
                return {};
            break;
        }
        case u'e':
        case u'c':
            if (n <= 2) {
                if (!number(1))
                    return {};
                break;
            }
            [[fallthrough]];
        case u'E': {
            // The weekday is checked by nothing: the date fields decide the day.
            if (!reader.oneOf(longWeekdays) && !reader.oneOf(shortWeekdays))
                return {};
            break;
        }
        case u'a': {
            constexpr std::array<const char*, 2> marks = {"AM", "PM"};
            const auto v = reader.oneOf(marks);
            if (!v)
                return {};
            f.pm = *v == 1;
            break;
        }
        case u'H':
        case u'k': {
            const auto v = number(2);
            if (!v || (token.letter == u'H' && *v > 23) ||
                (token.letter == u'k' && (*v < 1 || *v > 24)))
                return {};
            f.hour24 = int(*v) % 24;
            break;
        }
        case u'h':
        case u'K': {
            const auto v = number(2);
            if (!v || (token.letter == u'h' && (*v < 1 || *v > 12)) ||
                (token.letter == u'K' && *v > 11))
                return {};
            f.hour12 = int(*v) % 12;
            break;
        }
        case u'm': {
            const auto v = number(2);
            if (!v || *v > 59)
                return {};
            f.minute = int(*v);
            break;
        }
        case u's': {
            const auto v = number(2);
            if (!v || *v > 59)
                return {};
            f.second = int(*v);
            break;
        }
        case u'S': {
            int read = 0;
            const auto v =
                abutting ? reader.digits(n, true, &read) : reader.digits(18, false, &read);
            if (!v)
                return {};
            // Keep milliseconds; further digits are truncated.
            qint64 ms = *v;
            for (int k = read; k > 3; --k)
                ms /= 10;
            for (int k = read; k < 3; ++k)
                ms *= 10;
            f.msec = int(ms);
            break;
        }
        case u'A': {
            const auto v = number(8);
            if (!v || *v >= 86400000)
                return {};
            f.msecInDay = int(*v);
            break;
        }
        case u'z':
        case u'Z':
        case u'O':
        case u'X':
        case u'x': {
            const auto offset = reader.zoneOffset();
            if (!offset)
                return {};
            f.offsetSeconds = *offset;
            break;
        }
        default:
            if (!reader.literal(QString(n, QChar(token.letter))))
                return {};
            break;
        }
    }
    if (!reader.atEnd())
        return {};

    // Missing fields take the values of 1970-01-01 00:00:00.
    const int year = f.year.value_or(f.yearOfWeek.value_or(1970));
    QDate date;
    if (f.dayOfYear && !f.month && !f.day) {
        const QDate jan1(year, 1, 1);
        if (*f.dayOfYear < 1 || *f.dayOfYear > jan1.daysInYear())
            return {};
        date = jan1.addDays(*f.dayOfYear - 1);
    } else {
        const int month = f.month.value_or(1);
        const int day = f.day.value_or(1);
        if (month < 1 || month > 12 || day < 1)
            return {};
        date = QDate(year, month, day);
    }
    if (!date.isValid())
        return {};

    int hour = f.hour24.value_or(0);
    if (f.hour12)
        hour = *f.hour12 + (f.pm.value_or(false) ? 12 : 0);
    else if (f.pm && f.hour24 && *f.pm && hour < 12)
        hour += 12;
    QTime time(hour, f.minute.value_or(0), f.second.value_or(0), f.msec);
    if (f.msecInDay)
        time = QTime::fromMSecsSinceStartOfDay(*f.msecInDay);
    if (!time.isValid())
        return {};

    const QTimeZone zone = f.offsetSeconds ? QTimeZone(*f.offsetSeconds) : zone_;
    const QDateTime result(date, time, zone);
    return result.isValid() ? result.toUTC() : QDateTime();
}

QString QVRDateFormatter::standardDescription(const QDateTime& date) {
    if (!date.isValid())
        return QStringLiteral("(null)");
    static const QVRDateFormatter formatter(QStringLiteral("yyyy-MM-dd HH:mm:ss Z"),
                                            timeZones::utc());
    return formatter.stringFromDate(date);
}
