/* quintrel_platform.c - host services of the runtime helper library: memory,
 * strings, file seek, the clock and the high-resolution counter. */
#define _POSIX_C_SOURCE 200809L
#include "quintrel_platform.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

void* QuintrelAllocate(size_t size) { return malloc(size); }

size_t QuintrelLength(const char* s) { return strlen(s); }

int QuintrelSeekStart(void* file) { return fseek((FILE*)file, 0, SEEK_SET); }

void QuintrelNow(QuintrelCalendar* out) {
    struct timespec now;
    struct tm fields;
    clock_gettime(CLOCK_REALTIME, &now);
    localtime_r(&now.tv_sec, &fields);
    out->year = fields.tm_year + 1900;
    out->month = fields.tm_mon + 1;
    out->day = fields.tm_mday;
    out->hour = fields.tm_hour;
    out->minute = fields.tm_min;
    out->second = fields.tm_sec;
    out->millisecond = (int)(now.tv_nsec / 1000000);
}

/* Days from 1970-01-01 to the given civil date (proleptic Gregorian). */
static int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t QuintrelCalendarStamp(const QuintrelCalendar* c) {
    int64_t days = DaysFromCivil(c->year, c->month, c->day);
    int64_t seconds = ((days * 24 + c->hour) * 60 + c->minute) * 60 + c->second;
    return seconds * 1000 + c->millisecond;
}

int QuintrelCounterFrequency(int64_t* out) {
    struct timespec resolution;
    if (clock_getres(CLOCK_MONOTONIC, &resolution) != 0) return 0;
    *out = 1000000000;
    return 1;
}

int QuintrelCounter(int64_t* out) {
    struct timespec now;
    if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
    *out = (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
    return 1;
}
