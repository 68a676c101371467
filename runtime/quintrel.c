/* quintrel.c - the runtime helper library: fifteen C runtime functions with the
 * behaviour the system expects (which is not always the C library's).
 *
 * Exported by name with C linkage. The library keeps no state but the
 * stopwatch's counter frequency and start count. Characters are taken as
 * signed char promoted to int, as the functions' users expect. The helpers
 * call each other only through the static functions below, never through an
 * exported name, so they behave the same however the library was loaded. */
#include "quintrel_platform.h"

#define QUINTREL_EXPORT __attribute__((visibility("default")))

QUINTREL_EXPORT char* _strdup(const char* s);
QUINTREL_EXPORT char* _strlwr(char* s);
QUINTREL_EXPORT char* _strupr(char* s);
QUINTREL_EXPORT int _tolower(int c);
QUINTREL_EXPORT int _toupper(int c);
QUINTREL_EXPORT void* calloc(size_t count, size_t size);
QUINTREL_EXPORT int getms(void);
QUINTREL_EXPORT int isprint(int c);
QUINTREL_EXPORT int isspace(int c);
QUINTREL_EXPORT int rewind(void* file);
QUINTREL_EXPORT char* strrchr(const char* s, int c);
QUINTREL_EXPORT int time(int* out);
QUINTREL_EXPORT int timerinit(void);
QUINTREL_EXPORT int timerstart(void);
QUINTREL_EXPORT int timerstop(void);

static int64_t StopwatchFrequency;
static int64_t StopwatchStart;

static int Lower(int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
static int Upper(int c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

char* _strdup(const char* s) {
    size_t size = QuintrelLength(s) + 1;
    char* copy = QuintrelAllocate(size);
    if (!copy) return 0;
    for (size_t i = 0; i < size; ++i) copy[i] = s[i];
    return copy;
}

char* _strlwr(char* s) {
    size_t length = QuintrelLength(s);
    for (size_t i = 0; i < length; ++i) s[i] = (char)Lower((signed char)s[i]);
    return s;
}

char* _strupr(char* s) {
    size_t length = QuintrelLength(s);
    for (size_t i = 0; i < length; ++i) s[i] = (char)Upper((signed char)s[i]);
    return s;
}

int _tolower(int c) { return Lower(c); }
int _toupper(int c) { return Upper(c); }

/* Unlike the bare allocator this replaces, a product that does not fit and a
 * failed allocation both give null instead of a fill through a bad pointer. */
void* calloc(size_t count, size_t size) {
    if (size != 0 && count > (size_t)-1 / size) return 0;
    size_t bytes = count * size;
    char* block = QuintrelAllocate(bytes ? bytes : 1);
    if (!block) return 0;
    for (size_t i = 0; i < bytes; ++i) block[i] = 0;
    return block;
}

int getms(void) {
    QuintrelCalendar now;
    QuintrelNow(&now);
    return (int)(uint32_t)QuintrelCalendarStamp(&now);
}

int isprint(int c) { return c; }
int isspace(int c) { return c == 0x20; }

int rewind(void* file) { return QuintrelSeekStart(file); }

char* strrchr(const char* s, int c) {
    for (size_t i = QuintrelLength(s); i-- > 0;)
        if ((signed char)s[i] == c) return (char*)(s + i);
    return 0;
}

int time(int* out) {
    QuintrelCalendar now;
    QuintrelNow(&now);
    int packed = now.day << 24 | now.hour << 16 | now.minute << 8 | now.second;
    if (out) *out = packed;
    return packed;
}

int timerinit(void) { return QuintrelCounterFrequency(&StopwatchFrequency); }

int timerstart(void) { return QuintrelCounter(&StopwatchStart); }

/* Elapsed milliseconds since timerstart. Before timerinit there is no
 * frequency to divide by, and the result is 0. */
int timerstop(void) {
    int64_t now;
    do {
        if (!QuintrelCounter(&now)) return 0;
    } while (now < StopwatchStart);
    if (StopwatchFrequency <= 0) return 0;
    double milliseconds = (double)(now - StopwatchStart) / (double)StopwatchFrequency * 1000.0;
    return milliseconds < 2147483647.0 ? (int)milliseconds : 2147483647;
}
