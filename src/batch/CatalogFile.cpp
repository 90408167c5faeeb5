#include "batch/CatalogFile.h"

#include "song/NumberText.h"

namespace quaverly {
namespace {

constexpr size_t kFlushSize = 64 * 1024;

}  // namespace

std::string InformationLine(const CatalogStrings& info) {
  if (info[0].empty()) return kHeaderNotFound;
  std::string line;
  line.reserve(64);
  line.append(" Type:").append(info[0]).append(info[7]).append(info[3]).append("BPM");
  line.append(" ").append(info[5]).append(" Key:").append(info[4]);
  line.append(" Res:").append(info[2]).append(" Tracks:").append(info[1]);
  return line;
}

std::string CatalogFile::WriteLine(std::string_view line) {
  if (!file_.error().empty()) return file_.error();
  buffer_.append(line).append(kLineBreak);
  if (buffer_.size() < kFlushSize) return {};
  std::string error = file_.Write(buffer_);
  buffer_.clear();
  return error;
}

std::string CatalogFile::Commit() {
  file_.Write(buffer_);
  buffer_.clear();
  return file_.Commit();
}

}  // namespace quaverly
