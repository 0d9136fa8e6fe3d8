#include "internetdatetime.h"

namespace InternetDateTime {

namespace {

using namespace std::chrono;

// The value of `count` decimal digits at `pos`, or -1 when one of them is not a digit.
[[nodiscard]] int digits(QStringView text, qsizetype pos, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t c = text[pos + i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + int(c - u'0');
    }
    return value;
}

[[nodiscard]] QString padded(long long value, int width)
{
    return QString::number(value).rightJustified(width, u'0');
}

} // namespace

std::optional<QString> format(Instant t)
{
    const auto secondsSinceEpoch = floor<seconds>(t);
    const auto day = floor<days>(secondsSinceEpoch);
    // Checked on the day count: a chrono year holds 16 bits, so converting a farther day first would wrap its year
    // back into range.
    constexpr sys_days firstDay{year{0} / January / 1};
    constexpr sys_days pastLastDay{year{10000} / January / 1};
    if (day < firstDay || day >= pastLastDay)
        return std::nullopt;
    const year_month_day date{day};
    const int y = int(date.year());
    const hh_mm_ss<seconds> time{secondsSinceEpoch - day};
    return padded(y, 4) + u'-' + padded(unsigned(date.month()), 2) + u'-' + padded(unsigned(date.day()), 2) + u'T'
        + padded(time.hours().count(), 2) + u':' + padded(time.minutes().count(), 2) + u':'
        + padded(time.seconds().count(), 2) + u'Z';
}

std::optional<Instant> parse(QStringView text)
{
    // YYYY-MM-DDTHH:MM:SS is 19 characters; then Z, or an offset of 6.
    if (text.size() != 20 && text.size() != 25)
        return std::nullopt;
    if (text[4] != u'-' || text[7] != u'-' || text[10] != u'T' || text[13] != u':' || text[16] != u':')
        return std::nullopt;
    const int y = digits(text, 0, 4);
    const int mo = digits(text, 5, 2);
    const int d = digits(text, 8, 2);
    const int h = digits(text, 11, 2);
    const int mi = digits(text, 14, 2);
    const int s = digits(text, 17, 2);
    if (y < 0 || mo < 0 || d < 0 || h < 0 || mi < 0 || s < 0)
        return std::nullopt;
    if (h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    const year_month_day date{year{y}, month{unsigned(mo)}, day{unsigned(d)}};
    if (!date.ok())
        return std::nullopt;

    minutes offset{0};
    if (text.size() == 20) {
        if (text[19] != u'Z')
            return std::nullopt;
    } else {
        const QChar sign = text[19];
        if ((sign != u'+' && sign != u'-') || text[22] != u':')
            return std::nullopt;
        const int oh = digits(text, 20, 2);
        const int om = digits(text, 23, 2);
        if (oh < 0 || om < 0 || oh > 23 || om > 59)
            return std::nullopt;
        offset = minutes{oh * 60 + om};
        if (sign == u'-')
            offset = -offset;
    }
    const auto local = sys_days{date} + hours{h} + minutes{mi} + seconds{s};
    const Instant t{local - offset};
    // An offset can carry the first or last hours of the range past its ends; such a date could not be written back.
    if (!format(t))
        return std::nullopt;
    return t;
}

} // namespace InternetDateTime
