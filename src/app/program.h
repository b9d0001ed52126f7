// The program as a whole, below its entry: what the entry of each system calls with its arguments
// as UTF-8 and the conventions of its shells.
#ifndef TABLEMEND_APP_PROGRAM_H
#define TABLEMEND_APP_PROGRAM_H

#include "app/command_line.h"

namespace tablemend {

// Parses the command line, answers it or processes the files it names, and pushes out what it
// printed; returns the exit status, -1 when the console did not take every message.
int RunProgram(int argumentCount, const char* const* arguments, CommandLineStyle style);

}  // namespace tablemend

#endif
