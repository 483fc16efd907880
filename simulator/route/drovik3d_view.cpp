// Unit Drovik3D's side of the main window: the world load and its rendering options, the 3D
// panel's host window, and the route hooks of the start sequence and the tick.
#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <cstring>
#include <mutex>

#include "app/main_window.h"
#include "app/qt_message_box.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "platform/window.h"
#include "route/engine3d.h"
#include "route/route.h"
#include "train/physics.h"

namespace {

plat_window* panelWindow = nullptr;

// Runs on the rendering thread: the frame is copied and shown by the GUI thread, unless the
// simulation has stopped by then.
void PanelFrame(void* user, const uint16_t* pixels, int width, int height, int pitch)
{
    auto* panel = static_cast<QLabel*>(user);
    QImage image(width, height, QImage::Format_RGB16);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch),
                    static_cast<size_t>(width) * sizeof(uint16_t));
    QMetaObject::invokeMethod(
        panel,
        [panel, image] {
            if (VaruRor && VaruRor->HiResTimer1.Enabled())
                panel->setPixmap(QPixmap::fromImage(image));
        },
        Qt::QueuedConnection);
}

// Keeps the host window the panel's size.
class TPanelSizeFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && panelWindow) {
            const auto* panel = static_cast<QWidget*>(watched);
            plat_window_set_client_size(panelWindow, panel->width(), panel->height());
        }
        return false;
    }
};

void MakePanelWindow(QWidget* panel)
{
    if (panelWindow || !panel)
        return;
    panelWindow = plat_window_create_host(panel->width(), panel->height(), PanelFrame, panel);
    panel->installEventFilter(new TPanelSizeFilter(panel));
    // The timer has stopped before the main window's panel goes.
    QObject::connect(panel, &QObject::destroyed, [] {
        plat_window_destroy(panelWindow);
        panelWindow = nullptr;
    });
}

}  // namespace

void LoadWorld3D(QWidget* panel)
{
    SimState.worldLoaded = false;
    Physics.reverseRequest = false;
    TEngine3D& e = Engine3D();
    SimState.engineStarted = true;
    const std::string root = SimState.paths.root;
    Drovik3D::Route().worldObjects = e.LoadWorld(root + "\\world\\architype.drovik", root + "\\world\\bitmaps\\") == 0;
    if (!Drovik3D::Route().worldObjects) {
        ShowMessage("Failed to load, aborting 3D world.\r\nLook at error.log to see why");
        SimState.view3D = false;
        SimState.card3D = false;
        return;
    }
    e.HideLogWindow();
    e.SetFarObjectsColorAccuracy(16);
    e.SetPerspectiveCorrectionAccuracy(100.0);
    e.UseZBuffer(1);
    e.SetAtmosphericEffectIntensity(0.07);
    e.ShowFramesPerSecondRate(0);
    if (SimState.wireFrame)
        e.SetWireFrameRenderingMode();
    else
        e.SetNormalRenderingMode();
    e.SetColorDepth(16);
    if (e.CheckHardwareSupport() && SimState.card3D) {
        e.Use3DCardDetailed(2, 0, 0, 0, 0, 0);
    } else {
        e.Use3DCard(0);
        SimState.card3D = false;
        ShowMessage("Please use a 3D graphics device.\r\n(The game will run better and faster.)");
    }
    e.HideLogWindow();
    SimState.camera = e.GetDefaultCamera();
    SimState.cameraZoom = 70.0;
    e.SetCameraZoom(SimState.camera, SimState.cameraZoom);
    const int width = panel ? panel->width() : 0;
    const int height = panel ? panel->height() : 0;
    e.SetPictureQuality(width * height);
    MakePanelWindow(panel);
}

bool LoadRouteSurvey()
{
    std::string error;
    if (Drovik3D::LoadRouteSurvey(SimState.paths.root, &error))
        return true;
    ShowMessage(error);
    return false;
}

bool PlaceTrainAndScenery(int start)
{
    if (!Drovik3D::PlaceTrainAndScenery(start, SimState.view3D, SimState.camera)) {
        ShowMessage("There is no track segment " + std::to_string(start) + ": choose one from 3 to " +
                    std::to_string(SegmentCount() - 3) + ".");
        return false;
    }
    SimState.worldLoaded = true;
    return true;
}

void JumpToSegment(int n)
{
    Drovik3D::JumpToSegment(n);
}

int SegmentCount()
{
    return Drovik3D::Route().current.count;
}

int CurrentSegment()
{
    std::lock_guard guard(SimLock);
    return SimState.worldLoaded ? Drovik3D::Route().current.segment.index : SimState.startSegment;
}

void FollowTrack()
{
    if (!SimState.worldLoaded)
        return;
    Drovik3D::FollowTrack(Physics.stepDistance, Physics.reverseRequest);
    Physics.reverseRequest = false;
}

void PlaceCamera()
{
    if (SimState.worldLoaded && SimState.camera)
        Drovik3D::PlaceCamera(SimState.camera);
}

TTrackReadout TrackReadout()
{
    if (!SimState.worldLoaded)
        return {};
    const Drovik3D::TTrackSegment& s = Drovik3D::Route().current.segment;
    return {s.routeKm, s.start.x, s.start.y, s.spots[0].heading};
}

void RenderThreeDPanel()
{
    if (SimState.worldLoaded && panelWindow)
        Engine3D().Render(panelWindow, SimState.camera);
}

void SetCameraZoom()
{
    Engine3D().SetCameraZoom(SimState.camera, SimState.cameraZoom);
}

void Switch3DCardOff()
{
    if (SimState.engineStarted)
        Engine3D().Use3DCard(0);
}

void CloseEngine()
{
    if (!SimState.engineStarted)
        return;
    Engine3D().Close();
    SimState.engineStarted = false;
}
