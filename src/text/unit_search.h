// Finding one code unit in a run of them: bytes through the C library's memchr, UTF-16 units
// several at a time. Both UTF-16 searches are compiled wherever they can be, so that the one the
// 32-bit Windows program uses is tested on every build machine too.
#ifndef TABLEMEND_TEXT_UNIT_SEARCH_H
#define TABLEMEND_TEXT_UNIT_SEARCH_H

#include <cstddef>

namespace tablemend {

// The first place of `unit` among `count` units, or null.
const char* FindUnit(const char* units, std::size_t count, char unit);
const char16_t* FindUnit(const char16_t* units, std::size_t count, char16_t unit);

// Four units at a time in a 64-bit word, for processors without vector instructions.
const char16_t* FindUnitFourAtATime(const char16_t* units, std::size_t count, char16_t unit);

#ifdef __SSE2__
// Eight units at a time with SSE2, which every x86-64 processor has.
const char16_t* FindUnitEightAtATime(const char16_t* units, std::size_t count, char16_t unit);
#endif

}  // namespace tablemend

#endif
