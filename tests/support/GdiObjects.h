// Counts the live GDI objects of this process, for tests that check that
// drawing and freeing leave none behind.
#pragma once

#include <windows.h>

namespace testsupport {

// The number of live GDI objects of this process. GetGuiResources gives it on
// Windows; Wine answers 0 there, so then the entries in use of the GDI handle
// table are counted (Wine keeps one table per process; its address is in the
// process environment block, 64-bit layout: 24-byte entries, type byte at 14).
inline long LiveGdiObjects() {
    if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
#if defined(_WIN64)
    struct Entry {
        unsigned long long object;
        unsigned short processId, count, unique;
        unsigned char type, flags;
        unsigned long long user;
    };
    static_assert(sizeof(Entry) == 24, "handle table entry");
    unsigned char* peb = nullptr;
    asm("movq %%gs:0x60, %0" : "=r"(peb));
    auto* table = *reinterpret_cast<Entry**>(peb + 0xF8);
    if (!table) return -1;
    long n = 0;
    for (int i = 0; i < 0x10000; ++i) n += table[i].type != 0;
    return n;
#else
    return -1;
#endif
}

}  // namespace testsupport
