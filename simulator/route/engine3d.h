// The engine calls of the 3D view, behind one interface so tests can record them.
#pragma once
#include <string>

#include "drovik.h"

struct plat_window;

class TEngine3D {
public:
    virtual ~TEngine3D() = default;

    // World and rendering options.
    virtual int LoadWorld(const std::string& worldFile, const std::string& bitmapsFolder) = 0;
    virtual void HideLogWindow() = 0;
    virtual void SetFarObjectsColorAccuracy(int accuracy) = 0;
    virtual void SetPerspectiveCorrectionAccuracy(double accuracy) = 0;
    virtual void UseZBuffer(int on) = 0;
    virtual void SetAtmosphericEffectIntensity(double intensity) = 0;
    virtual double GetAtmosphericEffectIntensity() = 0;
    virtual void ShowFramesPerSecondRate(int on) = 0;
    virtual void SetWireFrameRenderingMode() = 0;
    virtual void SetNormalRenderingMode() = 0;
    virtual void SetColorDepth(int bits) = 0;
    virtual int CheckHardwareSupport() = 0;
    virtual void Use3DCardDetailed(int a, int b, int c, int d, int e, int f) = 0;
    virtual void Use3DCard(int on) = 0;
    virtual void SetPictureQuality(int pixels) = 0;
    virtual int Render(plat_window* window, DROVIK_HANDLE camera) = 0;
    virtual void Close() = 0;

    // Objects.
    virtual DROVIK_HANDLE GetObjectUsingName(const std::string& name) = 0;
    virtual void SetObjectLocation(DROVIK_HANDLE object, double x, double y, double z) = 0;
    // Two corners, the minimum first.
    virtual void GetObjectBoundingBox(DROVIK_HANDLE object, double box[2][3]) = 0;
    virtual void RotateObjectZ(DROVIK_HANDLE object, double degrees) = 0;

    // The camera.
    virtual DROVIK_HANDLE GetDefaultCamera() = 0;
    virtual void SetCameraZoom(DROVIK_HANDLE camera, double degrees) = 0;
    virtual void SetCameraLocation(DROVIK_HANDLE camera, double x, double y, double z) = 0;
    virtual void SetCameraTilt(DROVIK_HANDLE camera, double degrees) = 0;
    virtual void SetCameraHeadAngle(DROVIK_HANDLE camera, double degrees) = 0;
};

// The engine the 3D view calls; tests put a recording one in its place, nullptr puts the
// library's back.
TEngine3D& Engine3D();
void SetEngine3D(TEngine3D* engine);
