// Text files as this program keeps them, the same on every platform: CR LF line ends on disk and
// a line feed alone in memory. Both directions work on whole buffers over binary I/O, so no
// system call is made per line, and no C library's text mode is involved.
//
// Reading: CR LF becomes LF, a lone CR stays, a Ctrl-Z byte (0x1A) ends the input for good, and
// the text comes out in chunks of at most kMaxChunkLength characters, each ending at the first
// line feed. Writing: every LF becomes CR LF, whatever stands before it.
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

// The size of the buffer each stream reads or writes through.
constexpr std::size_t kTextBufferSize = 128 * 1024;
// The smallest buffer that holds the bytes of a whole chunk and the line end after it.
constexpr std::size_t kMinimumTextBufferSize = kMaxChunkLength + 1;

// A text source: a file, or bytes in memory (for tests and fuzzing), read through one buffer.
struct TextReader {
  FileHandle file;
  std::string_view unreadMemory;  // the bytes not yet taken, when the source is memory
  bool fromMemory = false;
  std::unique_ptr<char[]> buffer;
  std::size_t capacity = 0;
  std::size_t begin = 0;  // bytes read but not yet handed out, in buffer[begin, end)
  std::size_t end = 0;
  bool inputEnded = false;  // end of file, Ctrl-Z or a read error: nothing more comes
  bool readFailed = false;
};

// A text sink: a file, or a string in memory, written through one buffer.
struct TextWriter {
  FileHandle file;
  std::string* memory = nullptr;
  std::unique_ptr<char[]> buffer;
  std::size_t capacity = 0;
  std::size_t used = 0;
  bool failed = false;  // sticky: once a write fails, the rest is dropped and reported at close

  TextWriter() = default;
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;
  // Flushes what is still buffered, so that a run that stops early keeps what it wrote.
  ~TextWriter();
};

bool OpenTextReader(const std::string& path, TextReader& reader);
// Reads from memory; a small buffer (for tests) makes every refill path run often.
void AttachTextReader(std::string_view bytes, TextReader& reader,
                      std::size_t bufferSize = kTextBufferSize);

// Yields the next chunk, valid until the next call; false at the end of the input.
bool ReadLineChunk(TextReader& reader, std::string_view& chunk);

// Copies chunks to the writer unchanged, in bulk, as writing each one read would, up to and
// including the first for which `stopAfter` is true, or to the end of the input. `stopAfter` sees
// each chunk as stored, a final CR LF still two bytes. Returns how many chunks it copied, and
// sets `stopped` when it stopped at one.
long long CopyLineChunksUntil(TextReader& reader, TextWriter& writer,
                              bool (*stopAfter)(std::string_view chunk), bool& stopped);

// Creates the file anew or cuts it to length zero.
bool OpenTextWriter(const std::string& path, TextWriter& writer);
// Appends to the file, creating it when missing.
bool OpenTextAppender(const std::string& path, TextWriter& writer);
void AttachTextWriter(std::string& target, TextWriter& writer,
                      std::size_t bufferSize = kTextBufferSize);

void WriteText(TextWriter& writer, std::string_view text);
// The same for a text that holds no line feed but perhaps as its last character, as every chunk
// and every line built from one does: no search for line feeds is needed.
void WriteLineChunk(TextWriter& writer, std::string_view chunk);
// Hands the buffered bytes to the system; false once any write has failed.
bool FlushTextWriter(TextWriter& writer);
// Flushes and closes; false when any write, the flush or the close failed.
bool CloseTextWriter(TextWriter& writer);

// True when the file starts with a UTF-16 byte-order mark (FF FE or FE FF). Such a file's line
// ends are two bytes wide, and the byte rules above would corrupt every character after the
// first line end. False when the file cannot be read.
bool StartsWithUtf16ByteOrderMark(const std::string& path);

}  // namespace tablemend

#endif
