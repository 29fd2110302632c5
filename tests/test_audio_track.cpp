#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstring>
#include <sstream>
#include <string>

#include "audio_files.h"
#include "resources/audio_track.h"
#include "resources/map.h"
#include "resources/package.h"
#include "support/test_support.h"

using testing_support::makeDirectory;
using testing_support::readFile;
using testing_support::ScratchDirectory;

namespace {

std::string trackBytes(const AudioTrack& track) {
    return std::string(reinterpret_cast<const char*>(track.samples), track.length);
}

}  // namespace

TEST(AudioTrackLoading, MonoEightBitAtHalfRateBecomesStereoSixteenBit) {
    ScratchDirectory scratch;
    ASSERT_TRUE(audio_files::makeWav("low.wav", 11025, 1, 8, "unsigned-integer", "sine 440"));
    const std::string source = audio_files::dataChunk("low.wav");
    ASSERT_FALSE(source.empty());

    AudioTrack track;
    ASSERT_TRUE(track.loadFromFile("low.wav"));
    EXPECT_EQ(track.name(), "low.wav");
    EXPECT_EQ(track.position, 0u);
    ASSERT_EQ(track.length, source.size() * 8);

    // Each unsigned byte becomes one signed 16-bit value, written to both channels of two
    // consecutive frames.
    const auto samples = audio_files::toSamples(track.samples, track.length);
    for (std::size_t i = 0; i < source.size(); ++i) {
        const auto expected =
            static_cast<std::int16_t>((static_cast<std::uint8_t>(source[i]) ^ 0x80) << 8);
        for (int copy = 0; copy < 4; ++copy) {
            ASSERT_EQ(samples[i * 4 + copy], expected) << "byte " << i << " copy " << copy;
        }
    }
}

TEST(AudioTrackLoading, OutputFormatIsCopiedUnchanged) {
    ScratchDirectory scratch;
    ASSERT_TRUE(audio_files::makeOutputFormatWav("same.wav", "sine 440"));
    AudioTrack track;
    ASSERT_TRUE(track.loadFromFile("same.wav"));
    EXPECT_EQ(trackBytes(track), audio_files::dataChunk("same.wav"));
}

TEST(AudioTrackLoading, GamePathsAreResolvedIgnoringCase) {
    ScratchDirectory scratch;
    makeDirectory("Audio");
    ASSERT_TRUE(audio_files::makeOutputFormatWav("Audio/Click.wav", "square 880", 0.05));
    makeDirectory("Menus");
    // The game names sounds relative to its working directory with backslashes.
    ASSERT_EQ(chdir("Menus"), 0);
    AudioTrack track;
    EXPECT_TRUE(track.loadFromFile("..\\audio\\click.WAV"));
    EXPECT_EQ(track.name(), "click.WAV");
    EXPECT_GT(track.length, 0u);
    ASSERT_EQ(chdir(".."), 0);
}

TEST(AudioTrackLoading, MissingFileIsLoggedWithSdlsReason) {
    ScratchDirectory scratch;
    AudioTrack track;
    EXPECT_FALSE(track.loadFromFile("..\\Audio\\nothere.wav"));
    const std::string expected =
        "Couldn't load ..\\Audio\\nothere.wav: " + std::string(SDL_GetError()) + "\n";
    EXPECT_EQ(readFile("debug.log"), expected);
    EXPECT_EQ(track.samples, nullptr);
    EXPECT_EQ(track.length, 0u);
}

TEST(AudioTrackLoading, ReloadingReplacesTheBufferAndRewinds) {
    ScratchDirectory scratch;
    ASSERT_TRUE(audio_files::makeOutputFormatWav("a.wav", "sine 440", 0.1));
    ASSERT_TRUE(audio_files::makeOutputFormatWav("b.wav", "square 220", 0.2));
    AudioTrack track;
    ASSERT_TRUE(track.loadFromFile("a.wav"));
    track.position = 100;
    ASSERT_TRUE(track.loadFromFile("b.wav"));
    EXPECT_EQ(track.position, 0u);
    EXPECT_EQ(trackBytes(track), audio_files::dataChunk("b.wav"));
}

TEST(AudioTrackStreams, TracksCannotBeReadFromStreamsOrSaved) {
    ScratchDirectory scratch;
    AudioTrack track;
    std::istringstream in(std::string("RIFF\0\0\0\0WAVE", 12));
    EXPECT_FALSE(track.load(in, "wav"));
    EXPECT_FALSE(track.save());
    EXPECT_TRUE(track.data().empty());
    EXPECT_EQ(track.getTypeId(), 3);
}

TEST(AudioTrackStreams, TrackPlacedInAMapPackageHasNoSound) {
    ScratchDirectory scratch;
    // Header "map\0", one directory record pointing just past it, then the record: name,
    // type id 3 and a few payload bytes the track does not read.
    std::string bytes("map\0\0\0\1\0", 8);
    bytes += std::string("\0\0\5\0\x10\0\0\0", 8);
    bytes += "click";
    bytes += std::string("\3\0\0\0RIFF", 8);
    testing_support::writeFile("room.map", bytes);

    Map map;
    ASSERT_TRUE(map.load("room.map", true));
    StoredObject* object = map.getObject("click");
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(object->getTypeId(), 3);
    const auto* track = static_cast<const AudioTrack*>(object);
    EXPECT_EQ(track->name(), "click");
    EXPECT_EQ(track->samples, nullptr);
    EXPECT_EQ(track->length, 0u);
    EXPECT_EQ(track->position, 0u);
}
