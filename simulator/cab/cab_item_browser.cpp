// The cab item browser: lists the ".cit" files, previews one and inserts it into the cab.
#include "cab/cab_item_browser.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "app/qt_message_box.h"
#include "app/sim_state.h"
#include "cab/cab_item_files.h"
#include "cab/cab_items.h"
#include "cab/traction_model.h"
#include "platform/paths.h"

namespace {

constexpr const char* kInsertPlace = ", 350:280";

void ReadLeverPreview(const CitFile& file, TvexaTracker& lever)
{
    TImageList images;
    ReadLeverItem(file, lever, images);
}

// The type of a cab item file's first control and that control; null for another class.
QWidget* ReadFirstControl(const CitFile& file, const std::string& path, TCabItemType* type)
{
    const std::string& name = file.entries.front().component.class_name;
    if (name == "TvexaTracker") {
        *type = citLever;
        return ReadItemControl<TvexaTracker>(file, path, ReadLeverPreview, nullptr);
    }
    if (name == "TQuorrGauge") {
        *type = citGauge;
        return ReadItemControl<TQuorrGauge>(file, path, ReadGaugeItem, nullptr);
    }
    if (name == "TSpeedButton") {
        *type = citToggle;
        return ReadItemControl<TSpeedButton>(file, path, ReadToggleSwitchItem, nullptr);
    }
    if (name == "TBitBtn") {
        *type = citPush;
        return ReadItemControl<TBitBtn>(file, path, ReadPushSwitchItem, nullptr);
    }
    if (name == "TShape") {
        *type = citLight;
        return ReadItemControl<TShape>(file, path, ReadLightItem, nullptr);
    }
    ShowMessage(path + "\r" + "holds a " + name + ", which is no cab item.");
    return nullptr;
}

}  // namespace

TCITbrowse::TCITbrowse(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("CITbrowse");
    auto* layout = new QHBoxLayout(this);

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(new QLabel("Select cab item:", this));
    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName("FileListBox1");
    FileListBox1->setMinimumWidth(220);
    listColumn->addWidget(FileListBox1);
    layout->addLayout(listColumn);

    auto* itemColumn = new QVBoxLayout;
    Panel1 = new QLabel("(Preview)", this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedSize(240, 200);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    itemColumn->addWidget(Panel1);
    type_label = new QLabel("CIT type: ", this);
    type_label->setObjectName("type_label");
    itemColumn->addWidget(type_label);
    count_label = new QLabel("- -", this);
    count_label->setObjectName("count_label");
    itemColumn->addWidget(count_label);
    auto* names = new QGridLayout;
    loco_te = new QLineEdit(this);
    loco_te->setObjectName("loco_te");
    model_te = new QLineEdit(this);
    model_te->setObjectName("model_te");
    names->addWidget(new QLabel("Traction Class:", this), 0, 0);
    names->addWidget(loco_te, 0, 1);
    names->addWidget(new QLabel("Model Name:", this), 1, 0);
    names->addWidget(model_te, 1, 1);
    itemColumn->addLayout(names);

    auto* buttons = new QHBoxLayout;
    OK_button = new QPushButton("Insert", this);
    OK_button->setObjectName("OK_button");
    // Nothing to insert until a cab item file has been read.
    OK_button->setEnabled(false);
    cancel_button = new QPushButton("Cancel", this);
    cancel_button->setObjectName("cancel_button");
    new_button = new QPushButton("New", this);
    new_button->setObjectName("new_button");
    buttons->addWidget(OK_button);
    buttons->addWidget(cancel_button);
    buttons->addWidget(new_button);
    itemColumn->addLayout(buttons);
    layout->addLayout(itemColumn);

    connect(OK_button, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
    connect(new_button, &QPushButton::clicked, this, [this] { new_buttonClick(); });
    // Reading follows the user's choice, not the current row a focused list takes by itself.
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = FileListBox1->selectedItems();
        if (!chosen.isEmpty())
            FileListBox1Click(FileListBox1->row(chosen.front()));
    });
}

void TCITbrowse::FormShow()
{
    FileListBox1->clear();
    const std::string folder = plat_path_resolve(SimRoot() + "\\cab items\\");
    if (!folder.empty()) {
        QDir dir(QFile::decodeName(folder.c_str()), "*.cit", QDir::Name | QDir::IgnoreCase,
                 QDir::Files);
        FileListBox1->addItems(dir.entryList());
    }
    for (QWidget*& preview : previews_) {
        if (!preview) {
            preview = new QWidget(Panel1);
            preview->hide();
        }
    }
}

void TCITbrowse::FileListBox1Click(int row)
{
    const QListWidgetItem* item = FileListBox1->item(row);
    if (!item)
        return;
    const QString fileName = item->text();
    const std::string path = SimRoot() + "\\cab items\\" + fileName.toLatin1().toStdString();
    for (QWidget* preview : previews_)
        if (preview)
            preview->hide();
    OK_button->setEnabled(false);
    CitFile file;
    try {
        file = cit_read_file(plat_path_resolve(path));
    } catch (const CitError& e) {
        ShowMessage(e.what());
        return;
    }
    if (file.entries.empty()) {
        ShowMessage(path + "\r" + "holds no cab item.");
        return;
    }
    TCabItemType type = citLever;
    QWidget* control = ReadFirstControl(file, path, &type);
    if (!control)
        return;

    static const char* const labels[] = {"CIT type: control lever", "CIT type: gauge",
                                         "CIT type: toggle switch", "CIT type: push button",
                                         "CIT type: light bulb/LED"};
    type_ = type;
    type_label->setText(labels[type]);
    count_label->setText(QString::fromLatin1(CabItemTypeWord(type) +
                                             std::to_string(CabItemCount(type) + 1)));
    ShowPreview(type, control);

    const QString stem = fileName.left(fileName.lastIndexOf('.'));
    const qsizetype dot = stem.indexOf('.');
    loco_te->setText(stem.left(dot));
    model_te->setText(dot < 0 ? QString() : stem.mid(dot + 1));
    Panel1->setText(QString());
    OK_button->setEnabled(true);
}

void TCITbrowse::ShowPreview(TCabItemType type, QWidget* control)
{
    if (auto* button = qobject_cast<TSpeedButton*>(control)) {
        button->SetAllowAllUp(true);
        button->setAutoRaise(true);
        button->SetNumGlyphs(4);
    } else if (auto* push = qobject_cast<TBitBtn*>(control)) {
        push->setText(QString());
    } else if (type == citLever || type == citGauge) {
        control->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    delete previews_[type];
    previews_[type] = control;
    control->setParent(Panel1);
    control->move((Panel1->width() - control->width()) / 2,
                  (Panel1->height() - control->height()) / 2);
    control->show();
}

void TCITbrowse::InsertCabItem()
{
    const std::string key = count_label->text().toLatin1().toStdString();
    const int n = CabItemCount(type_) + 1;
    if (!CabItemNumberAllowed(key, n))
        return;
    const std::string stem =
        loco_te->text().toLatin1().toStdString() + "." + model_te->text().toLatin1().toStdString();
    // The key is written only for a file the cab can load.
    const std::string path = SimRoot() + "\\cab items\\" + stem + ".cit";
    if (!plat_file_exists(path)) {
        ShowMessage(std::string(kCitNotFound) + "\r\" " + path + " \"");
        return;
    }
    std::string ini;
    {
        std::lock_guard guard(SimLock);
        ini = SimState.paths.traction + ".ini";
    }
    if (WriteCabLayoutKey(ini, key, stem + kInsertPlace))
        LoadCabItem(CabItemTypeWord(type_), n);
}

void TCITbrowse::new_buttonClick()
{
    newChosen_ = true;
    reject();
}

void ShowCabItemBrowser()
{
    TCITbrowse browser(VaruRor);
    browser.FormShow();
    if (browser.exec() == QDialog::Accepted) {
        browser.InsertCabItem();
    } else if (browser.NewChosen()) {
        browser.hide();
        EditCabItem(browser.Type(), CabItemCount(browser.Type()) + 1, true);
    }
}
