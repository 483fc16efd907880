// A recording stand-in for the engine: every call and its arguments in order, scripted handles,
// bounding boxes and results.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/numbers.h"
#include "route/engine3d.h"

class TRecordingEngine3D : public TEngine3D {
public:
    std::vector<std::string> calls;
    std::map<std::string, int> objects;      // world objects by name; a handle is the entry's address
    std::map<std::string, double> bottoms;   // an object's bounding-box minimum z above its location
    int loadResult = 0;
    int hardware = 1;
    double intensity = 0.0;

    std::string NameOf(DROVIK_HANDLE h) const
    {
        for (const auto& [name, value] : objects) {
            if (&value == h)
                return name;
        }
        return h ? "camera" : "null";
    }
    DROVIK_HANDLE Camera() { return &camera_; }
    // The calls whose text starts with `prefix`.
    std::vector<std::string> CallsOf(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& c : calls) {
            if (c.rfind(prefix, 0) == 0)
                out.push_back(c);
        }
        return out;
    }

    int LoadWorld(const std::string& world, const std::string& bitmaps) override
    {
        Record("LoadWorld(" + world + ", " + bitmaps + ")");
        return loadResult;
    }
    void HideLogWindow() override { Record("HideLogWindow()"); }
    void SetFarObjectsColorAccuracy(int a) override { Record(plat_format("SetFarObjectsColorAccuracy(%d)", a)); }
    void SetPerspectiveCorrectionAccuracy(double a) override
    {
        Record(plat_format("SetPerspectiveCorrectionAccuracy(%g)", a));
    }
    void UseZBuffer(int on) override { Record(plat_format("UseZBuffer(%d)", on)); }
    void SetAtmosphericEffectIntensity(double i) override
    {
        intensity = i;
        Record(plat_format("SetAtmosphericEffectIntensity(%g)", i));
    }
    double GetAtmosphericEffectIntensity() override { return intensity; }
    void ShowFramesPerSecondRate(int on) override { Record(plat_format("ShowFramesPerSecondRate(%d)", on)); }
    void SetWireFrameRenderingMode() override { Record("SetWireFrameRenderingMode()"); }
    void SetNormalRenderingMode() override { Record("SetNormalRenderingMode()"); }
    void SetColorDepth(int bits) override { Record(plat_format("SetColorDepth(%d)", bits)); }
    int CheckHardwareSupport() override
    {
        Record("CheckHardwareSupport()");
        return hardware;
    }
    void Use3DCardDetailed(int a, int b, int c, int d, int e, int f) override
    {
        Record(plat_format("Use3DCardDetailed(%d, %d, %d, %d, %d, %d)", a, b, c, d, e, f));
    }
    void Use3DCard(int on) override { Record(plat_format("Use3DCard(%d)", on)); }
    void SetPictureQuality(int pixels) override { Record(plat_format("SetPictureQuality(%d)", pixels)); }
    int Render(plat_window*, DROVIK_HANDLE camera) override
    {
        Record("Render(" + NameOf(camera) + ")");
        return 0;
    }
    void Close() override { Record("Close()"); }
    DROVIK_HANDLE GetObjectUsingName(const std::string& name) override
    {
        Record("GetObjectUsingName(" + name + ")");
        auto it = objects.find(name);
        return it == objects.end() ? nullptr : &it->second;
    }
    void SetObjectLocation(DROVIK_HANDLE o, double x, double y, double z) override
    {
        Record(plat_format("SetObjectLocation(%s, %g, %g, %g)", NameOf(o).c_str(), x, y, z));
        locations[NameOf(o)] = {x, y, z};
    }
    void GetObjectBoundingBox(DROVIK_HANDLE o, double box[2][3]) override
    {
        const std::string name = NameOf(o);
        const std::vector<double>& at = locations[name];
        const double bottom = bottoms.count(name) ? bottoms[name] : 0.0;
        for (int i = 0; i < 3; ++i) {
            box[0][i] = at.size() == 3 ? at[static_cast<size_t>(i)] - 10 : 0;
            box[1][i] = at.size() == 3 ? at[static_cast<size_t>(i)] + 10 : 0;
        }
        box[0][2] = (at.size() == 3 ? at[2] : 0) + bottom;
        Record("GetObjectBoundingBox(" + name + ")");
    }
    void RotateObjectZ(DROVIK_HANDLE o, double degrees) override
    {
        Record(plat_format("RotateObjectZ(%s, %g)", NameOf(o).c_str(), degrees));
    }
    DROVIK_HANDLE GetDefaultCamera() override
    {
        Record("GetDefaultCamera()");
        return &camera_;
    }
    void SetCameraZoom(DROVIK_HANDLE c, double d) override
    {
        Record(plat_format("SetCameraZoom(%s, %g)", NameOf(c).c_str(), d));
    }
    void SetCameraLocation(DROVIK_HANDLE c, double x, double y, double z) override
    {
        Record(plat_format("SetCameraLocation(%s, %g, %g, %g)", NameOf(c).c_str(), x, y, z));
    }
    void SetCameraTilt(DROVIK_HANDLE c, double d) override
    {
        Record(plat_format("SetCameraTilt(%s, %g)", NameOf(c).c_str(), d));
    }
    void SetCameraHeadAngle(DROVIK_HANDLE c, double d) override
    {
        Record(plat_format("SetCameraHeadAngle(%s, %.2f)", NameOf(c).c_str(), d));
    }

private:
    void Record(const std::string& call) { calls.push_back(call); }
    int camera_ = 0;
    std::map<std::string, std::vector<double>> locations;
};
