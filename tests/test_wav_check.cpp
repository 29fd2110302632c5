#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "audio_files.h"
#include "resources/audio_track.h"
#include "resources/wav_check.h"
#include "support/test_support.h"

using testing_support::readFile;
using testing_support::ScratchDirectory;
using testing_support::writeFile;

namespace {

std::string le16(std::uint32_t v) {
    return std::string{static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff)};
}

std::string le32(std::uint32_t v) {
    return le16(v & 0xffff) + le16(v >> 16);
}

std::string chunk(const std::string& tag, const std::string& body) {
    return tag + le32(static_cast<std::uint32_t>(body.size())) + body;
}

// A "fmt " body whose fields can each be made to lie.
struct Format {
    std::uint32_t encoding = 1;
    std::uint32_t channels = 2;
    std::uint32_t rate = 22050;
    std::uint32_t bits = 16;
    std::uint32_t blockAlign = 4;

    std::string body() const {
        return le16(encoding) + le16(channels) + le32(rate) + le32(rate * blockAlign) +
               le16(blockAlign) + le16(bits);
    }
};

std::string riff(const std::string& chunks) {
    return "RIFF" + le32(static_cast<std::uint32_t>(chunks.size() + 4)) + "WAVE" + chunks;
}

std::string someSamples(std::size_t bytes) {
    std::string samples;
    for (std::size_t i = 0; i < bytes; ++i) {
        samples += static_cast<char>(i * 37 + 1);
    }
    return samples;
}

std::string wavWith(const Format& format, std::size_t dataBytes = 64) {
    return riff(chunk("fmt ", format.body()) + chunk("data", someSamples(dataBytes)));
}

WavCheck check(const std::string& bytes) {
    return checkWav(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

struct Hostile {
    const char* what;
    std::string bytes;
    const char* problem;
};

std::vector<Hostile> hostileFiles() {
    std::vector<Hostile> cases;
    const std::string good = wavWith(Format{});
    Format f;

    cases.push_back({"empty file", "", "file too short for a RIFF header"});
    cases.push_back({"three bytes", "RIF", "file too short for a RIFF header"});
    cases.push_back({"not RIFF", "RIFX" + good.substr(4), "not a RIFF WAVE file"});
    cases.push_back(
        {"not WAVE", good.substr(0, 8) + "AVI " + good.substr(12), "not a RIFF WAVE file"});
    cases.push_back({"cut inside fmt", good.substr(0, 30), "RIFF size does not match the file"});
    cases.push_back(
        {"cut inside data", good.substr(0, good.size() - 10), "RIFF size does not match the file"});
    cases.push_back({"RIFF size beyond the file", "RIFF" + le32(0xfffffff0u) + good.substr(8),
                     "RIFF size does not match the file"});
    cases.push_back({"RIFF size too small", "RIFF" + le32(2) + good.substr(8),
                     "RIFF size does not match the file"});
    cases.push_back({"data size beyond the file",
                     riff(chunk("fmt ", f.body()) + "data" + le32(0x7ffffff0u) + someSamples(64)),
                     "'data' chunk runs past the end of the file"});
    cases.push_back({"negative data size",
                     riff(chunk("fmt ", f.body()) + "data" + le32(0x80000000u) + someSamples(64)),
                     "'data' chunk runs past the end of the file"});
    cases.push_back({"fmt size beyond the file", riff("fmt " + le32(0xffffffffu) + f.body()),
                     "'fmt ' chunk runs past the end of the file"});
    cases.push_back({"short fmt",
                     riff(chunk("fmt ", f.body().substr(0, 14)) + chunk("data", someSamples(64))),
                     "fmt chunk shorter than 16 bytes"});
    cases.push_back(
        {"no fmt", riff(chunk("data", someSamples(64))), "first chunk is 'data', not 'fmt '"});
    cases.push_back(
        {"no data", riff(chunk("fmt ", f.body()) + chunk("junk", "ab")), "no data chunk"});
    cases.push_back({"only a header", riff(""), "no fmt chunk"});
    cases.push_back(
        {"empty data", riff(chunk("fmt ", f.body()) + chunk("data", "")), "empty 'data' chunk"});
    cases.push_back({"less than a frame", wavWith(f, 3), "data chunk holds no whole sample"});
    cases.push_back(
        {"odd chunk before fmt",
         riff(chunk("LIST", "abc") + chunk("fmt ", f.body()) + chunk("data", someSamples(8))),
         "odd-sized 'LIST' chunk before the data"});

    Format adpcm;
    adpcm.encoding = 2;
    cases.push_back({"MS ADPCM", wavWith(adpcm), "not plain PCM (format 2)"});
    Format ima;
    ima.encoding = 0x11;
    cases.push_back({"IMA ADPCM", wavWith(ima), "not plain PCM (format 17)"});
    Format extensible;
    extensible.encoding = 0xfffe;
    cases.push_back({"extensible", wavWith(extensible), "not plain PCM (format 65534)"});

    Format noChannels;
    noChannels.channels = 0;
    noChannels.blockAlign = 0;
    cases.push_back({"zero channels", wavWith(noChannels), "0 channels (1 or 2 only)"});
    Format manyChannels;
    manyChannels.channels = 6;
    manyChannels.blockAlign = 12;
    cases.push_back({"six channels", wavWith(manyChannels), "6 channels (1 or 2 only)"});
    Format wrapChannels;  // 257 would be 1 once SDL truncates it to a byte
    wrapChannels.channels = 257;
    cases.push_back({"257 channels", wavWith(wrapChannels), "257 channels (1 or 2 only)"});

    Format noRate;
    noRate.rate = 0;
    cases.push_back({"zero rate", wavWith(noRate), "sample rate 0 Hz out of range"});
    // So slow that SDL would need more doubling steps than its converter has room for.
    Format slow;
    slow.rate = 100;
    cases.push_back({"100 Hz", wavWith(slow), "sample rate 100 Hz out of range"});
    Format fast;
    fast.rate = 0xffffffffu;
    cases.push_back({"4 GHz", wavWith(fast), "sample rate 4294967295 Hz out of range"});

    Format noBits;
    noBits.bits = 0;
    cases.push_back({"zero bits", wavWith(noBits), "0 bits per sample (8 or 16 only)"});
    Format deep;
    deep.bits = 24;
    deep.blockAlign = 6;
    cases.push_back({"24 bits", wavWith(deep), "24 bits per sample (8 or 16 only)"});
    Format badAlign;
    badAlign.blockAlign = 3;
    cases.push_back({"block align 3", wavWith(badAlign),
                     "block align 3 does not fit the channels and sample size"});
    return cases;
}

}  // namespace

TEST(WavCheck, RefusesHostileHeadersWithAReason) {
    for (const Hostile& hostile : hostileFiles()) {
        const WavCheck result = check(hostile.bytes);
        EXPECT_FALSE(result.ok) << hostile.what;
        EXPECT_EQ(result.problem, hostile.problem) << hostile.what;
    }
}

TEST(WavCheck, HostileFilesNeverReachTheLoader) {
    ScratchDirectory scratch;
    for (const Hostile& hostile : hostileFiles()) {
        writeFile("debug.log", "");
        writeFile("bad.wav", hostile.bytes);
        AudioTrack track;
        EXPECT_FALSE(track.loadFromFile("bad.wav")) << hostile.what;
        EXPECT_EQ(track.samples, nullptr) << hostile.what;
        EXPECT_EQ(readFile("debug.log"),
                  std::string("Couldn't load bad.wav: ") + hostile.problem + "\n")
            << hostile.what;
    }
}

TEST(WavCheck, EveryTruncationOfARealFileIsRefused) {
    ScratchDirectory scratch;
    ASSERT_TRUE(
        audio_files::makeWav("real.wav", 11025, 1, 8, "unsigned-integer", "sine 440", 0.01));
    const std::string bytes = readFile("real.wav");
    ASSERT_TRUE(check(bytes).ok);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(check(bytes.substr(0, size)).ok) << size;
    }
}

TEST(WavCheck, AcceptsWhatSoxWritesAndFindsTheData) {
    ScratchDirectory scratch;
    ASSERT_TRUE(audio_files::makeWav("m8.wav", 8000, 1, 8, "unsigned-integer", "sine 300", 0.1));
    ASSERT_TRUE(audio_files::makeWav("s16.wav", 44100, 2, 16, "signed-integer", "sine 300", 0.1));
    for (const char* name : {"m8.wav", "s16.wav"}) {
        const std::string bytes = readFile(name);
        const WavCheck result = check(bytes);
        ASSERT_TRUE(result.ok) << name << ": " << result.problem;
        EXPECT_EQ(bytes.substr(result.dataOffset, result.dataLength), audio_files::dataChunk(name));
    }
    const WavCheck m8 = check(readFile("m8.wav"));
    EXPECT_EQ(m8.channels, 1);
    EXPECT_EQ(m8.rate, 8000u);
    EXPECT_EQ(m8.bitsPerSample, 8);
}

TEST(WavCheck, ChunksTheLoaderSkipsAreAccepted) {
    ScratchDirectory scratch;
    // A LIST chunk before the format, a longer format chunk, an odd data chunk with its pad
    // byte, and trailing bytes after the RIFF chunk.
    std::string fmt18 = Format{}.body() + le16(0);
    Format mono;
    mono.channels = 1;
    mono.bits = 8;
    mono.blockAlign = 1;
    mono.rate = 11025;
    const std::string wav = riff(chunk("LIST", "INFOab") + chunk("fmt ", mono.body()) +
                                 chunk("fact", le32(7)) + chunk("data", someSamples(7)) + "\0") +
                            "trailing";
    writeFile("odd.wav", wav);
    ASSERT_TRUE(check(wav).ok) << check(wav).problem;
    AudioTrack track;
    ASSERT_TRUE(track.loadFromFile("odd.wav")) << readFile("debug.log");
    EXPECT_EQ(track.length, 7u * 8u);

    const std::string longFormat = riff(chunk("fmt ", fmt18) + chunk("data", someSamples(64)));
    writeFile("long.wav", longFormat);
    AudioTrack second;
    ASSERT_TRUE(second.loadFromFile("long.wav")) << readFile("debug.log");
    EXPECT_EQ(second.length, 64u);
}

TEST(WavCheck, RatesAtTheLimitsConvert) {
    ScratchDirectory scratch;
    // The slowest and fastest accepted rates still fit SDL's conversion steps.
    for (std::uint32_t rate : {WavLimits::minRate, WavLimits::maxRate}) {
        Format f;
        f.channels = 1;
        f.bits = 8;
        f.blockAlign = 1;
        f.rate = rate;
        writeFile("edge.wav", wavWith(f, 256));
        AudioTrack track;
        EXPECT_TRUE(track.loadFromFile("edge.wav")) << rate << ": " << readFile("debug.log");
        EXPECT_GT(track.length, 0u) << rate;
    }
}

TEST(WavCheck, ConversionBufferSizeRefusesOverflow) {
    EXPECT_EQ(conversionBufferSize(1000, 8), 8000u);
    EXPECT_EQ(conversionBufferSize(INT_MAX / 8, 8), static_cast<std::size_t>(INT_MAX / 8) * 8);
    EXPECT_EQ(conversionBufferSize(INT_MAX / 8 + 1, 8), 0u);
    EXPECT_EQ(conversionBufferSize(0xffffffffu, 1), 0u);
    EXPECT_EQ(conversionBufferSize(0x80000000u, 2), 0u);
    EXPECT_EQ(conversionBufferSize(100, 0), 0u);
    EXPECT_EQ(conversionBufferSize(100, -4), 0u);
    EXPECT_EQ(conversionBufferSize(0, 8), 0u);
}
