#pragma once
// The cursor-coordinates window ("Координаты курсора") and the statistics
// window ("Статистика"): read-only information the map window fills and shows
// modally. Each is made on first use and kept.

#include <QDialog>

class QAction;
class QLabel;
class QLineEdit;

class TShowPoint : public QDialog {
public:
    explicit TShowPoint(QWidget *parent = nullptr);
    QLineEdit *edX = nullptr, *edY = nullptr;
    QLabel *Image2 = nullptr;
    QAction *aExit = nullptr;
    void aExitExecute();
};

class TMapStat : public QDialog {
public:
    explicit TMapStat(QWidget *parent = nullptr);
    QLabel *lbCount = nullptr, *lbArea = nullptr, *lbLenght = nullptr, *lbMinX = nullptr, *lbMinY = nullptr,
           *lbMaxX = nullptr, *lbMaxY = nullptr;
    QAction *aExit = nullptr;
    void aExitExecute();
};

TShowPoint *ShowPointWindow();
TMapStat *MapStatWindow();
