// printf, scanf and number parsing in the C locale, whatever locale the process uses.
#include "platform/numbers.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace {

locale_t c_locale()
{
    static locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

// Switches the calling thread to the C locale for its lifetime.
class c_locale_scope {
public:
    c_locale_scope() : previous_(::uselocale(c_locale())) {}
    ~c_locale_scope() { ::uselocale(previous_); }
    c_locale_scope(const c_locale_scope&) = delete;
    c_locale_scope& operator=(const c_locale_scope&) = delete;

private:
    locale_t previous_;
};

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Trims blanks and one leading '+' that starts a number.
std::string_view number_text(std::string_view text)
{
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

}  // namespace

int plat_vsnprintf(char* buffer, size_t size, const char* format, va_list args)
{
    c_locale_scope scope;
    return std::vsnprintf(buffer, size, format, args);
}

int plat_snprintf(char* buffer, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int written = plat_vsnprintf(buffer, size, format, args);
    va_end(args);
    return written;
}

std::string plat_format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = plat_vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (length > 0) {
        out.resize(static_cast<size_t>(length) + 1);
        plat_vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<size_t>(length));
    }
    va_end(args);
    return out;
}

int plat_fprintf(FILE* file, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    c_locale_scope scope;
    int written = std::vfprintf(file, format, args);
    va_end(args);
    return written;
}

int plat_sscanf(const char* text, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    c_locale_scope scope;
    int read = std::vsscanf(text, format, args);
    va_end(args);
    return read;
}

bool plat_parse_double(std::string_view text, double* out)
{
    text = number_text(text);
    if (text.empty() || !out)
        return false;
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

bool plat_parse_int(std::string_view text, long* out)
{
    text = number_text(text);
    if (text.empty() || !out)
        return false;
    long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    *out = value;
    return true;
}

double plat_strtod(const char* text, char** end)
{
    return ::strtod_l(text, end, c_locale());
}
