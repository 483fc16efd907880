// Cab item property dialogs: create a lever, gauge, switch or light, fill its dialog, apply it.
#pragma once
#include <QDialog>
#include <QGroupBox>

#include <initializer_list>
#include <string>
#include <vector>

#include "cab/cab_controls.h"
#include "cab/gauge.h"
#include "cab/trackbar.h"

class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

// Radio positions and the values they stand for.
inline constexpr TGaugeKind kGaugeKindPositions[] = {gkHneedle,    gkVneedle,     gkHorizontalBar,
                                                     gkVerticalBar, gk270needle, gk180Rneedle,
                                                     gk180Lneedle, gk90needle};
inline constexpr TColor kNeedleColours[] = {0x000000, 0x0000FF, 0xFFFFFF};
inline constexpr TColor kNeedleBaseColours[] = {0x000080, 0x808080, 0x800000,
                                                0x0000FF, 0x000000, 0xFFFFFF};
inline constexpr TColor kLightColours[] = {0x00FFFF, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
inline constexpr TShapeType kLightShapes[] = {stCircle, stRectangle};
inline constexpr TvtbOrientation kOrientations[] = {vtbHorizontal, vtbVertical};

// A group of radio buttons with one checked, known by its position.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const char* caption, std::initializer_list<const char*> items, QWidget* parent);
    // -1 when none is checked.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QStringList Items() const;
    // Adds a button after the others; answers its position.
    int AddItem(const QString& caption);

private:
    std::vector<QRadioButton*> buttons_;
};

// A field whose text the item cannot take, and why, in words for the user.
struct TFieldProblem {
    QLineEdit* field = nullptr;
    std::string message;
};

// The fields every cab item dialog has: title, function name, size and position.
class TCabItemForm : public QDialog {
    Q_OBJECT
public:
    // The first field, in the dialog's order, that the item cannot take; none when all can.
    virtual TFieldProblem Check() const;
    // OK with a field the item cannot take says why and keeps the dialog open as it is.
    void accept() override;

    QLabel* editTitle;
    QLineEdit* modelName;
    QLineEdit* height;
    QLineEdit* width;
    QLineEdit* top;
    QLineEdit* left;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

protected:
    TCabItemForm(const char* caption, QWidget* parent);
    QLineEdit* AddField(const char* name, const char* label);
    TRadioGroup* AddGroup(const char* name, const char* caption,
                          std::initializer_list<const char*> items, int initial);
    // OK (accept) and Cancel (reject) at the foot of the dialog.
    void AddButtons(const char* okName, const char* cancelName);

private:
    QVBoxLayout* layout_;
    QFormLayout* fields_;
    QHBoxLayout* groupColumns_;
    QVBoxLayout* lastColumn_ = nullptr;
    int lastColumnRows_ = 0;
};

class TConEditForm : public TCabItemForm {
    Q_OBJECT
public:
    explicit TConEditForm(QWidget* parent = nullptr);
    TFieldProblem Check() const override;
    QLineEdit* thumbHeight;
    QLineEdit* thumbWidth;
    QLineEdit* minValue;
    QLineEdit* maxValue;
    QLineEdit* bitmap;
    TRadioGroup* RadioGroup1;  // "Orientation"
};

class TGaugeEditForm : public TCabItemForm {
    Q_OBJECT
public:
    explicit TGaugeEditForm(QWidget* parent = nullptr);
    TFieldProblem Check() const override;
    QLineEdit* minValue;
    QLineEdit* maxValue;
    QLineEdit* progress;
    QLineEdit* bitmap;
    TRadioGroup* RadioGroup1;   // "Gauge Kind"
    TRadioGroup* colourGroup1;  // "Needle colour"
    TRadioGroup* colourGroup2;  // "Needle base colour"
};

class TSwitchPushForm : public TCabItemForm {
    Q_OBJECT
public:
    explicit TSwitchPushForm(QWidget* parent = nullptr);
    QLineEdit* bitmap;
};

class TSwitchTogForm : public TCabItemForm {
    Q_OBJECT
public:
    explicit TSwitchTogForm(QWidget* parent = nullptr);
    TFieldProblem Check() const override;
    QLineEdit* bitmap;
    QLineEdit* groupid;
};

class TLightForm : public TCabItemForm {
    Q_OBJECT
public:
    explicit TLightForm(QWidget* parent = nullptr);
    TRadioGroup* RadioGroup1;      // "Colour"
    TRadioGroup* shapeRadioGroup;  // "Shape"
};

// Item n (1 .. kMaxCabItems) of each type: create puts a new hidden control in slot n; fill
// shows the item in its dialog (a value the dialog offers no choice for is shown as it is and
// kept); apply sets the item from the dialog in the order of the dialog's fields and saves it
// (".cit" file, `cab layout` key, image name when it changed). A field the item cannot take
// stops the apply before anything changes, with a message. Apply answers whether it got
// through.
TvexaTracker* CreateControlItem(int n);
void FillControlEdit(TConEditForm& form, int n);
bool ApplyControlEdit(const TConEditForm& form, int n);

TQuorrGauge* CreateGaugeItem(int n);
void FillGaugeEdit(TGaugeEditForm& form, int n);
bool ApplyGaugeEdit(const TGaugeEditForm& form, int n);

TBitBtn* CreateSwPushItem(int n);
void FillSwPushEdit(TSwitchPushForm& form, int n);
bool ApplySwPushEdit(const TSwitchPushForm& form, int n);

TSpeedButton* CreateSwTogItem(int n);
void FillSwTogEdit(TSwitchTogForm& form, int n);
bool ApplySwTogEdit(const TSwitchTogForm& form, int n);

TShape* CreateLightItem(int n);
void FillLightEdit(TLightForm& form, int n);
bool ApplyLightEdit(const TLightForm& form, int n);

// The dialog of item n shown modally; a new item is created first and, unless OK applies
// it, removed again. A new item beyond the tenth of its type is refused with a message.
void EditControlItem(int n, bool isNew);
void EditGaugeItem(int n, bool isNew);
void EditSwPushItem(int n, bool isNew);
void EditSwTogItem(int n, bool isNew);
void EditLightItem(int n, bool isNew);

// Cab item types in the browser's numbering.
enum TCabItemType : int { citLever = 0, citGauge, citToggle, citPush, citLight };
// The key word of a type ("control", "gauge", "swtogg", "swpush", "light").
const char* CabItemTypeWord(TCabItemType type);
// How many items of the type the cab holds.
int CabItemCount(TCabItemType type);
// The dialog of item n of a type.
void EditCabItem(TCabItemType type, int n, bool isNew);
