// Writing text files as this program keeps them: every line feed goes to disk as CR LF, through
// one buffer over binary I/O, the same on every platform; or, for a script whose line ends are
// kept, each line with the line end it was read with. The rc file is written in its own format;
// the log is bytes, always with CR LF.
#ifndef TABLEMEND_TEXT_TEXT_WRITER_H
#define TABLEMEND_TEXT_TEXT_WRITER_H

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "text/text_buffer.h"
#include "text/text_format.h"

namespace tablemend {

// A text sink: a file, or bytes in memory, written through one buffer.
template <typename Unit>
struct BasicTextWriter {
  FileHandle file;
  std::string* memory = nullptr;
  bool discards = false;  // keeps nothing: for a conversion whose changes alone matter
  bool swapBytes = false;
  std::unique_ptr<Unit[]> buffer;
  std::size_t capacity = 0;
  std::size_t used = 0;
  bool failed = false;  // sticky: once a write fails, the rest is dropped and reported at close
  // Lines passed through, and the lines that replace them, keep the line end they were read
  // with (the pass-through's business): LF stays LF where CR LF is the rule.
  bool keepsLineEnds = false;
  // A file that is to be flushed to disk has its writeback started as it is written, a few
  // megabytes at a time, so that the disk writes it while the text is still being converted and
  // the flush at its end waits for little.
  bool startsFlushAsItWrites = false;
  std::size_t unflushedBytes = 0;  // written since its writeback was last started

  BasicTextWriter() = default;
  BasicTextWriter(const BasicTextWriter&) = delete;
  BasicTextWriter& operator=(const BasicTextWriter&) = delete;
  // Flushes what is still buffered, so that a run that stops early keeps what it wrote.
  ~BasicTextWriter();
};

using TextWriter = BasicTextWriter<char>;

// Creates a new file with the permissions of the file at `modelPath` (CreateFileLike), and writes
// the byte-order mark when the format has one.
template <typename Unit>
bool CreateTextWriterLike(const std::string& path, const std::string& modelPath,
                          const TextFormat& format, BasicTextWriter<Unit>& writer);
// Writes to memory; a small buffer (for tests) makes every flush path run often.
template <typename Unit>
void AttachTextWriter(std::string& target, const TextFormat& format, BasicTextWriter<Unit>& writer,
                      std::size_t bufferSize = kTextBufferSize);
// Writes nowhere: a conversion that only reports its changes needs no output.
template <typename Unit>
void AttachTextDiscarder(const TextFormat& format, BasicTextWriter<Unit>& writer);
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
// Writes units exactly as they are to be stored, line ends already CR LF.
template <typename Unit>
void WriteStoredUnits(BasicTextWriter<Unit>& writer, const Unit* units, std::size_t count);
// Hands the buffered units to the system; false once any write has failed.
template <typename Unit>
bool FlushTextWriter(BasicTextWriter<Unit>& writer);
// Flushes and closes; false when any write, the flush or the close failed.
template <typename Unit>
bool CloseTextWriter(BasicTextWriter<Unit>& writer);
// Flushes and hands the file, still open, to the caller; false when any write failed.
template <typename Unit>
bool ReleaseTextWriterFile(BasicTextWriter<Unit>& writer, FileHandle& file);

}  // namespace tablemend

#endif
