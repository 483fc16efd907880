// Train files: the consist's 120-byte vehicle records back to back, position 0 first.
#include "train/train_file.h"

#include <platform/paths.h>
#include <platform/safe_write.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

std::string TrainSavedMessage(const std::string& name)
{
    return "Train:  \"" + name + "\"  was saved to disk.";
}

bool SaveTrain(const std::string& path, const TConsist& consist, std::string* error)
{
    if (consist.count <= 0) {
        *error = "The train has no vehicles; nothing was saved.";
        return false;
    }
    std::string bytes;
    for (int i = 0; i < consist.count; ++i) {
        const TVehicleBytes record = EncodeVehicle(consist.recs[size_t(i)]);
        bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
    }
    std::string failure;
    if (plat_write_file(path, bytes.data(), bytes.size(), &failure) != PLAT_WRITE_OK) {
        *error = "Cannot write " + path + ": " + failure;
        return false;
    }
    return true;
}

bool LoadTrain(const std::string& path, TConsist& consist, std::string* error)
{
    FILE* f = plat_fopen(path, "rb");
    if (!f) {
        if (plat_file_exists(path)) {
            *error = "Cannot read train file " + path + ": " + std::strerror(errno);
            return false;
        }
        ClearConsist(consist);
        return true;
    }
    std::vector<unsigned char> data;
    unsigned char buffer[4096];
    size_t n;
    const size_t limit = size_t(MaxVehicles) * VehicleRecSize;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0 && data.size() <= limit)
        data.insert(data.end(), buffer, buffer + n);
    bool read_error = ferror(f) != 0;
    fclose(f);

    std::string damaged = "Train file " + path + " is damaged: ";
    if (read_error) {
        *error = "Cannot read train file " + path + ".";
        return false;
    }
    if (data.empty()) {
        *error = damaged + "it holds no vehicles.";
        return false;
    }
    if (data.size() > limit) {
        *error = damaged + "it holds more than 100 vehicles.";
        return false;
    }
    if (data.size() % VehicleRecSize != 0) {
        *error = damaged + "its size is not a whole number of 120-byte vehicle records.";
        return false;
    }
    int count = int(data.size() / VehicleRecSize);
    std::vector<TVehicleRec> recs(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        if (!DecodeVehicle(&data[size_t(i) * VehicleRecSize], &recs[size_t(i)])) {
            *error = damaged + "vehicle " + std::to_string(i) + " has a bad model name.";
            return false;
        }
    }
    ClearConsist(consist);
    for (int i = 0; i < count; ++i) consist.recs[size_t(i)] = std::move(recs[size_t(i)]);
    consist.count = count;
    SumConsist(consist);
    return true;
}
