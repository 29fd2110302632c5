#include "resources/audio_track.h"

#include <SDL.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/debug_log.h"
#include "platform/platform.h"
#include "resources/wav_check.h"

static_assert(AudioTrack::outputFormat == AUDIO_S16LSB, "tracks play as signed 16-bit LE");

namespace {

void logLoadFailure(const std::string& path, const std::string& reason) {
    logText("Couldn't load ");
    logString(path);
    logText(": ");
    logString(reason);
    logText("\n");
}

// Reads the whole stream into `bytes` and rewinds it for SDL.
bool readAll(SDL_RWops* source, std::vector<std::uint8_t>& bytes) {
    const int size = SDL_RWseek(source, 0, RW_SEEK_END);
    if (size < 0 || SDL_RWseek(source, 0, RW_SEEK_SET) != 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    if (size > 0 && SDL_RWread(source, bytes.data(), static_cast<int>(size), 1) != 1) {
        return false;
    }
    return SDL_RWseek(source, 0, RW_SEEK_SET) == 0;
}

struct WavDataDeleter {
    void operator()(Uint8* data) const { SDL_FreeWAV(data); }
};

struct MallocDeleter {
    void operator()(std::uint8_t* data) const { std::free(data); }
};

}  // namespace

bool AudioTrack::loadFromFile(const std::string& path) {
    setName(getFileName(path));
    // SDL opens whatever the name stands for: a pipe would block it for good.
    if (platform::fileKind(path) == platform::FileKind::other) {
        logLoadFailure(path, "not a file");
        return false;
    }

    SDL_RWops* source = SDL_RWFromFile(platform::nativePath(path).c_str(), "rb");
    if (source == nullptr) {
        logLoadFailure(path, SDL_GetError());
        return false;
    }
    // SDL's loader believes the header, so the file is checked first, from the same stream.
    std::vector<std::uint8_t> fileBytes;
    if (!readAll(source, fileBytes)) {
        SDL_RWclose(source);
        logLoadFailure(path, "unable to read the file");
        return false;
    }
    const WavCheck check = checkWav(fileBytes.data(), fileBytes.size());
    fileBytes = std::vector<std::uint8_t>();
    if (!check.ok) {
        SDL_RWclose(source);
        logLoadFailure(path, check.problem);
        return false;
    }

    SDL_AudioSpec spec{};
    Uint8* wavData = nullptr;
    Uint32 wavLength = 0;
    if (SDL_LoadWAV_RW(source, 1, &spec, &wavData, &wavLength) == nullptr) {
        logLoadFailure(path, SDL_GetError());
        return false;
    }
    const std::unique_ptr<Uint8, WavDataDeleter> wav(wavData);

    SDL_AudioCVT cvt{};
    if (SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, outputFormat, outputChannels,
                          outputFrequency) < 0) {
        logLoadFailure(path, SDL_GetError());
        return false;
    }
    const std::size_t bufferSize = conversionBufferSize(wavLength, cvt.len_mult);
    if (bufferSize == 0) {
        logLoadFailure(path, "sound too long to convert");
        return false;
    }
    std::unique_ptr<std::uint8_t, MallocDeleter> buffer(
        static_cast<std::uint8_t*>(std::malloc(bufferSize)));
    if (!buffer) {
        logLoadFailure(path, "out of memory");
        return false;
    }
    std::memcpy(buffer.get(), wav.get(), wavLength);
    cvt.buf = buffer.get();
    cvt.len = static_cast<int>(wavLength);
    SDL_ConvertAudio(&cvt);
    const int convertedLength = cvt.len_cvt;
    if (convertedLength < 0 || static_cast<std::size_t>(convertedLength) > bufferSize) {
        logLoadFailure(path, "conversion failed");
        return false;
    }

    // The mixer may be reading the old buffer: swap under the lock, free it afterwards.
    std::uint8_t* previous = nullptr;
    SDL_LockAudio();
    previous = samples;
    samples = buffer.release();
    length = static_cast<std::uint32_t>(convertedLength);
    position = 0;
    SDL_UnlockAudio();
    std::free(previous);
    return true;
}

// Tracks come from their own WAV files only.
bool AudioTrack::load(std::istream&, const std::string&) {
    return false;
}

bool AudioTrack::save() {
    return false;
}
