/* quintrel_platform.h - the host services behind the runtime helper library.
 *
 * Kept in their own file so that the library's exported names (calloc, time,
 * rewind, ...) never meet the C library's declarations of the same names. */
#ifndef QUINTREL_PLATFORM_H
#define QUINTREL_PLATFORM_H

#include <stddef.h>
#include <stdint.h>

/* Local date and time as calendar fields. */
typedef struct {
    int year, month, day, hour, minute, second, millisecond;
} QuintrelCalendar;

void* QuintrelAllocate(size_t size);
size_t QuintrelLength(const char* s);
int QuintrelSeekStart(void* file);
void QuintrelNow(QuintrelCalendar* out);
/* The local calendar time as milliseconds since 1970-01-01 00:00. */
int64_t QuintrelCalendarStamp(const QuintrelCalendar* calendar);
/* The high-resolution counter: counts per second and the current count;
 * non-zero on success. */
int QuintrelCounterFrequency(int64_t* out);
int QuintrelCounter(int64_t* out);

#endif
