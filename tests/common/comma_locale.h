// Switches the C library to a comma-decimal locale for a test: an installed German one, or one
// compiled with localedef into the test's build folder. False when neither is possible.
#pragma once
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

inline bool use_comma_decimal_locale(int category)
{
    const auto switched = [category](const char* name) {
        return std::setlocale(category, name) && std::localeconv()->decimal_point[0] == ',';
    };
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (switched(name))
            return true;
    }
    const std::string folder = std::string(DROVIK_TEST_BINARY_DIR) + "/locales";
    const std::string locale = folder + "/de_DE.UTF-8";
    if (!std::filesystem::exists(locale + "/LC_NUMERIC")) {
        std::filesystem::create_directories(folder);
        const std::string command = "localedef -i de_DE -f UTF-8 '" + locale + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return false;
    }
    setenv("LOCPATH", folder.c_str(), 1);
    return switched("de_DE.UTF-8");
}
