// The modification-time guard. Every run regenerates the rc file from its backup, so a hand edit
// made after a run would be lost by the next one. The last-write times of the two files alone
// tell: each completed run stamps the backup with the current time, and a run finding the rc
// file written later than that stamp refuses to convert.
#ifndef TABLEMEND_SAFEGUARD_MODIFICATION_GUARD_H
#define TABLEMEND_SAFEGUARD_MODIFICATION_GUARD_H

#include <string>

#include "platform/platform.h"
#include "safeguard/run_log.h"

namespace tablemend {

// When the rc file was last written after the backup, prints the refusal banner (whatever
// `silent` says), writes it and the footer to the log, and returns false; also false, with a
// one-line error, when either time cannot be read. True when the run may go on.
bool CheckModificationOrder(const std::string& rcPath, const std::string& backupPath, RunLog& log);
// The same for the two files opened already (for reading, at least), as a run has them: one that
// could not be opened shows as a time that cannot be read.
bool CheckModificationOrderOf(const FileHandle& rcFile, const FileHandle& backupFile, RunLog& log);

// Sets the backup's last-write time to now, after the run's last write of the new text and before
// that text takes the rc file's name, so that the rc file is never newer than its backup but
// by a hand edit. False when the system refuses: the rc file must then stay as it was, or the
// next run would refuse it as edited by hand.
bool StampBackupTime(const std::string& backupPath);

}  // namespace tablemend

#endif
