#include "batch/FileNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace quaverly {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool Exists(const fs::path& p) {
  struct stat st {};
  return ::lstat(p.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

std::string Refusal(const fs::path& from, const fs::path& to, int err) {
  return "cannot rename " + from.string() + " to " + to.string() + ": " + std::strerror(err);
}

// Reads the start of text as a decimal number (sign, digits, a fraction), 0 when it does not
// start with one, rounded half to even.
int LeadingNumber(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  double value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9')
    value = value * 10 + (text[i++] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10) {
      value += (text[i] - '0') * scale;
    }
  }
  return static_cast<int>(std::nearbyint(negative ? -value : value));
}

RenameStep Apply(const fs::path& file, const fs::path& target) {
  RenameStep step{file, target, false, {}};
  step.error = RenameNoReplace(file, target);
  if (step.error.empty()) {
    step.path = target;
    step.renamed = true;
  }
  return step;
}

}  // namespace

std::string RenameNoReplace(const fs::path& from, const fs::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
  const int err = errno;
  if (err != EINVAL && err != ENOSYS && err != ENOTSUP) return Refusal(from, to, err);

  // The file system has no no-replace rename: a hard link fails on an existing target too.
  if (::link(from.c_str(), to.c_str()) == 0) {
    if (::unlink(from.c_str()) == 0) return {};
    const int unlink_err = errno;
    ::unlink(to.c_str());
    return Refusal(from, to, unlink_err);
  }
  const int link_err = errno;
  if (link_err == EEXIST) return Refusal(from, to, EEXIST);
  if (link_err != EPERM && link_err != ENOTSUP && link_err != EOPNOTSUPP) {
    return Refusal(from, to, link_err);
  }
  // No hard links either (FAT-like file systems): check, then rename. Only another program
  // creating the target in between could be replaced.
  if (Exists(to)) return Refusal(from, to, EEXIST);
  if (std::rename(from.c_str(), to.c_str()) != 0) return Refusal(from, to, errno);
  return {};
}

fs::path KaraokeName(const fs::path& file) {
  const std::string name = file.string();
  const std::string lower = Lower(name);
  if (EndsWith(lower, ".kar.mid")) return file;
  if (!EndsWith(lower, ".mid")) return fs::path(name + ".kar.mid");
  return fs::path(name.substr(0, name.size() - 4) + ".kar.mid");
}

RenameStep RenameKaraokeFile(const fs::path& file) {
  const fs::path target = KaraokeName(file);
  if (target == file) return RenameStep{file, {}, false, {}};
  return Apply(file, target);
}

fs::path SpacedName(const fs::path& file, SpaceDirection direction) {
  const char from = direction == SpaceDirection::kUnderscoreToSpace ? '_' : ' ';
  const char to = direction == SpaceDirection::kUnderscoreToSpace ? ' ' : '_';
  std::string name = file.filename().string();
  std::replace(name.begin(), name.end(), from, to);
  return file.parent_path() / name;
}

RenameStep ConvertSpaces(const fs::path& file, SpaceDirection direction) {
  const fs::path target = MakeUniqueName(file, SpacedName(file, direction));
  if (target.string() == file.string()) return RenameStep{file, {}, false, {}};
  return Apply(file, target);
}

fs::path MakeUniqueName(const fs::path& old_name, const fs::path& new_name) {
  if (Lower(old_name.string()) == Lower(new_name.string())) return new_name;
  if (!Exists(new_name)) return new_name;

  // The extension is looked for in the file name only, so that a dot in a folder name
  // never moves the file.
  const std::string name = new_name.filename().string();
  std::string stem = name;
  std::string extension;
  for (size_t from_end : {9u, 5u, 4u, 3u}) {
    if (name.size() >= from_end && name[name.size() - from_end] == '.') {
      stem = name.substr(0, name.size() - from_end);
      extension = name.substr(name.size() - from_end);
      break;
    }
  }
  // A one-character stem has no two characters of its own to read a number from.
  std::string digits = stem.size() >= 2 ? stem.substr(stem.size() - 2) : std::string();
  const auto not_space = [](char c) { return c != ' '; };
  digits.erase(digits.begin(), std::find_if(digits.begin(), digits.end(), not_space));
  digits.erase(std::find_if(digits.rbegin(), digits.rend(), not_space).base(), digits.end());
  int n = LeadingNumber(digits);
  if (n != 0) stem.resize(stem.size() - 2);

  // Bounded so that a folder full of numbered names cannot keep the walk busy; the rename
  // of an unchanged, taken name is then refused.
  for (int tries = 0; tries < 100000; ++tries) {
    ++n;
    std::string numbered = stem;
    // The number set off by a space, or by its minus sign (as number text has it).
    if (n >= 0) numbered.push_back(' ');
    numbered.append(std::to_string(n)).append(extension);
    const fs::path candidate = new_name.parent_path() / numbered;
    if (!Exists(candidate)) return candidate;
  }
  return new_name;
}

}  // namespace quaverly
