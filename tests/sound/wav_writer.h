// Writes small 16-bit PCM WAV files byte by byte for the sound tests.
#pragma once
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace wav_test {

inline void put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void put32(std::vector<uint8_t>& out, uint32_t value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

inline void put_tag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

// A RIFF WAVE file of the given frames of a square wave, 16-bit PCM.
inline std::vector<uint8_t> wav_bytes(uint32_t frames, uint32_t rate, uint16_t channels)
{
    const uint32_t data_size = frames * channels * 2;
    std::vector<uint8_t> out;
    put_tag(out, "RIFF");
    put32(out, 36 + data_size);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * channels * 2);
    put16(out, channels * 2);
    put16(out, 16);
    put_tag(out, "data");
    put32(out, data_size);
    for (uint32_t i = 0; i < frames * channels; i++)
        put16(out, (i / 50) % 2 ? 0x2000 : 0xe000);
    return out;
}

inline void write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void write_wav(const std::string& path, uint32_t frames, uint32_t rate = 22050,
                      uint16_t channels = 1)
{
    write_file(path, wav_bytes(frames, rate, channels));
}

}  // namespace wav_test
