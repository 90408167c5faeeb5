#include "reader/ReadMidiFile.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "song/FileIo.h"
#include "song/NumberText.h"

namespace quaverly {
namespace {

constexpr uint16_t kAllSignatures = kFoundTempo | kFoundKey | kFoundTimeSig;
constexpr int kTempoLabelLimit = 10;
// Below this many events a catalog read lets a track's vector grow by doubling: catalog
// reads usually stop after a handful of events, so counting a whole track would be wasted.
constexpr std::size_t kCatalogGrowthLimit = 16;

// Data bytes that follow a status byte of the class (0..7).
constexpr std::size_t DataBytesOf(uint8_t cls) {
  return (cls == 4 || cls == 5) ? 1 : cls == 7 ? 0 : 2;
}
// Bytes that follow a running-status data byte: the first data byte was the status position.
constexpr std::size_t RunningBytesOf(uint8_t cls) {
  return (cls == 4 || cls == 5 || cls == 7) ? 0 : 1;
}

class Parser {
 public:
  Parser(std::span<const uint8_t> bytes, ReadMode mode)
      : data_(bytes.data()), size_(bytes.size()), mode_(mode == ReadMode::kCatalog ? 2 : 0) {}

  ReadResult Run() {
    if (size_ < 4 || std::memcmp(data_, "MThd", 4) != 0) {
      result_.outcome = ReadOutcome::kNotMidi;
      result_.report.FileInfo = kNotMidiText;
      return std::move(result_);
    }
    pos_ = 4;
    if (ReadChunks()) {
      result_.outcome = ReadOutcome::kComplete;
    } else {
      result_.outcome = ReadOutcome::kDamaged;
      result_.report.FileInfo = kDamagedText;
      result_.CatalogInfo[0] = kDamagedCatalog;
    }
    result_.FoundFlags = flags_;
    return std::move(result_);
  }

 private:
  enum class Step { kGoOn, kStop, kDamaged };

  // The byte primitives again, inlined: calling ReadEventHeader for every event makes a
  // whole read about 1.6 times slower. They read what it reads, in the same order.
  bool Byte(uint8_t& out) {
    if (pos_ >= size_) return false;
    out = data_[pos_++];
    return true;
  }
  // At most four bytes; a longer quantity leaves its remaining bytes to be read as what follows.
  bool VarLen(int32_t& out) {
    int32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      if (pos_ >= size_) return false;
      const uint8_t b = data_[pos_++];
      v = (v << 7) | (b & 0x7F);
      if (b < 0x80) break;
    }
    out = v;
    return true;
  }
  bool Word(int16_t& out) {
    if (pos_ > size_ || size_ - pos_ < 2) return false;
    out = static_cast<int16_t>(static_cast<uint16_t>((data_[pos_] << 8) | data_[pos_ + 1]));
    pos_ += 2;
    return true;
  }
  bool Long(int32_t& out) {
    if (pos_ > size_ || size_ - pos_ < 4) return false;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | data_[pos_ + static_cast<std::size_t>(i)];
    out = static_cast<int32_t>(v);
    pos_ += 4;
    return true;
  }
  bool Text(int32_t length, std::string& out) {
    const auto n = static_cast<std::size_t>(length);
    if (size_ - pos_ < n) return false;
    out.assign(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return true;
  }

  // Header chunk, then the chunk loop. False when the file turns out damaged.
  bool ReadChunks() {
    Song& song = result_.song;
    ReadReport& report = result_.report;
    int32_t header_length = 0;
    if (!Long(header_length) || header_length < 0) return false;
    const std::size_t next_chunk = pos_ + static_cast<std::size_t>(header_length);
    MidiHeader header;
    if (!Word(header.Format) || !Word(header.TrackCount) || !Word(header.Division)) return false;
    header.Length = header_length;
    song.Header = header;
    song.ListTrackCount = header.TrackCount;
    report.FType = "Type" + NumberText(header.Format);
    report.FTracks = NumberText(header.TrackCount);
    report.FileInfo += "Delta Time format" + NumberText(header.Division) +
                       " Ticks per Quarter Note (If Positive)" + kLineBreak;
    if (header.TrackCount < 0) return false;
    if (header.Format == 0 && mode_ == 2) mode_ = 1;

    pos_ = next_chunk;
    // A track takes at least the 8 bytes of its chunk header, whatever the header claims.
    if (pos_ < size_) {
      song.Tracks.reserve(std::min<std::size_t>(static_cast<std::size_t>(header.TrackCount),
                                                (size_ - pos_) / 8 + 1));
    }
    int track_number = 0;
    while (pos_ < size_ && track_number < header.TrackCount) {
      if (size_ - pos_ < 4) return false;
      const bool is_track = std::memcmp(data_ + pos_, "MTrk", 4) == 0;
      pos_ += 4;
      int32_t length = 0;
      if (!Long(length) || length < 0) return false;
      const std::size_t chunk_end = pos_ + static_cast<std::size_t>(length);
      last_class_ = 0;
      if (!is_track) {
        // Passed over by its length; it takes no track row.
        pos_ = chunk_end;
        continue;
      }
      report.FileInfo +=
          "Track" + NumberText(track_number) + "  Length:" + NumberText(length) + kLineBreak;
      Track& track = song.Tracks.emplace_back();
      const Step step = ReadTrackEvents(track, chunk_end);
      if (step == Step::kDamaged) return false;
      if (step == Step::kStop) return true;
      pos_ = chunk_end;
      ++track_number;
      if (mode_ == 1 || (mode_ == 2 && track_number > 1)) {
        FillCatalog();
        return true;
      }
    }
    return true;
  }

  Step ReadTrackEvents(Track& track, std::size_t chunk_end) {
    int64_t time = 0;
    Step step = Step::kGoOn;
    while (pos_ < chunk_end) {
      if (track.Events.size() == track.Events.capacity()) Reserve(track.Events, chunk_end);
      step = ReadEvent(track, time);
      if (step != Step::kGoOn) break;
    }
    track.EndTime = static_cast<int32_t>(time);
    return step;
  }

  // Reserves room for the events still to come in the chunk, counted over the bytes present,
  // so that memory follows the file and no vector doubles past its need.
  void Reserve(std::vector<MidiEvent>& events, std::size_t chunk_end) const {
    if (mode_ != 0 && events.capacity() < kCatalogGrowthLimit) {
      events.reserve(events.capacity() == 0 ? 4 : events.capacity() * 2);
      return;
    }
    events.reserve(events.size() + CountEvents(chunk_end));
    PrefaultUnused(events);
  }

  // A large track's fresh pages are faulted in by one call instead of one trap per page,
  // which makes a cold read of a big file about a third faster. Only a hint: errors (an
  // older kernel) change nothing.
  static void PrefaultUnused(std::vector<MidiEvent>& events) {
#ifdef MADV_POPULATE_WRITE
    constexpr std::size_t kMinBytes = std::size_t{1} << 16;
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(events.data() + events.size());
    const auto end = reinterpret_cast<std::uintptr_t>(events.data() + events.capacity());
    const std::uintptr_t first = (begin + page - 1) & ~(page - 1);
    const std::uintptr_t last = end & ~(page - 1);
    if (last > first && last - first >= kMinBytes) {
      // Memory freed by an earlier song is already in place; walking it again costs more than
      // it saves, so only a range whose last page is not yet there is populated.
      unsigned char resident = 0;
      if (::mincore(reinterpret_cast<void*>(last - page), page, &resident) != 0 ||
          !(resident & 1)) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
      }
    }
#else
    (void)events;
#endif
  }

  // Events that start before chunk_end, walked like ReadEvent walks them but without storing
  // anything. An event cut short by the end of the file still counts.
  std::size_t CountEvents(std::size_t chunk_end) const {
    std::size_t p = pos_;
    uint8_t cls = last_class_;
    std::size_t count = 0;
    const auto var_len = [&]() -> std::size_t {
      std::size_t v = 0;
      for (int i = 0; i < 4 && p < size_; ++i) {
        const uint8_t b = data_[p++];
        v = (v << 7) | (b & 0x7F);
        if (b < 0x80) break;
      }
      return v;
    };
    while (p < chunk_end && p < size_) {
      ++count;
      var_len();
      if (p >= size_) break;
      const uint8_t status = data_[p++];
      if (status == 0xFF) {
        if (p >= size_) break;
        const uint8_t type = data_[p++];
        const std::size_t length = var_len();
        if (type != meta::kEndOfTrack) p += length;
      } else if (status == 0xF0 || status == 0xF7) {
        p += var_len();
      } else if (status >= 0x80) {
        cls = static_cast<uint8_t>((status & 0x7F) >> 4);
        p += DataBytesOf(cls);
      } else {
        p += RunningBytesOf(cls);
      }
    }
    return count;
  }

  Step ReadEvent(Track& track, int64_t& time) {
    int32_t delta = 0;
    uint8_t status = 0;
    if (!VarLen(delta) || !Byte(status)) return Step::kDamaged;
    const auto event_time = static_cast<int32_t>(time);
    const int64_t next_time = time + delta;
    if (next_time > std::numeric_limits<int32_t>::max()) return Step::kDamaged;

    if (status == 0xFF) {
      uint8_t type = 0;
      int32_t length = 0;
      if (!Byte(type) || !VarLen(length)) return Step::kDamaged;
      MidiEvent& event = track.Events.emplace_back();
      event.Time = event_time;
      event.Status = kMeta;
      event.Channel = type;
      // End of track carries no data, whatever length it claims.
      if (type != meta::kEndOfTrack &&
          (!Text(length, event.Text) || !HandleMeta(track, type, event.Text))) {
        track.Events.pop_back();
        return Step::kDamaged;
      }
    } else if (status == 0xF0 || status == 0xF7) {
      int32_t length = 0;
      if (!VarLen(length)) return Step::kDamaged;
      MidiEvent& event = track.Events.emplace_back();
      event.Time = event_time;
      event.Status = status;
      if (!Text(length, event.Text)) {
        track.Events.pop_back();
        return Step::kDamaged;
      }
    } else {
      uint8_t cls = 0;
      uint8_t data1 = 0;
      uint8_t data2 = 0;
      if (status >= 0x80) {
        cls = static_cast<uint8_t>((status & 0x7F) >> 4);
        last_class_ = cls;
        last_channel_ = status & 0x0F;
        const std::size_t n = DataBytesOf(cls);
        if ((n >= 1 && !Byte(data1)) || (n == 2 && !Byte(data2))) return Step::kDamaged;
      } else {
        cls = last_class_;
        if (cls != kSystemMessage) data1 = status;
        if (RunningBytesOf(cls) == 1 && !Byte(data2)) return Step::kDamaged;
      }
      // Filled in place: moving a temporary would copy its empty string's buffer.
      MidiEvent& event = track.Events.emplace_back();
      event.Time = event_time;
      event.Status = cls;
      event.Channel = last_channel_;
      event.Data1 = data1;
      event.Data2 = data2;
    }
    time = next_time;

    if (mode_ == 1 && flags_ == kAllSignatures) {
      FillCatalog();
      return Step::kStop;
    }
    return Step::kGoOn;
  }

  // Report texts and flags of one meta event. False when its data makes the file damaged.
  bool HandleMeta(Track& track, uint8_t type, const std::string& text) {
    ReadReport& report = result_.report;
    switch (type) {
      case meta::kText:
        if (text.find("@K") != std::string::npos) flags_ |= kFoundKaraoke;
        AppendGenText(text);
        break;
      case meta::kCopyright:
        report.FCopyTxt = text;
        report.FileInfo.append("Copyright Text: ").append(text).append(kLineBreak);
        break;
      case meta::kTrackName:
        track.Name = text;
        report.FileInfo.append("Sequence/Track Name: ").append(text).append(kLineBreak);
        break;
      case meta::kInstrument:
        report.FileInfo.append("Instrument: ").append(text).append(kLineBreak);
        break;
      case meta::kLyric:
        flags_ |= kFoundLyric;
        if (text.find_first_of("\r\n") != std::string::npos) {
          // A lyric that ends a line often carries the line's last word too: show the
          // words, then one line break in place of the control characters.
          for (const char c : text) {
            if (c != '\r' && c != '\n') report.Lyrics.push_back(c);
          }
          report.Lyrics.append(kLineBreak);
        } else {
          report.Lyrics.append(text);
        }
        break;
      case meta::kMarker:
        report.Markers.append(text).append(kLineBreak);
        break;
      case meta::kCuePoint:
        report.FileInfo.append("Cue Point: ").append(text).append(kLineBreak);
        break;
      case meta::kTempo:
        return HandleTempo(text);
      case meta::kTimeSignature:
        if (!(flags_ & kFoundTimeSig)) {
          // The denominator is a 16-bit power of two.
          if (text.size() < 2 || static_cast<uint8_t>(text[1]) >= 15) return false;
          numerator_ = static_cast<uint8_t>(text[0]);
          denominator_ = 1 << static_cast<uint8_t>(text[1]);
          report.FTimeSig = PlainNumberText(numerator_) + "/" + PlainNumberText(denominator_);
          flags_ |= kFoundTimeSig;
        }
        break;
      case meta::kKeySignature:
        if (!(flags_ & kFoundKey)) {
          if (text.size() < 2) return false;
          key_ = static_cast<uint8_t>(text[0]);
          key_mode_ = static_cast<uint8_t>(text[1]);
          flags_ |= kFoundKey;
          report.FKeySig = KeySignatureName(key_, key_mode_);
        }
        break;
      default:
        break;
    }
    return true;
  }

  // Only the first tempo event sets the tempo; the label shows it for the first ten.
  bool HandleTempo(const std::string& text) {
    ReadReport& report = result_.report;
    if (!(flags_ & kFoundTempo)) {
      if (text.size() < 3) return false;
      const int32_t micros = TextToNumber24(text);
      // Beats per minute are a 16-bit signed number.
      if (micros == 0 || 60000000 / micros > std::numeric_limits<int16_t>::max()) return false;
      tempo_ = 60000000 / micros;
      flags_ |= kFoundTempo;
    }
    ++tempo_events_;
    if (tempo_events_ <= kTempoLabelLimit) {
      report.FTempo = PlainNumberText(tempo_) + " BPM";
    } else if (tempo_events_ == kTempoLabelLimit + 1) {
      report.FileInfo.append("More Tempo Events ...").append(kLineBreak);
    }
    return true;
  }

  // Soft Karaoke layout: "@" lines stand alone, "/" starts a line, "\" a paragraph.
  void AppendGenText(const std::string& text) {
    std::string& out = result_.report.GenText;
    const char first = text.empty() ? '\0' : text.front();
    if (first == '/') {
      out.append(kLineBreak);
    } else if (first == '\\') {
      out.append(kLineBreak).append(kLineBreak);
    }
    out.append(" ").append(text);
    if (first == '@') out.append(kLineBreak);
  }

  void FillCatalog() {
    const MidiHeader& header = result_.song.Header;
    CatalogStrings& info = result_.CatalogInfo;
    info[0] = NumberText(header.Format);
    info[1] = NumberText(header.TrackCount);
    info[2] = NumberText(header.Division);
    info[3] = NumberText(tempo_);
    info[4] = KeySignatureName(key_, key_mode_);
    info[5] = NumberText(numerator_) + "/" + PlainNumberText(denominator_);
    if (mode_ == 2) info[7] = (flags_ & kFoundKaraoke) ? "kar" : "";
    result_.catalog_filled = true;
  }

  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  int mode_;  // 0 display, 2 catalog, 1 catalog of a format-0 file
  ReadResult result_;
  uint16_t flags_ = 0;
  // Running status: the class starts at 0 in every chunk, the channel carries over.
  uint8_t last_class_ = 0;
  uint8_t last_channel_ = 0;
  int tempo_ = 0;
  int tempo_events_ = 0;
  int key_ = 0;
  int key_mode_ = 0;
  int numerator_ = 0;
  int denominator_ = 0;
};

}  // namespace

ReadResult ReadMidiBytes(std::span<const uint8_t> bytes, ReadMode mode) {
  return Parser(bytes, mode).Run();
}

ReadResult ReadMidiFile(const std::filesystem::path& path, ReadMode mode) {
  LoadResult load = LoadFile(path);
  if (!load.ok()) {
    ReadResult result;
    result.outcome = ReadOutcome::kNotMidi;
    result.report.FileInfo = kNotMidiText;
    result.error = std::move(load.error);
    return result;
  }
  return ReadMidiBytes(load.bytes, mode);
}

std::string KeySignatureName(int sharps_or_flats, int mode) {
  static constexpr const char* kNames[] = {"Cb", "Gb", "Db", "Ab", "Eb", "Bb", "F", "C",
                                           "G",  "D",  "A",  "E",  "B",  "F#", "C#"};
  if (sharps_or_flats > 127) sharps_or_flats -= 256;
  std::string name =
      (sharps_or_flats >= -7 && sharps_or_flats <= 7) ? kNames[sharps_or_flats + 7] : "Unknown";
  if (mode == 1) name += " Minor";
  return name;
}

}  // namespace quaverly
