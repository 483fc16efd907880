// Unit SimSpace: situation files and the paths of the current situation.
#pragma once
#include <string>
#include <vector>

// What a situation file holds, as read.
struct TSituation {
    std::string routeName;  // line 1 without its last four characters (".dat")
    int startSegment = 3;
    std::string timetableFile;
    std::string trainFile;
    int startHour = 9;
    int startMinute = 1;
    bool wet = true;
};

// The situation file of a name: root "\situations\" name ".txt".
std::string SituationPath(const std::string& root, const std::string& name);
// root "\routes\" route "\" route ".dat".
std::string RouteFilePath(const std::string& root, const std::string& route);
// root "\routes\" route "\" file.
std::string TimetablePath(const std::string& root, const std::string& route,
                          const std::string& file);
// root "\rail yard\" file.
std::string TrainFilePath(const std::string& root, const std::string& file);
// The part of a path after its last separator ('\' or '/').
std::string FileNamePart(const std::string& path);
// A name without its last four characters ("" when it has no more than four).
std::string WithoutExtension(const std::string& name);

// Reads a situation file's lines. Unreadable numbers take their defaults (segment 3, 9:01),
// out-of-range ones too (segment below 3, hour outside 0..23, minute outside 0..59); line 6
// is dry only when it is exactly "DRY". False when the file lacks a route, timetable or train
// file name.
bool ParseSituation(const std::vector<std::string>& lines, TSituation* situation);

// "The situation file "<path>" was not found."
std::string SituationNotFoundMessage(const std::string& path);
// "Situation   "<name>.txt"\r  was saved to disk."
std::string SituationSavedMessage(const std::string& name);

// Writes the current situation under name (temp file beside it, renamed over it), only when
// its route, timetable and train files all exist. False with error set otherwise (nothing is
// written then).
bool SaveSituation(const std::string& name, std::string* error = nullptr);
// The situation name of a file chosen in the save dialog: the dialog adds ".txt" only to a name
// without an extension, so just that ending (in any case) is dropped.
std::string SituationNameOfFile(const std::string& file);

// Makes the situation file at path current (route, timetable and train paths, start
// segment, time and rail). A missing or damaged file is shown in a message box and changes
// nothing; the result tells whether it loaded.
bool LoadSituation(const std::string& path);

// First screen: load a situation and its train, or make a new one.
void ShowSelForm();
// New situation: route, timetable and train.
void ShowSel2Form();
