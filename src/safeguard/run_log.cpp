#include "safeguard/run_log.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <ctime>

#include "platform/platform.h"

namespace tablemend {

namespace {

constexpr std::string_view kRule =
    "====================================================================\n";

// The current local time, as the platform's C library gives it; where the clock cannot be read,
// the first day of 1900, so that the fields stay in their ranges.
std::tm ReadLocalClock() {
  std::tm time{};
  if (!ReadLocalTime(time)) {
    time = std::tm{};
    time.tm_mday = 1;
  }
  return time;
}

void WriteTimeStamp(RunLog& log) {
  WriteLogText(log, FormatTimeStamp(ReadLocalClock()));
}

}  // namespace

std::string ComposeLogPath(const std::string& rcPath) {
  return rcPath + ".log";
}

std::string FormatTimeStamp(const std::tm& time) {
  char text[64];
  const std::size_t length = std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y\n", &time);
  return std::string(text, length);
}

bool OpenRunLog(const std::string& rcPath, RunLog& log) {
  return OpenTextAppender(ComposeLogPath(rcPath), log.writer);
}

void WriteLogText(RunLog& log, std::string_view text) {
  WriteText(log.writer, text);
}

void WriteLogHeader(RunLog& log) {
  WriteLogText(log, kRule);
  WriteLogText(log, " Log created by Tablemend.exe \n");
  WriteLogText(log, "\n");
  WriteLogText(log, " Starting New Log on:\n\t\t");
  WriteTimeStamp(log);
  WriteLogText(log, kRule);
  // On disk at once, so that even a run stopped by force leaves its header behind.
  FlushTextWriter(log.writer);
}

void WriteChangeEntry(RunLog& log, const ChangeRecord& change) {
  // The bytes of "Changing line number: %d\n\tOld Line:\n\t%s\n\tNew Line:\n\t%s\n", in five
  // writes: the fixed texts already stored with CR LF, the lines through the line writer, which
  // needs no search for line feeds, as a line holds one only at its end.
  constexpr std::string_view kOldLine = "\r\n\tOld Line:\r\n\t";
  constexpr std::string_view kNewLine = "\r\n\tNew Line:\r\n\t";
  char head[64] = "Changing line number: ";  // room for any long long and kOldLine
  const std::size_t prefix = std::strlen(head);
  char* end = std::to_chars(head + prefix, head + sizeof head, change.lineNumber).ptr;
  end = std::copy(kOldLine.begin(), kOldLine.end(), end);
  TextWriter& writer = log.writer;
  WriteStoredUnits(writer, head, static_cast<std::size_t>(end - head));
  WriteLineChunk(writer, change.oldLine);
  WriteStoredUnits(writer, kNewLine.data(), kNewLine.size());
  WriteLineChunk(writer, change.newLine);
  WriteStoredUnits(writer, kCrLf<char>, 2);
}

// "Ending Log on: " and the time, after the line that says how the run ended.
void WriteLogEnd(RunLog& log, std::string_view outcome) {
  WriteLogText(log, outcome);
  WriteLogText(log, "Ending Log on: ");
  WriteTimeStamp(log);
  WriteLogText(log, "\n");
}

void WriteLogFooter(RunLog& log) {
  WriteLogEnd(log, "Update of .rc Files complete\n");
}

void WriteLogFailure(RunLog& log, std::string_view reason) {
  WriteLogEnd(log, "Update of .rc Files failed: " + std::string(reason));
}

void WriteRestoreFooter(RunLog& log, const std::string& backupPath) {
  WriteLogEnd(log, "Restore of the .rc File from " + backupPath + " complete\n");
}

bool CloseRunLog(RunLog& log) {
  return CloseTextWriter(log.writer);
}

}  // namespace tablemend
