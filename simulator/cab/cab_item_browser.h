// The cab item browser: lists the ".cit" files, previews one and inserts it into the cab.
#pragma once
#include <QDialog>

#include <array>
#include <string>

#include "cab/cab_item_editors.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TCITbrowse : public QDialog {
    Q_OBJECT
public:
    explicit TCITbrowse(QWidget* parent = nullptr);

    // Lists root "\cab items\" "*.cit".
    void FormShow();
    // Reads the file of the list's row into its type's preview and names it.
    void FileListBox1Click(int row);
    // Writes the previewed item's key into the model's INI file and loads it onto the cab.
    void InsertCabItem();
    // "New": closes the browser to open the last clicked type's dialog for a new item.
    void new_buttonClick();

    // The type of the file last clicked, and whether "New" closed the browser.
    TCabItemType Type() const { return type_; }
    bool NewChosen() const { return newChosen_; }
    QWidget* Preview(TCabItemType type) const { return previews_[type]; }

    QLineEdit* loco_te;
    QLineEdit* model_te;
    QLabel* count_label;
    QLabel* type_label;
    QListWidget* FileListBox1;
    QLabel* Panel1;
    QPushButton* OK_button;
    QPushButton* cancel_button;
    QPushButton* new_button;

private:
    // Puts the control read for a type in place of its preview, centred and shown.
    void ShowPreview(TCabItemType type, QWidget* control);

    std::array<QWidget*, 5> previews_{};
    TCabItemType type_ = citLever;
    bool newChosen_ = false;
};

// "Cab Items" / "Insert . . .": the browser, then the insert or the new item's dialog.
void ShowCabItemBrowser();
