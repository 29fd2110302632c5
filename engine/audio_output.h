// Opens the sound device in one fixed format and mixes up to five playing tracks into it from
// SDL's audio thread, at one master volume read from "settings.ini".
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>

#include "resources/audio_track.h"

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

    // The one output format; tracks are converted to it when they are loaded.
    static constexpr std::int32_t outputFrequency = AudioTrack::outputFrequency;
    static constexpr std::uint16_t outputFormat = AudioTrack::outputFormat;
    static constexpr std::uint8_t outputChannels = AudioTrack::outputChannels;
    static constexpr std::uint16_t bufferFrames = 2048;

    const std::int32_t frequency = outputFrequency;
    const std::uint16_t format = outputFormat;
    const std::uint8_t channels = outputChannels;
    const std::uint16_t samples = bufferFrames;

  private:
    static int usableVolume(int requested);
    static void mixCallback(void* userData, Uint8* stream, int length);
    void mix(Uint8* stream, int length);

    std::array<AudioTrack*, slotCount> playing_{};
    int volume_ = SDL_MIX_MAXVOLUME;
    bool deviceOpen_ = false;
};
