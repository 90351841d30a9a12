#include "Lib/Audio/WaveFile.h"
#include "WaveBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace audiotest;
namespace pa = platform::audio;

Bytes Pattern(std::size_t n) {
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    return out;
}

// Opens `bytes` from memory, through the resource fallback.
pa::Result OpenImage(WaveFile& wave, const Bytes& bytes) {
    pa::RegisterResource("no-such-folder\\image.wav", "WAVE", bytes);
    return wave.Open("no-such-folder\\image.wav", pa::HostModule());
}

TEST(WaveFile, ReadsFormatDataAndTheLoopsOfASmplChunkAfterFmt) {
    TempDir dir;
    const Bytes data = Pattern(101); // odd: the chunk is padded
    dir.Write("looped.wav", Wav(2, 16, data, {{7500, 15000}}));
    WaveFile wave;
    ASSERT_EQ(wave.Open(dir.Path("looped.wav").c_str(), pa::HostModule()), pa::kOk);
    ASSERT_NE(wave.Format(), nullptr);
    EXPECT_EQ(wave.Format()->channels, 2);
    EXPECT_EQ(wave.Format()->bitsPerSample, 16);
    EXPECT_EQ(wave.DataSize(), 101u);
    ASSERT_EQ(wave.LoopCount(), 1u);
    EXPECT_EQ(wave.FirstLoop()->start, 7500u);
    EXPECT_EQ(wave.FirstLoop()->end, 15000u);
    for (int pass = 0; pass < 2; ++pass) {
        Bytes got(200, 0xEE);
        std::uint32_t read = 0;
        ASSERT_EQ(wave.Rewind(), pa::kOk);
        ASSERT_EQ(wave.Read(got.data(), 200, &read), pa::kOk);
        ASSERT_EQ(read, 101u);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), got.begin()));
        EXPECT_EQ(got[101], 0xEE); // nothing written past what was read
        EXPECT_EQ(wave.Read(got.data(), 200, &read), pa::kOk);
        EXPECT_EQ(read, 0u);
    }

    const Bytes fmt = Chunk("fmt ", Fmt(1, 1, 22050, 8));
    const Bytes body = Chunk("data", Pattern(8));
    const Bytes oddList = Chunk("LIST", Bytes{'I', 'N', 'F', 'O', 'x'});
    struct Case {
        const char* what;
        Bytes file;
        std::uint32_t loops;
    };
    const Case cases[] = {
        {"no smpl", Riff({fmt, body}), 0},
        {"smpl before fmt", Riff({Chunk("smpl", Smpl({{1, 4}})), fmt, body}), 0},
        {"smpl without loops", Riff({fmt, Chunk("smpl", Smpl({})), body}), 0},
        {"smpl claiming more loops than it holds",
         Riff({fmt, Chunk("smpl", Smpl({{1, 4}}, 9)), body}), 1},
        {"smpl claiming loops it lacks", Riff({fmt, Chunk("smpl", Smpl({}, 2)), body}), 0},
        {"odd chunk before smpl", Riff({fmt, oddList, Chunk("smpl", Smpl({{2, 6}})), body}), 1},
    };
    for (const Case& c : cases) {
        WaveFile w;
        EXPECT_EQ(OpenImage(w, c.file), pa::kOk) << c.what;
        EXPECT_EQ(w.LoopCount(), c.loops) << c.what;
        EXPECT_EQ(w.DataSize(), 8u) << c.what;
    }
    pa::ClearResources();
}

TEST(WaveFile, AnswersDamagedFilesWithResultsAndNeverReadsPastTheEnd) {
    WaveFile wave;
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    EXPECT_EQ(wave.Open(nullptr, pa::HostModule()), pa::kInvalidArgument);
    EXPECT_EQ(wave.Read(&byte, 1, &read), pa::kNotInitialized);
    EXPECT_EQ(wave.Rewind(), pa::kNotInitialized);
    EXPECT_EQ(wave.Open("no-such-folder\\missing.wav", pa::HostModule()), pa::kFail);

    const Bytes fmt = Chunk("fmt ", Fmt(1, 2, 44100, 16));
    Bytes nonPcmFormat = Fmt(3, 2, 44100, 32);
    Put16(nonPcmFormat, 4);
    const Bytes extra = {1, 2, 3, 4};
    nonPcmFormat.insert(nonPcmFormat.end(), extra.begin(), extra.end());
    struct Case {
        const char* what;
        Bytes file;
        pa::Result result;
    };
    const Case cases[] = {
        {"empty", Bytes{}, pa::kFail},
        {"garbage", Pattern(64), pa::kFail},
        {"not WAVE", Chunk("RIFF", Bytes{'A', 'V', 'I', ' '}), pa::kFail},
        {"short fmt", Riff({Chunk("fmt ", Bytes(14, 1)), Chunk("data", Pattern(4))}), pa::kFail},
        {"fmt declared longer than the file",
         Chunk("RIFF", Bytes{'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0}),
         pa::kFail},
        {"no data", Riff({fmt}), pa::kFail},
        {"non-PCM cut inside its extra bytes",
         Riff({Chunk("fmt ", Fmt(3, 2, 44100, 32), 18), Bytes{4, 0}}), pa::kFail},
        {"non-PCM", Riff({Chunk("fmt ", nonPcmFormat), Chunk("data", Pattern(8))}), pa::kOk},
    };
    for (const Case& c : cases) {
        WaveFile w;
        EXPECT_EQ(OpenImage(w, c.file), c.result) << c.what;
        if (c.result != pa::kOk) {
            EXPECT_EQ(w.DataSize(), 0u) << c.what;
        }
    }
    WaveFile nonPcm;
    ASSERT_EQ(OpenImage(nonPcm, cases[7].file), pa::kOk);
    EXPECT_EQ(nonPcm.Format()->formatTag, 3);
    EXPECT_EQ(nonPcm.Format()->extraSize, 4);
    EXPECT_TRUE(std::ranges::equal(nonPcm.FormatExtra(), extra));

    // Every cut of a looped file: before the data chunk's header nothing opens; inside the data
    // the file opens but reading the whole data fails.
    const Bytes data = Pattern(40);
    const Bytes full = Wav(1, 16, data, {{2, 10}});
    const std::size_t dataStart = full.size() - data.size();
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        WaveFile w;
        const Bytes part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        const pa::Result opened = OpenImage(w, part);
        if (cut < dataStart) {
            EXPECT_EQ(opened, pa::kFail) << "cut at " << cut;
            continue;
        }
        ASSERT_EQ(opened, pa::kOk) << "cut at " << cut;
        EXPECT_EQ(w.DataSize(), data.size());
        Bytes got(data.size());
        EXPECT_EQ(w.Read(got.data(), static_cast<std::uint32_t>(got.size()), &read), pa::kFail);
        EXPECT_EQ(read, 0u);
    }
    pa::ClearResources();
}

TEST(WaveFile, UsesAResourceNamedLikeThePathWhenTheFileCannotBeOpened) {
    TempDir dir;
    const Bytes file = Wav(1, 8, Pattern(6));
    // Something is at the path, but it is a folder, so the file cannot be opened.
    std::filesystem::create_directory(dir.Path("cockpit.wav"));
    const std::string path = dir.Path("cockpit.wav");
    WaveFile wave;
    EXPECT_EQ(wave.Open(path.c_str(), pa::HostModule()), pa::kFail);
    for (const char* type : {"WAV", "WAVE", pa::kResourceTypeRcData}) {
        pa::ClearResources();
        pa::RegisterResource(path, type, file);
        ASSERT_EQ(wave.Open(path.c_str(), pa::HostModule()), pa::kOk) << type;
        EXPECT_EQ(wave.DataSize(), 6u);
    }
    pa::ClearResources();
    pa::RegisterResource(path, "BITMAP", file);
    EXPECT_EQ(wave.Open(path.c_str(), pa::HostModule()), pa::kFail);
    pa::ClearResources();
}

} // namespace
