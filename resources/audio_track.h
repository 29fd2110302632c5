// One sound, held in the audio output's sample format so the mixer only adds bytes.
#pragma once

#include <cstdint>
#include <cstdlib>

class AudioTrack {
  public:
    AudioTrack() = default;
    AudioTrack(const AudioTrack&) = delete;
    AudioTrack& operator=(const AudioTrack&) = delete;
    ~AudioTrack() { std::free(samples); }

    // Shared with the audio thread: changed only under SDL's audio lock.
    std::uint8_t* samples = nullptr;  // malloc'd
    std::uint32_t position = 0;
    std::uint32_t length = 0;
};
