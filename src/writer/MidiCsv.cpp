#include "writer/MidiCsv.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

namespace quaverly {
namespace {

// Formats lines into a buffer of about kChunk bytes that it hands on whenever it fills,
// either appended to a string or written to a stream, so a listing of any length needs
// little memory and no buffer is ever cleared or moved.
class CsvLine {
 public:
  static constexpr std::size_t kChunk = 1 << 20;
  CsvLine(std::string* text, std::ostream* stream)
      : text_(text),
        stream_(stream),
        buffer_(new char[kChunk + kSlack]),
        capacity_(kChunk + kSlack) {}

  void Uint(uint64_t v) {
    Room(24);
    char* p = buffer_.get() + used_;
    // Most fields are data bytes: below 1000 the digits are written directly.
    if (v < 10) {
      *p++ = static_cast<char>('0' + v);
    } else if (v < 100) {
      *p++ = static_cast<char>('0' + v / 10);
      *p++ = static_cast<char>('0' + v % 10);
    } else if (v < 1000) {
      *p++ = static_cast<char>('0' + v / 100);
      *p++ = static_cast<char>('0' + v / 10 % 10);
      *p++ = static_cast<char>('0' + v % 10);
    } else {
      p = std::to_chars(p, p + 24, v).ptr;
    }
    used_ = static_cast<std::size_t>(p - buffer_.get());
  }
  void Int(int64_t v) {
    if (v < 0) {
      Raw("-");
      Uint(static_cast<uint64_t>(-(v + 1)) + 1);
    } else {
      Uint(static_cast<uint64_t>(v));
    }
  }
  void Raw(std::string_view text) {
    Room(text.size());
    std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
  }
  void Separator() {
    Room(2);
    buffer_[used_] = ',';
    buffer_[used_ + 1] = ' ';
    used_ += 2;
  }
  // Starts a record: "track, tick, Type".
  void Begin(int track, int64_t tick, std::string_view type) {
    Int(track);
    Separator();
    Int(tick);
    Separator();
    Raw(type);
  }
  void Field(int64_t v) {
    Separator();
    Int(v);
  }
  // Non-graphic Latin-1 bytes become a backslash and three octal digits; quotes and
  // backslashes are doubled.
  void Quoted(std::string_view text) {
    Room(4 + 4 * text.size());
    char* p = buffer_.get() + used_;
    *p++ = ',';
    *p++ = ' ';
    *p++ = '"';
    for (const char ch : text) {
      const auto c = static_cast<unsigned char>(ch);
      if (c < 0x20 || (c >= 0x7F && c <= 0xA0)) {
        *p++ = '\\';
        *p++ = static_cast<char>('0' + (c >> 6));
        *p++ = static_cast<char>('0' + ((c >> 3) & 7));
        *p++ = static_cast<char>('0' + (c & 7));
      } else if (c == '"' || c == '\\') {
        *p++ = ch;
        *p++ = ch;
      } else {
        *p++ = ch;
      }
    }
    *p++ = '"';
    used_ = static_cast<std::size_t>(p - buffer_.get());
  }
  void Bytes(std::string_view data) {
    Field(static_cast<int64_t>(data.size()));
    for (const char ch : data) Field(static_cast<unsigned char>(ch));
  }
  void End() {
    Room(1);
    buffer_[used_++] = '\n';
    if (used_ >= kChunk) Flush();
  }
  void Flush() {
    if (text_ != nullptr) text_->append(buffer_.get(), used_);
    if (stream_ != nullptr) stream_->write(buffer_.get(), static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  static constexpr std::size_t kSlack = 1 << 16;
  void Room(std::size_t n) {
    if (capacity_ - used_ >= n) return;
    Flush();
    if (n > capacity_) {  // one very long text or sysex field
      buffer_.reset(new char[n]);
      capacity_ = n;
    }
  }
  std::string* text_;
  std::ostream* stream_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_;
  std::size_t used_ = 0;
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
  static constexpr const char* kNames[] = {"Note_off_c",  "Note_on_c", "Poly_aftertouch_c",
                                           "Control_c",   "Program_c", "Channel_aftertouch_c",
                                           "Pitch_bend_c"};
  if (e.Status > kPitchBend) {
    // System messages 0xF1..0xFE carry no data: the tool shows the status byte in hex.
    line.Begin(track, tick, "Unknown_event");
    constexpr char kHex[] = "0123456789ABCDEF";
    const char hex[5] = {',', ' ', 'F', kHex[e.Channel & 15], 'x'};
    line.Raw(std::string_view(hex, 5));
  } else {
    line.Begin(track, tick, kNames[e.Status]);
    line.Field(e.Channel);
    if (e.Status == kPitchBend) {
      line.Field(e.Data2 * 128 + e.Data1);
    } else {
      line.Field(e.Data1);
      if (e.Status != kProgramChange && e.Status != kChannelPressure) line.Field(e.Data2);
    }
  }
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

void ListSong(const Song& song, CsvLine& line) {
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

}  // namespace

void AppendMidiCsv(const Song& song, std::string& out) {
  CsvLine line(&out, nullptr);
  ListSong(song, line);
  line.Flush();
}

void WriteMidiCsv(const Song& song, std::ostream& sink) {
  CsvLine line(nullptr, &sink);
  ListSong(song, line);
  line.Flush();
}

std::string MidiCsv(const Song& song) {
  std::string out;
  AppendMidiCsv(song, out);
  return out;
}

}  // namespace quaverly
