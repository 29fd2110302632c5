// The mixer end to end: SDL's disk audio driver writes every buffer the callback fills to a
// file, which is compared with what SDL_MixAudio makes of the tracks' samples.
#include <gtest/gtest.h>

#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audio_files.h"
#include "engine/audio_output.h"
#include "resources/audio_track.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

constexpr std::size_t bufferBytes = AudioOutput::bufferFrames * 4;

// Points SDL at its disk driver (read when the audio subsystem starts) and shuts SDL down
// afterwards, so each test opens a device of its own.
class DiskAudio {
  public:
    explicit DiskAudio(const std::string& driver = "disk", int delayMs = 1) {
        setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
        setenv("SDL_DISKAUDIOFILE", outputPath().c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
    }
    ~DiskAudio() {
        SDL_Quit();
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
        unsetenv("SDL_DISKAUDIODELAY");
    }
    DiskAudio(const DiskAudio&) = delete;
    DiskAudio& operator=(const DiskAudio&) = delete;

    static std::string outputPath() { return scratchPath() + "/device.raw"; }

  private:
    static std::string scratchPath() {
        std::vector<char> buffer(4096);
        return getcwd(buffer.data(), buffer.size()) != nullptr ? buffer.data() : ".";
    }
};

bool allSlotsEmpty(const AudioOutput& output) {
    for (AudioTrack* slot : output.playingTracks()) {
        if (slot != nullptr) {
            return false;
        }
    }
    return true;
}

// Waits for the callback to play everything out. The bound only keeps a broken build from
// hanging; the assertions never depend on how long it took.
bool waitUntilSilent(const AudioOutput& output) {
    for (int i = 0; i < 20000; ++i) {
        if (allSlotsEmpty(output)) {
            return true;
        }
        SDL_Delay(1);
    }
    return false;
}

std::unique_ptr<AudioTrack> loadTrack(const std::string& file) {
    auto track = std::make_unique<AudioTrack>();
    if (!track->loadFromFile(file)) {
        return nullptr;
    }
    return track;
}

// What the device wrote, as 16-bit samples.
std::vector<std::int16_t> deviceSamples() {
    const std::string raw = readFile(DiskAudio::outputPath());
    return audio_files::toSamples(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
}

std::vector<std::int16_t> mixed(const std::vector<std::string>& tracks, int volume) {
    std::size_t longest = 0;
    for (const std::string& t : tracks) {
        longest = std::max(longest, t.size());
    }
    std::vector<std::uint8_t> stream(longest, 0);
    for (const std::string& t : tracks) {
        SDL_MixAudio(stream.data(), reinterpret_cast<const Uint8*>(t.data()),
                     static_cast<Uint32>(t.size()), volume);
    }
    return audio_files::toSamples(stream.data(), stream.size());
}

std::string samplesOf(const AudioTrack& track) {
    return std::string(reinterpret_cast<const char*>(track.samples), track.length);
}

std::size_t firstNonZero(const std::vector<std::int16_t>& samples) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] != 0) {
            return i;
        }
    }
    return samples.size();
}

// The device output is silence, then `expected` starting at a buffer boundary, then silence.
// How many silent buffers come first depends on timing, so the two are aligned on their
// first non-zero sample.
void expectDeviceWrote(const std::vector<std::int16_t>& expected) {
    const std::vector<std::int16_t> device = deviceSamples();
    const std::size_t lead = firstNonZero(expected);
    ASSERT_LT(lead, expected.size()) << "expected sound is silent";
    const std::size_t found = firstNonZero(device);
    ASSERT_LT(found, device.size()) << "device wrote only silence";
    ASSERT_GE(found, lead);
    const std::size_t start = found - lead;
    EXPECT_EQ(start * 2 % bufferBytes, 0u) << "sound does not start at a buffer boundary";
    ASSERT_LE(start + expected.size(), device.size()) << "sound cut short";
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(device[start + i], expected[i]) << "sample " << i;
    }
    for (std::size_t i = start + expected.size(); i < device.size(); ++i) {
        ASSERT_EQ(device[i], 0) << "noise after the end at sample " << i;
    }
}

}  // namespace

TEST(AudioMixing, FullVolumeCopiesTheSamples) {
    ScratchDirectory scratch;
    ASSERT_TRUE(audio_files::makeWav("blip.wav", 11025, 1, 8, "unsigned-integer", "sine 440", 0.3));
    std::unique_ptr<AudioTrack> track = loadTrack("blip.wav");
    ASSERT_NE(track, nullptr);
    const std::string samples = samplesOf(*track);
    {
        DiskAudio disk;
        AudioOutput output;
        ASSERT_TRUE(output.deviceOpen()) << readFile("debug.log");
        EXPECT_EQ(output.volume(), 128);
        EXPECT_TRUE(output.play(track.get()));
        ASSERT_TRUE(waitUntilSilent(output));
        EXPECT_EQ(track->position, track->length);
    }
    expectDeviceWrote(audio_files::toSamples(reinterpret_cast<const std::uint8_t*>(samples.data()),
                                             samples.size()));
}

TEST(AudioMixing, HalfVolumeHalvesEverySampleTowardZero) {
    ScratchDirectory scratch;
    writeFile("settings.ini", "[audio]\nmasterVolume = 64\n");
    ASSERT_TRUE(audio_files::makeOutputFormatWav("tone.wav", "sine 330", 0.3));
    std::unique_ptr<AudioTrack> track = loadTrack("tone.wav");
    ASSERT_NE(track, nullptr);
    const std::string samples = samplesOf(*track);
    {
        DiskAudio disk;
        AudioOutput output;
        ASSERT_TRUE(output.deviceOpen()) << readFile("debug.log");
        EXPECT_EQ(output.volume(), 64);
        output.play(track.get());
        ASSERT_TRUE(waitUntilSilent(output));
    }
    const std::vector<std::int16_t> expected = mixed({samples}, 64);
    const std::vector<std::int16_t> original = audio_files::toSamples(
        reinterpret_cast<const std::uint8_t*>(samples.data()), samples.size());
    bool sawOdd = false;
    for (std::size_t i = 0; i < original.size(); ++i) {
        ASSERT_EQ(expected[i], static_cast<std::int16_t>(original[i] / 2)) << i;
        sawOdd = sawOdd || original[i] % 2 != 0;
    }
    EXPECT_TRUE(sawOdd) << "the tone should exercise the truncation";
    expectDeviceWrote(expected);
}

TEST(AudioMixing, SixthPlayIsRefusedAndTheFiveCarryOn) {
    ScratchDirectory scratch;
    std::vector<std::unique_ptr<AudioTrack>> tracks;
    std::vector<std::string> fiveSamples;
    for (int i = 0; i < 6; ++i) {
        const std::string file = "t" + std::to_string(i) + ".wav";
        // Quiet tones of different pitch and length; the sixth is loud.
        const std::string wave =
            i < 5 ? "sine " + std::to_string(200 + 90 * i) + " vol 0.15" : "square 1000";
        ASSERT_TRUE(audio_files::makeOutputFormatWav(file, wave, 0.2 + 0.05 * i));
        tracks.push_back(loadTrack(file));
        ASSERT_NE(tracks.back(), nullptr);
        if (i < 5) {
            fiveSamples.push_back(samplesOf(*tracks.back()));
        }
    }
    {
        DiskAudio disk;
        AudioOutput output;
        ASSERT_TRUE(output.deviceOpen()) << readFile("debug.log");
        // Paused, so none of the five can finish before the sixth is tried.
        SDL_PauseAudio(1);
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(output.play(tracks[i].get())) << i;
        }
        tracks[5]->position = 1234;
        EXPECT_FALSE(output.play(tracks[5].get()));
        EXPECT_EQ(tracks[5]->position, 1234u) << "a refused track is not rewound";
        const auto slots = output.playingTracks();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(slots[i], tracks[i].get()) << i;
            EXPECT_EQ(tracks[i]->position, 0u) << i;
        }
        SDL_PauseAudio(0);
        ASSERT_TRUE(waitUntilSilent(output));
        EXPECT_EQ(tracks[5]->position, 1234u);
    }
    expectDeviceWrote(mixed(fiveSamples, 128));
}

TEST(AudioMixing, TrackPlayedTwiceRunsTwiceAsFastAndLeavesBothSlotsTogether) {
    ScratchDirectory scratch;
    // Four buffers long: the slot entered first always has a full buffer to mix, and the
    // second one reaches the end.
    ASSERT_TRUE(audio_files::makeOutputFormatWav("twice.wav", "sine 500 vol 0.3",
                                                 4.0 * AudioOutput::bufferFrames / 22050));
    std::unique_ptr<AudioTrack> track = loadTrack("twice.wav");
    ASSERT_NE(track, nullptr);
    ASSERT_EQ(track->length % (2 * bufferBytes), 0u);
    const std::string samples = samplesOf(*track);
    {
        // Slow buffers, so a slot left behind for one buffer would be seen.
        DiskAudio disk("disk", 40);
        AudioOutput output;
        ASSERT_TRUE(output.deviceOpen()) << readFile("debug.log");
        SDL_PauseAudio(1);
        EXPECT_TRUE(output.play(track.get()));
        EXPECT_TRUE(output.play(track.get()));
        auto slots = output.playingTracks();
        EXPECT_EQ(slots[0], track.get());
        EXPECT_EQ(slots[1], track.get());
        SDL_PauseAudio(0);
        // Never one slot without the other.
        for (int i = 0; i < 20000; ++i) {
            slots = output.playingTracks();
            ASSERT_EQ(slots[0] == nullptr, slots[1] == nullptr);
            if (slots[0] == nullptr) {
                break;
            }
            SDL_Delay(1);
        }
        EXPECT_TRUE(allSlotsEmpty(output));
    }
    // Each buffer holds two consecutive buffers' worth of the track, added together.
    std::vector<std::uint8_t> stream(samples.size() / 2, 0);
    const auto* source = reinterpret_cast<const Uint8*>(samples.data());
    for (std::size_t out = 0, in = 0; in < samples.size();
         out += bufferBytes, in += 2 * bufferBytes) {
        SDL_MixAudio(stream.data() + out, source + in, bufferBytes, 128);
        SDL_MixAudio(stream.data() + out, source + in + bufferBytes, bufferBytes, 128);
    }
    expectDeviceWrote(audio_files::toSamples(stream.data(), stream.size()));
}

TEST(AudioMixing, MasterVolumeZeroIsSilent) {
    ScratchDirectory scratch;
    writeFile("settings.ini", "[Audio]\nMasterVolume=0\n");
    ASSERT_TRUE(audio_files::makeOutputFormatWav("loud.wav", "square 440", 0.2));
    std::unique_ptr<AudioTrack> track = loadTrack("loud.wav");
    ASSERT_NE(track, nullptr);
    {
        DiskAudio disk;
        AudioOutput output;
        ASSERT_TRUE(output.deviceOpen()) << readFile("debug.log");
        EXPECT_EQ(output.volume(), 0);
        output.play(track.get());
        ASSERT_TRUE(waitUntilSilent(output));
        EXPECT_EQ(track->position, track->length);
    }
    const std::vector<std::int16_t> device = deviceSamples();
    EXPECT_GE(device.size() * 2, static_cast<std::size_t>(track->length));
    EXPECT_EQ(firstNonZero(device), device.size());
}

TEST(AudioMixing, TrackWithoutSamplesLeavesTheTable) {
    ScratchDirectory scratch;
    AudioTrack empty;
    DiskAudio disk;
    AudioOutput output;
    ASSERT_TRUE(output.deviceOpen()) << readFile("debug.log");
    EXPECT_TRUE(output.play(&empty));
    EXPECT_TRUE(waitUntilSilent(output));
}

TEST(AudioWithoutDevice, OpenFailureIsLoggedAndTheTableStillWorks) {
    ScratchDirectory scratch;
    writeFile("settings.ini", "[audio]\nmasterVolume=200\n");
    DiskAudio disk("no-such-driver");
    std::vector<std::unique_ptr<AudioTrack>> tracks;
    for (int i = 0; i < 6; ++i) {
        tracks.push_back(std::make_unique<AudioTrack>());
        tracks.back()->position = 99;
    }
    AudioOutput output;
    EXPECT_FALSE(output.deviceOpen());
    const std::string log = readFile("debug.log");
    EXPECT_EQ(log, "Unable to open audio: " + std::string(SDL_GetError()) + "\n");
    EXPECT_GT(log.size(), std::string("Unable to open audio: \n").size());
    // Louder than full is kept as it is.
    EXPECT_EQ(output.volume(), 200);

    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(output.play(tracks[i].get())) << i;
        EXPECT_EQ(tracks[i]->position, 0u);
    }
    EXPECT_FALSE(output.play(tracks[5].get()));
    EXPECT_EQ(tracks[5]->position, 99u);
    // No callback runs, so even tracks without samples stay entered.
    const auto slots = output.playingTracks();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(slots[i], tracks[i].get());
    }
    output.setVolume(32);
    EXPECT_EQ(output.volume(), 32);
}

TEST(AudioWithoutDevice, VolumesThatWouldOverflowTheMixerAreClamped) {
    ScratchDirectory scratch;
    writeFile("settings.ini", "[audio]\nmasterVolume=-5\n");
    DiskAudio disk("no-such-driver");
    AudioOutput output;
    EXPECT_EQ(output.volume(), 0);
    output.setVolume(1 << 30);
    EXPECT_EQ(output.volume(), AudioOutput::maxVolume);
}
