// The engine the 3D view calls: libdrovik's interface, or a stand-in a test puts in its place.
#include "route/engine3d.h"

namespace {

class TDrovikEngine3D : public TEngine3D {
public:
    int LoadWorld(const std::string& world, const std::string& bitmaps) override
    {
        return Drovik_engine_load_world(world.c_str(), world.c_str(), bitmaps.c_str(), 0);
    }
    void HideLogWindow() override { Drovik_engine_hide_log_window(); }
    void SetFarObjectsColorAccuracy(int a) override { Drovik_engine_set_far_objects_color_accuracy(a); }
    void SetPerspectiveCorrectionAccuracy(double a) override { Drovik_engine_set_perspective_correction_accuracy(a); }
    void UseZBuffer(int on) override { Drovik_engine_use_zbuffer(on); }
    void SetAtmosphericEffectIntensity(double i) override { Drovik_engine_set_atmospheric_effect_intensity(i); }
    double GetAtmosphericEffectIntensity() override { return Drovik_engine_get_atmospheric_effect_intensity(); }
    void ShowFramesPerSecondRate(int on) override { Drovik_engine_show_frames_per_second_rate(on); }
    void SetWireFrameRenderingMode() override { Drovik_engine_set_wire_frame_rendering_mode(); }
    void SetNormalRenderingMode() override { Drovik_engine_set_normal_rendering_mode(); }
    void SetColorDepth(int bits) override { Drovik_engine_set_color_depth(bits); }
    int CheckHardwareSupport() override { return Drovik_3D_card_check_hardware_support(); }
    void Use3DCardDetailed(int a, int b, int c, int d, int e, int f) override
    {
        Drovik_3D_card_use_detailed(a, b, c, d, e, f);
    }
    void Use3DCard(int on) override { Drovik_3D_card_use(on); }
    void SetPictureQuality(int pixels) override { Drovik_engine_set_picture_quality(pixels); }
    int Render(plat_window* window, DROVIK_HANDLE camera) override { return Drovik_engine_render(window, camera); }
    void Close() override { Drovik_engine_close(); }
    DROVIK_HANDLE GetObjectUsingName(const std::string& name) override
    {
        return Drovik_object_get_object_using_name(name.c_str());
    }
    void SetObjectLocation(DROVIK_HANDLE o, double x, double y, double z) override
    {
        Drovik_object_set_location(o, x, y, z);
    }
    void GetObjectBoundingBox(DROVIK_HANDLE o, double box[2][3]) override { Drovik_object_get_bounding_box(o, box); }
    void RotateObjectZ(DROVIK_HANDLE o, double degrees) override { Drovik_object_rotate_z(o, degrees, 0); }
    DROVIK_HANDLE GetDefaultCamera() override { return Drovik_camera_get_default_camera(); }
    void SetCameraZoom(DROVIK_HANDLE c, double degrees) override { Drovik_camera_set_zoom(c, degrees); }
    void SetCameraLocation(DROVIK_HANDLE c, double x, double y, double z) override
    {
        Drovik_camera_set_location(c, x, y, z);
    }
    void SetCameraTilt(DROVIK_HANDLE c, double degrees) override { Drovik_camera_set_tilt(c, degrees); }
    void SetCameraHeadAngle(DROVIK_HANDLE c, double degrees) override { Drovik_camera_set_head_angle(c, degrees); }
};

TDrovikEngine3D binding;
TEngine3D* engine = &binding;

}  // namespace

TEngine3D& Engine3D()
{
    return *engine;
}

void SetEngine3D(TEngine3D* e)
{
    engine = e ? e : &binding;
}
