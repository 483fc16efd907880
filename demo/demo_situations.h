// Demo data for the first screens: screen pictures, the route folder with its route file and
// working timetable, and saved situations.
#pragma once
#include <string>

// The demo route, its timetable (the first file of the route folder) and train.
inline constexpr const char* kDemoRoute = "Tarrow-Venn";
inline constexpr const char* kDemoTimetable = "0905 Freight.txt";
inline constexpr const char* kDemoTrain = "Demo Freight.trn";

// Writes root/images/first_scrn.jpg and second_scrn.jpg; false when one cannot be written.
bool WriteDemoScreens(const std::string& root);
// Writes the route file, the timetable and the situations ("Previous Situation" among them);
// false on a write failure.
bool WriteDemoSituations(const std::string& root);
