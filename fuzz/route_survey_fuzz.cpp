// libFuzzer target: the route's landmarks, survey and track profile files from one input (the
// three texts apart by NUL bytes); an accepted route has as many segments as the survey allows.
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "route/route.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_quiet_boxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string_view parts[3];
    for (int n = 0; n < 2; ++n) {
        const size_t end = rest.find('\0');
        parts[n] = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    parts[2] = rest;
    fuzz_input_file("route/routes/landmarks.txt", parts[0]);
    fuzz_input_file("route/routes/Tarrow-Venn/Tarr_Venn_survey.txt", parts[1]);
    fuzz_input_file("route/routes/Tarrow-Venn/track_profile.txt", parts[2]);
    Drovik3D::TRouteState& route = Drovik3D::Route();
    route = Drovik3D::TRouteState{};
    route.worldObjects = false;
    std::string error;
    const bool loaded = Drovik3D::LoadRouteSurvey((fuzz_folder() / "route").string(), &error);
    if (loaded != error.empty())
        std::abort();  // a route with an error, or a refusal without one
    if (route.landmarks.size() > static_cast<size_t>(Drovik3D::kMaxLandmarks))
        std::abort();
    if (loaded && (route.segments.size() + 1 < static_cast<size_t>(Drovik3D::kMinSurveyPoints) ||
                   route.segments.size() > static_cast<size_t>(Drovik3D::kMaxSegments)))
        std::abort();
    return 0;
}
