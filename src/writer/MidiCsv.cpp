#include "writer/MidiCsv.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace quaverly {
namespace {

class CsvLine {
 public:
  explicit CsvLine(std::string& out) : out_(out) {}

  void Int(int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out_.append(buf, static_cast<std::size_t>(r.ptr - buf));
  }
  // Starts a record: "track, tick, Type".
  void Begin(int track, int64_t tick, std::string_view type) {
    Int(track);
    out_ += ", ";
    Int(tick);
    out_ += ", ";
    out_ += type;
  }
  void Field(int64_t v) {
    out_ += ", ";
    Int(v);
  }
  // Non-graphic Latin-1 bytes become a backslash and three octal digits; quotes and
  // backslashes are doubled.
  void Quoted(std::string_view text) {
    out_ += ", \"";
    for (const char ch : text) {
      const auto c = static_cast<unsigned char>(ch);
      if (c < 0x20 || (c >= 0x7F && c <= 0xA0)) {
        const char esc[4] = {'\\', static_cast<char>('0' + (c >> 6)),
                             static_cast<char>('0' + ((c >> 3) & 7)),
                             static_cast<char>('0' + (c & 7))};
        out_.append(esc, 4);
      } else if (c == '"') {
        out_ += "\"\"";
      } else if (c == '\\') {
        out_ += "\\\\";
      } else {
        out_ += ch;
      }
    }
    out_ += '"';
  }
  void Bytes(std::string_view data) {
    Field(static_cast<int64_t>(data.size()));
    for (const char ch : data) Field(static_cast<unsigned char>(ch));
  }
  void Raw(std::string_view text) { out_ += text; }
  void End() { out_ += '\n'; }

 private:
  std::string& out_;
};

// Byte i of a meta event's data; fixed-size fields of a short event read as 0.
int DataByte(const std::string& text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

std::string_view TextType(uint8_t type) {
  switch (type) {
    case meta::kText:
      return "Text_t";
    case meta::kCopyright:
      return "Copyright_t";
    case meta::kTrackName:
      return "Title_t";
    case meta::kInstrument:
      return "Instrument_name_t";
    case meta::kLyric:
      return "Lyric_t";
    case meta::kMarker:
      return "Marker_t";
    default:
      return "Cue_point_t";
  }
}

void AppendMeta(const MidiEvent& e, int track, int64_t tick, CsvLine& line) {
  const std::string& d = e.Text;
  switch (e.Channel) {
    case meta::kSequenceNumber:
      line.Begin(track, tick, "Sequence_number");
      line.Field(DataByte(d, 0) * 256 + DataByte(d, 1));
      break;
    case meta::kText:
    case meta::kCopyright:
    case meta::kTrackName:
    case meta::kInstrument:
    case meta::kLyric:
    case meta::kMarker:
    case meta::kCuePoint:
      line.Begin(track, tick, TextType(e.Channel));
      line.Quoted(d);
      break;
    case meta::kChannelPrefix:
      line.Begin(track, tick, "Channel_prefix");
      line.Field(DataByte(d, 0));
      break;
    case meta::kPort:
      line.Begin(track, tick, "MIDI_port");
      line.Field(DataByte(d, 0));
      break;
    case meta::kTempo:
      line.Begin(track, tick, "Tempo");
      line.Field(DataByte(d, 0) * 65536 + DataByte(d, 1) * 256 + DataByte(d, 2));
      break;
    case meta::kSmpteOffset:
      line.Begin(track, tick, "SMPTE_offset");
      for (std::size_t i = 0; i < 5; ++i) line.Field(DataByte(d, i));
      break;
    case meta::kTimeSignature:
      line.Begin(track, tick, "Time_signature");
      for (std::size_t i = 0; i < 4; ++i) line.Field(DataByte(d, i));
      break;
    case meta::kKeySignature:
      line.Begin(track, tick, "Key_signature");
      line.Field(static_cast<int8_t>(DataByte(d, 0)));
      line.Quoted(DataByte(d, 1) != 0 ? "minor" : "major");
      break;
    case meta::kSequencerSpecific:
      line.Begin(track, tick, "Sequencer_specific");
      line.Bytes(d);
      break;
    default:
      line.Begin(track, tick, "Unknown_meta_event");
      line.Field(e.Channel);
      line.Bytes(d);
      break;
  }
  line.End();
}

void AppendChannelMessage(const MidiEvent& e, int track, int64_t tick, CsvLine& line) {
  switch (e.Status) {
    case kNoteOff:
      line.Begin(track, tick, "Note_off_c");
      break;
    case kNoteOn:
      line.Begin(track, tick, "Note_on_c");
      break;
    case kKeyPressure:
      line.Begin(track, tick, "Poly_aftertouch_c");
      break;
    case kControlChange:
      line.Begin(track, tick, "Control_c");
      break;
    case kProgramChange:
      line.Begin(track, tick, "Program_c");
      break;
    case kChannelPressure:
      line.Begin(track, tick, "Channel_aftertouch_c");
      break;
    case kPitchBend:
      line.Begin(track, tick, "Pitch_bend_c");
      line.Field(e.Channel);
      line.Field(e.Data2 * 128 + e.Data1);
      line.End();
      return;
    default: {
      // System messages 0xF1..0xFE carry no data: the tool shows the status byte in hex.
      line.Begin(track, tick, "Unknown_event");
      constexpr char kHex[] = "0123456789ABCDEF";
      const char hex[5] = {',', ' ', 'F', kHex[e.Channel & 15], 'x'};
      line.Raw(std::string_view(hex, 5));
      line.End();
      return;
    }
  }
  line.Field(e.Channel);
  line.Field(e.Data1);
  if (e.Status != kProgramChange && e.Status != kChannelPressure) line.Field(e.Data2);
  line.End();
}

void AppendTrack(const Track& row, int track, CsvLine& line) {
  line.Begin(track, 0, "Start_track");
  line.End();
  const std::size_t count = row.Events.size();
  for (std::size_t i = 0; i < count; ++i) {
    const MidiEvent& e = row.Events[i];
    const int64_t tick = row.TickOf(i);
    if (e.Status == kMeta) {
      if (e.Channel == meta::kEndOfTrack) {
        line.Begin(track, tick, "End_track");
        line.End();
        return;
      }
      AppendMeta(e, track, tick, line);
    } else if (e.Status == kSysEx || e.Status == kSysExEscape) {
      line.Begin(track, tick, e.Status == kSysEx ? "System_exclusive" : "System_exclusive_packet");
      line.Bytes(e.Text);
      line.End();
    } else {
      AppendChannelMessage(e, track, tick, line);
    }
  }
  line.Begin(track, row.EndTime, "End_track");
  line.End();
}

}  // namespace

void AppendMidiCsv(const Song& song, std::string& out) {
  std::size_t estimate = 64;
  for (const Track& row : song.Tracks) {
    estimate += 48;
    for (const MidiEvent& e : row.Events) estimate += 32 + e.Text.size() * 4;
  }
  out.reserve(out.size() + estimate);

  CsvLine line(out);
  line.Begin(0, 0, "Header");
  line.Field(song.Header.Format);
  line.Field(song.Header.TrackCount);
  line.Field(song.Header.Division);
  line.End();
  // Rows the header announces but the file lacks are listed empty, as the writer writes them.
  const std::size_t rows = std::max(
      song.Tracks.size(), static_cast<std::size_t>(std::max<int>(song.Header.TrackCount, 0)));
  for (std::size_t t = 0; t < rows; ++t) {
    AppendTrack(song.Row(static_cast<int>(t)), static_cast<int>(t) + 1, line);
  }
  line.Begin(0, 0, "End_of_file");
  line.End();
}

std::string MidiCsv(const Song& song) {
  std::string out;
  AppendMidiCsv(song, out);
  return out;
}

}  // namespace quaverly
