#pragma once

#include <QWidget>

class ClockSimulator;
class QComboBox;
class QLabel;
class QListWidget;
class TdmORVS;

// The demo's stand-in for the club antenna: connect one virtual clock at a time, basket its birds
// for a race and let them come home.
class TfrmVirtualClocks : public QWidget
{
    Q_OBJECT
public:
    TfrmVirtualClocks(ClockSimulator &sim, TdmORVS &dm, QWidget *parent = nullptr);

    void connectSelected();
    void disconnectAll();
    void markBirds();
    void letBirdsArrive();
    // Of each clock's basketed birds, this one (counted from 0) does not come home.
    static constexpr int LostBird = 3;

private:
    void refresh();
    int clockOffsetSeconds(int clock) const;

    ClockSimulator &sim_;
    TdmORVS &dm_;
    QListWidget *clocks_;
    QComboBox *races_;
    QLabel *status_;
};
