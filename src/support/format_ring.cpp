// FormatText: printf-style formatting into the next buffer of the ring, always bounded.
#include "support/format_ring.h"

#include <cstdarg>
#include <cstdio>

char FormatRing[formatRingSize][formatBufferSize];
int32_t ringIndex = 0;

const char* FormatText(const char* format, ...)
{
    char* buffer = FormatRing[ringIndex];
    buffer[0] = '\0';
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, formatBufferSize, format, arguments);
    va_end(arguments);
    ringIndex = (ringIndex + 1) & (formatRingSize - 1);
    return buffer;
}
