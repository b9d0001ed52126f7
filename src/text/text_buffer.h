// The buffer a text reader or writer goes through: code units in this machine's byte order, so
// that the rules compare units as numbers, whatever order the file stores them in.
#ifndef TABLEMEND_TEXT_TEXT_BUFFER_H
#define TABLEMEND_TEXT_TEXT_BUFFER_H

#include <algorithm>
#include <cstddef>
#include <memory>

#include "text/text_format.h"

namespace tablemend {

// The longest chunk a read yields; a longer line arrives as several chunks.
constexpr std::size_t kMaxChunkLength = 1023;

// The size of the buffer each stream reads or writes through, in code units.
constexpr std::size_t kTextBufferSize = 128 * 1024;
// The smallest buffer that holds the units of a whole chunk and the line end after it.
constexpr std::size_t kMinimumTextBufferSize = kMaxChunkLength + 1;

// The line end every line feed is written as.
template <typename Unit>
constexpr Unit kCrLf[] = {'\r', '\n'};

template <typename Unit>
void AllocateTextBuffer(std::unique_ptr<Unit[]>& buffer, std::size_t& capacity, std::size_t size) {
  capacity = std::max(size, kMinimumTextBufferSize);
  buffer.reset(new Unit[capacity]);
}

// True when UTF-16 of this encoding is stored in the byte order this machine does not use.
inline bool StoredSwapped(TextEncoding encoding) {
  const char16_t probe = 1;
  const bool littleEndianMachine = *reinterpret_cast<const unsigned char*>(&probe) == 1;
  return encoding ==
         (littleEndianMachine ? TextEncoding::kUtf16BigEndian : TextEncoding::kUtf16LittleEndian);
}

// Turns stored units into this machine's order, or back: nothing to do for bytes.
template <typename Unit>
void SwapBytes(Unit* units, std::size_t count) {
  if constexpr (sizeof(Unit) == 2) {
    for (std::size_t index = 0; index < count; ++index) {
      units[index] = static_cast<Unit>((units[index] >> 8) | (units[index] << 8));
    }
  }
}

}  // namespace tablemend

#endif
