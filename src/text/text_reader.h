// Reading text files as this program keeps them, the same on every platform: CR LF becomes a
// line feed alone in memory, a lone CR stays, a Ctrl-Z (0x1A) ends the input for good, and the
// text comes out in chunks of at most kMaxChunkLength code units, each ending at the first line
// feed. It works on whole buffers over binary I/O, so no system call is made per line, and no C
// library's text mode is involved.
//
// A text is a sequence of code units: bytes for ANSI and UTF-8 text, 16-bit units for UTF-16
// text. The rules see whole code units only, so the bytes 0D 0A inside a UTF-16 character are no
// line end.
#ifndef TABLEMEND_TEXT_TEXT_READER_H
#define TABLEMEND_TEXT_TEXT_READER_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "text/text_buffer.h"
#include "text/text_format.h"
#include "text/text_writer.h"

namespace tablemend {

// A text source: a file, or bytes in memory (for tests and fuzzing), read through one buffer.
template <typename Unit>
struct BasicTextReader {
  FileHandle file;
  std::string_view unreadMemory;  // the bytes not yet taken, when the source is memory
  bool fromMemory = false;
  bool swapBytes = false;  // UTF-16 stored in the byte order this machine does not use
  std::unique_ptr<Unit[]> buffer;
  std::size_t capacity = 0;
  std::size_t begin = 0;  // units read but not yet handed out, in buffer[begin, end)
  std::size_t end = 0;
  bool inputEnded = false;  // end of file, Ctrl-Z or a read error: nothing more comes
  bool readFailed = false;  // a read error, or a file ending inside a code unit
};

using TextReader = BasicTextReader<char>;

template <typename Unit>
bool OpenTextReader(const std::string& path, const TextFormat& format,
                    BasicTextReader<Unit>& reader);
// Reads from memory; a small buffer (for tests) makes every refill path run often.
template <typename Unit>
void AttachTextReader(std::string_view bytes, const TextFormat& format,
                      BasicTextReader<Unit>& reader, std::size_t bufferSize = kTextBufferSize);

// Yields the next chunk, valid until the next call; false at the end of the input.
template <typename Unit>
bool ReadLineChunk(BasicTextReader<Unit>& reader, std::basic_string_view<Unit>& chunk);

// Copies chunks to the writer unchanged, in bulk, as writing each one read would, up to and
// including the first for which `stopAfter` is true, or to the end of the input. `stopAfter` sees
// each chunk as stored, a final CR LF still two units. Returns how many chunks it copied, and
// sets `stopped` when it stopped at one.
template <typename Unit>
long long CopyLineChunksUntil(BasicTextReader<Unit>& reader, BasicTextWriter<Unit>& writer,
                              bool (*stopAfter)(std::basic_string_view<Unit> chunk), bool& stopped);

}  // namespace tablemend

#endif
