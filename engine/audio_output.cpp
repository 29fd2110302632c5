#include "engine/audio_output.h"

#include "platform/debug_log.h"
#include "resources/audio_track.h"
#include "resources/ini_file.h"

namespace {

// SDL's lock, released on every way out of a scope.
class AudioLock {
  public:
    AudioLock() { SDL_LockAudio(); }
    ~AudioLock() { SDL_UnlockAudio(); }
    AudioLock(const AudioLock&) = delete;
    AudioLock& operator=(const AudioLock&) = delete;
};

}  // namespace

AudioOutput::AudioOutput() {
    const IniFile settings("settings.ini");
    const int requested = settings.getInt("audio", "masterVolume", SDL_MIX_MAXVOLUME);
    volume_ = usableVolume(requested);
    if (volume_ != requested) {
        debugLog << "Unusable volume in settings.ini: " << requested << endLine;
    }

    SDL_InitSubSystem(SDL_INIT_AUDIO);
    SDL_AudioSpec desired{};
    desired.freq = frequency;
    desired.format = format;
    desired.channels = channels;
    desired.samples = samples;
    desired.callback = &AudioOutput::mixCallback;
    desired.userdata = this;
    if (SDL_OpenAudio(&desired, nullptr) < 0) {
        logText("Unable to open audio: ");
        logText(SDL_GetError());
        logText("\n");
        return;
    }
    deviceOpen_ = true;
    SDL_PauseAudio(0);
}

AudioOutput::~AudioOutput() {
    // Stops the callback before the table goes away.
    SDL_CloseAudio();
}

bool AudioOutput::play(AudioTrack* track) {
    if (track == nullptr) {
        return false;
    }
    AudioLock lock;
    for (AudioTrack*& slot : playing_) {
        if (slot == nullptr) {
            slot = track;
            track->position = 0;
            return true;
        }
    }
    return false;
}

int AudioOutput::usableVolume(int requested) {
    // Louder than full is passed on as it is; only values whose product with a sample would
    // overflow the mixer's arithmetic, and negative ones, are brought back into range.
    if (requested < 0) {
        return 0;
    }
    return requested > maxVolume ? maxVolume : requested;
}

void AudioOutput::setVolume(int newVolume) {
    AudioLock lock;
    volume_ = usableVolume(newVolume);
}

std::array<AudioTrack*, AudioOutput::slotCount> AudioOutput::playingTracks() const {
    AudioLock lock;
    return playing_;
}

void AudioOutput::mixCallback(void* userData, Uint8* stream, int length) {
    static_cast<AudioOutput*>(userData)->mix(stream, length);
}

void AudioOutput::mix(Uint8* stream, int length) {
    const std::uint32_t streamLength = length > 0 ? static_cast<std::uint32_t>(length) : 0;
    for (AudioTrack* track : playing_) {
        if (track == nullptr || track->samples == nullptr || track->position >= track->length) {
            continue;
        }
        std::uint32_t count = track->length - track->position;
        if (count > streamLength) {
            count = streamLength;
        }
        SDL_MixAudio(stream, track->samples + track->position, count, volume_);
        track->position += count;
    }
    // Slots are emptied only after every slot has been mixed: a track entered twice shares one
    // position, so the slot that ran out first is not the only one holding a finished track.
    // A track without samples leaves the table here too.
    for (AudioTrack*& slot : playing_) {
        if (slot != nullptr && (slot->samples == nullptr || slot->position >= slot->length)) {
            slot = nullptr;
        }
    }
}
