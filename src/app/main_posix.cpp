// The process entry on POSIX systems, whose shells expand wildcards and hand the arguments over
// as the bytes typed.
#include "app/program.h"

int main(int argc, char** argv) {
  return tablemend::RunProgram(argc, argv, tablemend::CommandLineStyle::kUnix);
}
