// Unit SimSpace: situation files and the paths of the current situation.
#include "app/sim_space.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <mutex>

#include "app/qt_message_box.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/safe_write.h"

namespace {

constexpr long kMaxSituationBytes = 64 * 1024;  // six short lines; anything far larger is not one

// The file's lines without their line ends; false when it cannot be read or is too large.
bool ReadLines(const std::string& path, std::vector<std::string>* lines)
{
    std::FILE* file = plat_fopen(path, "rb");
    if (!file)
        return false;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
        if (text.size() > size_t(kMaxSituationBytes))
            break;
    }
    const bool ok = !std::ferror(file) && text.size() <= size_t(kMaxSituationBytes);
    std::fclose(file);
    if (!ok)
        return false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines->push_back(line);
        start = end + 1;
    }
    return true;
}

// The whitespace-separated words of a line.
std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            i++;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            i++;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

// An integer word within [low, high], else fallback.
int IntOr(const std::vector<std::string>& words, size_t index, long low, long high, int fallback)
{
    long value = 0;
    if (index >= words.size() || !plat_parse_int(words[index], &value))
        return fallback;
    return value >= low && value <= high ? int(value) : fallback;
}

// Hour and minute of the simulated clock (a date-time in days), to the nearest second.
void ClockHourMinute(double clock, int* hour, int* minute)
{
    if (!std::isfinite(clock)) {
        *hour = 9;
        *minute = 1;
        return;
    }
    long long seconds = std::llround((clock - std::floor(clock)) * 86400.0);
    if (seconds >= 86400)
        seconds -= 86400;
    *hour = int(seconds / 3600);
    *minute = int(seconds / 60 % 60);
}

}  // namespace

std::string SituationPath(const std::string& root, const std::string& name)
{
    return root + "\\situations\\" + name + ".txt";
}

std::string RouteFilePath(const std::string& root, const std::string& route)
{
    return root + "\\routes\\" + route + "\\" + route + ".dat";
}

std::string TimetablePath(const std::string& root, const std::string& route,
                          const std::string& file)
{
    return root + "\\routes\\" + route + "\\" + file;
}

std::string TrainFilePath(const std::string& root, const std::string& file)
{
    return root + "\\rail yard\\" + file;
}

std::string FileNamePart(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithoutExtension(const std::string& name)
{
    return name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

bool ParseSituation(const std::vector<std::string>& lines, TSituation* situation)
{
    const auto line = [&lines](size_t i) { return i < lines.size() ? lines[i] : std::string(); };
    TSituation s;
    s.routeName = WithoutExtension(line(0));
    s.startSegment = IntOr(Words(line(1)), 0, INT_MIN, INT_MAX, 3);
    s.timetableFile = line(2);
    s.trainFile = line(3);
    const std::vector<std::string> time = Words(line(4));
    s.startHour = IntOr(time, 0, 0, 23, 9);
    s.startMinute = IntOr(time, 1, 0, 59, 1);
    s.wet = line(5) != "DRY";
    if (s.routeName.empty() || s.timetableFile.empty() || s.trainFile.empty())
        return false;
    *situation = s;
    return true;
}

std::string SituationNotFoundMessage(const std::string& path)
{
    return "The situation file \"" + path + "\" was not found.";
}

std::string SituationSavedMessage(const std::string& name)
{
    return "Situation   \"" + name + ".txt\"\r  was saved to disk.";
}

std::string SituationNameOfFile(const std::string& file)
{
    const size_t n = file.size();
    if (n >= 4 && file[n - 4] == '.' && (file[n - 3] | 0x20) == 't' && (file[n - 2] | 0x20) == 'x' &&
        (file[n - 1] | 0x20) == 't')
        return file.substr(0, n - 4);
    return file;
}

bool SaveSituation(const std::string& name, std::string* error)
{
    std::string text;
    std::string target;
    {
        std::lock_guard guard(SimLock);
        const pathRec& p = SimState.paths;
        if (!plat_file_exists(p.route) || !plat_file_exists(p.timetable) ||
            !plat_file_exists(p.train)) {
            if (error)
                *error = "The situation was not saved: its route, timetable or train file "
                         "is missing.";
            return false;
        }
        int hour;
        int minute;
        ClockHourMinute(SimState.clock, &hour, &minute);
        const int segment = CurrentSegment();
        text = FileNamePart(p.route) + "\r\n" + std::to_string(segment < 3 ? 3 : segment) +
               "\r\n" + FileNamePart(p.timetable) + "\r\n" + FileNamePart(p.train) + "\r\n" +
               std::to_string(hour) + "  " + std::to_string(minute) + "\r\n" +
               (SimState.wet ? "WET" : "DRY") + "\r\n";
        target = SituationPath(p.root, name);
    }
    const std::filesystem::path path(plat_path_resolve_for_write(target));
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec || plat_write_file(path.string(), text.data(), text.size()) != PLAT_WRITE_OK) {
        if (error)
            *error = "The situation file \"" + target + "\" could not be written.";
        return false;
    }
    return true;
}

bool LoadSituation(const std::string& path)
{
    if (!plat_file_exists(path)) {
        ShowMessage(SituationNotFoundMessage(path));
        return false;
    }
    std::vector<std::string> lines;
    TSituation s;
    if (!ReadLines(path, &lines) || !ParseSituation(lines, &s)) {
        ShowMessage("The situation file \"" + path + "\" cannot be read.");
        return false;
    }
    std::lock_guard guard(SimLock);
    pathRec& p = SimState.paths;
    p.situation = path;
    p.route = RouteFilePath(p.root, s.routeName);
    p.timetable = TimetablePath(p.root, s.routeName, s.timetableFile);
    p.train = TrainFilePath(p.root, s.trainFile);
    SimState.trainName = WithoutExtension(s.trainFile);
    SimState.startSegment = s.startSegment;
    SimState.startHour = s.startHour;
    SimState.startMinute = s.startMinute;
    SimState.wet = s.wet;
    // Until the physics starts the clock, it shows the situation's start time.
    SimState.clock = (s.startHour * 60.0 + s.startMinute) / 1440.0;
    return true;
}
