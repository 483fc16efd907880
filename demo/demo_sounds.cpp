// Synthesised sounds of the demo data set: the simulator's ten sound effects as WAV files.
#include "demo_sounds.h"

#include "bitmap_writer.h"
#include "cab/traction_model.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Deterministic noise in -1..1, so the data set is the same on every run.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return double(state_ >> 8) / double(1u << 23) - 1.0;
    }

private:
    uint32_t state_;
};

void Put16(std::vector<unsigned char>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<unsigned char>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A 16-bit mono PCM WAV file of samples in -1..1 (clipped).
std::vector<unsigned char> WavBytes(const std::vector<double>& samples, uint32_t rate)
{
    std::vector<unsigned char> out;
    const uint32_t data = uint32_t(samples.size() * 2);
    for (char c : {'R', 'I', 'F', 'F'}) out.push_back(uint8_t(c));
    Put32(out, 36 + data);
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) out.push_back(uint8_t(c));
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, rate);
    Put32(out, rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    for (char c : {'d', 'a', 't', 'a'}) out.push_back(uint8_t(c));
    Put32(out, data);
    for (double s : samples) {
        const double clipped = std::fmax(-1.0, std::fmin(1.0, s));
        Put16(out, uint16_t(int16_t(std::lround(clipped * 32000.0))));
    }
    return out;
}

std::vector<double> Render(double seconds, uint32_t rate, const std::function<double(double)>& f)
{
    std::vector<double> samples(size_t(std::lround(seconds * rate)));
    for (size_t i = 0; i < samples.size(); i++) samples[i] = f(double(i) / rate);
    return samples;
}

// A one-pole low-pass over the samples (a in 0..1: the share of the new sample).
void LowPass(std::vector<double>& samples, double a)
{
    double y = 0.0;
    for (double& s : samples) s = y += a * (s - y);
}

// Idle of a diesel engine: firing pulses at 40 Hz with their harmonics; 2 s, whole periods,
// so the loop joins without a click.
std::vector<double> DieselIdle(uint32_t rate)
{
    Noise noise(11);
    std::vector<double> s = Render(2.0, rate, [&noise](double t) {
        const double firing = 40.0;
        const double phase = std::fmod(t * firing, 1.0);
        const double pulse = std::exp(-phase * 9.0);
        double tone = 0.0;
        for (int h = 1; h <= 6; h++) tone += std::sin(2 * kPi * firing * h * t) / h;
        return 0.45 * pulse * (0.6 * tone + 0.5 * noise.Next()) + 0.15 * std::sin(2 * kPi * 20 * t);
    });
    LowPass(s, 0.35);
    return s;
}

// Rail joints passed by two bogies: two pairs of knocks in a 2 s loop.
std::vector<double> RailJoint(uint32_t rate)
{
    Noise noise(23);
    return Render(2.0, rate, [&noise](double t) {
        double v = 0.0;
        for (double at : {0.05, 0.20, 1.05, 1.20}) {
            const double d = t - at;
            if (d >= 0.0 && d < 0.15)
                v += std::exp(-d * 45.0) * (0.6 * noise.Next() + 0.8 * std::sin(2 * kPi * 90 * d));
        }
        return 0.8 * v;
    });
}

// The air compressor: four strokes a second over a low hum; 1.5 s.
std::vector<double> Compressor(uint32_t rate)
{
    Noise noise(37);
    std::vector<double> s = Render(1.5, rate, [&noise](double t) {
        const double stroke = std::fmod(t * 4.0, 1.0);
        return 0.5 * std::exp(-stroke * 6.0) * noise.Next() + 0.2 * std::sin(2 * kPi * 50 * t) +
               0.1 * std::sin(2 * kPi * 100 * t);
    });
    LowPass(s, 0.25);
    return s;
}

// Air escaping from the brake pipe: a steady hiss, 1 s loop.
std::vector<double> Release(uint32_t rate)
{
    Noise noise(41);
    double last = 0.0;
    return Render(1.0, rate, [&noise, &last](double) {
        const double n = noise.Next();
        const double v = 0.5 * (n - last);  // the difference keeps the high part of the noise
        last = n;
        return v;
    });
}

// A two-tone horn: the high note, then the low one, with soft starts and ends.
std::vector<double> Horn(uint32_t rate)
{
    return Render(1.6, rate, [](double t) {
        const double f = t < 0.75 ? 370.0 : 311.0;
        const double local = t < 0.75 ? t : t - 0.8;
        if (local < 0.0) return 0.0;
        const double envelope = std::fmin(1.0, local / 0.04) * std::fmin(1.0, (0.75 - local) / 0.06);
        double v = 0.0;
        for (int h = 1; h <= 5; h++) v += std::sin(2 * kPi * f * h * t) / (h * 1.3);
        return 0.45 * std::fmax(0.0, envelope) * v;
    });
}

// Radio chatter: syllables of a wandering voice-like tone in band-limited noise.
std::vector<double> Chatter(uint32_t rate, uint32_t seed, double seconds)
{
    Noise noise(seed);
    Noise pitch(seed * 7 + 1);
    double f = 180.0;
    double syllable = 0.0;
    double phase = 0.0;
    std::vector<double> s = Render(seconds, rate, [&](double t) {
        if (t >= syllable) {  // a new syllable every 0.12 - 0.28 s
            syllable = t + 0.2 + 0.08 * pitch.Next();
            f = 170.0 + 60.0 * pitch.Next();
        }
        phase += 2 * kPi * f / rate;
        const double within = 1.0 - (syllable - t) / 0.28;
        const double envelope = std::sin(kPi * std::fmin(1.0, std::fmax(0.0, within)));
        const double voice = std::sin(phase) + 0.5 * std::sin(3 * phase) + 0.3 * std::sin(5 * phase);
        return 0.3 * envelope * voice + 0.08 * noise.Next();
    });
    LowPass(s, 0.5);
    return s;
}

}  // namespace

bool WriteDemoSounds(const std::string& root)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(root) / "sounds";
    struct Sound {
        std::string name;
        uint32_t rate;
        std::vector<double> samples;
    };
    // The running sound is the one a traction model without a [sound] run1 key plays.
    const Sound sounds[] = {
        {kDefaultRunSound, 22050, DieselIdle(22050)},
        {"track_gap_slow.wav", 11025, RailJoint(11025)},
        {"compressor.wav", 22050, Compressor(22050)},
        {"BP_release.wav", 22050, Release(22050)},
        {"BR_horn1.wav", 22050, Horn(22050)},
        {"chat1.wav", 22050, Chatter(22050, 101, 1.4)},
        {"chat2.wav", 22050, Chatter(22050, 202, 1.8)},
        {"chat3.wav", 22050, Chatter(22050, 303, 1.1)},
        {"chat4.wav", 22050, Chatter(22050, 404, 2.0)},
    };
    bool ok = true;
    for (const Sound& sound : sounds) {
        const fs::path path = folder / sound.name;
        if (!DemoWriteFile(path.string(), WavBytes(sound.samples, sound.rate))) ok = false;
    }
    return ok;
}
