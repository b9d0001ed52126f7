// Faults and awkward inputs: whatever happens, the backup keeps the original text, and no failure
// is reported as success.
#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/fixture.h"

namespace tablemend::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kTable = "STRINGTABLE\r\nBEGIN\r\n  A, \"\"\r\nEND\r\n";
const std::string kConverted = "STRINGTABLE\r\nBEGIN\r\n  A, \"EI\"\r\nEND\r\n";

// A large script and its conversion: a block every hundred lines among long comment lines.
struct LargeScript {
  std::string original;
  std::string converted;
};

LargeScript MakeLargeScript(std::size_t size) {
  LargeScript script;
  const std::string comment = "// " + std::string(190, 'c') + "\r\n";
  for (int line = 0; script.original.size() < size; ++line) {
    if (line % 100 == 0) {
      script.original += "STRINGTABLE\r\nBEGIN\r\n  IDS_A, \"\"\r\n  IDS_B, \"\"\r\nEND\r\n";
      script.converted += "STRINGTABLE\r\nBEGIN\r\n  IDS_A, \"EI\"\r\n  IDS_B, \"--\"\r\nEND\r\n";
    }
    script.original += comment;
    script.converted += comment;
  }
  return script;
}

// Runs through a shell that sets a file-size limit, with SIGXFSZ ignored, so that a write past
// the limit fails the way a full disk fails it.
std::vector<std::string> FileSizeLimit(int kibibytes) {
  return {"/bin/sh", "-c",
          "ulimit -f " + std::to_string(kibibytes * 2) + " && trap '' XFSZ && exec \"$@\"", "sh"};
}

class Faults : public EndToEnd {};

TEST_F(Faults, FullDiskIsReportedAndTheNextRunRegeneratesTheFile) {
  const LargeScript script = MakeLargeScript(600000);
  WriteFile("a.rc", script.original);
  const ProcessResult full = RunWithPrefix(FileSizeLimit(64), {"-f", "a.rc"});
  EXPECT_EQ(full.output, Console("Unable to write a.rc\n"
                                 "The rc file a.rc is incomplete; the backup file a.rc.original "
                                 "keeps the original text.\n"
                                 "Exiting.\n"));
  EXPECT_EQ(full.exitStatus, 255);
  EXPECT_TRUE(ReadFile("a.rc.original") == script.original);
  EXPECT_LT(ReadFile("a.rc").size(), script.converted.size());
  const std::string log = ReadFile("a.rc.log");
  EXPECT_EQ(CountTimeStamps(log), 1) << "the header, and no footer";
  EXPECT_EQ(log.find("Update of .rc Files complete"), std::string::npos);
  // The incomplete file is this program's own output, not a hand edit: the next run, with room
  // on the disk, is not refused but writes the file whole.
  const ProcessResult again = Run({"-f", "a.rc"});
  EXPECT_EQ(again.output, Console("Complete.\n"));
  EXPECT_EQ(again.exitStatus, 0);
  EXPECT_TRUE(ReadFile("a.rc") == script.converted);
  EXPECT_TRUE(ReadFile("a.rc.original") == script.original);
}

TEST_F(Faults, KilledRunLeavesTheBackupWholeAndTheRecoveryWorks) {
  const LargeScript script = MakeLargeScript(24 << 20);
  WriteFile("a.rc", script.original);
  const std::string rcPath = PathOf("a.rc");
  const ProcessResult killed = RunAndKillWhen({"-f", "a.rc"}, [&] {
    std::error_code error;
    return Exists("a.rc.original") && fs::file_size(rcPath, error) >= (1u << 20) && !error;
  });
  ASSERT_TRUE(killed.killedBySignal) << "the run ended before it could be killed";
  EXPECT_TRUE(ReadFile("a.rc.original") == script.original);
  EXPECT_LT(ReadFile("a.rc").size(), script.converted.size());
  const std::string log = ReadFile("a.rc.log");
  EXPECT_EQ(CountTimeStamps(log), 1) << "the header, and no footer";
  EXPECT_EQ(log.find("Update of .rc Files complete"), std::string::npos);

  // The cut-off file is newer than the backup, so the next run refuses to overwrite it...
  const std::string cutOff = ReadFile("a.rc");
  const ProcessResult refused = Run({"-s", "-f", "a.rc"});
  EXPECT_EQ(refused.exitStatus, 255);
  EXPECT_NE(refused.output.find("File will not be processed"), std::string::npos);
  EXPECT_TRUE(ReadFile("a.rc") == cutOff);
  // ...until the user touches the backup, as the README says; then the file is written whole.
  fs::last_write_time(PathOf("a.rc.original"), fs::file_time_type::clock::now());
  const ProcessResult recovered = Run({"-f", "a.rc"});
  EXPECT_EQ(recovered.output, Console("Complete.\n"));
  EXPECT_TRUE(ReadFile("a.rc") == script.converted);
  EXPECT_TRUE(ReadFile("a.rc.original") == script.original);
}

struct NameCase {
  std::string name;
  std::string folder;  // made before the run, empty for none
  std::string rcName;
  std::string extension;
  bool onWindowsToo;
  friend void PrintTo(const NameCase& value, std::ostream* out) { *out << value.name; }
};

class AwkwardNames : public Faults, public ::testing::WithParamInterface<NameCase> {};

TEST_P(AwkwardNames, AreUsedAsGiven) {
  if (Config().windowsProgram && !GetParam().onWindowsToo) {
    GTEST_SKIP() << "not tested against the Windows build: its ANSI paths are limited to "
                    "MAX_PATH, and the emulator maps only UTF-8 names to them";
  }
  if (!GetParam().folder.empty()) {
    fs::create_directories(PathOf(GetParam().folder));
  }
  const std::string rcName = GetParam().rcName;
  WriteFile(rcName, kTable);
  std::vector<std::string> arguments = {"-f", rcName};
  std::string backupName = rcName + ".original";
  if (!GetParam().extension.empty()) {
    arguments.insert(arguments.end(), {"-e", GetParam().extension});
    backupName = rcName + "." + GetParam().extension;
  }
  const ProcessResult result = Run(arguments);
  EXPECT_EQ(result.output, Console("Complete.\n"));
  EXPECT_EQ(result.exitStatus, 0);
  EXPECT_EQ(ReadFile(rcName), kConverted);
  EXPECT_EQ(ReadFile(backupName), kTable);
  EXPECT_EQ(CountTimeStamps(ReadFile(rcName + ".log")), 2);
}

const std::string kLongFolder = std::string(60, 'a') + "/" + std::string(60, 'b') + "/" +
                                std::string(60, 'c') + "/" + std::string(60, 'd') + "/" +
                                std::string(60, 'e');

INSTANTIATE_TEST_SUITE_P(
    Names, AwkwardNames,
    ::testing::Values(
        NameCase{"Spaces", "", "my strings.rc", "", true},
        NameCase{"LeadingDash", "", "-strings.rc", "", true},
        NameCase{"DashesEverywhere", "", "--file", "-s", true},
        NameCase{"NonAsciiLetters", "", "cha\xc3\xaene.rc", "", true},
        NameCase{"BytesThatAreNotUtf8", "",
                 "cha\xee"
                 "ne-\xe9\xff.rc",
                 "", false},
        NameCase{"LongerThan260", kLongFolder, kLongFolder + "/" + std::string(40, 'f') + ".rc", "",
                 false},
        NameCase{"ExtensionWithSpaces", "", "a.rc", "old copy", true},
        NameCase{"ExtensionWithNonAsciiLetters", "", "a.rc", "\xc3\xa9t\xc3\xa9", true},
        NameCase{"ExtensionWithBytesThatAreNotUtf8", "", "a.rc", "\xe9t\xe9\xff", false},
        NameCase{"LongExtension", "", "a.rc", std::string(200, 'x'), true}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.name; });

struct Utf16Case {
  std::string name;
  std::string rcBytes;
  std::string backupBytes;  // no backup when empty
  std::string reported;
  friend void PrintTo(const Utf16Case& value, std::ostream* out) { *out << value.name; }
};

class Utf16Input : public Faults, public ::testing::WithParamInterface<Utf16Case> {};

// The byte rules would turn every later character of UTF-16 text into garbage: such an input
// is refused before anything is renamed, written or logged.
TEST_P(Utf16Input, IsRefusedBeforeAnythingIsTouched) {
  WriteFile("a.rc", GetParam().rcBytes);
  if (!GetParam().backupBytes.empty()) {
    WriteFile("a.rc.original", GetParam().backupBytes);
  }
  const ProcessResult loud = Run({"-f", "a.rc"});
  EXPECT_EQ(loud.output, Console("File [" + GetParam().reported +
                                 "] is UTF-16 text, which this program cannot update.\n"
                                 "Save it as ANSI or UTF-8 text and run again.\n"
                                 "Exiting.\n"));
  EXPECT_EQ(loud.exitStatus, 255);
  const ProcessResult silent = Run({"-s", "-f", "a.rc"});
  EXPECT_EQ(silent.output, "");
  EXPECT_EQ(silent.exitStatus, 255);
  EXPECT_TRUE(ReadFile("a.rc") == GetParam().rcBytes);
  EXPECT_EQ(Exists("a.rc.original"), !GetParam().backupBytes.empty());
  EXPECT_FALSE(Exists("a.rc.log"));
}

const std::string kUtf16Little("\xff\xfeS\0T\0R\0\r\0\n\0", 12);
const std::string kUtf16Big("\xfe\xff\0S\0T\0R\0\r\0\n", 12);

INSTANTIATE_TEST_SUITE_P(
    Marks, Utf16Input,
    ::testing::Values(Utf16Case{"LittleEndianRcFile", kUtf16Little, "", "a.rc"},
                      Utf16Case{"BigEndianRcFile", kUtf16Big, "", "a.rc"},
                      Utf16Case{"LittleEndianBackup", kConverted, kUtf16Little, "a.rc.original"}),
    [](const ::testing::TestParamInfo<Utf16Case>& info) { return info.param.name; });

TEST_F(Faults, Utf8ByteOrderMarkIsJustBytes) {
  WriteFile("a.rc", "\xef\xbb\xbf// strings\r\n" + kTable);
  const ProcessResult result = Run({"-f", "a.rc"});
  EXPECT_EQ(result.output, Console("Complete.\n"));
  EXPECT_EQ(ReadFile("a.rc"), "\xef\xbb\xbf// strings\r\n" + kConverted);
}

class NativeFaults : public Faults {
 protected:
  void SetUp() override {
    if (Config().windowsProgram) {
      GTEST_SKIP() << "POSIX file kinds and permissions: tested against the native build";
    }
    Faults::SetUp();
  }
};

TEST_F(NativeFaults, FifoAndDeviceAreNotRegularFiles) {
  ASSERT_EQ(mkfifo(PathOf("pipe.rc").c_str(), 0644), 0);
  for (const std::string name : {"pipe.rc", "/dev/null"}) {
    const ProcessResult result = Run({"-f", name});
    EXPECT_EQ(result.output, "File given [" + name + "] is not a regular file.\nExiting.\n");
    EXPECT_EQ(result.exitStatus, 255);
    EXPECT_FALSE(fs::exists(name + ".log") || Exists(name + ".log")) << name;
    EXPECT_FALSE(fs::exists(name + ".original") || Exists(name + ".original")) << name;
  }
  EXPECT_EQ(fs::status(PathOf("pipe.rc")).type(), fs::file_type::fifo);
}

TEST_F(NativeFaults, NewRcFileTakesTheBackupsPermissionsWhateverTheUmask) {
  for (const auto& [mode, mask] : {std::pair{0600, "022"}, std::pair{0640, "077"}}) {
    const std::string name = "mode" + std::to_string(mode) + ".rc";
    WriteFile(name, kTable);
    fs::permissions(PathOf(name), fs::perms(mode));
    const std::vector<std::string> umask = {"/bin/sh", "-c",
                                            std::string("umask ") + mask + " && exec \"$@\"", "sh"};
    for (int run = 0; run < 2; ++run) {
      ASSERT_EQ(RunWithPrefix(umask, {"-s", "-f", name}).exitStatus, 0);
      EXPECT_EQ(fs::status(PathOf(name)).permissions(), fs::perms(mode)) << name << " run " << run;
      EXPECT_EQ(fs::status(PathOf(name + ".original")).permissions(), fs::perms(mode));
    }
    EXPECT_EQ(ReadFile(name), kConverted);
  }
}

struct PermissionCase {
  std::string name;
  bool rcReadOnly;
  bool logReadOnly;
  std::string console;
  int headersInLog;
  friend void PrintTo(const PermissionCase& value, std::ostream* out) { *out << value.name; }
};

class UnwritableFiles : public NativeFaults,
                        public ::testing::WithParamInterface<PermissionCase> {};

// An unprivileged user meets files it may not write: the report says which, and the rc file and
// its backup stay exactly as they were.
TEST_P(UnwritableFiles, AreReportedAndLeftAlone) {
  if (const std::string why = WhyNoPrivilegeDrop(); !why.empty()) {
    GTEST_SKIP() << why;
  }
  WriteFile("a.rc", kConverted);
  WriteFile("a.rc.original", kTable);
  WriteFile("a.rc.log", "");
  fs::permissions(PathOf(""), fs::perms(0777));
  fs::permissions(PathOf("a.rc"), fs::perms(GetParam().rcReadOnly ? 0444 : 0666));
  fs::permissions(PathOf("a.rc.original"), fs::perms(0444));
  fs::permissions(PathOf("a.rc.log"), fs::perms(GetParam().logReadOnly ? 0444 : 0666));
  fs::last_write_time(PathOf("a.rc.original"),
                      fs::last_write_time(PathOf("a.rc")) + std::chrono::hours(1));
  const ProcessResult result = RunWithPrefix(UnprivilegedPrefix(), {"-f", "a.rc"});
  EXPECT_EQ(result.output, Console(GetParam().console));
  EXPECT_EQ(result.exitStatus, 255);
  EXPECT_EQ(ReadFile("a.rc"), kConverted);
  EXPECT_EQ(ReadFile("a.rc.original"), kTable);
  EXPECT_EQ(CountTimeStamps(ReadFile("a.rc.log")), GetParam().headersInLog);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnwritableFiles,
    ::testing::Values(PermissionCase{"Log", false, true,
                                     "Unable to open a.rc.log for writing log information\n"
                                     "Make sure that you have permission to write to the file.\n"
                                     "Exiting.\n",
                                     0},
                      PermissionCase{"RcFile", true, false,
                                     "Unable to open a.rc for writing\n"
                                     "Make sure that you have permission to write to the file.\n"
                                     "Exiting.\n",
                                     1}),
    [](const ::testing::TestParamInfo<PermissionCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tablemend::e2e
