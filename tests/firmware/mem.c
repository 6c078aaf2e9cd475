/* The two library routines the compiler may call on its own (there is no C library here). */
#include <stddef.h>

void* memset(void* destination, int value, size_t size) {
    unsigned char* p = destination;
    while (size--) *p++ = (unsigned char)value;
    return destination;
}

void* memcpy(void* destination, const void* source, size_t size) {
    unsigned char* to = destination;
    const unsigned char* from = source;
    while (size--) *to++ = *from++;
    return destination;
}
