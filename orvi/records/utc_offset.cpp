// The UTC offset as the local wall time read as if it were UTC, less the moment itself.
#include "utc_offset.h"

long UtcOffsetSeconds(const std::tm& local, std::time_t seconds) {
    // Days since 1970-01-01 of the local date (proleptic Gregorian calendar, any year).
    const long y = local.tm_year + 1900L - (local.tm_mon < 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long m = local.tm_mon + 1;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + local.tm_mday - 1;
    const long days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
    const long long wall = days * 86400LL + local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec;
    return static_cast<long>(wall - static_cast<long long>(seconds));
}
