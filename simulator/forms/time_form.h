// The "Timetable" window: the situation's working timetable with the next stop marked.
#pragma once
#include <QDialog>
#include <string>

class QLabel;
class QTableWidget;

class TTimeForm1 : public QDialog {
    Q_OBJECT
public:
    // Reads the timetable file; the train stands at `routeKm`, the clock shows `clockText`.
    TTimeForm1(QWidget* parent, const std::string& timetablePath, double routeKm, const std::string& clockText);

    QTableWidget* StringGrid1;  // the header row, then one row an entry
    QLabel* Label1;             // "MP- " and the route kilometre
    QLabel* Label2;             // "Time- " and the simulated clock
    int TopRow() const { return topRow_; }  // the first row shown, counted from 1 below the header

protected:
    void showEvent(QShowEvent* event) override;

private:
    int topRow_ = 1;
};
