#pragma once
// Going to a point: two coordinate edits ("X =" the northing, "Y =" the
// easting); "Да" closes with OK, "Нет" and every other way out with Cancel.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TFindPoint : public QDialog {
public:
    explicit TFindPoint(QWidget *parent = nullptr);
    QLineEdit *edX = nullptr;
    QLineEdit *edY = nullptr;
    QPushButton *btnYes = nullptr;
    QPushButton *btnNo = nullptr;
    // The texts in and, on OK, the typed ones out.
    bool Ask(QString &x, QString &y);
};

// The dialog of the run: made on first use, kept.
TFindPoint *FindPoint();
