#include "reader/InfoText.h"

#include <optional>
#include <string_view>

namespace quaverly {
namespace {

void Label(std::string& out, std::string_view name, const std::optional<std::string>& value,
           std::string_view reset) {
  out += name;
  out += ": ";
  out += value ? std::string_view(*value) : reset;
  out += '\n';
}

// The boxes hold CR LF line ends and may end mid-line; each section ends with a line end.
void Section(std::string& out, std::string_view heading, const std::string& text) {
  out += heading;
  out += '\n';
  out += text;
  if (!text.empty() && text.back() != '\n') out += '\n';
}

}  // namespace

std::string InfoText(const ReadReport& report) {
  std::string out;
  out.reserve(256 + report.FileInfo.size() + report.GenText.size() + report.Lyrics.size() +
              report.Markers.size());
  Label(out, "Format", report.FType, kResetFType);
  Label(out, "Tracks", report.FTracks, kResetFTracks);
  Label(out, "Time Signature", report.FTimeSig, kResetFTimeSig);
  Label(out, "Key Signature", report.FKeySig, kResetFKeySig);
  Label(out, "Tempo", report.FTempo, kResetFTempo);
  Label(out, "Copyright Text", report.FCopyTxt, "");
  Section(out, "\n[General]", report.FileInfo);
  Section(out, "\n[Text]", report.GenText);
  Section(out, "\n[Lyrics]", report.Lyrics);
  Section(out, "\n[Markers]", report.Markers);
  return out;
}

}  // namespace quaverly
