// Every file operation of a run, failed or killed in turn through the preloaded fault shim, over
// the example in UTF-8 and in UTF-16, on a first run and on a later one: the script always holds
// its whole old text or its whole new text, the original text always survives, the log keeps
// every earlier byte, "Complete." stands for a whole converted file, and after a killed run the
// next plain run completes. Then a power cut after each operation of a
// recorded run, which loses every write that no flush followed. Driven from here, the loop runs
// the program hundreds of times a second.
#include <fcntl.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/utf16.h"
#include "unicode/unicode.h"

namespace tablemend {
namespace {

namespace fs = std::filesystem;

// Preloads the shim, also into a sanitized program, ahead of the sanitizer's own library.
const std::string kShim =
    "ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" TABLEMEND_FAULT_SHIM "' ";

std::string ReadFile(const fs::path& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// The text with a UTF-8 byte-order mark, as UTF-8 or as UTF-16 big-endian.
std::string StoreAs(bool utf16, const std::string& utf8) {
  const std::string marked = "\xEF\xBB\xBF" + utf8;
  return utf16 ? check::StoreUtf16(DecodeUtf8(marked), {TextEncoding::kUtf16BigEndian, false})
               : marked;
}

// The files of a folder as a recorded run leaves them after a power cut: each name the file that
// its renames, exchanges, links and removals gave it as of the folder's last flush (before it, a
// file system may lose them all), and each file the bytes written to it that a flush of it
// followed. A file's bytes are those it holds once the run completed, after any it had before.
struct PowerCut {
  struct File {
    std::string before;  // what it held before the run, unless the run emptied it
    std::size_t written = 0;
    std::size_t flushed = 0;
  };
  std::vector<File> files;
  std::map<std::string, std::size_t> names;    // as the folder's last flush left them
  std::map<std::string, std::size_t> current;  // as the run left them so far
  std::map<int, std::size_t> open;             // the files of the descriptors open
  std::set<int> folders;                       // the descriptors open on the folder

  explicit PowerCut(const fs::path& folder) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      current[entry.path().filename().string()] = files.size();
      files.push_back({ReadFile(entry.path())});
    }
    names = current;
  }

  // Takes one operation of the record.
  void Apply(const std::string& line) {
    std::istringstream operation(line);
    std::string verb, from, to;
    int fd = -1, flags = 0;
    std::size_t size = 0;
    operation >> verb;
    if (verb == "open" && operation >> fd >> flags >> from) {
      folders.erase(fd);
      open.erase(fd);
      if ((flags & O_DIRECTORY) != 0) {
        folders.insert(fd);
        return;
      }
      if (current.emplace(from, files.size()).second) {
        files.emplace_back();
      }
      open[fd] = current[from];
      if ((flags & O_TRUNC) != 0) {
        files[open[fd]] = File();
      }
    } else if (verb == "write" && operation >> fd >> size && open.count(fd) != 0) {
      files[open[fd]].written += size;
    } else if (verb == "fsync" && operation >> fd && folders.count(fd) != 0) {
      names = current;
    } else if (verb == "fsync" && open.count(fd) != 0) {
      files[open[fd]].flushed = files[open[fd]].written;
    } else if ((verb == "rename" || verb == "link") && operation >> from >> to) {
      current[to] = current[from];
      current.erase(verb == "rename" ? from : "");
    } else if (verb == "exchange" && operation >> from >> to) {
      std::swap(current[from], current[to]);
    } else if (verb == "unlink" && operation >> from) {
      current.erase(from);
    }
  }

  // What `name` holds, given the folder where the whole record has run.
  std::string Read(const std::string& name, const PowerCut& end, const fs::path& endFolder) const {
    const File& file = files[names.at(name)];
    for (const auto& [endName, index] : end.current) {
      if (index == names.at(name)) {
        return ReadFile(endFolder / endName).substr(0, file.before.size() + file.flushed);
      }
    }
    return file.before;
  }
};

// UTF-16 or UTF-8; a later run, from a converted file with its backup and log, or a first run.
class FaultRuns : public ::testing::TestWithParam<std::tuple<bool, bool>> {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tablemend-faults-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch_ = pattern;
    run_ = scratch_ / "run";
    fs::create_directory(start_ = scratch_ / "start");
    const auto [utf16, laterRun] = GetParam();
    original_ = StoreAs(utf16, ReadFile(TABLEMEND_SOURCE_DIR "/examples/app.rc"));
    expected_ = StoreAs(utf16, ReadFile(TABLEMEND_SOURCE_DIR "/tests/golden/app.rc.expected"));
    std::ofstream(start_ / "app.rc", std::ios::binary) << original_;
    ASSERT_TRUE(!laterRun || Run(start_, "-s -f app.rc") == 0);
  }

  void TearDown() override { fs::remove_all(scratch_); }

  // Runs the program with these options and names in `folder` after shell variable assignments;
  // returns the exit status, or -1 when a signal ended the run, and keeps what it printed in
  // output_.
  int Run(const fs::path& folder, const std::string& options, const std::string& variables = "") {
    const fs::path printed = scratch_ / "printed";
    const int status =
        std::system(("cd '" + folder.string() + "' && " + variables + " exec '" +
                     TABLEMEND_PROGRAM + "' " + options + " >'" + printed.string() + "'")
                        .c_str());
    output_ = ReadFile(printed);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Runs in a fresh copy of the start's files, last-write times included, with the shim.
  int RunFromStart(const std::string& variables, const std::string& options = "-f app.rc") {
    fs::remove_all(run_);
    fs::copy(start_, run_);
    for (const fs::directory_entry& entry : fs::directory_iterator(start_)) {
      fs::last_write_time(run_ / entry.path().filename(), entry.last_write_time());
    }
    return Run(run_, options, kShim + variables);
  }

  // The script holds its whole old or new text, the original text is in the backup (or, before
  // the backup was made, still in the script), the log kept every earlier byte, and a run that
  // says "Complete." wrote the whole converted file, or else failed with -1 or was killed.
  void ExpectNothingLost(int status) {
    ExpectWholeText(ReadFile(run_ / "app.rc"), ReadFile(run_ / "app.rc.original"));
    const std::string log = ReadFile(start_ / "app.rc.log");
    const std::string newLog = ReadFile(run_ / "app.rc.log");
    EXPECT_EQ(newLog.substr(0, log.size()), log);
    // The footer marks a completed run only.
    if (output_.find(" is unchanged.") != std::string::npos) {
      EXPECT_EQ(newLog.find("Files complete", log.size()), std::string::npos) << output_;
    }
    // A later run's old text, which it could not remove, stays under a temporary name: it says so.
    const bool oldTextStays = output_.find(" had before this run") != std::string::npos;
    const bool complete =
        output_ == "Complete.\n" || (oldTextStays && output_.rfind("Complete.\n", 0) == 0);
    if (complete || output_.find("only its log is incomplete") != std::string::npos) {
      EXPECT_EQ(ReadFile(run_ / "app.rc"), expected_) << output_;
    }
    // "Complete." stands for the log's whole part too.
    EXPECT_TRUE(!complete || newLog.find("Files complete", log.size()) != std::string::npos);
    EXPECT_TRUE(complete || status == 255 || status == -1) << output_;
    // Only a killed run leaves its temporary file behind.
    if (status != -1 && !oldTextStays) {
      ExpectNoTemporaryFile();
    }
  }

  void ExpectNoTemporaryFile() {
    for (const fs::directory_entry& entry : fs::directory_iterator(run_)) {
      EXPECT_EQ(entry.path().filename().string().find(".tablemend-"), std::string::npos);
    }
  }

  // The script's text, whole, before or after the run, and the original text in the backup or
  // the script.
  void ExpectWholeText(const std::string& script, const std::string& backup) {
    EXPECT_TRUE(script == ReadFile(start_ / "app.rc") || script == expected_) << script.size();
    EXPECT_TRUE(script == original_ || backup == original_);
  }

  // After a killed run, wherever it stopped: the next plain run completes, with nothing touched
  // by hand, and leaves what an uninterrupted run leaves, the temporary file gone.
  void ExpectRecovery() {
    EXPECT_EQ(Run(run_, "-f app.rc"), 0) << output_;
    EXPECT_EQ(output_, "Complete.\n");
    EXPECT_EQ(ReadFile(run_ / "app.rc"), expected_);
    EXPECT_EQ(ReadFile(run_ / "app.rc.original"), original_);
    ExpectNoTemporaryFile();
  }

  fs::path scratch_, start_, run_;
  std::string original_, expected_, output_;
};

TEST_P(FaultRuns, FailingOrKilledAtAnyFileOperationLosesNothingAndRecovers) {
  // Reads and writes that stop anywhere and renames that cannot refuse to replace change nothing.
  RunFromStart("FAULT_SHORT_READS=1 FAULT_SHORT_WRITES=1 FAULT_NO_NOREPLACE=1");
  EXPECT_EQ(output_, "Complete.\n");
  EXPECT_EQ(ReadFile(run_ / "app.rc"), expected_);
  RunFromStart("FAULT_COUNT='" + (scratch_ / "count").string() + "'");
  const int operations = std::atoi(ReadFile(scratch_ / "count").c_str());
  ASSERT_GT(operations, 20);
  for (int operation = 1; operation <= operations && !HasFailure(); ++operation) {
    const std::string at = "FAULT_AT=" + std::to_string(operation) + " ";
    {
      SCOPED_TRACE(at + "failing");
      const fs::path flushFailed = scratch_ / "flush-failed";
      const int status = RunFromStart(at + "FAULT_FLUSH_FAILED='" + flushFailed.string() + "'");
      ExpectNothingLost(status);
      // A flush that failed is never a success: the text may not be on disk.
      EXPECT_TRUE(!fs::exists(flushFailed) || status == 255) << output_;
      fs::remove(flushFailed);
    }
    // Only a first run renames without replacing, where it cannot link.
    if (!std::get<1>(GetParam())) {
      SCOPED_TRACE(at + "failing FAULT_NO_NOREPLACE=1");
      ExpectNothingLost(RunFromStart(at + "FAULT_NO_NOREPLACE=1"));
    }
    SCOPED_TRACE(at + "killed");
    ExpectNothingLost(RunFromStart(at + "FAULT_KILL=1"));
    // A first run that got as far as the backup left its log's header behind.
    if (!std::get<1>(GetParam()) && fs::exists(run_ / "app.rc.original")) {
      EXPECT_NE(ReadFile(run_ / "app.rc.log").find("Starting New Log"), std::string::npos);
    }
    ExpectRecovery();
  }
}

// A call over several scripts of one folder, which reach the disk together.
TEST_P(FaultRuns, APowerCutAfterAnyOperationLeavesWholeScripts) {
  const std::vector<std::string> scripts = {"app.rc", "b.rc", "c.rc"};
  // Each backup written after its script, so that no script is newer than its backup.
  for (const std::string script : {"b.rc", "c.rc"}) {
    fs::copy_file(start_ / "app.rc", start_ / script);
    if (fs::exists(start_ / "app.rc.original")) {
      fs::copy_file(start_ / "app.rc.original", start_ / (script + ".original"));
    }
  }
  const std::string named = "-s app.rc b.rc c.rc";
  RunFromStart("FAULT_RECORD='" + (scratch_ / "record").string() + "'", named);
  ASSERT_EQ(output_, "");
  std::vector<std::string> record;
  PowerCut end(start_);
  std::ifstream lines(scratch_ / "record");
  for (std::string line; std::getline(lines, line); end.Apply(line)) {
    record.push_back(line);
  }
  PowerCut cut(start_);
  for (std::size_t count = 0; count <= record.size() && !HasFailure(); ++count) {
    SCOPED_TRACE("a power cut after " + (count > 0 ? record[count - 1] : "nothing"));
    if (count > 0) {
      cut.Apply(record[count - 1]);
    }
    for (const std::string& script : scripts) {
      ASSERT_EQ(cut.names.count(script), 1u) << script;
      const std::string backup = script + ".original";
      ExpectWholeText(cut.Read(script, end, run_),
                      cut.names.count(backup) != 0 ? cut.Read(backup, end, run_) : std::string());
    }
  }
  // The run's end: every script converted, on disk.
  for (const std::string& script : scripts) {
    EXPECT_EQ(cut.Read(script, end, run_), expected_) << script;
  }
}

// Parameters: UTF-16 (or UTF-8), a later run (or a first one).
INSTANTIATE_TEST_SUITE_P(Example, FaultRuns,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()));

}  // namespace
}  // namespace tablemend
