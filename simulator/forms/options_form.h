// The "Simulator Options" window: rendering, fog, the 3D window, sound, weather, rails, 3D updates
// and the 3D card.
#pragma once
#include <QDialog>
#include <string>

class QButtonGroup;
class QCheckBox;
class QLineEdit;

class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsForm(QWidget* parent = nullptr);

    // Fills the controls from the options, the 3D panel and, while the simulation runs, the engine.
    void FillOptionsForm(bool running);
    // The first position field that would put the 3D window outside the cab window, with why;
    // null when all fit.
    QLineEdit* BadPosition(std::string* why) const;
    // OK with a bad position says why and keeps the window open as it is.
    void accept() override;
    // Applies the controls in order; the panel bounds go to the traction INI file ("" for none). A
    // bad position is refused with its message before anything is applied. The 3D card is
    // switched on with SimLock free and the simulation paused, as its driver dialog may show.
    bool ApplyOptions(const std::string& tractionIni, bool running, std::string* error);

    QCheckBox* wireframecheck;
    QCheckBox* fogCheckBox;
    QLineEdit* top_te;
    QLineEdit* left_te;
    QLineEdit* width_te;
    QLineEdit* height_te;
    QCheckBox* soundcheck;
    QButtonGroup* rainGroup;      // 0 dry, 1 wet
    QButtonGroup* RailTypeGroup;  // 0 clean, 1 dirty, 2 poor
    QCheckBox* threeD_active_ChkBox;
    QCheckBox* accel3D_ChkBox;

private:
    // Everything but the card's switch, under SimLock; answers whether the card is to go on.
    bool ApplyUnderLock(const std::string& tractionIni, bool running);
};
