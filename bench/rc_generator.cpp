#include "rc_generator.h"

namespace tablemend::bench {

namespace {

// xorshift64*: small, fast, and the same everywhere.
std::uint64_t NextRandom(ScriptGenerator& generator) {
  generator.state ^= generator.state >> 12;
  generator.state ^= generator.state << 25;
  generator.state ^= generator.state >> 27;
  return generator.state * 0x2545F4914F6CDD1DULL;
}

unsigned Below(ScriptGenerator& generator, unsigned bound) {
  return static_cast<unsigned>(NextRandom(generator) % bound);
}

const char* const kWords[] = {"Open",   "file",    "the",     "cannot", "be",     "saved",
                              "Ready",  "Error",   "window",  "print",  "page",   "setup",
                              "format", "network", "connect", "retry",  "cancel", "settings"};

std::string Words(ScriptGenerator& generator, unsigned count) {
  std::string text;
  for (unsigned index = 0; index < count; ++index) {
    text += index == 0 ? "" : " ";
    text += kWords[Below(generator, sizeof kWords / sizeof kWords[0])];
  }
  return text;
}

std::string Identifier(ScriptGenerator& generator, const char* prefix) {
  return prefix + std::to_string(1000 + Below(generator, 60000));
}

void AppendLine(std::string& script, const std::string& line) {
  script += line;
  script += "\r\n";
}

void AppendComments(ScriptGenerator& generator, std::string& script) {
  for (unsigned line = 0, count = 1 + Below(generator, 4); line < count; ++line) {
    AppendLine(script, "// " + Words(generator, 3 + Below(generator, 9)));
  }
  AppendLine(script, "");
}

void AppendPreprocessorLines(ScriptGenerator& generator, std::string& script) {
  AppendLine(script, "#ifdef APSTUDIO_INVOKED");
  AppendLine(script, "#include \"resource.h\"");
  for (unsigned line = 0, count = 2 + Below(generator, 6); line < count; ++line) {
    AppendLine(script, "#define " + Identifier(generator, "IDC_CONTROL_") + " " +
                           std::to_string(Below(generator, 40000)));
  }
  AppendLine(script, "#endif");
  AppendLine(script, "");
}

void AppendDialog(ScriptGenerator& generator, std::string& script) {
  AppendLine(script, Identifier(generator, "IDD_DIALOG_") + " DIALOGEX 0, 0, 320, 200");
  AppendLine(script, "STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU");
  AppendLine(script, "CAPTION \"" + Words(generator, 2) + "\"");
  AppendLine(script, "FONT 8, \"MS Shell Dlg\", 400, 0, 0x1");
  AppendLine(script, "BEGIN");
  for (unsigned line = 0, count = 3 + Below(generator, 10); line < count; ++line) {
    const std::string text = Below(generator, 4) == 0 ? "" : Words(generator, 2);
    AppendLine(script, "    LTEXT           \"" + text + "\"," + Identifier(generator, "IDC_") +
                           ",7,7," + std::to_string(40 + Below(generator, 200)) + ",8");
  }
  AppendLine(script, "    DEFPUSHBUTTON   \"OK\",IDOK,209,179,50,14");
  AppendLine(script, "END");
  AppendLine(script, "");
}

void AppendMenu(ScriptGenerator& generator, std::string& script) {
  AppendLine(script, Identifier(generator, "IDR_MENU_") + " MENU");
  AppendLine(script, "BEGIN");
  AppendLine(script, "    POPUP \"&" + Words(generator, 1) + "\"");
  AppendLine(script, "    BEGIN");
  for (unsigned line = 0, count = 2 + Below(generator, 8); line < count; ++line) {
    AppendLine(script, "        MENUITEM \"&" + Words(generator, 2) + "\", " +
                           Identifier(generator, "ID_COMMAND_"));
  }
  AppendLine(script, "    END");
  AppendLine(script, "END");
  AppendLine(script, "");
}

void AppendVersionBlock(ScriptGenerator& generator, std::string& script) {
  AppendLine(script, "VS_VERSION_INFO VERSIONINFO");
  AppendLine(script, " FILEVERSION 1,0,0," + std::to_string(Below(generator, 999)));
  AppendLine(script, "BEGIN");
  AppendLine(script, "    BLOCK \"StringFileInfo\"");
  AppendLine(script, "    BEGIN");
  AppendLine(script, "        BLOCK \"040904b0\"");
  AppendLine(script, "        BEGIN");
  AppendLine(script, "            VALUE \"CompanyName\", \"\"");
  AppendLine(script, "            VALUE \"FileDescription\", \"" + Words(generator, 3) + "\"");
  AppendLine(script, "        END");
  AppendLine(script, "    END");
  AppendLine(script, "END");
  AppendLine(script, "");
}

void AppendStringTable(ScriptGenerator& generator, std::string& script) {
  const bool braces = Below(generator, 3) == 0;
  AppendLine(script, Below(generator, 2) == 0 ? "STRINGTABLE" : "STRINGTABLE DISCARDABLE");
  AppendLine(script, braces ? "{" : "BEGIN");
  for (unsigned line = 0, count = 8 + Below(generator, 48); line < count; ++line) {
    const unsigned kind = Below(generator, 1000);
    std::string text;
    if (kind < 250) {
      text = "";
    } else if (kind < 252) {
      text = std::string(1100 + Below(generator, 1500), 'x');  // a line longer than a chunk
    } else {
      text = Words(generator, 1 + Below(generator, 8));
    }
    if (kind >= 990) {
      AppendLine(script, "    // " + Words(generator, 4));
    }
    const std::string identifier = Identifier(generator, "IDS_STRING_");
    AppendLine(script, "    " + identifier + "," + std::string(24 - identifier.size(), ' ') + "\"" +
                           text + "\"");
  }
  AppendLine(script, braces ? "}" : "END");
  AppendLine(script, "");
}

}  // namespace

void AppendSection(ScriptGenerator& generator, std::string& script) {
  const unsigned kind = Below(generator, 20);
  if (kind < 2) {
    AppendComments(generator, script);
  } else if (kind < 4) {
    AppendPreprocessorLines(generator, script);
  } else if (kind < 12) {
    AppendDialog(generator, script);
  } else if (kind < 16) {
    AppendMenu(generator, script);
  } else if (kind < 18) {
    AppendVersionBlock(generator, script);
  } else {
    AppendStringTable(generator, script);
  }
}

std::string GenerateScript(std::uint64_t seed, std::size_t size) {
  ScriptGenerator generator(seed);
  std::string script;
  script.reserve(size + 4096);
  while (script.size() < size) {
    AppendSection(generator, script);
  }
  return script;
}

std::string ToUtf16LittleEndian(const std::string& ascii, bool mark) {
  std::string bytes = mark ? "\xFF\xFE" : "";
  bytes.reserve(bytes.size() + ascii.size() * 2);
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

}  // namespace tablemend::bench
