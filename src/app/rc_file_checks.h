// What every action on a named file checks first: the refusals of what cannot be converted, or
// restored, safely.
#ifndef TABLEMEND_APP_RC_FILE_CHECKS_H
#define TABLEMEND_APP_RC_FILE_CHECKS_H

#include <string>

#include "app/run_settings.h"
#include "text/text_format.h"

namespace tablemend {

// Refuses, with its report, before anything is renamed, written or logged: an empty name, a
// missing file (where its backup is there, the report says how to put it back, and a restore
// goes on), a directory or device, an extension that names another folder, a script's
// backup, log or temporary file named as a script, and a backup name that would be the rc file or
// its log (whose text would then replace the rc file's). kSuccess when the action may go on.
int CheckRcFile(const std::string& rcPath, const RunSettings& settings, FileAction action);

// The script whose backup, log or temporary file `path` names, beside it, and which of them it
// is ("the backup", "the log", "a temporary file"); empty when it names none.
std::string FindOwningScript(const std::string& path, const RunSettings& settings,
                             std::string& role);

// Refuses UTF-16 text at `path` whose last character is cut short: no conversion could keep it.
int ReportCutShort(const RunSettings& settings, const std::string& path);

// Refuses a file at `path` that is no text (a program, a picture), with one line unless silent.
int ReportNotText(const RunSettings& settings, const std::string& path);

// The format of a script read whole already (from a file, or standard input) under this name;
// kSuccess, or the report of text that is cut short or is no text.
int JudgeStoredFormat(const std::string& name, const std::string& stored,
                      const RunSettings& settings, TextFormat& format);

// The format of the rc file itself, for the actions that convert it in memory, the file kept open
// in `opened`; kSuccess, or the report of text that is cut short, is no text or cannot be read.
int ReadConvertibleFormat(const std::string& rcPath, const RunSettings& settings,
                          TextFormat& format, OpenedText& opened);

}  // namespace tablemend

#endif
