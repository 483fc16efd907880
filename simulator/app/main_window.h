// The main cab window: cab picture, 3D panel, information box, menus, start/stop and close.
#pragma once
#include <QMainWindow>
#include <string>

#include "app/hires_timer.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;

class TVaruRor : public QMainWindow {
    Q_OBJECT
public:
    explicit TVaruRor(QWidget* parent = nullptr);
    ~TVaruRor() override;

    // Start-up after construction: first screen, drive mode, route debug file, sound.
    void FormCreate();

    void StartStopSim();
    void HiResTimer1Timer();
    // The once-a-second work the tick posts to the GUI thread. A second that falls due while
    // one is still in progress (a message box of its own is open) is dropped.
    void SecondTimerWork();
    // Writes the information box text (lines ended by "\r"); GUI thread only.
    void ShowInfoBox(const std::string& text);
    void Jumpto1Click();
    // Jumps to the segment typed in the "Jump to" dialog; false (with a message) when the
    // text is not a segment number between 3 and the last segment.
    bool JumpToSegmentText(const QString& text);
    void FormKeyPress(QChar key);
    void KestrovaneHelp1Click();

    // The caption: the traction model's name followed by suffix.
    void SetStatusCaption(const char* suffix);

    // Components, named as the cab layout and the cab items refer to them.
    QMenuBar* MainMenu1;
    QMenu* File1;
    QMenu* Edit1;
    QMenu* CIT_menu;
    QMenu* Enviroment1;
    QMenu* Help1;
    QAction* NewSituation2;
    QAction* LoadSituation1;
    QAction* SaveSituation1;
    QAction* Open1;  // "Start Sim" / "Stop Sim"
    QAction* N1;
    QAction* Quit1;
    QAction* SelectTrain1;
    QAction* LocoPhysics1;
    QAction* CabLayout1;
    QAction* Insert1;
    QAction* Edit_menu;
    QAction* Jumpto1;
    QAction* Options1;
    QAction* KestrovaneHelp1;
    QAction* About1;
    QLabel* cab_bkgd;       // the cab picture, whole client area
    QLabel* ThreeDPanel;    // the engine renders the 3D view into it
    QLabel* InfoBoxLabel1;  // the information box
    QPlainTextEdit* InfoMemo;
    QPushButton* Button1;  // "test lights", editor mode only
    QPushButton* Button3;  // "Timetable"
    THiResTimer HiResTimer1;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateMenus();
    void FormClose();
    void SaveSituation1Click();
    void LoadSituation1Click();
    void NewSituation2Click();
    void SelectTrain1Click();
    void About1Click();

    bool closed_ = false;
    bool secondWorkBusy_ = false;
};

// "Start Sim" with a train of no mass or no length: nothing starts.
inline constexpr const char* kEmptyConsistText =
    "The train has no vehicles to drive (its mass or length is 0).\r"
    "Choose a situation or make up a train with \"Train Consist . . .\" first.";

// The main window while it exists, for the units that work on it (caption, cab items).
extern TVaruRor* VaruRor;
