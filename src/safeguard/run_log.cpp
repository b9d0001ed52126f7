#include "safeguard/run_log.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "platform/platform.h"

namespace tablemend {

namespace {

constexpr std::string_view kRule =
    "====================================================================\n";

// Two digits, zero-padded; values outside 0..99 are cut to their last two digits.
void AppendTwoDigits(std::string& text, int value) {
  const int digits = (value % 100 + 100) % 100;
  text += static_cast<char>('0' + digits / 10);
  text += static_cast<char>('0' + digits % 10);
}

void WriteTimeStamp(RunLog& log) {
  WriteLogText(log, FormatTimeStamp(log.clock()));
}

}  // namespace

std::tm ReadLocalClock() {
  std::tm time{};
  ReadLocalTime(time);
  return time;
}

std::string ComposeLogPath(const std::string& rcPath) {
  return rcPath + ".log";
}

std::string FormatTimeStamp(const std::tm& time) {
  static constexpr std::string_view kDays = "SunMonTueWedThuFriSat";
  static constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const int day = (time.tm_wday % 7 + 7) % 7;
  const int month = (time.tm_mon % 12 + 12) % 12;
  std::string text;
  text += kDays.substr(static_cast<std::size_t>(day) * 3, 3);
  text += ' ';
  text += kMonths.substr(static_cast<std::size_t>(month) * 3, 3);
  text += ' ';
  AppendTwoDigits(text, time.tm_mday);
  text += ' ';
  AppendTwoDigits(text, time.tm_hour);
  text += ':';
  AppendTwoDigits(text, time.tm_min);
  text += ':';
  AppendTwoDigits(text, time.tm_sec);
  text += ' ';
  text += std::to_string(1900 + time.tm_year);
  text += '\n';
  return text;
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

void WriteLogFooter(RunLog& log) {
  WriteLogText(log, "Update of .rc Files complete\n");
  WriteLogText(log, "Ending Log on: ");
  WriteTimeStamp(log);
  WriteLogText(log, "\n");
}

bool CloseRunLog(RunLog& log) {
  return CloseTextWriter(log.writer);
}

}  // namespace tablemend
