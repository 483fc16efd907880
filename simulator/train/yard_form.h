// Unit YardForm: the rail yard where a train is made up from traction units and cars.
#pragma once
#include "train/vehicle.h"

#include <QDialog>
#include <QImage>

#include <map>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

// Texts shown by the yard.
inline constexpr const char* YardCarRefusedText = "Cannot place a \"Car\" vehicle here.";
inline constexpr const char* YardCaption = "Marshall your train . . .";

// The vehicle being placed and its model facts.
struct TYardVehicle {
    TVehicleRec rec;
    std::string picturePath;          // "" until a chosen model's picture file exists
    std::string tractionType = "ELE"; // text of the traction type
    int tractionCode = 1;             // ELE 1, SUB 5, DEL 0, HST 6, DMU 2, EMU 3, STE 4
};

// The train name of a train file: its file name without the last four characters (".trn").
std::string TrainNameOfPath(const std::string& path);

// The traction type number for a type text; previous when the text is not a known code.
int TractionTypeCode(const std::string& text, int previous);

// Model paths under the root: folder "\traction\" or "\rolling stock\", name, "\", name.
std::string TractionBase(const std::string& root, const std::string& name);
std::string CarBase(const std::string& root, const std::string& name);

// A model folder name fits a vehicle record when it has at most 16 characters.
bool ModelNameFits(const std::string& name);
// Why a model whose folder name does not fit is refused.
std::string ModelNameTooLongText(const std::string& name);

// Reads a traction model's INI into the current vehicle and memo (only when the file exists:
// false and nothing changed otherwise). A value that is not a number, or a name that does not
// fit the record, sets error and leaves the vehicle as it was.
bool ReadTractionInfo(const std::string& iniPath, const std::string& name, TYardVehicle& current,
                      std::vector<std::string>& memo, std::string* error);
bool ReadCarInfo(const std::string& iniPath, const std::string& name, TYardVehicle& current,
                 std::vector<std::string>& memo, std::string* error);

enum class TPlaceResult { Ignored, Refused, Placed };
// A grid click at position p: refuses a car at position 0 (refusal text in message), places
// the current vehicle when it has a picture and p is at most the vehicle count. In every case
// the traction type code is then taken from the traction type text.
TPlaceResult PlaceVehicleAt(TConsist& consist, TYardVehicle& current, int p, std::string* message);

class TYardGrid;

class TYardForm1 : public QDialog {
    Q_OBJECT
public:
    // Works on a copy of consist; EditedConsist() holds the edited train.
    TYardForm1(const std::string& root, const TConsist& consist, QWidget* parent = nullptr);

    const TConsist& EditedConsist() const { return consist_; }
    const TYardVehicle& Current() const { return current_; }
    // The train file named in the window and the name typed for it.
    const std::string& TrainPath() const { return trainPath_; }
    const std::string& TrainName() const { return trainName_; }
    bool SaveChecked() const;
    // OK saves the train whatever the check box says.
    void SaveOnOk() { saveOnOk_ = true; }
    // OK: a train to be saved needs a name; without one the window stays open and says so.
    void OkClick();

    // What the form's handlers do, callable from tests.
    void FormShow();
    void FormActivate();
    void ChooseTraction(const QString& name);
    void ChooseCar(const QString& name);
    void Edit1Change(const QString& text);
    void DrawGrid1MouseDown(int col, int row, bool alt);
    void ShowVehicleInfo(int p);
    // The picture path a grid cell shows ("" for none).
    std::string CellPicturePath(int n) const;

    QComboBox* TractionBox;
    QComboBox* CarBox;
    QPlainTextEdit* Memo1;
    QLabel* Image1;
    QLineEdit* Edit1;
    QScrollArea* DrawGrid1;
    QLabel* Label3;
    QLabel* tonLabel;
    QLabel* lengthLabel;
    QLabel* tractiveLabel;
    QLabel* countLabel;
    QLabel* indexLabel;
    QCheckBox* SaveTrainCheckBox;
    QPushButton* OkButton;
    QPushButton* CancelButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend class TYardGrid;
    std::string root_;
    bool saveOnOk_ = false;
    TConsist consist_;
    TYardVehicle current_;
    std::string trainPath_;
    std::string trainName_;
    TYardGrid* grid_;
    mutable std::map<std::string, QImage> pictures_;

    std::string RootPath(const std::string& tail) const;
    const QImage& Picture(const std::string& path) const;
    void ShowMemo(const std::vector<std::string>& lines);
    void ShowPicture(const std::string& path);
    void ShowError(const std::string& error);
    bool RefuseLongName(QComboBox* box, const QString& name);
    // Reads the model chosen in box (a traction unit or a car) and shows its memo and picture.
    void ChooseModel(QComboBox* box, const QString& name, bool traction);
};

enum class TBuildResult { Cancelled, Saved, Loaded };
// When OK saves the edited train: only with "Save Train to file" ticked (Edit / "Train
// Consist . . .") or always ("Add Train . . .").
enum class TYardSave { WhenChecked, Always };

// Shows the yard over Consist. On OK with a save (see TYardSave) the edited train is saved
// (the caller refreshes its train list) and becomes Consist; on OK without one the train
// file named in the yard replaces Consist. Either way the train path and name of SimState
// follow. Cancel changes nothing. root "" is SimState's root, or the working folder when that
// is empty too. Takes SimLock only around the shared state.
TBuildResult BuildTrain(QWidget* parent, const std::string& root = "",
                        TYardSave when = TYardSave::WhenChecked);
