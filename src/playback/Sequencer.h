#pragma once
// Playback of MIDI files: a sequencer opens a file by name, plays it in the background and
// closes it. The window talks to the `Sequencer` interface so that tests can stand in a fake;
// `FluidSequencer` plays through FluidSynth with a General MIDI SoundFont.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quaverly::playback {

class Sequencer {
 public:
  virtual ~Sequencer() = default;
  // Loads the file and gets the output ready. Returns an empty string on success, else a
  // message for the user ("No SoundFont found ..."); the sequencer is then closed.
  virtual std::string Open(const std::filesystem::path& file) = 0;
  // Starts playing from the beginning and returns at once. Returns an error message or empty.
  virtual std::string Play() = 0;
  // Ends playback and silences every sounding note at once; the file stays open.
  virtual void Stop() = 0;
  // Stops and releases the file and the audio output. Harmless when already closed.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // True from Play until the song ends or Stop or Close.
  virtual bool IsPlaying() const = 0;
};

// The SoundFont to use: the environment variable QUAVERLY_SOUNDFONT when it names an existing
// file, else the first existing one of the Debian General MIDI paths.
std::optional<std::filesystem::path> FindSoundFont();

struct FluidOptions {
  // Audio drivers tried in order; PipeWire desktops serve the PulseAudio one.
  std::vector<std::string> drivers = {"pulseaudio", "alsa"};
  // For the "file" driver: where the rendered audio goes (type from the extension).
  std::string file_name;
  // Empty: FindSoundFont() at each Open.
  std::filesystem::path soundfont;
};

class FluidSequencer : public Sequencer {
 public:
  explicit FluidSequencer(FluidOptions options = {});
  ~FluidSequencer() override;
  FluidSequencer(const FluidSequencer&) = delete;
  FluidSequencer& operator=(const FluidSequencer&) = delete;

  std::string Open(const std::filesystem::path& file) override;
  std::string Play() override;
  void Stop() override;
  void Close() override;
  bool IsOpen() const override;
  bool IsPlaying() const override;
  // Blocks until the song has played to its end (used when rendering to a file).
  void WaitUntilDone();

 private:
  struct Engine;
  FluidOptions options_;
  std::unique_ptr<Engine> engine_;
};

}  // namespace quaverly::playback
