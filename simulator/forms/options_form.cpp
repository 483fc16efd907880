// The "Simulator Options" window: rendering, fog, the 3D window, sound, weather, rails, 3D updates
// and the 3D card.
#include "forms/options_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <mutex>

#include "app/hires_timer.h"
#include "app/ini_file.h"
#include "app/integer_text.h"
#include "app/main_window.h"
#include "app/qt_message_box.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "app/sound_fx.h"
#include "cab/cab_picture.h"
#include "platform/numbers.h"
#include "route/engine3d.h"
#include "train/physics.h"

namespace {

QCheckBox* Check(QWidget* parent, const char* name, const char* caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QLineEdit* Edit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QButtonGroup* Radios(QGroupBox* box, const char* name, std::initializer_list<const char*> captions)
{
    auto* group = new QButtonGroup(box);
    group->setObjectName(name);
    auto* layout = new QVBoxLayout(box);
    int id = 0;
    for (const char* caption : captions) {
        auto* button = new QRadioButton(caption, box);
        group->addButton(button, id++);
        layout->addWidget(button);
    }
    return group;
}

// The edit's whole number within [low, high]; false with a message naming the field and range.
bool EditInt(const QLineEdit* edit, const char* name, int low, int high, int* out, std::string* why)
{
    std::string error;
    if (low <= high && IntegerText(edit->text().toLatin1().toStdString(), low, high, out, &error))
        return true;
    *why = std::string(name) + " must be a whole number from " + std::to_string(low) + " to " +
           std::to_string(high) + ": the 3D window stays inside the cab window.";
    return false;
}

// The integer of a position edit that passed its check.
int EditValue(const QLineEdit* edit)
{
    int value = 0;
    std::string error;
    IntegerText(edit->text().toLatin1().toStdString(), INT32_MIN, INT32_MAX, &value, &error);
    return value;
}

// The cab window's picture, which holds the 3D window.
QSize CabArea()
{
    return VaruRor ? VaruRor->cab_bkgd->size() : QSize(kMaxCabSide, kMaxCabSide);
}

// The card's driver dialog is modal: the tick must neither wait for SimLock meanwhile nor draw
// while the engine switches, so the simulation pauses around it.
void SwitchCardOn()
{
    const bool ticking = VaruRor && VaruRor->HiResTimer1.Enabled();
    if (ticking)
        VaruRor->HiResTimer1.SetEnabled(false);
    Engine3D().Use3DCardDetailed(2, 0, 0, 0, 0, 0);
    Engine3D().HideLogWindow();
    if (!ticking)
        return;
    try {
        VaruRor->HiResTimer1.SetEnabled(true);
    } catch (const EHiResTimer& e) {
        ShowMessage(e.what());
    }
}

bool EngineLive(bool running)
{
    return running && SimState.worldLoaded;
}

}  // namespace

TOptionsForm::TOptionsForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("OptionsForm");
    setWindowTitle("Simulator Options");
    auto* layout = new QVBoxLayout(this);
    auto* graphics = new QGroupBox("Graphics", this);
    auto* graphicsLayout = new QVBoxLayout(graphics);
    wireframecheck = Check(graphics, "wireframecheck", "Wireframe rendering (faster)");
    fogCheckBox = Check(graphics, "fogCheckBox", "Fog (low visiblity)");
    graphicsLayout->addWidget(wireframecheck);
    graphicsLayout->addWidget(fogCheckBox);
    auto* position = new QGroupBox("3D Window position", graphics);
    auto* positionLayout = new QFormLayout(position);
    top_te = Edit(position, "top_te");
    left_te = Edit(position, "left_te");
    width_te = Edit(position, "width_te");
    height_te = Edit(position, "height_te");
    positionLayout->addRow("Top", top_te);
    positionLayout->addRow("Left", left_te);
    positionLayout->addRow("Width", width_te);
    positionLayout->addRow("Height", height_te);
    graphicsLayout->addWidget(position);
    threeD_active_ChkBox = Check(graphics, "threeD_active_ChkBox", "Update 3D window");
    accel3D_ChkBox = Check(graphics, "accel3D_ChkBox", "Use 3D acceleration card");
    graphicsLayout->addWidget(threeD_active_ChkBox);
    graphicsLayout->addWidget(accel3D_ChkBox);
    layout->addWidget(graphics);

    auto* sound = new QGroupBox("Sound", this);
    soundcheck = Check(sound, "soundcheck", "Enabled Sound Effects");
    (new QVBoxLayout(sound))->addWidget(soundcheck);
    layout->addWidget(sound);
    auto* rain = new QGroupBox("Precipitation", this);
    rainGroup = Radios(rain, "rainGroup", {"Dry", "Wet"});
    layout->addWidget(rain);
    auto* rails = new QGroupBox("Rail Condition (adhesion)", this);
    RailTypeGroup = Radios(rails, "RailTypeGroup", {"Clean", "Dirty", "Poor"});
    layout->addWidget(rails);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TOptionsForm::FillOptionsForm(bool running)
{
    std::lock_guard guard(SimLock);
    wireframecheck->setChecked(SimState.wireFrame);
    if (VaruRor) {
        const QRect panel = VaruRor->ThreeDPanel->geometry();
        top_te->setText(QString::number(panel.top()));
        left_te->setText(QString::number(panel.left()));
        height_te->setText(QString::number(panel.height()));
        width_te->setText(QString::number(panel.width()));
    }
    soundcheck->setChecked(SimState.soundOn);
    rainGroup->button(SimState.wet ? 1 : 0)->setChecked(true);
    if (QAbstractButton* rail = RailTypeGroup->button(Physics.cleanliness))
        rail->setChecked(true);
    fogCheckBox->setChecked(EngineLive(running) && Engine3D().GetAtmosphericEffectIntensity() > 0.25);
    threeD_active_ChkBox->setChecked(SimState.view3D);
    accel3D_ChkBox->setChecked(SimState.card3D);
}

QLineEdit* TOptionsForm::BadPosition(std::string* why) const
{
    const QSize cab = CabArea();
    int top = 0, left = 0, width = 0, height = 0;
    if (!EditInt(top_te, "Top", 0, cab.height() - 1, &top, why))
        return top_te;
    if (!EditInt(left_te, "Left", 0, cab.width() - 1, &left, why))
        return left_te;
    if (!EditInt(width_te, "Width", 1, cab.width() - left, &width, why))
        return width_te;
    if (!EditInt(height_te, "Height", 1, cab.height() - top, &height, why))
        return height_te;
    return nullptr;
}

void TOptionsForm::accept()
{
    std::string why;
    QLineEdit* bad = BadPosition(&why);
    if (!bad) {
        QDialog::accept();
        return;
    }
    ShowMessage(why);
    bad->setFocus();
    bad->selectAll();
}

bool TOptionsForm::ApplyOptions(const std::string& tractionIni, bool running, std::string* error)
{
    if (BadPosition(error))
        return false;
    if (ApplyUnderLock(tractionIni, running))
        SwitchCardOn();
    return true;
}

bool TOptionsForm::ApplyUnderLock(const std::string& tractionIni, bool running)
{
    std::lock_guard guard(SimLock);
    SimState.wireFrame = wireframecheck->isChecked();
    if (EngineLive(running)) {
        if (SimState.wireFrame)
            Engine3D().SetWireFrameRenderingMode();
        else
            Engine3D().SetNormalRenderingMode();
        Engine3D().SetAtmosphericEffectIntensity(fogCheckBox->isChecked() ? 0.5 : 0.07);
    }

    const int top = EditValue(top_te);
    const int left = EditValue(left_te);
    const int height = EditValue(height_te);
    const int width = EditValue(width_te);
    if (VaruRor) {
        VaruRor->ThreeDPanel->setGeometry(left, top, width, height);
        VaruRor->InfoBoxLabel1->setGeometry(left + width + 20, top, 120, height);
    }
    if (!tractionIni.empty()) {
        TIniFile ini(tractionIni);
        ini.WriteInteger("cab layout", "3d_top", top);
        ini.WriteInteger("cab layout", "3d_left", left);
        ini.WriteInteger("cab layout", "3d_height", height);
        ini.WriteInteger("cab layout", "3d_width", width);
    }

    SimState.soundOn = soundcheck->isChecked();
    if (SimState.soundOn)
        SoundRestart();
    else
        SoundStopAll();
    SimState.wet = rainGroup->checkedId() == 1;
    if (RailTypeGroup->checkedId() >= 0)
        Physics.cleanliness = RailTypeGroup->checkedId();
    SimState.view3D = threeD_active_ChkBox->isChecked();
    SimState.card3D = accel3D_ChkBox->isChecked();
    return SimState.card3D && EngineLive(running);
}

void ShowOptionsForm()
{
    if (!VaruRor)
        return;
    const bool running = VaruRor->HiResTimer1.Enabled();
    TOptionsForm form(VaruRor);
    form.FillOptionsForm(running);
    if (form.exec() != QDialog::Accepted)
        return;
    std::string base;
    {
        std::lock_guard guard(SimLock);
        base = SimState.paths.traction;
    }
    std::string error;
    // Without a traction model there is no INI file to keep the panel's bounds.
    if (!form.ApplyOptions(base.empty() ? "" : base + ".ini", running, &error))
        ShowMessage(error);
}
