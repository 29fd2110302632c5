// One sound, read from a WAV file and converted once, at load time, to the audio output's
// format (22050 Hz, signed 16-bit little-endian, stereo), so the mixer only adds bytes.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "resources/stored_object.h"
#include "resources/type_ids.h"

class AudioTrack : public StoredObject {
  public:
    // The one sound format of the game: what the audio output plays, and what every track is
    // converted to (22050 Hz, AUDIO_S16LSB, stereo).
    static constexpr std::int32_t outputFrequency = 22050;
    static constexpr std::uint16_t outputFormat = 0x8010;
    static constexpr std::uint8_t outputChannels = 2;

    AudioTrack() = default;
    ~AudioTrack() override { std::free(samples); }

    bool loadFromFile(const std::string& path) override;
    bool load(std::istream& in, const std::string& extensionTag) override;
    bool save() override;
    std::int32_t getTypeId() const override { return TypeId::audioTrack; }

    // Shared with the audio thread: changed only under SDL's audio lock.
    std::uint8_t* samples = nullptr;  // malloc'd
    std::uint32_t position = 0;
    std::uint32_t length = 0;
};
