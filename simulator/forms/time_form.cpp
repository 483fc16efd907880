// The "Timetable" window: the situation's working timetable with the next stop marked.
#include "forms/time_form.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <fstream>
#include <mutex>
#include <vector>

#include "platform/numbers.h"
#include "platform/paths.h"
#include "app/main_window.h"
#include "app/qt_message_box.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "cab/traction_model.h"

namespace {

constexpr int kGridRows = 70;  // with the header row
constexpr int kRowHeight = 18;

struct TTimetableEntry {
    double km = 0.0;
    int hour = 0;
    int minute = 0;
    std::string station;
};

// Line 1 the title, then "km hour minute station" lines; false when the file cannot be read.
bool ReadTimetable(const std::string& path, std::string* title, std::vector<TTimetableEntry>* entries)
{
    std::ifstream in(plat_path_resolve(path), std::ios::binary);
    if (!in)
        return false;
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    *title = line;
    while (std::getline(in, line) && entries->size() < static_cast<size_t>(kGridRows - 1)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        TTimetableEntry e;
        int used = 0;
        if (plat_sscanf(line.c_str(), "%lf %d %d %n", &e.km, &e.hour, &e.minute, &used) < 3)
            continue;
        e.station = line.substr(static_cast<size_t>(used));
        entries->push_back(e);
    }
    return true;
}

QString Text(const std::string& s)
{
    return QString::fromLatin1(s);
}

QString TwoDigits(int v)
{
    return QString("%1").arg(v, 2, 10, QLatin1Char('0'));
}

}  // namespace

TTimeForm1::TTimeForm1(QWidget* parent, const std::string& timetablePath, double routeKm,
                       const std::string& clockText)
    : QDialog(parent)
{
    setObjectName("TimeForm1");
    setWindowTitle("Timetable");
    auto* layout = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setStyleSheet("color: navy;");
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label2->setStyleSheet("color: red;");
    StringGrid1 = new QTableWidget(kGridRows - 1, 3, this);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(StringGrid1);
    resize(420, 420);

    std::string title;
    std::vector<TTimetableEntry> entries;
    if (!ReadTimetable(timetablePath, &title, &entries)) {
        ShowMessage("Timetable file: \"" + timetablePath + "\" not found.");
        return;
    }
    Label1->setText("MP- " + QString::number(routeKm, 'f', 1));
    Label2->setText(Text("Time- " + clockText));
    setWindowTitle(Text(title + " working timetable"));
    StringGrid1->setHorizontalHeaderLabels({"MP (km)", "Time", "Station/Way point"});
    int passed = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TTimetableEntry& e = entries[i];
        const int row = static_cast<int>(i);
        StringGrid1->setItem(row, 0, new QTableWidgetItem(QString::number(e.km, 'f', 1)));
        StringGrid1->setItem(row, 1, new QTableWidgetItem(TwoDigits(e.hour) + ":" + TwoDigits(e.minute)));
        StringGrid1->setItem(row, 2, new QTableWidgetItem(Text(e.station)));
        if (e.km < routeKm)
            ++passed;
    }
    // Timetable rows count from 1 below the header; the next stop is row passed + 1.
    const int next = std::min(passed, kGridRows - 2);
    QTableWidgetItem* cell = StringGrid1->item(next, 0);
    if (!cell) {
        cell = new QTableWidgetItem;
        StringGrid1->setItem(next, 0, cell);
    }
    cell->setText(cell->text() + "*");
    StringGrid1->selectRow(next);
    topRow_ = next + 1 > 9 ? next + 1 - 8 : 1;
}

void TTimeForm1::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The rows' heights are known once the grid is laid out.
    if (QTableWidgetItem* top = StringGrid1->item(topRow_ - 1, 0))
        StringGrid1->scrollToItem(top, QAbstractItemView::PositionAtTop);
}

void ShowTimeForm()
{
    std::string path, clock;
    double km = 0.0;
    {
        std::lock_guard guard(SimLock);
        path = SimState.paths.timetable;
        clock = SimClockText();
        km = TrackReadout().routeKm;
    }
    TTimeForm1 form(VaruRor, path, km, clock);
    form.exec();
}
