#pragma once
// What the report library is extended through: the compressor hook of
// prepared pages, the designer window (implemented by the designer), object
// editor windows and export filters (implemented by the exports). None of
// them needs a window here: the implementations bring their own.

#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;

namespace reports {

class View;

// Compresses prepared pages when enabled; off and empty in this library, so
// prepared pages are stored as they are.
class Compressor {
public:
    virtual ~Compressor() = default;
    bool Enabled = false;
    virtual void Compress(QIODevice & /*source*/, QIODevice & /*destination*/) {}
    virtual void DeCompress(QIODevice & /*source*/, QIODevice & /*destination*/) {}
};

// The designer window as the engine drives it.
class ReportDesigner {
public:
    virtual ~ReportDesigner() = default;
    // On when the designer opens on the report's template, off on one
    // prepared page.
    bool FirstInstance = false;
    virtual bool GetModified() = 0;
    virtual void SetModified(bool modified) = 0;
    // Around a change of an object made outside the designer's own tools.
    virtual void BeforeChange() = 0;
    virtual void AfterChange() = 0;
    virtual void RedrawPage() = 0;
    // The object of that name, or the page "Page" + number.
    virtual void SelectObject(const QString &name) = 0;
    // A chosen data field or a built expression in brackets; "" when cancelled.
    virtual QString InsertDBField() = 0;
    virtual QString InsertExpression() = 0;
    // Shows the window modally; the modal result.
    virtual int ShowModal() = 0;
};

// The registered designer window class: makes a designer (its first-instance
// flag set) without an owner.
using DesignerFactory = std::function<std::unique_ptr<ReportDesigner>(bool firstInstance)>;

// An object editor window; the base shows nothing and answers 1 (OK).
class ObjEditorForm {
public:
    virtual ~ObjEditorForm() = default;
    virtual int ShowEditor(View * /*view*/) { return 1; }
};

// One line of an export's text: a chain of records that the export keeps.
class ExportLine {
public:
    virtual ~ExportLine() = default;
};

// An export filter as the report drives it page by page. The base asks
// nothing (ShowModal answers 1) and writes nothing.
class ExportFilter {
public:
    virtual ~ExportFilter() { ClearLines(); }

    bool Default = false;
    bool ShowDialog = true;
    // Before the export: may change the file name or stop it.
    std::function<void(QString &fileName, bool &proceed)> OnBeforeExport;
    std::function<void(const QString &fileName)> OnAfterExport;

    std::vector<std::unique_ptr<ExportLine>> Lines;
    QString FileName;
    QIODevice *Stream = nullptr; // the file being written, not owned

    virtual void ClearLines() { Lines.clear(); }
    virtual int ShowModal() { return 1; }
    virtual void OnBeginDoc() {}
    virtual void OnEndDoc() {}
    virtual void OnBeginPage() {}
    virtual void OnEndPage() {}
    virtual void OnData(int /*x*/, int /*y*/, View * /*view*/) {}
    virtual void OnText(const QRect & /*drawRect*/, int /*x*/, int /*y*/, const QString & /*text*/,
                        int /*frameTyp*/, View * /*view*/)
    {
    }
};

} // namespace reports
