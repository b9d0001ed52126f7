// The end-to-end fixture: a scratch folder per test, and the program run inside it exactly as a
// user runs it, through an optional launcher (an emulator, a privilege drop, a resource limit).
#ifndef TABLEMEND_TESTS_E2E_FIXTURE_H
#define TABLEMEND_TESTS_E2E_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "e2e/process.h"

namespace tablemend::e2e {

// How the runner was told to start the program.
struct RunnerConfig {
  std::string program;                // absolute path of the program under test
  std::vector<std::string> launcher;  // words put before the program, if any
  bool crlfConsole = false;           // the program's console ends lines in CR LF
  bool windowsProgram = false;        // the program follows Windows path rules
  std::string sourceDir;              // the project's source tree, for examples and golden files
  std::string referenceProgram;       // a native build to compare the program's files with
};

const RunnerConfig& Config();

// A run's log header and footer as stored, their time stamps masked as MaskTimeStamps does.
inline const std::string kMaskedLogHeader =
    "====================================================================\r\n"
    " Log created by Tablemend.exe \r\n"
    "\r\n"
    " Starting New Log on:\r\n"
    "\t\t<time>\r\n"
    "====================================================================\r\n";
inline const std::string kMaskedLogFooter =
    "Update of .rc Files complete\r\nEnding Log on: <time>\r\n\r\n";

// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadBytesOf(const std::string& path);
// Replaces every well-formed log time stamp ("Sat Dec 05 09:03:04 2026") with "<time>".
std::string MaskTimeStamps(const std::string& log);
// How many well-formed time stamps the text holds.
int CountTimeStamps(const std::string& log);

// Why this runner cannot run the program as an unprivileged user (it needs root, setpriv and a
// native program); empty when it can.
std::string WhyNoPrivilegeDrop();
// The words that run a program as that user (nobody, with no groups).
std::vector<std::string> UnprivilegedPrefix();

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string PathOf(const std::string& name) const;
  void WriteFile(const std::string& name, std::string_view bytes) const;
  std::string ReadFile(const std::string& name) const;
  bool Exists(const std::string& name) const;
  void CopyExample(const std::string& exampleName, const std::string& name) const;
  std::string Golden(const std::string& name) const;

  // Runs the program in the scratch folder with these arguments.
  ProcessResult Run(const std::vector<std::string>& arguments) const;
  // Runs it and kills it with SIGKILL as soon as `killWhen` answers true.
  ProcessResult RunAndKillWhen(const std::vector<std::string>& arguments,
                               const std::function<bool()>& killWhen) const;
  // Runs it in a folder inside the scratch folder.
  ProcessResult RunIn(const std::string& folder, const std::vector<std::string>& arguments) const;
  // Runs the reference program, natively, in a folder inside the scratch folder.
  ProcessResult RunReferenceIn(const std::string& folder,
                               const std::vector<std::string>& arguments) const;
  // Runs it with extra launcher words before the configured ones (setpriv, a shell with limits).
  ProcessResult RunWithPrefix(const std::vector<std::string>& prefix,
                              const std::vector<std::string>& arguments) const;
  // The console text the program prints for this LF text, on the platform under test.
  std::string Console(std::string_view text) const;

  std::string scratch_;
};

}  // namespace tablemend::e2e

#endif
