// Every file operation of a run, failed or killed in turn through the preloaded fault shim, over
// the example in UTF-8 and in UTF-16, on a first run and on a later one: the original text always
// survives, the log keeps every earlier byte, "Complete." stands for a whole converted file, and
// after a killed run, touching the backup lets the next run recover. Driven from here, the loop
// runs the program hundreds of times a second.
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "unicode/unicode.h"

namespace tablemend {
namespace {

namespace fs = std::filesystem;

// Preloads the shim, also into a sanitized program, ahead of the sanitizer's own library.
const std::string kShim =
    "ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" TABLEMEND_FAULT_SHIM "' ";

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// A fresh copy of a folder's files, with their last-write times, which the program compares.
void CopyFolder(const fs::path& from, const fs::path& to) {
  fs::remove_all(to);
  fs::copy(from, to);
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    fs::last_write_time(to / entry.path().filename(), entry.last_write_time());
  }
}

struct RunResult {
  std::string output;
  int status = -1;  // the exit status, or -1 when a signal ended the run
};

// Runs the program on app.rc in `folder`, with shell variable assignments before it.
RunResult RunProgram(const fs::path& folder, const std::string& variables,
                     const std::string& options = "") {
  const std::string command = "cd '" + folder.string() + "' && " + variables + " exec '" +
                              TABLEMEND_PROGRAM + "' " + options + " -f app.rc";
  FILE* pipe = popen(command.c_str(), "r");
  RunResult result;
  char buffer[4096];
  for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    result.output.append(buffer, count);
  }
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

// The text with a UTF-8 byte-order mark, as UTF-8 or as UTF-16 big-endian.
std::string StoreAs(bool utf16, const std::string& utf8) {
  const std::string marked = "\xEF\xBB\xBF" + utf8;
  std::string stored;
  for (const char16_t unit : DecodeUtf8(marked)) {
    stored += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
  }
  return utf16 ? stored : marked;
}

struct Scenario {
  const char* name;
  bool utf16;
  bool laterRun;  // the start holds a converted file, its backup and its log
};

class FaultRuns : public ::testing::TestWithParam<Scenario> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tablemend-faults-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch_ = pattern;
    run_ = scratch_ / "run";
    fs::create_directory(start_ = scratch_ / "start");
    original_ = StoreAs(GetParam().utf16, ReadFile(TABLEMEND_SOURCE_DIR "/examples/app.rc"));
    expected_ =
        StoreAs(GetParam().utf16, ReadFile(TABLEMEND_SOURCE_DIR "/tests/golden/app.rc.expected"));
    std::ofstream(start_ / "app.rc", std::ios::binary) << original_;
    if (GetParam().laterRun) {
      ASSERT_EQ(RunProgram(start_, "", "-s").status, 0);
    }
  }

  void TearDown() override { fs::remove_all(scratch_); }

  RunResult RunFromStart(const std::string& variables) {
    CopyFolder(start_, run_);
    return RunProgram(run_, kShim + variables);
  }

  // The original text is in the backup (or, before the backup was made, still in the rc file),
  // the log kept every earlier byte, and a run that says "Complete." wrote the whole converted
  // file, or else failed with -1 or was killed.
  void ExpectNothingLost(const RunResult& result) {
    const fs::path kept = fs::exists(run_ / "app.rc.original") ? "app.rc.original" : "app.rc";
    EXPECT_EQ(ReadFile(run_ / kept), original_) << "in " << kept;
    const std::string log = ReadFile(start_ / "app.rc.log");
    EXPECT_EQ(ReadFile(run_ / "app.rc.log").substr(0, log.size()), log);
    const bool complete = result.output == "Complete.\n";
    if (complete || result.output.find("only its log is incomplete") != std::string::npos) {
      EXPECT_EQ(ReadFile(run_ / "app.rc"), expected_) << result.output;
    }
    EXPECT_TRUE(complete || result.status == 255 || result.status == -1) << result.output;
  }

  // After a killed run: moves the text back when the run died between the rename and the new
  // file, touches the backup, and runs again.
  void ExpectRecovery() {
    if (!fs::exists(run_ / "app.rc")) {
      fs::rename(run_ / "app.rc.original", run_ / "app.rc");
    }
    if (fs::exists(run_ / "app.rc.original")) {
      fs::last_write_time(run_ / "app.rc.original", fs::file_time_type::clock::now());
    }
    EXPECT_EQ(RunProgram(run_, "").output, "Complete.\n");
    EXPECT_EQ(ReadFile(run_ / "app.rc"), expected_);
  }

  fs::path scratch_, start_, run_;
  std::string original_, expected_;
};

TEST_P(FaultRuns, ShortReadsAndRenamesThatCannotRefuseChangeNothing) {
  EXPECT_EQ(RunFromStart("FAULT_SHORT_READS=1 FAULT_NO_NOREPLACE=1").output, "Complete.\n");
  EXPECT_EQ(ReadFile(run_ / "app.rc"), expected_);
}

TEST_P(FaultRuns, FailingOrKilledAtAnyFileOperationLosesNothingAndRecovers) {
  RunFromStart("FAULT_COUNT='" + (scratch_ / "count").string() + "'");
  const int operations = std::atoi(ReadFile(scratch_ / "count").c_str());
  ASSERT_GT(operations, 20);
  for (int operation = 1; operation <= operations && !HasFailure(); ++operation) {
    const std::string at = "FAULT_AT=" + std::to_string(operation) + " ";
    for (const char* renames : {"", "FAULT_NO_NOREPLACE=1"}) {
      SCOPED_TRACE(at + "failing " + renames);
      ExpectNothingLost(RunFromStart(at + renames));
    }
    SCOPED_TRACE(at + "killed");
    ExpectNothingLost(RunFromStart(at + "FAULT_KILL=1"));
    // A first run that got as far as the backup left its log's header behind.
    if (!GetParam().laterRun && fs::exists(run_ / "app.rc.original")) {
      EXPECT_NE(ReadFile(run_ / "app.rc.log").find("Starting New Log"), std::string::npos);
    }
    ExpectRecovery();
  }
}

INSTANTIATE_TEST_SUITE_P(Example, FaultRuns,
                         ::testing::Values(Scenario{"Utf8FirstRun", false, false},
                                           Scenario{"Utf8LaterRun", false, true},
                                           Scenario{"Utf16FirstRun", true, false},
                                           Scenario{"Utf16LaterRun", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tablemend
