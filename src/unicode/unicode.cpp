#include "unicode/unicode.h"

namespace tablemend {

namespace {

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Writes the point's bytes at `out` and returns where they end.
char* AppendUtf8(char32_t point, char* out) {
  const auto trailing = [&out, point](int shift) {
    *out++ = static_cast<char>(0x80 | ((point >> shift) & 0x3F));
  };
  if (point < 0x80) {
    *out++ = static_cast<char>(point);
  } else if (point < 0x800) {
    *out++ = static_cast<char>(0xC0 | (point >> 6));
    trailing(0);
  } else if (point < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (point >> 12));
    trailing(6);
    trailing(0);
  } else {
    *out++ = static_cast<char>(0xF0 | (point >> 18));
    trailing(12);
    trailing(6);
    trailing(0);
  }
  return out;
}

// How many bytes the UTF-8 sequence led by this byte takes; 0 for a byte that leads none.
std::size_t SequenceLength(unsigned lead) {
  if (lead < 0x80) {
    return 1;
  }
  if (lead >= 0xC2 && lead < 0xE0) {
    return 2;
  }
  if (lead >= 0xE0 && lead < 0xF0) {
    return 3;
  }
  return lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
}

// The code point of the UTF-8 sequence at `index` (surrogates allowed) and its length; length 0
// when no well-formed sequence starts there.
char32_t DecodeSequence(std::string_view bytes, std::size_t index, std::size_t& length) {
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  length = SequenceLength(static_cast<unsigned char>(bytes[index]));
  if (length == 0 || index + length > bytes.size()) {
    length = 0;
    return 0;
  }
  // The lead byte's own bits: seven of an ASCII byte, fewer as the sequence grows.
  char32_t point =
      static_cast<unsigned char>(bytes[index]) & (length == 1 ? 0x7F : 0xFF >> (length + 1));
  for (std::size_t next = index + 1; next < index + length; ++next) {
    const unsigned byte = static_cast<unsigned char>(bytes[next]);
    if ((byte & 0xC0) != 0x80) {
      length = 0;
      return 0;
    }
    point = (point << 6) | (byte & 0x3F);
  }
  // Overlong forms and points past U+10FFFF are no UTF-8.
  if (point < kSmallest[length] || point > 0x10FFFF) {
    length = 0;
  }
  return point;
}

}  // namespace

std::string EncodeUtf8(std::u16string_view units, LoneSurrogates lone) {
  // Three bytes at most for each unit: a surrogate pair, two units, takes four.
  std::string bytes(units.size() * 3, '\0');
  char* out = &bytes[0];
  for (std::size_t index = 0; index < units.size(); ++index) {
    char32_t point = units[index];
    if (point < 0x80) {
      *out++ = static_cast<char>(point);  // most of a script's text
      continue;
    }
    if (IsHighSurrogate(point) && index + 1 < units.size() && IsLowSurrogate(units[index + 1])) {
      point = 0x10000 + ((point - 0xD800) << 10) + (units[++index] - 0xDC00);
    } else if ((IsHighSurrogate(point) || IsLowSurrogate(point)) &&
               lone == LoneSurrogates::kReplace) {
      point = 0xFFFD;
    }
    out = AppendUtf8(point, out);
  }
  bytes.resize(static_cast<std::size_t>(out - bytes.data()));
  return bytes;
}

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string units;
  for (std::size_t index = 0; index < bytes.size();) {
    std::size_t length = 0;
    char32_t point = DecodeSequence(bytes, index, length);
    if (length == 0) {
      point = static_cast<unsigned char>(bytes[index]);
      length = 1;
    }
    if (point >= 0x10000) {
      units += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      point = 0xDC00 + ((point - 0x10000) & 0x3FF);
    }
    units += static_cast<char16_t>(point);
    index += length;
  }
  return units;
}

}  // namespace tablemend
