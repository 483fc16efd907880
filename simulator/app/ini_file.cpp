// INI files with Windows profile semantics.
#include "app/ini_file.h"

#include <platform/numbers.h>
#include <platform/paths.h>
#include <platform/safe_write.h>

#include <cstdio>
#include <string>

namespace {

std::string_view trim(std::string_view s)
{
    size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\t')) ++b;
    size_t e = s.size();
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

bool same_text(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y) return false;
    }
    return true;
}

// "[name]" -> name; false for any other line.
bool section_header(std::string_view line, std::string_view* name)
{
    std::string_view t = trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string_view::npos) return false;
    *name = trim(t.substr(1, close - 1));
    return true;
}

// "key=value" -> key and value; false for comments, blanks and lines without '='.
bool key_line(std::string_view line, std::string_view* key, std::string_view* value)
{
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    *key = trim(t.substr(0, eq));
    *value = trim(t.substr(eq + 1));
    return true;
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path))
{
    FILE* f = plat_fopen(path_, "rb");
    if (!f) return;
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    fclose(f);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            crlf_ = true;
        }
        lines_.push_back(std::move(line));
        start = end + 1;
    }
}

int TIniFile::FindSection(std::string_view section) const
{
    std::string_view name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (section_header(lines_[i], &name) && same_text(name, trim(section))) return int(i);
    return -1;
}

int TIniFile::SectionEnd(int header) const
{
    std::string_view name;
    size_t i = size_t(header) + 1;
    while (i < lines_.size() && !section_header(lines_[i], &name)) ++i;
    return int(i);
}

int TIniFile::FindKey(int header, std::string_view key) const
{
    std::string_view k, v;
    int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (key_line(lines_[size_t(i)], &k, &v) && same_text(k, trim(key))) return i;
    return -1;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view def) const
{
    int header = FindSection(section);
    if (header < 0) return std::string(def);
    int line = FindKey(header, key);
    if (line < 0) return std::string(def);
    std::string_view k, v;
    key_line(lines_[size_t(line)], &k, &v);
    return std::string(v);
}

long TIniFile::ReadInteger(std::string_view section, std::string_view key, long def) const
{
    long value = def;
    if (!ValueExists(section, key)) return def;
    if (!plat_parse_int(ReadString(section, key, ""), &value)) return def;
    return value;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const
{
    double value = def;
    if (!ValueExists(section, key)) return def;
    if (!plat_parse_double(ReadString(section, key, ""), &value)) return def;
    return value;
}

bool TIniFile::SectionExists(std::string_view section) const
{
    return FindSection(section) >= 0;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    int header = FindSection(section);
    return header >= 0 && FindKey(header, key) >= 0;
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const
{
    std::vector<std::string> values;
    int header = FindSection(section);
    if (header < 0) return values;
    std::string_view k, v;
    int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (key_line(lines_[size_t(i)], &k, &v))
            values.push_back(std::string(k) + "=" + std::string(v));
    return values;
}

bool TIniFile::WriteString(std::string_view section, std::string_view key,
                           std::string_view value)
{
    std::vector<std::string> saved = lines_;
    std::string line = std::string(trim(key)) + "=" + std::string(value);
    int header = FindSection(section);
    if (header < 0) {
        if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.push_back("");
        lines_.push_back("[" + std::string(trim(section)) + "]");
        lines_.push_back(line);
    } else if (int at = FindKey(header, key); at >= 0) {
        lines_[size_t(at)] = line;
    } else {
        // After the section's last non-blank line, so blank separators stay below it.
        int at_end = SectionEnd(header);
        while (at_end > header + 1 && trim(lines_[size_t(at_end - 1)]).empty()) --at_end;
        lines_.insert(lines_.begin() + at_end, line);
    }
    if (Flush()) return true;
    lines_ = std::move(saved);
    return false;
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, long value)
{
    return WriteString(section, key, std::to_string(value));
}

bool TIniFile::Flush() const
{
    const char* eol = crlf_ ? "\r\n" : "\n";
    std::string text;
    for (const std::string& line : lines_)
        text += line + eol;
    return plat_write_file(path_, text.data(), text.size()) == PLAT_WRITE_OK;
}
