// Standard output, where every message of the program goes, and standard error, where a refused
// command line is reported.
#ifndef TABLEMEND_PLATFORM_CONSOLE_H
#define TABLEMEND_PLATFORM_CONSOLE_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tablemend {

// Writes the text as it is, NUL bytes included; the C library's console mode supplies the
// platform's own line end.
void PrintText(std::string_view text);

// Writes UTF-8 text so that the characters show: on a Windows console through its
// wide-character output; elsewhere, and when the output is redirected, as the bytes they are.
void PrintUtf8Text(std::string_view text);

// Writes the text, UTF-8 like PrintUtf8Text, before whatever is printed next, and not at all when
// nothing is: a heading that names the file of the reports that follow, if any do. An empty text
// drops the one pending.
void PrintBeforeNextText(std::string_view heading);

// What was printed while it was held: each piece with whether it was UTF-8 text.
struct HeldText {
  std::vector<std::pair<bool, std::string>> pieces;
};

// Holds everything printed to standard output in `held`, instead of writing it, until
// StopHoldingConsoleText: files handled together print their reports in turn, with
// PrintHeldText.
void HoldConsoleText(HeldText& held);
void StopHoldingConsoleText();
void PrintHeldText(const HeldText& held);

// Writes UTF-8 text to standard error, unbuffered.
void PrintError(std::string_view text);

// Sends every message from now on to standard error, as a filter must: its standard output
// carries the text it filters alone.
void SendMessagesToStandardError();

// Writes bytes to standard output exactly as they are (binary on Windows too); false when it
// cannot take them all.
bool WriteStandardOutput(std::string_view bytes);

// Pushes out what is buffered; false when standard output could not take it all.
bool FlushConsole();

}  // namespace tablemend

#endif
