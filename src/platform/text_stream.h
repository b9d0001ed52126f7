// Text files as this program keeps them, the same on every platform: CR LF line ends on disk and
// a line feed alone in memory. Both directions work on whole buffers over binary I/O, so no
// system call is made per line, and no C library's text mode is involved.
//
// A text is a sequence of code units: bytes for ANSI and UTF-8 text, 16-bit units for UTF-16
// text, which is stored in either byte order, with or without a byte-order mark before it. The
// rules see whole code units only, so the bytes 0D 0A inside a UTF-16 character are no line end.
//
// Reading: CR LF becomes LF, a lone CR stays, a Ctrl-Z (0x1A) ends the input for good, and the
// text comes out in chunks of at most kMaxChunkLength code units, each ending at the first line
// feed. Writing: every LF becomes CR LF, whatever stands before it.
#ifndef TABLEMEND_PLATFORM_TEXT_STREAM_H
#define TABLEMEND_PLATFORM_TEXT_STREAM_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace tablemend {

// The longest chunk a read yields; a longer line arrives as several chunks.
constexpr std::size_t kMaxChunkLength = 1023;

// The size of the buffer each stream reads or writes through, in code units.
constexpr std::size_t kTextBufferSize = 128 * 1024;
// The smallest buffer that holds the units of a whole chunk and the line end after it.
constexpr std::size_t kMinimumTextBufferSize = kMaxChunkLength + 1;

enum class TextEncoding { kBytes, kUtf16LittleEndian, kUtf16BigEndian };

// How a file stores its text. A byte-order mark is not part of the text: it is skipped on
// reading and written back first.
struct TextFormat {
  TextEncoding encoding = TextEncoding::kBytes;
  bool byteOrderMark = false;
};

// The format the first bytes of a file show: UTF-16 after the byte-order mark FF FE or FE FF,
// or, without a mark, when the first two code units are plain ASCII with a zero byte beside
// each; bytes otherwise.
TextFormat DetectTextFormat(std::string_view firstBytes);

enum class FormatRead {
  kRead,
  kUnreadable,
  kCutShort,  // UTF-16 with an odd number of bytes: its last character is cut, and no
              // conversion could keep it
};

// Reads the format of the file at `path` from its first bytes and its length.
FormatRead ReadTextFormat(const std::string& path, TextFormat& format);

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

// A text sink: a file, or bytes in memory, written through one buffer.
template <typename Unit>
struct BasicTextWriter {
  FileHandle file;
  std::string* memory = nullptr;
  bool swapBytes = false;
  std::unique_ptr<Unit[]> buffer;
  std::size_t capacity = 0;
  std::size_t used = 0;
  bool failed = false;  // sticky: once a write fails, the rest is dropped and reported at close

  BasicTextWriter() = default;
  BasicTextWriter(const BasicTextWriter&) = delete;
  BasicTextWriter& operator=(const BasicTextWriter&) = delete;
  // Flushes what is still buffered, so that a run that stops early keeps what it wrote.
  ~BasicTextWriter();
};

using TextReader = BasicTextReader<char>;
using TextWriter = BasicTextWriter<char>;

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

// Creates the file anew or cuts it to length zero, and writes the byte-order mark when the
// format has one.
template <typename Unit>
bool OpenTextWriter(const std::string& path, const TextFormat& format,
                    BasicTextWriter<Unit>& writer);
template <typename Unit>
void AttachTextWriter(std::string& target, const TextFormat& format, BasicTextWriter<Unit>& writer,
                      std::size_t bufferSize = kTextBufferSize);
// Appends bytes to the file, creating it when missing.
bool OpenTextAppender(const std::string& path, TextWriter& writer);

// Writes a text of bytes, line feeds anywhere.
void WriteText(TextWriter& writer, std::string_view text);
// A view of code units of the writer's width; its own type is not deduced, so that any text that
// converts to it (a string literal, a string) may be passed.
template <typename Unit>
struct UnitsOf {
  using View = std::basic_string_view<Unit>;
};

// The same for a text that holds no line feed but perhaps as its last unit, as every chunk and
// every line built from one does: no search for line feeds is needed.
template <typename Unit>
void WriteLineChunk(BasicTextWriter<Unit>& writer, typename UnitsOf<Unit>::View chunk);
// Hands the buffered units to the system; false once any write has failed.
template <typename Unit>
bool FlushTextWriter(BasicTextWriter<Unit>& writer);
// Flushes and closes; false when any write, the flush or the close failed.
template <typename Unit>
bool CloseTextWriter(BasicTextWriter<Unit>& writer);

}  // namespace tablemend

#endif
