#pragma once
// The key computation TCalcTransform ("Вычисление ключа перевода из одной
// прямоугольной системы координат в другую на плоскости"): pairs of points,
// in the local system (X, Y, Z) and the same points in the target system
// (U, V, H), kept in the work table "Transform.Db" of the program folder; the
// active rows give a key by least squares (geodesy::computeKey), which "Да"
// hands to the key dialog. Rows are made, deleted, marked and pasted from
// the clipboard (Ctrl+V: name, X, Y, Z, U, V, H per line).

#include "platform/db/Table.h"

#include <QDialog>
#include <QString>

#include <memory>

class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class TCalcShift;

namespace platform::db {
class DataSetModel;
}

class TCalcTransform : public QDialog {
public:
    TCalcTransform();
    ~TCalcTransform() override;

    platform::db::Table Table;     // "Transform"
    QTableView *DBGrid1 = nullptr;
    platform::db::DataSetModel *Model = nullptr;
    QMenu *pmGrid = nullptr;
    QAction *nNew = nullptr;       // "Создать" Ctrl+N
    QAction *nDelete = nullptr;    // "Удалить" Ctrl+D
    QAction *nMark = nullptr;      // "Пометить" Ctrl+M
    QPushButton *bCompute = nullptr; // "Расчёт"
    QPushButton *bYes = nullptr;     // "Да"
    QPushButton *bNo = nullptr;      // "Нет"
    QPushButton *bHelp = nullptr;    // "Помощь" (out of use)
    QPushButton *bReport = nullptr;  // "Отчёт" (out of use)
    QPushButton *bClear = nullptr;   // "Очистка"
    QPushButton *bSwap = nullptr;    // "X, Y -> U,V"
    QLineEdit *edCx = nullptr, *edCy = nullptr, *edK = nullptr, *edSinA = nullptr, *edCosA = nullptr;

    // Opens the table in the program folder (made when missing, emptied when
    // the user asks) and shows the dialog modally; "Да" writes the key into
    // the key dialog's edits.
    void Execute(const QString &programDir, TCalcShift *target);
    // What showing does.
    void FormShow(const QString &programDir);

    // "Расчёт": the key of the active rows into the five edits; false (the
    // edits empty) when there is none.
    bool bComputeClick();
    void bYesClick();
    void bClearClick();
    void bSwapClick();
    void nNewClick();
    void nDeleteClick();
    void nMarkClick();
    // Ctrl+V: the clipboard's lines as new rows.
    void PasteRows();
    // Whether a key press is the paste key (V, or the key of "М" in a
    // Cyrillic layout, with Ctrl).
    static bool isPasteKey(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    TCalcShift *target_ = nullptr;
};

TCalcTransform *CalcTransform();
