// Units SelectionForm and Selection2Form: the first screen and the new-situation window.
#pragma once
#include <QDialog>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Modal results, as the forms' buttons give them.
enum : int { mrCancel = 2, mrOK = 1, mrYes = 6, mrNo = 7 };

// The names of the regular files (or of the folders) in folder, found regardless of letter
// case, in a fixed order: without regard to case, then byte by byte. Hidden entries (a
// leading '.') are left out; a missing folder lists nothing.
std::vector<std::string> ListFiles(const std::string& folder);
std::vector<std::string> ListFolders(const std::string& folder);

// The first screen's window title, which window lists show (the screen has no frame).
inline constexpr const char* kSelFormTitle = "Kestrovane: Select Situation";

// The first screen: picture, situation choice, "Load" and "New".
class TSelForm : public QDialog {
    Q_OBJECT
public:
    explicit TSelForm(QWidget* parent = nullptr);

    // Root folder = working folder; lists the situations; loads the picture.
    void FormShow();
    // The situation path from the choice ("Previous Situation.txt" when nothing is chosen).
    void ComboBox1Exit();

    QLabel* Image1;
    QComboBox* ComboBox1;
    QPushButton* LoadButton;  // modal result mrYes, default
    QPushButton* NewButton;   // modal result mrNo, also Escape

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// "Select Route, Timetable & Train".
class TSel2Form : public QDialog {
    Q_OBJECT
public:
    explicit TSel2Form(QWidget* parent = nullptr);

    void FormShow();
    void RouteBoxChange();
    void WorkBoxChange();
    void TrainBoxChange();
    void FillTimetableList();
    void FillTrainList();
    void AddTrainClick();
    void SaveClick();

    QLabel* Image1;
    QComboBox* RouteBox;
    QComboBox* WorkBox;
    QComboBox* TrainBox;
    QLineEdit* Edit1;
    QPushButton* OkButton;
    QPushButton* AddTrainButton;
    QPushButton* SaveButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::string Root() const;
    std::string RouteName() const;
};
