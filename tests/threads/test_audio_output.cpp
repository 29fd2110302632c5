// The mixer end to end: SDL's disk audio driver writes every buffer the callback fills to a
// file, which is compared with what SDL_MixAudio makes of the tracks' samples.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <filesystem>

#include "audio_files.h"
#include "engine/audio_output.h"
#include "resources/audio_track.h"
#include "support/test_support.h"

using namespace testing_support;

constexpr std::size_t bufferBytes = AudioOutput::bufferFrames * 4;

// Points SDL at a driver (read when the audio subsystem starts; the disk driver writes to
// device.raw every `delayMs`) and shuts SDL down afterwards, so each test opens its own device.
struct AudioDriver {
    explicit AudioDriver(const char* driver = "disk", int delayMs = 1) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        setenv("SDL_DISKAUDIOFILE", (std::filesystem::current_path() / "device.raw").c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
    }
    ~AudioDriver() {
        SDL_Quit();
        unsetenv("SDL_AUDIODRIVER");
    }
};

// Waits for the callback to play everything out. The bound only keeps a broken build from
// hanging; the assertions never depend on how long it took.
static bool waitUntilSilent(const AudioOutput& output) {
    for (int i = 0; i < 20000; ++i) {
        const auto slots = output.playingTracks();
        if (std::count(slots.begin(), slots.end(), nullptr) == AudioOutput::slotCount)
            return true;
        SDL_Delay(1);
    }
    return false;
}

static std::unique_ptr<AudioTrack> loadTrack(const std::string& file, const std::string& wave,
                                             double seconds,
                                             const char* format = audio_files::outputFormat) {
    auto track = std::make_unique<AudioTrack>();
    const bool ok = audio_files::makeWav(file, wave, seconds, format) && track->loadFromFile(file);
    return ok ? std::move(track) : nullptr;
}

// The tracks' samples mixed by SDL at `volume`, the longest setting the length.
static std::string mixed(const std::vector<std::unique_ptr<AudioTrack>>& tracks, int count,
                         int volume) {
    std::string stream;
    for (int i = 0; i < count; ++i) {
        stream.resize(std::max<std::size_t>(stream.size(), tracks[i]->length));
        SDL_MixAudio(reinterpret_cast<Uint8*>(&stream[0]), tracks[i]->samples, tracks[i]->length,
                     volume);
    }
    return stream;
}

// The device output is silence, then `expected` from a buffer boundary on, then silence. How
// many silent buffers come first depends on timing: the two are aligned on their first
// non-zero byte.
static void expectDeviceWrote(const std::string& expected) {
    const std::string device = readFile("device.raw");
    const std::size_t lead = expected.find_first_not_of('\0');
    const std::size_t found = device.find_first_not_of('\0');
    ASSERT_TRUE(lead != std::string::npos && found != std::string::npos && found >= lead);
    const std::size_t start = found - lead;
    // Sound starts at a buffer boundary, gives the samples expected, and no noise follows.
    EXPECT_EQ(start % bufferBytes, 0u);
    const std::size_t end = std::min(device.size(), start + expected.size());
    EXPECT_TRUE(device.substr(start) == expected + std::string(device.size() - end, '\0'));
}

TEST(AudioMixing, FiveTracksAreMixedAtTheMasterVolumeAndASixthIsRefused) {
    // Half volume halves every sample, truncating toward zero.
    writeFile("settings.ini", "[Audio]\nMasterVolume=64\n");
    std::vector<std::unique_ptr<AudioTrack>> tracks;
    for (int i = 0; i < 6; ++i) {
        // Tones of different pitch and length, one converted from 8-bit mono; the sixth is loud.
        const std::string wave =
            i < 5 ? "sine " + std::to_string(200 + 90 * i) + " vol 0.3" : "square 1000";
        tracks.push_back(loadTrack("t" + std::to_string(i) + ".wav", wave, 0.2 + 0.05 * i,
                                   i == 1 ? audio_files::mono8 : audio_files::outputFormat));
        ASSERT_NE(tracks.back(), nullptr);
    }
    AudioTrack empty;  // a track without samples leaves the table at once
    {
        AudioDriver disk;
        AudioOutput output;
        ASSERT_TRUE(output.deviceOpen() && output.volume() == 64) << readFile("debug.log");
        // Paused, so none of the five can finish before the sixth is tried.
        SDL_PauseAudio(1);
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(output.play(tracks[i].get()) &&
                        output.playingTracks()[i] == tracks[i].get());
        tracks[5]->position = 1234;
        EXPECT_FALSE(output.play(tracks[5].get()));
        SDL_PauseAudio(0);
        ASSERT_TRUE(waitUntilSilent(output));
        // A refused track is not rewound.
        EXPECT_TRUE(tracks[0]->position == tracks[0]->length && tracks[5]->position == 1234);
        EXPECT_TRUE(output.play(&empty) && waitUntilSilent(output));
    }
    expectDeviceWrote(mixed(tracks, 5, 64));
}

TEST(AudioMixing, TrackPlayedTwiceRunsTwiceAsFastAndLeavesBothSlotsTogether) {
    // Four buffers long: the slot entered first always has a full buffer to mix, and the
    // second one reaches the end.
    const auto track =
        loadTrack("twice.wav", "sine 500 vol 0.3", 4.0 * AudioOutput::bufferFrames / 22050);
    ASSERT_TRUE(track != nullptr && track->length % (2 * bufferBytes) == 0);
    {
        AudioDriver disk("disk", 40);  // slow buffers: a slot left behind for one would be seen
        AudioOutput output;
        ASSERT_TRUE(output.deviceOpen()) << readFile("debug.log");
        SDL_PauseAudio(1);
        EXPECT_TRUE(output.play(track.get()) && output.play(track.get()));
        SDL_PauseAudio(0);
        for (int i = 0; i < 20000; ++i) {
            const auto slots = output.playingTracks();
            ASSERT_EQ(slots[0] == nullptr, slots[1] == nullptr) << "one slot without the other";
            if (slots[0] == nullptr)
                break;
            SDL_Delay(1);
        }
        EXPECT_TRUE(waitUntilSilent(output));
    }
    // Each buffer holds two consecutive buffers' worth of the track, added together.
    std::string stream(track->length / 2, '\0');
    for (std::size_t out = 0, in = 0; in < track->length;
         out += bufferBytes, in += 2 * bufferBytes) {
        const auto target = reinterpret_cast<Uint8*>(&stream[out]);
        SDL_MixAudio(target, track->samples + in, bufferBytes, 128);
        SDL_MixAudio(target, track->samples + in + bufferBytes, bufferBytes, 128);
    }
    expectDeviceWrote(stream);
}

TEST(AudioWithoutDevice, OpenFailureIsLoggedAndTheTableStillWorks) {
    writeFile("settings.ini", "[audio]\nmasterVolume=200\n");
    AudioDriver none("no-such-driver");
    std::vector<AudioTrack> tracks(6);
    for (AudioTrack& track : tracks)
        track.position = 99;
    AudioOutput output;
    // Louder than full is kept as it is.
    EXPECT_FALSE(output.deviceOpen() || output.volume() != 200 || !*SDL_GetError());
    EXPECT_EQ(readFile("debug.log"), "Unable to open audio: " + std::string(SDL_GetError()) + "\n");
    // No callback runs, so even tracks without samples stay entered, rewound.
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(output.play(&tracks[i]) && tracks[i].position == 0 &&
                    output.playingTracks()[i] == &tracks[i])
            << i;
    EXPECT_FALSE(output.play(&tracks[5]) || tracks[5].position != 99);
    output.setVolume(32);
    const int set = output.volume();
    output.setVolume(1 << 30);  // would overflow the mixer
    writeFile("settings.ini", "[audio]\nmasterVolume=-5\n");
    const int negative = AudioOutput().volume();
    std::remove("settings.ini");  // full volume without a setting
    EXPECT_EQ(std::make_tuple(set, output.volume(), negative, AudioOutput().volume()),
              std::make_tuple(32, AudioOutput::maxVolume, 0, 128));
}
