#pragma once
// The barcode engine of the report library (TfrBarcode): turns a text into
// a pattern of bars and spaces in one of 23 symbologies and draws it on a
// canvas of the graphics layer, turned by any angle.
//
// A pattern is a string of element characters read left to right: "0".."3"
// spaces, "5".."8" bars and "A".."D" bars of two fifths of the height, of
// the widths w0..w3 (w0 = Modul, w1 = Modul x Ratio rounded, w2 = w1 x 3 div
// 2, w3 = 2 x w1). With the ratio 2 they are one to four modules, which is
// how the module-based symbologies (Code 128, Code 93, EAN, UPC) use them.

#include "platform/gdi/Canvas.h"

#include <QString>

#include <functional>
#include <stdexcept>

namespace reports {

namespace gdi = platform::gdi;

enum BarcodeType : int {
    bcCode_2_5_interleaved = 0,
    bcCode_2_5_industrial,
    bcCode_2_5_matrix,
    bcCode39,
    bcCode39Extended,
    bcCode128A,
    bcCode128B,
    bcCode128C,
    bcCode93,
    bcCode93Extended,
    bcCodeMSI,
    bcCodePostNet,
    bcCodeCodabar,
    bcCodeEAN8,
    bcCodeEAN13,
    bcCodeUPC_A,
    bcCodeUPC_E0,
    bcCodeUPC_E1,
    bcCodeUPC_Supp2,
    bcCodeUPC_Supp5,
    bcCodeEAN128A,
    bcCodeEAN128B,
    bcCodeEAN128C,
};
inline constexpr int kBarcodeTypeCount = 23;

// The name the editor lists for a symbology ("2_5_interleaved" ... "EAN128C").
QString BarcodeTypeName(int type);
// Whether a symbology takes digits only.
bool BarcodeTypeNumeric(int type);

enum CheckSumMethod : int { csmNone = 0, csmModulo10 = 1 };

// The engine's errors: "Barcode must be numeric", "Invalid Text len (EAN13)",
// "TfrBarcode:Code93 bad Data <...>" and the others, as the designer's
// editor catches them.
class BarcodeError : public std::runtime_error {
public:
    explicit BarcodeError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// The Modulo 10 digit appended to a text of digits (weights 3, 1, 3 ... from
// the rightmost digit); csmNone gives the text unchanged.
QString CheckSumModulo10(const QString &text, CheckSumMethod method = csmModulo10);

class Barcode {
public:
    Barcode() = default;

    int Height() const { return height_; }
    QString Text() const { return text_; }
    int Top() const { return top_; }
    int Left() const { return left_; }
    int Modul() const { return modul_; }
    double Ratio() const { return ratio_; }
    int Typ() const { return typ_; }
    bool Checksum() const { return checksum_; }
    CheckSumMethod CheckSumMethodValue() const { return checkSumMethod_; }
    double Angle() const { return angle_; }
    gdi::Color Color() const { return color_; }
    gdi::Color ColorBar() const { return colorBar_; }

    // Each setter raises OnChange when the value changes.
    void SetHeight(int value);
    void SetText(const QString &value);
    void SetTop(int value);
    void SetLeft(int value);
    // Only 1 to 49 is taken; other values are ignored.
    void SetModul(int value);
    void SetRatio(double value);
    void SetTyp(int value);
    void SetChecksum(bool value);
    void SetCheckSumMethod(CheckSumMethod value);
    void SetAngle(double value);
    void SetColor(gdi::Color value);
    void SetColorBar(gdi::Color value);
    std::function<void()> OnChange;

    // The total width of the pattern in pixels (builds it).
    int Width();
    // Rescales Modul so that the pattern comes near the width.
    void SetWidth(int value);

    // The pattern of the text (raises BarcodeError). Symbologies that
    // complete their text (check digits, padding) leave the completed text
    // in Text.
    QString MakeData();
    // Draws the pattern at (Left, Top) turned by Angle; the canvas's pen,
    // brush and font are kept.
    void DrawBarcode(gdi::Canvas &canvas);

    // The widths of the elements of the last pattern.
    int ModuleWidth(int index) const { return widths_[index]; }

private:
    void changed();
    void oneBarProps(QChar code, int &width, bool &bar, bool &shortBar) const;
    void makeModules();
    int patternWidth(const QString &data) const;

    QString codeInterleaved();
    QString code25Industrial();
    QString code25Matrix();
    QString code39();
    QString code39Extended();
    QString code128();
    QString code93();
    QString code93Extended();
    QString codeMSI();
    QString codePostNet();
    QString codeCodabar();
    // The digits of an EAN or UPC symbol of n digits: the text cut or padded
    // to n, or to n - 1 and the check digit; "Invalid Text len (name)" else.
    QString eanDigits(int n, const char *name) const;
    QString codeEAN8();
    QString codeEAN13();
    QString codeUPC_A();
    QString codeUPC_E(bool numberSystem1);
    QString codeSupp2();
    QString codeSupp5();

    int height_ = 0;
    QString text_;
    int top_ = 0;
    int left_ = 0;
    int modul_ = 1;
    double ratio_ = 2.0;
    int typ_ = bcCodeEAN13;
    bool checksum_ = false;
    CheckSumMethod checkSumMethod_ = csmModulo10;
    double angle_ = 0;
    gdi::Color color_ = gdi::rgb(255, 255, 255);
    gdi::Color colorBar_ = 0;
    int widths_[4] = {1, 2, 3, 4};
    // The text an EAN-128 check digit was last appended to and its result,
    // so that building again does not append a second one.
    QString ean128Completed_;
};

} // namespace reports
