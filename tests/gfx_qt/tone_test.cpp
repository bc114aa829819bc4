#include "gfx/tone.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Upward zero crossings of the samples: one per period of the tone.
int rising_crossings(const std::vector<int16_t>& samples) {
    int count = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) ++count;
    }
    return count;
}

GTEST_TEST(ToneSamples, HaveTheLengthAndFrequencyAsked) {
    struct Case {
        const char* what;
        int frequency;
        int duration_ms;
        int sample_rate;
    };
    constexpr Case cases[] = {
        {"answer tone at 48 kHz", 1000, 100, 48000},
        {"low tone at 44.1 kHz", 440, 350, 44100},
        {"frequency that does not divide the rate", 333, 300, 48000},
        {"short tone", 800, 10, 48000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto samples = gfx::tone_samples(c.frequency, c.duration_ms, c.sample_rate);
        ASSERT_EQ(samples.size(), static_cast<std::size_t>(c.sample_rate * c.duration_ms / 1000));
        const int periods = c.frequency * c.duration_ms / 1000;
        EXPECT_NEAR(rising_crossings(samples), periods, 1);
        // Loud in the middle, silent at both ends, so it neither clicks nor clips.
        const auto loudest = std::max_element(
            samples.begin(), samples.end(), [](int a, int b) { return std::abs(a) < std::abs(b); });
        EXPECT_GT(std::abs(*loudest), 8000);
        EXPECT_LT(std::abs(*loudest), 32767);
        EXPECT_EQ(samples.front(), 0);
        EXPECT_LT(std::abs(samples.back()), 200);
    }
}

GTEST_TEST(ToneSamples, FrequencyZeroIsSilence) {
    const auto samples = gfx::tone_samples(0, 50, 48000);
    ASSERT_EQ(samples.size(), 2400u);
    EXPECT_TRUE(std::all_of(samples.begin(), samples.end(), [](int16_t s) { return s == 0; }));
}

GTEST_TEST(ToneSamples, NoSamplesForNoDuration) {
    EXPECT_TRUE(gfx::tone_samples(440, 0, 48000).empty());
    EXPECT_TRUE(gfx::tone_samples(440, -20, 48000).empty());
}

// With or without a sound card, a tone takes at least its duration. The upper bound only
// catches a tone that waits twice or hangs; how close it comes is measured by the benchmarks,
// not asserted here, since a loaded machine stretches it.
GTEST_TEST(PlayTone, TakesItsDuration) {
    struct Case {
        const char* what;
        int frequency;
        int duration_ms;
    };
    constexpr Case cases[] = {
        {"audible tone", 440, 100},      {"silence", 0, 100},
        {"very short tone", 1000, 5},    {"no duration", 440, 0},
        {"negative duration", 440, -50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        gfx::play_tone(c.frequency, c.duration_ms);
        const auto taken =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_GE(taken, std::max(c.duration_ms, 0));
        EXPECT_LT(taken, 2 * std::max(c.duration_ms, 0) + 1000);
    }
}

// A tone as the tone player is asked for it.
struct Tone {
    int frequency;
    int duration_ms;
};

// The samples a WAV file holds, with the format its header names.
struct Recording {
    int format_tag = 0;
    int channels = 0;
    int sample_rate = 0;
    int bits = 0;
    std::vector<int16_t> samples;
};

uint32_t little_endian(const std::string& bytes, std::size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Reads a WAV file as ALSA's file plugin writes it. The plugin fills in the sizes of the
// header when the device is closed, and the player keeps its device open until the process
// ends, so the samples are taken from the start of the data chunk to the end of the file.
std::optional<Recording> read_wav(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return std::nullopt;
    Recording recording;
    for (std::size_t chunk = 12; chunk + 8 <= bytes.size();) {
        const std::string id = bytes.substr(chunk, 4);
        const uint32_t size = little_endian(bytes, chunk + 4, 4);
        const std::size_t body = chunk + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
            recording.format_tag = static_cast<int>(little_endian(bytes, body, 2));
            recording.channels = static_cast<int>(little_endian(bytes, body + 2, 2));
            recording.sample_rate = static_cast<int>(little_endian(bytes, body + 4, 4));
            recording.bits = static_cast<int>(little_endian(bytes, body + 14, 2));
        } else if (id == "data") {
            recording.samples.resize((bytes.size() - body) / 2);
            std::memcpy(recording.samples.data(), bytes.data() + body,
                        recording.samples.size() * 2);
            return recording;
        }
        chunk = body + size + size % 2;
    }
    return std::nullopt;
}

// A fresh folder holding an ALSA configuration, in which the tone player runs with that
// configuration and nothing else: ALSA_CONFIG_PATH names the one file ALSA reads, so neither
// the machine's sound cards nor a user's own configuration play a part.
class AlsaSetUp {
  public:
    // `config` may name the file the tones are recorded in as @RECORDING@.
    explicit AlsaSetUp(std::string config) {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelidor-tone-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no temporary folder";
        folder_ = pattern;
        const std::string marker = "@RECORDING@";
        if (const auto at = config.find(marker); at != std::string::npos)
            config.replace(at, marker.size(), recording_path().string());
        std::ofstream(folder_ / "asound.conf") << config;
    }
    ~AlsaSetUp() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    AlsaSetUp(const AlsaSetUp&) = delete;
    AlsaSetUp& operator=(const AlsaSetUp&) = delete;

    std::filesystem::path recording_path() const { return folder_ / "recording.wav"; }

    // Plays the tones in one player process and returns the milliseconds each took, or
    // nothing when the player did not end normally with one reading per tone.
    std::optional<std::vector<long>> play(const std::vector<Tone>& tones) const {
        std::vector<std::string> arguments{PELIDOR_TONE_PLAYER};
        for (const Tone& tone : tones) {
            arguments.push_back(std::to_string(tone.frequency));
            arguments.push_back(std::to_string(tone.duration_ms));
        }
        std::vector<std::string> environment{"ALSA_CONFIG_PATH=" +
                                             (folder_ / "asound.conf").string()};
        for (char** variable = environ; *variable != nullptr; ++variable) {
            if (std::strncmp(*variable, "ALSA_", 5) != 0) environment.emplace_back(*variable);
        }
        const std::string readings = (folder_ / "readings.txt").string();

        // posix_spawn, unlike a fork of this process, is safe beside the threads Qt may run.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, readings.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t child = 0;
        const int spawned = posix_spawn(&child, arguments[0].c_str(), &actions, nullptr,
                                        pointers(arguments).data(), pointers(environment).data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            ADD_FAILURE() << "cannot start " << arguments[0] << ": " << std::strerror(spawned);
            return std::nullopt;
        }
        int status = 0;
        if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            ADD_FAILURE() << "the tone player failed, status " << status;
            return std::nullopt;
        }
        std::ifstream in(readings);
        std::vector<long> taken{std::istream_iterator<long>(in), std::istream_iterator<long>()};
        if (taken.size() != tones.size()) return std::nullopt;
        return taken;
    }

  private:
    static std::vector<char*> pointers(std::vector<std::string>& texts) {
        std::vector<char*> result;
        for (std::string& text : texts) result.push_back(text.data());
        result.push_back(nullptr);
        return result;
    }

    std::filesystem::path folder_;
};

// Each tone took at least its duration, and not so long that it waited twice or hung.
void expect_durations(const std::vector<Tone>& tones, const std::vector<long>& taken) {
    ASSERT_EQ(taken.size(), tones.size());
    for (std::size_t i = 0; i < tones.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "tone " << i << ", " << tones[i].duration_ms << " ms");
        EXPECT_GE(taken[i], tones[i].duration_ms);
        EXPECT_LT(taken[i], 2 * tones[i].duration_ms + 1000);
    }
}

// The default device records into a file: ALSA's file plugin over its null device, both
// built into the library, so no sound card is needed.
constexpr const char* k_recording_device = R"(
pcm.!default {
    type file
    slave.pcm { type null }
    file "@RECORDING@"
    format "wav"
}
)";

GTEST_TEST(PlayTone, SoundsTheTonesOnTheDefaultDevice) {
    AlsaSetUp set_up(k_recording_device);
    // The answer tones of a training, one after another on the device kept open.
    const std::vector<Tone> tones{{1000, 200}, {800, 200}, {200, 300}, {400, 30}};
    const auto taken = set_up.play(tones);
    ASSERT_TRUE(taken);
    expect_durations(tones, *taken);

    const auto recording = read_wav(set_up.recording_path());
    ASSERT_TRUE(recording) << "nothing was played on the device";
    EXPECT_EQ(recording->format_tag, 1);  // integer samples
    EXPECT_EQ(recording->channels, 1);
    EXPECT_EQ(recording->bits, 16);
    ASSERT_GE(recording->sample_rate, 8000);
    const int rate = recording->sample_rate;

    std::size_t expected_total = 0;
    for (const Tone& tone : tones)
        expected_total += static_cast<std::size_t>(rate) * tone.duration_ms / 1000;
    ASSERT_EQ(recording->samples.size(), expected_total);
    auto first = recording->samples.begin();
    for (const Tone& tone : tones) {
        SCOPED_TRACE(testing::Message() << tone.frequency << " Hz, " << tone.duration_ms << " ms");
        const auto last = first + rate * tone.duration_ms / 1000;
        const std::vector<int16_t> part(first, last);
        EXPECT_NEAR(rising_crossings(part), tone.frequency * tone.duration_ms / 1000, 1);
        const auto loudest = std::max_element(
            part.begin(), part.end(), [](int a, int b) { return std::abs(a) < std::abs(b); });
        EXPECT_GT(std::abs(*loudest), 8000);
        // Each tone starts from silence, so one tone runs into the next without a click.
        EXPECT_LT(std::abs(part.front()), 200);
        EXPECT_LT(std::abs(part.back()), 200);
        first = last;
    }
}

GTEST_TEST(PlayTone, IsSilentButTakesItsTimeWhenTheDeviceCannotBeOpened) {
    struct Case {
        const char* what;
        const char* config;
    };
    constexpr Case cases[] = {
        {"no default device", "pcm.other { type null }\n"},
        {"a sound card that is not there", "pcm.!default { type hw card 31 }\n"},
        {"a recording device over a card that is not there", R"(
pcm.!default {
    type file
    slave.pcm { type hw card 31 }
    file "@RECORDING@"
    format "wav"
}
)"},
    };
    const std::vector<Tone> tones{{1000, 200}, {800, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        AlsaSetUp set_up(c.config);
        const auto taken = set_up.play(tones);
        ASSERT_TRUE(taken);
        expect_durations(tones, *taken);
        EXPECT_FALSE(read_wav(set_up.recording_path()));
    }
}

}  // namespace
