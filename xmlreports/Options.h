#pragma once
// The report's settings, grouped as the template stores them
// ("EngineOptions.DoublePass", "PrintOptions.Copies" ...), and its styles.

#include "platform/classlib/Graphics.h"
#include "xmlreports/Component.h"
#include "xmlreports/ReportUtils.h"

#include <functional>

namespace xmlreports {

using platform::classlib::TCollection;
using platform::classlib::TCollectionItem;
using platform::classlib::TPicture;
using platform::classlib::TStringList;

class TfrxEngineOptions : public TPersistent {
    TOLVANE_CLASSINFO
public:
    bool ConvertNulls = true;
    bool DoublePass = false;
    int MaxMemSize = 10;
    bool PrintIfEmpty = true;
    TfrxSilentMode NewSilentMode = simMessageBoxes;
    QString TempDir;
    bool UseFileCache = false;
    // Not in the template.
    bool FreeDialogForms = true;
    bool EnableThreadSafe = false;

    bool SilentMode() const { return NewSilentMode == simSilent; }
    void SetSilentMode(bool on) { NewSilentMode = on ? simSilent : simMessageBoxes; }
    // The eight published settings only.
    void Assign(const TPersistent *source) override;
    void Clear();
};

enum TfrxPreviewButton {
    pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools, pbEdit, pbNavigator,
    pbExportQuick
};
enum TfrxZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };

class TfrxPreviewOptions : public TPersistent {
    TOLVANE_CLASSINFO
public:
    bool AllowEdit = true;
    int Buttons = 4095;
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineExpand = true;
    bool OutlineVisible = false;
    int OutlineWidth = 120;
    bool ShowCaptions = false;
    double Zoom = 1;
    TfrxZoomMode ZoomMode = zmDefault;

    void Assign(const TPersistent *source) override;
    void Clear();
};

enum TfrxPrintPages { ppAll, ppOdd, ppEven };

class TfrxPrintOptions : public TPersistent {
    TOLVANE_CLASSINFO
public:
    TfrxPrintOptions();
    int Copies = 1;
    bool Collate = true;
    QString PageNumbers;
    QString Printer;
    TfrxPrintPages PrintPages = ppAll;
    bool Reverse = false;
    bool ShowDialog = true;

    void Assign(const TPersistent *source) override;
    void Clear();
};

class TfrxReportOptions : public TPersistent {
    TOLVANE_CLASSINFO
public:
    TfrxReportOptions();
    ~TfrxReportOptions() override;

    QString Author;
    bool Compressed = false;
    double CreateDate = 0;
    QString InitString;
    QString Name;
    double LastChange = 0;
    QString VersionBuild, VersionMajor, VersionMinor, VersionRelease;
    bool InfoOnly = false;
    // The password as typed; the template keeps each Windows-1251 byte
    // less 10 ("abc" as the bytes 87 88 89).
    QString Password;
    QString StoredPassword() const;
    void SetStoredPassword(const QString &text);

    TStringList *Description() const { return description_; }
    void SetDescription(TStringList *list) { description_->Assign(list); }
    TPicture *Picture() const { return picture_; }
    void SetPicture(TPicture *picture) { picture_->Assign(picture); }
    const QString &ConnectionName() const { return connectionName_; }
    // A name with a connection event: the connection string of that name
    // under "\Software\Zizo Rozoriz\Connections" of the local machine goes
    // to the event.
    void SetConnectionName(const QString &name);
    std::function<void(const QString &connection)> OnSetConnection;

    // The password window: true with the text typed when closed with OK.
    using PasswordPrompt = std::function<bool(QString &typed)>;
    static void SetPasswordPrompt(PasswordPrompt prompt);
    // Passes without a password, with the one entered before, or when the
    // text typed in the window equals it (then remembered).
    bool CheckPassword();

    void Assign(const TPersistent *source) override;
    void Clear();

private:
    TStringList *description_;
    TPicture *picture_;
    QString connectionName_;
    QString entered_;
};

class TfrxStyles;

class TfrxStyleItem : public TCollectionItem {
    TOLVANE_CLASSINFO
public:
    TfrxStyleItem();
    ~TfrxStyleItem() override;
    const QString &Name() const { return name_; }
    // Another style of the collection of that name (letter case ignored):
    // "Duplicate name".
    void SetName(const QString &name);
    int Color = 0x1FFFFFFF;
    TFont *Font() const { return font_; }
    void SetFont(TFont *font) { font_->Assign(font); }
    TfrxFrame *Frame() const { return frame_; }
    void SetFrame(TfrxFrame *frame) { frame_->Assign(frame); }
    void Assign(const TPersistent *source) override;

private:
    QString name_;
    TFont *font_;
    TfrxFrame *frame_;
};

class TfrxStyles : public TCollection {
    TOLVANE_CLASSINFO
public:
    explicit TfrxStyles(TfrxComponent *report = nullptr);
    TfrxStyleItem *Add() { return static_cast<TfrxStyleItem *>(TCollection::Add()); }
    TfrxStyleItem *Items(int index) const { return static_cast<TfrxStyleItem *>(TCollection::Items(index)); }
    TfrxStyleItem *Find(const QString &name) const;
    TfrxComponent *Report() const { return report_; }

private:
    TfrxComponent *report_;
};

void RegisterOptionClasses();

} // namespace xmlreports
