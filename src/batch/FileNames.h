#pragma once
// The file-name rules of a batch run: karaoke files get the ".kar.mid" ending, spaces and
// underscores of a file name are swapped, and a taken target gets a numbered name. Renames
// never replace an existing file: a refused rename leaves the file as it was and says why.

#include <filesystem>
#include <string>

namespace quaverly {

enum class SpaceDirection {
  kUnderscoreToSpace,  // "my_song.mid" -> "my song.mid"
  kSpaceToUnderscore,  // "my song.mid" -> "my_song.mid"
};

// What one rule did to a file.
struct RenameStep {
  std::filesystem::path path;    // the file's name after the step (unchanged when not renamed)
  std::filesystem::path target;  // the name asked for; empty when the rule had nothing to do
  bool renamed = false;
  std::string error;  // "cannot rename FROM to TO: reason" when the rename was refused
};

// Renames from to to unless to already exists (as a file, folder or link). Returns an empty
// string on success, else "cannot rename FROM to TO: reason"; from is then left as it was.
std::string RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// The karaoke name of a path: "x.mid" -> "x.kar.mid" (any letter case of ".mid"), another
// ending -> "x.other.kar.mid"; a name already ending in ".kar.mid" is returned unchanged.
std::filesystem::path KaraokeName(const std::filesystem::path& file);
RenameStep RenameKaraokeFile(const std::filesystem::path& file);

// Swaps the characters in the file name only; the folder part is never changed.
std::filesystem::path SpacedName(const std::filesystem::path& file, SpaceDirection direction);
RenameStep ConvertSpaces(const std::filesystem::path& file, SpaceDirection direction);

// Returns new_name, or when another file already holds it, the first free numbered variant
// ("my_song.mid" -> "my_song 1.mid", "track 07.mid" -> "track  8.mid"). A name that differs
// from old_name in letter case only is returned unchanged. Only the file name is numbered.
std::filesystem::path MakeUniqueName(const std::filesystem::path& old_name,
                                     const std::filesystem::path& new_name);

}  // namespace quaverly
