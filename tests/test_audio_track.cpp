#include <gtest/gtest.h>

#include <SDL.h>

#include <sstream>

#include "audio_files.h"
#include "resources/audio_track.h"
#include "resources/map.h"
#include "resources/package_writer.h"

using namespace testing_support;

TEST(AudioTrackLoading, MonoEightBitAtHalfRateBecomesStereoSixteenBit) {
    ASSERT_TRUE(audio_files::makeWav("low.wav", "sine 440", 0.25, audio_files::mono8));
    const std::string source = audio_files::dataChunk("low.wav");
    AudioTrack track;
    ASSERT_TRUE(track.loadFromFile("low.wav"));
    ASSERT_EQ(track.length, source.size() * 8);
    // Each unsigned byte becomes one signed 16-bit value, in both channels of two frames.
    const auto samples = audio_files::toSamples(track.samples, track.length);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(samples[i], std::int16_t((std::uint8_t(source[i / 4]) ^ 0x80) << 8)) << i;
    }
}

TEST(AudioTrackLoading, OutputFormatIsCopiedAndReloadingReplacesTheBufferAndRewinds) {
    ASSERT_TRUE(audio_files::makeWav("a.wav", "sine 440", 0.1));
    makeDirectory("Audio");
    ASSERT_TRUE(audio_files::makeWav("Audio/B.wav", "square 220", 0.2));
    AudioTrack track;
    ASSERT_TRUE(track.loadFromFile("a.wav"));
    track.position = 100;
    // The game names sounds with backslashes, in any letter case.
    ASSERT_TRUE(track.loadFromFile("audio\\b.WAV"));
    EXPECT_EQ(track.name() + std::to_string(track.position), "b.WAV0");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(track.samples), track.length),
              audio_files::dataChunk("Audio/B.wav"));
}

TEST(AudioTrackLoading, WhatIsNoSoundFileGivesNoSound) {
    AudioTrack track;
    EXPECT_FALSE(track.loadFromFile("..\\Audio\\nothere.wav"));
    EXPECT_EQ(readFile("debug.log"),
              "Couldn't load ..\\Audio\\nothere.wav: " + std::string(SDL_GetError()) + "\n");
    EXPECT_TRUE(track.samples == nullptr && track.length == 0);
    // Tracks are read from their own files only: not from streams, and never saved.
    std::istringstream in(std::string("RIFF\0\0\0\0WAVE", 12));
    EXPECT_FALSE(track.load(in, "wav") || track.save());
    // A track placed in a map package (type id 3) is made, without sound.
    std::string error;
    ASSERT_TRUE(writePackage("room.map", {{"click", {3, 0, 0, 0, 'R', 'I', 'F', 'F'}}}, error));
    Map map;
    ASSERT_TRUE(map.load("room.map", true));
    ASSERT_TRUE(map.getObject("click") != nullptr && map.getObject("click")->getTypeId() == 3);
    const auto* placed = static_cast<const AudioTrack*>(map.getObject("click"));
    EXPECT_TRUE(placed->samples == nullptr && placed->length == 0);
}
