// INI files with Windows profile semantics: sections and keys without regard to case, a
// default for every read, values as raw text, writes made in place keeping every other line.
#pragma once
#include <string>
#include <string_view>
#include <vector>

class TIniFile {
public:
    // Reads the file now when it exists; a missing file reads as empty (every default).
    explicit TIniFile(std::string path);

    const std::string& FileName() const { return path_; }

    // The raw text after the first '=', blanks around it trimmed; def when absent.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // def when absent or not a whole decimal integer.
    long ReadInteger(std::string_view section, std::string_view key, long def) const;
    // def when absent or not a whole C-locale number.
    double ReadFloat(std::string_view section, std::string_view key, double def) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // The "key=value" lines of a section in file order (comments and blank lines skipped).
    std::vector<std::string> ReadSectionValues(std::string_view section) const;

    // Replaces the key's line, or adds it at the end of its section, or adds the section at
    // the end of the file; then writes the file (temp file beside it, renamed over it).
    // False, with the file untouched, when it cannot be written.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, long value);

private:
    std::string path_;
    std::vector<std::string> lines_;
    bool crlf_ = false;  // written back with the line ends it was read with

    int FindSection(std::string_view section) const;   // index of the header line or -1
    int SectionEnd(int header) const;                   // index past the section's last line
    int FindKey(int header, std::string_view key) const;  // index of the key line or -1
    bool Flush() const;
};
