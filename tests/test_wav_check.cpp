// Sound files: the WAV check that stands before SDL's loader, and tracks read and converted
// to the output format.
#include <gtest/gtest.h>

#include <SDL.h>

#include <climits>

#include "audio_files.h"
#include "resources/audio_track.h"
#include "resources/wav_check.h"
#include "support/image_files.h"

using namespace testing_support;

static std::string chunk(const std::string& tag, const std::string& body) {
    return ByteWriter().text(tag).u32(std::uint32_t(body.size())).text(body).bytes();
}

// A "fmt " body; every field can be made to lie.
static std::string fmt(unsigned encoding = 1, unsigned channels = 2, std::uint32_t rate = 22050,
                       unsigned bits = 16, unsigned blockAlign = 4) {
    ByteWriter body;
    body.u16(encoding).u16(channels).u32(rate).u32(rate * blockAlign).u16(blockAlign);
    return body.u16(bits).bytes();
}

static std::string riff(const std::string& chunks) {
    return ByteWriter().text("RIFF").u32(std::uint32_t(chunks.size() + 4)).bytes() + "WAVE" +
           chunks;
}

static std::string wavWith(const std::string& format, std::size_t dataBytes = 64) {
    return riff(chunk("fmt ", format) + chunk("data", std::string(dataBytes, '%')));
}

static WavCheck check(const std::string& bytes) {
    return checkWav(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(WavCheck, HostileHeadersAreRefusedWithAReasonAndNeverReachTheLoader) {
    const std::string good = wavWith(fmt());
    const std::string data = std::string(64, '%');
    const std::string past = " chunk runs past the end of the file";
    const std::string sizes = "RIFF size does not match the file";
    const std::string pcm = "not plain PCM (format ";
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"RIF", "file too short for a RIFF header"},
        {"RIFX" + good.substr(4), "not a RIFF WAVE file"},
        {good.substr(0, 8) + "AVI " + good.substr(12), "not a RIFF WAVE file"},
        {good.substr(0, 30), sizes}, {patch32(good, 4, 0xfffffff0u), sizes},
        {patch32(good, 4, 2), sizes},
        {riff(chunk("fmt ", fmt()) + patch32("data    " + data, 4, 0x7ffffff0u)), "'data'" + past},
        {riff(chunk("fmt ", fmt()) + patch32("data    " + data, 4, 0x80000000u)), "'data'" + past},
        {riff("fmt " + ByteWriter().u32(0xffffffffu).bytes() + fmt()), "'fmt '" + past},
        {wavWith(fmt().substr(0, 14)), "fmt chunk shorter than 16 bytes"},
        {riff(chunk("data", data)), "first chunk is 'data', not 'fmt '"},
        {riff(chunk("fmt ", fmt()) + chunk("junk", "ab")), "no data chunk"},
        {riff(""), "no fmt chunk"},
        {wavWith(fmt(), 0), "empty 'data' chunk"},
        {wavWith(fmt(), 3), "data chunk holds no whole sample"},
        {riff(chunk("LIST", "abc") + chunk("fmt ", fmt()) + chunk("data", data)),
         "odd-sized 'LIST' chunk before the data"},
        {wavWith(fmt(2)), pcm + "2)"}, {wavWith(fmt(0xfffe)), pcm + "65534)"},
        {wavWith(fmt(1, 0, 22050, 16, 0)), "0 channels (1 or 2 only)"},
        {wavWith(fmt(1, 257)), "257 channels (1 or 2 only)"},  // SDL would take it as 1
        // 100 Hz: SDL would need more doubling steps than its converter has room for.
        {wavWith(fmt(1, 2, 100)), "sample rate 100 Hz out of range"},
        {wavWith(fmt(1, 2, 0xffffffffu)), "sample rate 4294967295 Hz out of range"},
        {wavWith(fmt(1, 2, 22050, 0)), "0 bits per sample (8 or 16 only)"},
        {wavWith(fmt(1, 2, 22050, 24, 6)), "24 bits per sample (8 or 16 only)"},
        {wavWith(fmt(1, 2, 22050, 16, 3)),
         "block align 3 does not fit the channels and sample size"}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_FALSE(check(c.first).ok) << c.second;
        EXPECT_EQ(check(c.first).problem, c.second);
        writeFile("debug.log", "");
        writeFile("bad.wav", c.first);
        AudioTrack track;
        EXPECT_FALSE(track.loadFromFile("bad.wav") || track.samples != nullptr) << c.second;
        EXPECT_EQ(readFile("debug.log"), "Couldn't load bad.wav: " + c.second + "\n");
    }
}

TEST(WavCheck, AcceptsWhatSoxWritesAndWhatTheLoaderSkips) {
    for (const char* name : {"m.wav", "s.wav"}) {
        ASSERT_TRUE(audio_files::makeWav(name, "sine 300", 0.1,
                                         name[0] == 'm' ? "-r 8000 -c 1 -b 8 -e unsigned-integer"
                                                        : "-r 44100 -c 2 -b 16 -e signed-integer"));
        const std::string bytes = readFile(name);
        const WavCheck r = check(bytes);
        ASSERT_TRUE(r.ok) << name << ": " << r.problem;
        EXPECT_EQ(bytes.substr(r.dataOffset, r.dataLength), audio_files::dataChunk(name));
        EXPECT_EQ(r.channels * r.rate * r.bitsPerSample, name[0] == 'm' ? 64000u : 1411200u);
    }
    // A LIST chunk before the format, a "fact" chunk, an odd data chunk with its pad byte and
    // bytes after the RIFF chunk; a longer format chunk; the slowest and fastest rates (0:
    // any length).
    const std::string mono = chunk("fmt ", fmt(1, 1, 11025, 8, 1));
    const std::string fact = chunk("fact", std::string("7\0\0\0", 4));
    // clang-format off
    const std::pair<std::string, std::uint32_t> cases[] = {
        {riff(chunk("LIST", "INFOab") + mono + fact + chunk("data", "1234567") + '\0') + "end",
         7 * 8},
        {wavWith(fmt() + std::string(2, '\0')), 64},
        {wavWith(fmt(1, 1, WavLimits::minRate, 8, 1), 256), 0},
        {wavWith(fmt(1, 1, WavLimits::maxRate, 8, 1), 256), 0}};
    // clang-format on
    for (const auto& [file, length] : cases) {
        writeFile("ok.wav", file);
        AudioTrack track;
        ASSERT_TRUE(track.loadFromFile("ok.wav")) << readFile("debug.log");
        EXPECT_TRUE(length == 0 ? track.length > 0 : track.length == length) << track.length;
    }
}

TEST(WavCheck, ConversionBufferSizeRefusesOverflow) {
    EXPECT_EQ(conversionBufferSize(INT_MAX / 8, 8), std::size_t{INT_MAX / 8} * 8);
    const std::pair<std::uint32_t, int> refused[] = {
        {INT_MAX / 8 + 1, 8}, {0xffffffffu, 1}, {0x80000000u, 2}, {100, 0}, {100, -4}, {0, 8}};
    for (const auto& [length, multiplier] : refused)
        EXPECT_EQ(conversionBufferSize(length, multiplier), 0u) << length;
}

TEST(AudioTrackLoading, SoundsBecomeStereoSixteenBitAndReloadingReplacesTheBufferAndRewinds) {
    ASSERT_TRUE(audio_files::makeWav("low.wav", "sine 440", 0.25, audio_files::mono8));
    makeDirectory("Audio");
    ASSERT_TRUE(audio_files::makeWav("Audio/B.wav", "square 220", 0.2));
    const std::string source = audio_files::dataChunk("low.wav");
    AudioTrack track;
    ASSERT_TRUE(track.loadFromFile("low.wav") && track.length == source.size() * 8);
    // Each unsigned byte becomes one signed 16-bit value, in both channels of two frames.
    const auto* samples = reinterpret_cast<const std::int16_t*>(track.samples);
    for (std::size_t i = 0; i < track.length / 2; ++i)
        ASSERT_EQ(samples[i], std::int16_t((std::uint8_t(source[i / 4]) ^ 0x80) << 8)) << i;
    // The output format is copied. The game names sounds with backslashes, in any letter case.
    track.position = 100;
    ASSERT_TRUE(track.loadFromFile("audio\\b.WAV"));
    EXPECT_EQ(track.name() + std::to_string(track.position), "b.WAV0");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(track.samples), track.length),
              audio_files::dataChunk("Audio/B.wav"));
    // What is no sound file gives no sound.
    AudioTrack none;
    EXPECT_FALSE(none.loadFromFile("..\\Audio\\nothere.wav") || none.samples != nullptr ||
                 none.length != 0);
    EXPECT_EQ(readFile("debug.log"),
              "Couldn't load ..\\Audio\\nothere.wav: " + std::string(SDL_GetError()) + "\n");
    // Tracks are read from their own files only: not from streams, and never saved.
    std::istringstream in(std::string("RIFF\0\0\0\0WAVE", 12));
    EXPECT_FALSE(none.load(in, "wav") || none.save());
}
