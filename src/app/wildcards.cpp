#include "app/wildcards.h"

#include <algorithm>

#include "platform/platform.h"

namespace tablemend {

namespace {

// The bytes of the UTF-8 character that starts at `index`: a stray byte counts as one.
std::size_t CharacterLength(std::string_view text, std::size_t index) {
  const unsigned char lead = static_cast<unsigned char>(text[index]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  return std::min(length, text.size() - index);
}

std::string_view CharacterAt(std::string_view text, std::size_t index) {
  return text.substr(index, CharacterLength(text, index));
}

bool SameCharacter(std::string_view first, std::string_view second) {
  return first == second || CompareFileNames(first, second) == 0;
}

bool HoldsWildcard(std::string_view path) {
  return path.find_first_of("*?", FindLastComponent(path)) != std::string_view::npos;
}

// The matches of one pattern, with its folder as it was typed, in the order of their names.
std::vector<std::string> ExpandPattern(const std::string& argument) {
  const std::size_t start = FindLastComponent(argument);
  const std::string folder = argument.substr(0, start);
  std::vector<std::string> names;
  ListFolderFiles(folder, names);
  const std::string_view pattern = std::string_view(argument).substr(start);
  names.erase(std::remove_if(
                  names.begin(), names.end(),
                  [pattern](const std::string& name) { return !MatchesWildcard(name, pattern); }),
              names.end());
  std::sort(names.begin(), names.end(), ListsBefore);
  for (std::string& name : names) {
    name.insert(0, folder);
  }
  return names;
}

}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  std::size_t at = 0;
  std::size_t patternAt = 0;
  // After a "*": where the pattern goes on, and where in the name the run it stands for ends.
  std::size_t afterStar = std::string_view::npos;
  std::size_t starRunEnd = 0;
  while (at < name.size()) {
    if (patternAt < pattern.size() && pattern[patternAt] == '*') {
      afterStar = ++patternAt;
      starRunEnd = at;
      continue;
    }
    const std::string_view character = CharacterAt(name, at);
    if (patternAt < pattern.size() &&
        (pattern[patternAt] == '?' || SameCharacter(character, CharacterAt(pattern, patternAt)))) {
      at += character.size();
      patternAt += pattern[patternAt] == '?' ? 1 : CharacterLength(pattern, patternAt);
      continue;
    }
    if (afterStar == std::string_view::npos) {
      return false;
    }
    // The last "*" takes one more character, and the rest of the pattern is tried after it.
    starRunEnd += CharacterLength(name, starRunEnd);
    at = starRunEnd;
    patternAt = afterStar;
  }
  return pattern.find_first_not_of('*', patternAt) == std::string_view::npos;
}

std::vector<std::string> ExpandWildcards(const std::vector<std::string>& arguments) {
  std::vector<std::string> expanded;
  for (const std::string& argument : arguments) {
    const std::vector<std::string> matches =
        HoldsWildcard(argument) ? ExpandPattern(argument) : std::vector<std::string>();
    if (matches.empty()) {
      expanded.push_back(argument);
    } else {
      expanded.insert(expanded.end(), matches.begin(), matches.end());
    }
  }
  return expanded;
}

}  // namespace tablemend
