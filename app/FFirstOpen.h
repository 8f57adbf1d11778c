#pragma once
// The welcome window: shown on the map window's first activation when there
// is no last project. New project, open project, or the last project.

#include <QDialog>

class QToolButton;

class TFirstOpen : public QDialog {
public:
    explicit TFirstOpen(QWidget *parent = nullptr);

    QToolButton *SpeedButton1 = nullptr;   // "Новый проект"
    QToolButton *SpeedButton3 = nullptr;   // "Открыть проект"
    QToolButton *SpeedButton2 = nullptr;   // the last project

    void FormShow();
    void SpeedButton1Click();
    void SpeedButton3Click();
    void SpeedButton2Click();

protected:
    void showEvent(QShowEvent *event) override;
};

// The welcome window of the run (made on first use).
TFirstOpen *FirstOpenWindow();
