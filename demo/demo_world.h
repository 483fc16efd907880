// The demo 3D world and the route files that place the train in it.
#pragma once
#include <string>

// The route "Tarrow-Venn": root/routes/Tarrow-Venn/Tarr_Venn_survey.txt and track_profile.txt,
// and root/routes/landmarks.txt; false after a line on stderr.
bool WriteDemoRoute(const std::string& root);

// root/world/architype.drovik: a text world in the survey's coordinates, converted by the engine
// with its BSP trees stored and the points lit by its sun when the 3D card starts (else unlit,
// after a line on stderr). Needs root/world/bitmaps; false after a line on stderr.
bool WriteDemoWorld(const std::string& root);
