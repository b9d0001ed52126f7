// The program under test and a reference build (the native one, when the program is the Windows
// build) must leave the same bytes on disk for the same inputs: rc file, backup, and log but for
// its time stamps.
#include <filesystem>
#include <string>
#include <vector>

#include "e2e/fixture.h"

namespace tablemend::e2e {
namespace {

std::string Lines(int count, std::size_t width) {
  std::string text = "STRINGTABLE\r\nBEGIN\r\n";
  for (int line = 0; line < count; ++line) {
    text += "  IDS_" + std::to_string(line) + ", " +
            (line % 3 == 0 ? std::string("\"\"") : std::string(width, 'x')) + "\r\n";
  }
  return text + "END\r\n";
}

struct InputCase {
  std::string name;
  std::string bytes;  // empty: the project's example
  friend void PrintTo(const InputCase& value, std::ostream* out) { *out << value.name; }
};

class SameFilesEverywhere : public EndToEnd, public ::testing::WithParamInterface<InputCase> {
 protected:
  void SetUp() override {
    if (Config().referenceProgram.empty()) {
      GTEST_SKIP() << "needs a reference build to compare with (--reference-program)";
    }
    EndToEnd::SetUp();
  }
};

TEST_P(SameFilesEverywhere, RunsLeaveTheSameBytes) {
  const std::string input = GetParam().bytes.empty()
                                ? ReadBytesOf(Config().sourceDir + "/examples/app.rc")
                                : GetParam().bytes;
  for (const char* folder : {"tested", "reference"}) {
    std::filesystem::create_directory(PathOf(folder));
    WriteFile(std::string(folder) + "/a.rc", input);
  }
  for (int run = 0; run < 2; ++run) {
    const ProcessResult tested = RunIn("tested", {"-v", "-f", "a.rc"});
    const ProcessResult reference = RunReferenceIn("reference", {"-v", "-f", "a.rc"});
    EXPECT_EQ(tested.exitStatus, reference.exitStatus);
    EXPECT_EQ(tested.output, Console(reference.output));
    for (const char* name : {"a.rc", "a.rc.original"}) {
      EXPECT_TRUE(ReadFile(std::string("tested/") + name) ==
                  ReadFile(std::string("reference/") + name))
          << name << " after run " << run;
    }
    EXPECT_EQ(MaskTimeStamps(ReadFile("tested/a.rc.log")),
              MaskTimeStamps(ReadFile("reference/a.rc.log")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SameFilesEverywhere,
    ::testing::Values(
        InputCase{"Example", ""},
        InputCase{"LineFeedsOnlyAndNoFinalLineEnd", "STRINGTABLE\nBEGIN\nA, \"\"\nEND\nlast"},
        InputCase{"LoneCarriageReturns", "STRINGTABLE\r\nBEGIN\r\nA, \"\"\r\r\nB,\r\"\"\r\nEND"},
        InputCase{"CtrlZ",
                  "STRINGTABLE\r\nBEGIN\r\nA, \"\"\r\n\x1a"
                  "B, \"\"\r\n"},
        InputCase{"NulBytes", std::string("STRINGTABLE\r\nBEGIN\r\nA\0, \"\"\r\n\0\r\n", 30)},
        InputCase{"LongLines", Lines(50, 2500)}, InputCase{"ManyLines", Lines(20000, 30)},
        InputCase{"BlockLeftOpen", "STRINGTABLE\r\n{\r\nA, \"\"\r\nB, \"\", 1\r\n"}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tablemend::e2e
