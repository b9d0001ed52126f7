// The process entry on Windows. Windows hands the arguments over as UTF-16, every name exactly as
// typed, whatever the ANSI code page holds; the program works with them as UTF-8, a lone
// surrogate kept (WTF-8). Its shells leave wildcards and "/?" to the program.
#include <string>
#include <vector>

#include "app/program.h"
#include "unicode/unicode.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  std::vector<const char*> pointers;
  for (int index = 0; index < argc; ++index) {
    arguments.push_back(tablemend::EncodeUtf8(reinterpret_cast<const char16_t*>(argv[index]),
                                              tablemend::LoneSurrogates::kKeep));
  }
  for (const std::string& argument : arguments) {
    pointers.push_back(argument.c_str());
  }
  return tablemend::RunProgram(argc, pointers.data(), tablemend::CommandLineStyle::kWindows);
}
