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
    // Applies the controls in order; the panel bounds go to the traction INI file ("" for none). A
    // position that is not an integer stops it with its message, leaving the options before it applied.
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
};
