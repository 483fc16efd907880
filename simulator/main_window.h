// The main cab window of the simulator.
#pragma once
#include <QMainWindow>

class TVaruRor : public QMainWindow {
    Q_OBJECT
public:
    explicit TVaruRor(QWidget* parent = nullptr);
};
