#pragma once
// The report library's run-long objects (TfrGlobals): its texts, scratch
// pictures, the one parser and script interpreter every report shares, the
// report variables and the script constants; and the library-wide build
// state (one build runs at a time). Made on first use; tests start afresh
// with resetLibrary().
//
// The progress window comes with the report dialogs; the registry of function
// libraries is in ReportObjects; the hidden window of the dialog controls is
// reports/ui's (reportDialogForm).

#include "reports/model/Extensions.h"
#include "reports/language/ExpressionParser.h"
#include "reports/model/ReportScript.h"
#include "reports/language/ReportVariables.h"

#include <QImage>
#include <QStringList>

#include <memory>

namespace platform::gdi {
class Bitmap;
}

namespace reports {

// The report object model, defined with the report's objects.
class Report;
class Page;
class Band;

struct BuildState {
    // 0 while a template is designed or loaded, 1 while a report is built,
    // previewed, printed or exported.
    quint8 DocumentMode = 0;
    // On during the first pass of a two-pass build.
    quint8 MeasuringPass = 0;
    Report *CurrentReport = nullptr;
    Report *MasterReport = nullptr;
    Page *CurrentPage = nullptr;
    Band *CurrentBand = nullptr;
    View *CurrentView = nullptr;
    int PageNo = 0;
    // The value last computed for a bracketed expression ("VALUE").
    Variant CurrentValue;
    // The name whose text is being evaluated as an expression.
    QString ResolvingName;
    // The build error.
    bool ClassErrorFlag = false;
    QString ClassErrorText;
    ReportDesigner *CurrentDesigner = nullptr;
    // The page the designer shows, while it is open.
    Page *DesignerPage = nullptr;
    // The registered designer window class; empty until the designer registers.
    DesignerFactory DesignerFormClass;
    // What scripts of the report being built may change.
    ScriptHost *CurrentScriptHost = nullptr;
    // The page engine's shared state: the data band whose aggregates are
    // being registered, whether the next page continues the current prepared
    // page, where the previous page stopped, whether its page footer was
    // already printed, and whether a dialog page was cancelled.
    Band *CurrentDataBand = nullptr;
    bool RegisteringAggregates = false;
    bool AppendToPrevPage = false;
    int SavedCurY = 0;
    int SavedCurBottomY = 0;
    bool FooterAtEnd = false;
    bool StopBuild = false;
};

class ReportLibrary {
public:
    ReportLibrary();
    ~ReportLibrary();
    ReportLibrary(const ReportLibrary &) = delete;
    ReportLibrary &operator=(const ReportLibrary &) = delete;

    // The default character set of report fonts (text 55337).
    int Charset = 204;
    // The names of band types 0 to 21 and "Нет" for 22 (texts 55077 to 55099).
    QStringList BandNames;
    // The display patterns of Booleans, dates and times (kinds 0 to 3).
    QStringList BooleanFormats;
    QStringList DateFormats;
    QStringList TimeFormats;
    // Compile errors of object scripts, stream reading.
    QStringList Scratch;
    // 8 x 8: white where x + y is even, silver where it is odd (the pattern
    // band objects are drawn with).
    QImage Checkerboard;
    // 8 x 8, for its canvas: text is measured on it.
    std::unique_ptr<platform::gdi::Bitmap> MeasureBitmap;

    Parser ReportParser;
    ReportScriptInterpreter ReportInterpreter;
    // Both sorted; report variables are looked up before constants.
    Variables ReportVariables;
    Variables ScriptConstants;
    Compressor ReportCompressor;

    BuildState State;
    // The next running number of a new report object.
    int ObjectCounter = 0;
    // The version byte of the stream being read or written.
    int StreamVersion = 25;
};

ReportLibrary &library();
// Frees the library and starts a new one (tests).
void resetLibrary();

} // namespace reports
