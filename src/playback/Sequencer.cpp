#include "playback/Sequencer.h"

#include <fluidsynth.h>

#include <cstdlib>
#include <system_error>

namespace quaverly::playback {

std::optional<std::filesystem::path> FindSoundFont() {
  std::error_code ec;
  if (const char* env = std::getenv("QUAVERLY_SOUNDFONT"); env != nullptr && *env != '\0') {
    if (std::filesystem::is_regular_file(env, ec)) return std::filesystem::path(env);
  }
  for (const char* candidate :
       {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2"}) {
    if (std::filesystem::is_regular_file(candidate, ec)) return std::filesystem::path(candidate);
  }
  return std::nullopt;
}

// Owns the FluidSynth objects of one open file; destroyed in the reverse order of creation
// so that the audio thread stops before the player and synth it calls go away.
struct FluidSequencer::Engine {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_player_t* player = nullptr;
  fluid_audio_driver_t* driver = nullptr;
  bool started = false;

  ~Engine() {
    if (driver != nullptr) delete_fluid_audio_driver(driver);
    if (player != nullptr) delete_fluid_player(player);
    if (synth != nullptr) delete_fluid_synth(synth);
    if (settings != nullptr) delete_fluid_settings(settings);
  }
};

FluidSequencer::FluidSequencer(FluidOptions options) : options_(std::move(options)) {}

FluidSequencer::~FluidSequencer() { Close(); }

std::string FluidSequencer::Open(const std::filesystem::path& file) {
  Close();
  std::filesystem::path soundfont = options_.soundfont;
  if (soundfont.empty()) {
    auto found = FindSoundFont();
    if (!found) {
      return "No SoundFont found: install timgm6mb-soundfont or set QUAVERLY_SOUNDFONT";
    }
    soundfont = *found;
  }
  auto engine = std::make_unique<Engine>();
  engine->settings = new_fluid_settings();
  if (engine->settings == nullptr) return "Cannot start the synthesizer";
  // The player must not leave notes hanging when it is stopped between note-on and note-off.
  fluid_settings_setint(engine->settings, "player.reset-synth", 1);
  if (!options_.file_name.empty()) {
    fluid_settings_setstr(engine->settings, "audio.file.name", options_.file_name.c_str());
  }
  engine->synth = new_fluid_synth(engine->settings);
  if (engine->synth == nullptr) return "Cannot start the synthesizer";
  if (fluid_synth_sfload(engine->synth, soundfont.c_str(), 1) == FLUID_FAILED) {
    return "Cannot load the SoundFont " + soundfont.string();
  }
  engine->player = new_fluid_player(engine->synth);
  if (engine->player == nullptr || fluid_player_add(engine->player, file.c_str()) == FLUID_FAILED) {
    return "Cannot open " + file.string() + " for playback";
  }
  for (const std::string& driver : options_.drivers) {
    fluid_settings_setstr(engine->settings, "audio.driver", driver.c_str());
    engine->driver = new_fluid_audio_driver(engine->settings, engine->synth);
    if (engine->driver != nullptr) break;
  }
  if (engine->driver == nullptr) return "No audio output available for playback";
  engine_ = std::move(engine);
  return {};
}

std::string FluidSequencer::Play() {
  if (!engine_) return "Nothing to play";
  if (engine_->started) {
    Stop();
    fluid_player_seek(engine_->player, 0);
  }
  if (fluid_player_play(engine_->player) == FLUID_FAILED) return "Playback failed to start";
  engine_->started = true;
  return {};
}

void FluidSequencer::Stop() {
  if (!engine_) return;
  fluid_player_stop(engine_->player);
  // A stopped player leaves its notes sounding; cut every voice on every channel.
  fluid_synth_all_sounds_off(engine_->synth, -1);
}

void FluidSequencer::Close() {
  if (!engine_) return;
  Stop();
  engine_.reset();
}

bool FluidSequencer::IsOpen() const { return engine_ != nullptr; }

bool FluidSequencer::IsPlaying() const {
  return engine_ && fluid_player_get_status(engine_->player) == FLUID_PLAYER_PLAYING;
}

void FluidSequencer::WaitUntilDone() {
  if (engine_ && engine_->started) fluid_player_join(engine_->player);
}

}  // namespace quaverly::playback
