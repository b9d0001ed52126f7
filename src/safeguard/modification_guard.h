// The modification-time guard. Every run regenerates the rc file from its backup, so a hand edit
// made after a run would be lost by the next one. The last-write times of the two files alone
// tell: each completed run stamps the backup with the current time, and a run finding the rc
// file written later than that stamp refuses to convert.
#ifndef TABLEMEND_SAFEGUARD_MODIFICATION_GUARD_H
#define TABLEMEND_SAFEGUARD_MODIFICATION_GUARD_H

#include <string>

#include "safeguard/run_log.h"

namespace tablemend {

// When the rc file was last written after the backup, prints the refusal banner (whatever
// `silent` says), writes it and the footer to the log, and returns false; also false, with a
// one-line error, when either time cannot be read. True when the run may go on.
bool CheckModificationOrder(const std::string& rcPath, const std::string& backupPath, RunLog& log);

// Sets the backup's last-write time to now, after the run's last write of the rc file. A stamp
// that fails leaves the old time, by which the next run would refuse the rc file as edited by
// hand: it is reported, whatever `silent` says, with what lets the next run go on, and the result
// is false.
bool StampBackupTime(const std::string& rcPath, const std::string& backupPath);

}  // namespace tablemend

#endif
