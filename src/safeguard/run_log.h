// The run log: an append-only history beside the rc file. Each run that gets past the file
// checks adds a header, one entry per rewritten line and, when it completes or is refused, a
// footer. The log is a text file like the rc file: line feeds become CR LF on disk.
#ifndef TABLEMEND_SAFEGUARD_RUN_LOG_H
#define TABLEMEND_SAFEGUARD_RUN_LOG_H

#include <ctime>
#include <string>
#include <string_view>

#include "text/change_record.h"
#include "text/text_writer.h"

namespace tablemend {

struct RunLog {
  TextWriter writer;
};

// The log's name: the rc file's name and ".log", whatever the backup extension is.
std::string ComposeLogPath(const std::string& rcPath);

// "Sat Dec 05 09:03:04 2026\n": English names (the C locale's, which the program never leaves),
// two-digit fields zero-padded, a 24-hour clock. The fields must be in their ranges.
std::string FormatTimeStamp(const std::tm& time);

// Opens the log for appending, creating it when missing; it is never truncated.
bool OpenRunLog(const std::string& rcPath, RunLog& log);

void WriteLogText(RunLog& log, std::string_view text);
void WriteLogHeader(RunLog& log);
void WriteChangeEntry(RunLog& log, const ChangeRecord& change);
void WriteLogFooter(RunLog& log);
// The closing lines of a run that failed after its conversion began, with the reason, a line.
void WriteLogFailure(RunLog& log, std::string_view reason);
// The closing lines of a restore, which names the backup put back.
void WriteRestoreFooter(RunLog& log, const std::string& backupPath);

// Flushes and closes; false when any write to the log failed.
bool CloseRunLog(RunLog& log);

}  // namespace tablemend

#endif
