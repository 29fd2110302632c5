// Opens the sound device in one fixed format and mixes up to five playing tracks into it from
// SDL's audio thread, at one master volume read from "settings.ini".
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>

class AudioTrack;

class AudioOutput {
  public:
    static constexpr int slotCount = 5;
    // Largest volume whose product with any 16-bit sample fits the mixer's int arithmetic.
    static constexpr int maxVolume = 65535;

    AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;
    ~AudioOutput();

    // Starts `track` from its beginning in the first free slot; false when all are in use.
    bool play(AudioTrack* track);
    void setVolume(int newVolume);

    int volume() const { return volume_; }
    bool deviceOpen() const { return deviceOpen_; }
    // Copy of the slot table, taken under the audio lock.
    std::array<AudioTrack*, slotCount> playingTracks() const;

    const std::int32_t frequency = 22050;
    const std::uint16_t format = AUDIO_S16LSB;
    const std::uint8_t channels = 2;
    const std::uint16_t samples = 2048;

  private:
    static int usableVolume(int requested);
    static void mixCallback(void* userData, Uint8* stream, int length);
    void mix(Uint8* stream, int length);

    std::array<AudioTrack*, slotCount> playing_{};
    int volume_ = SDL_MIX_MAXVOLUME;
    bool deviceOpen_ = false;
};
