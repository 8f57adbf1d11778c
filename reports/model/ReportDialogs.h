#pragma once
// The report library's small windows as the engine without windows reaches
// them: the modal progress window a report is built, printed and exported
// under, the lighter progress window of the exports, the password prompt of
// protected templates, the display-format editor and the one-line input box
// of INPUT. The default service shows nothing: the work runs at once, the
// progress is only counted, and every question is cancelled. The windows
// (reports/ui/ReportDialogForms.h) take its place in the program; tests
// install theirs (platform::ScopedService<reports::ReportDialogs>).

#include "platform/Service.h"

#include <QChar>
#include <QString>

#include <functional>
#include <memory>

namespace reports {

class Report;

// What the work sees of the modal progress window while it runs inside it.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    // The message line (Label1) and the second line (Label2).
    virtual void SetMessage(const QString &text) = 0;
    virtual void SetNote(const QString &text) = 0;
    // Lets the window repaint and take a press of Cancel.
    virtual void ProcessEvents() = 0;
    // Hides the window while another one (a dialog page) is shown, and back.
    virtual void SetVisible(bool visible) = 0;
    // Ends the window with a modal result once the work returns (1: done).
    virtual void SetModalResult(int result) = 0;
    virtual int ModalResult() const = 0;
};
using ProgressWork = std::function<void(ProgressWindow &)>;

// The export progress: counts from its minimum to its maximum; Terminated is
// set when the user cancels, and the export stops at its next step.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    // Terminated cleared, the position at the minimum, the maximum and the
    // message set; the bar and the Cancel button shown or not.
    virtual void Start(int maximum, const QString &message, bool showBar, bool showCancel);
    virtual void SetPosition(int position) { position_ = position; }
    void Step() { SetPosition(position_ + 1); }
    virtual void SetMin(int minimum) { min_ = minimum; }
    virtual void SetMax(int maximum) { max_ = maximum; }
    virtual void SetMessage(const QString &text) { message_ = text; }
    bool Terminated() const { return terminated_; }

    int Position() const { return position_; }
    int Min() const { return min_; }
    int Max() const { return max_; }
    const QString &Message() const { return message_; }

protected:
    bool terminated_ = false;

private:
    int min_ = 0, max_ = 100, position_ = 0;
    QString message_;
};

// The display format of a text object: category (bits 24-27), type within
// it (bits 16-23), decimal digits (bits 8-15) and the decimal separator
// character (bits 0-7). Type 4 of a category is the object's own format text.
struct DisplayFormat {
    int Category = 0; // 0 text, 1 number, 2 date, 3 time, 4 Boolean
    int Type = 0;
    int Digits = 0;
    QChar Separator = u',';

    static DisplayFormat fromWord(int word);
    int toWord() const;
    bool operator==(const DisplayFormat &) const = default;
};
inline constexpr int kCustomFormatType = 4;

class ReportDialogs {
public:
    virtual ~ReportDialogs() = default;

    // Shows the modal progress window of the report with its caption and
    // message and runs the work once from inside its modal wait. The result
    // is the modal result last set (1 when none was); Cancel sets the
    // report's Terminated and the result 2, and the work stops when it sees
    // the flag.
    virtual int ShowForReport(Report &report, const QString &caption, const QString &message,
                              const ProgressWork &work);
    // A new export progress window, closed when it is destroyed.
    virtual std::unique_ptr<ExportProgress> NewExportProgress();
    // The password prompt: false when cancelled. `prompt` replaces the
    // prompt text when not empty (the designer's second asking).
    virtual bool AskPassword(QString &password, const QString &prompt = QString());
    // The display-format editor over a format word and its format text: false
    // when cancelled (both then stay as they were).
    virtual bool EditDisplayFormat(int &format, QString &formatText);
    // The one-line input box: false when cancelled.
    virtual bool InputQuery(const QString &caption, const QString &prompt, QString &value);
};

inline ReportDialogs &reportDialogs()
{
    return platform::Service<ReportDialogs>::get();
}

} // namespace reports
