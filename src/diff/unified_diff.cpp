#include "diff/unified_diff.h"

#include <algorithm>
#include <vector>

namespace tablemend {

namespace {

using Lines = std::vector<std::string_view>;

constexpr std::size_t kContext = 3;
// How far ahead the lines of the two texts are searched for the next line they share. A run
// changes lines in place, one line becoming two at most, so the texts meet again within a line
// or two; where they never do (every line end changed), lines are paired one for one.
constexpr std::size_t kLookAhead = 8;

Lines SplitLines(std::string_view text) {
  Lines lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size() - 1) + 1;
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return lines;
}

enum class Edit : unsigned char { kKeep, kRemove, kAdd };

// The texts' positions in their lines.
struct Position {
  std::size_t before = 0;
  std::size_t after = 0;
};

// Moves `shared` to the nearest lines ahead that both texts share, nearest first; leaves it where
// it is when none is in reach.
void FindNextShared(const Lines& before, const Lines& after, Position at, Position& shared) {
  for (std::size_t distance = 1; distance <= 2 * kLookAhead; ++distance) {
    for (std::size_t skipped = 0; skipped <= distance; ++skipped) {
      const Position next{at.before + skipped, at.after + distance - skipped};
      if (skipped <= kLookAhead && distance - skipped <= kLookAhead &&
          next.before < before.size() && next.after < after.size() &&
          before[next.before] == after[next.after]) {
        shared = next;
        return;
      }
    }
  }
}

// The edits that turn one text's lines into the other's: kept lines, and between them the lines
// removed, then the lines added, as diff shows a change.
std::vector<Edit> AlignLines(const Lines& before, const Lines& after) {
  std::vector<Edit> edits;
  std::size_t removed = 0;  // the change under way
  std::size_t added = 0;
  const auto endChange = [&] {
    edits.insert(edits.end(), removed, Edit::kRemove);
    edits.insert(edits.end(), added, Edit::kAdd);
    removed = added = 0;
  };
  Position at;
  while (at.before < before.size() || at.after < after.size()) {
    if (at.before < before.size() && at.after < after.size() &&
        before[at.before] == after[at.after]) {
      endChange();
      edits.push_back(Edit::kKeep);
      ++at.before;
      ++at.after;
      continue;
    }
    Position next{std::min(at.before + 1, before.size()), std::min(at.after + 1, after.size())};
    FindNextShared(before, after, at, next);
    removed += next.before - at.before;
    added += next.after - at.after;
    at = next;
  }
  endChange();
  return edits;
}

// "3" for one line from the third, "3,4" for four, "2,0" for none after the second.
std::string DescribeRange(std::size_t start, std::size_t count) {
  if (count == 0) {
    return std::to_string(start) + ",0";
  }
  const std::string first = std::to_string(start + 1);
  return count == 1 ? first : first + "," + std::to_string(count);
}

void AppendLine(std::string& diff, char mark, std::string_view line) {
  diff += mark;
  diff.append(line);
  if (line.back() != '\n') {
    diff += "\n\\ No newline at end of file\n";
  }
}

// Where a hunk ends: after its last change and up to kContext kept lines, unless the next change
// comes so soon that the two hunks' context would meet, when it takes that change in too.
std::size_t FindHunkEnd(const std::vector<Edit>& edits, std::size_t change) {
  std::size_t end = change;
  for (;;) {
    while (end < edits.size() && edits[end] != Edit::kKeep) {
      ++end;
    }
    std::size_t kept = 0;
    while (end + kept < edits.size() && edits[end + kept] == Edit::kKeep) {
      ++kept;
    }
    if (end + kept == edits.size() || kept > 2 * kContext) {
      return end + std::min(kept, kContext);
    }
    end += kept;
  }
}

// Appends the hunk of edits[first, end), which starts at `start` in the two texts.
void AppendHunk(std::string& diff, const Lines& before, const Lines& after,
                const std::vector<Edit>& edits, std::size_t first, std::size_t end,
                Position start) {
  const std::size_t removed = static_cast<std::size_t>(
      std::count(edits.begin() + first, edits.begin() + end, Edit::kRemove));
  const std::size_t added =
      static_cast<std::size_t>(std::count(edits.begin() + first, edits.begin() + end, Edit::kAdd));
  const std::size_t kept = end - first - removed - added;
  diff += "@@ -" + DescribeRange(start.before, kept + removed) + " +" +
          DescribeRange(start.after, kept + added) + " @@\n";
  Position at = start;
  for (std::size_t index = first; index < end; ++index) {
    switch (edits[index]) {
      case Edit::kKeep:
        AppendLine(diff, ' ', before[at.before++]);
        ++at.after;
        break;
      case Edit::kRemove:
        AppendLine(diff, '-', before[at.before++]);
        break;
      case Edit::kAdd:
        AppendLine(diff, '+', after[at.after++]);
        break;
    }
  }
}

}  // namespace

std::string MakeUnifiedDiff(std::string_view before, std::string_view after,
                            std::string_view name) {
  if (before == after) {
    return std::string();
  }
  const Lines beforeLines = SplitLines(before);
  const Lines afterLines = SplitLines(after);
  const std::vector<Edit> edits = AlignLines(beforeLines, afterLines);
  std::string diff = "--- a/" + std::string(name) + "\n+++ b/" + std::string(name) + "\n";
  Position at;  // before edits[index]
  std::size_t hunkEnd = 0;
  for (std::size_t index = 0; index < edits.size();) {
    if (edits[index] == Edit::kKeep) {
      ++at.before;
      ++at.after;
      ++index;
      continue;
    }
    // A hunk opens up to kContext kept lines before its first change, never inside the last one.
    const std::size_t lead = std::min(kContext, index - hunkEnd);
    const std::size_t first = index - lead;
    hunkEnd = FindHunkEnd(edits, index);
    const Position start{at.before - lead, at.after - lead};
    AppendHunk(diff, beforeLines, afterLines, edits, first, hunkEnd, start);
    for (; index < hunkEnd; ++index) {
      at.before += edits[index] != Edit::kAdd;
      at.after += edits[index] != Edit::kRemove;
    }
  }
  return diff;
}

}  // namespace tablemend
