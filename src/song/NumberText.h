#pragma once
// Numbers as the program shows and writes them: "number text" puts one space before a
// non-negative number (7 -> " 7", -2 -> "-2"); "plain number text" has no space.

#include <cstdint>
#include <string>

namespace quaverly {

inline std::string PlainNumberText(int64_t v) { return std::to_string(v); }
inline std::string NumberText(int64_t v) {
  std::string text = std::to_string(v);
  if (v >= 0) text.insert(text.begin(), ' ');
  return text;
}

// Every text the program builds ends its lines with CR LF.
inline constexpr const char* kLineBreak = "\r\n";

}  // namespace quaverly
