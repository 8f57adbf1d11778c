#pragma once
// The report library's progress windows: the modal one a report is built,
// printed and exported under (it starts the work itself once its modal wait
// runs) and the borderless export progress with its bar.

#include "reports/model/ReportDialogs.h"

#include <QDialog>
#include <QPoint>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace reports {

// TfrProgressForm: "Label1" the message, "Label2" the second line, and
// "CancelB".
class ProgressForm : public QDialog, public ProgressWindow {
public:
    explicit ProgressForm(QWidget *parent = nullptr);

    // Shown modally through the answers service; the work runs once from
    // inside the modal wait. A window the service did not show never ran the
    // work: that counts as cancelled.
    int ShowForReport(Report &report, const QString &caption, const QString &message, const ProgressWork &work);

    void SetMessage(const QString &text) override;
    void SetNote(const QString &text) override;
    void ProcessEvents() override;
    void SetVisible(bool visible) override { setVisible(visible); }
    void SetModalResult(int result) override { result_ = result; }
    int ModalResult() const override { return result_; }
    bool WorkStarted() const { return started_; }

private:
    void runWork();
    void cancel();

    QLabel *label1_;
    QLabel *label2_;
    QPushButton *cancel_;
    Report *report_ = nullptr;
    ProgressWork work_;
    int result_ = 0;
    bool started_ = false;
};

// TfrProgress: "LMessage", "Bar" and "CancelB" on a raised panel; a press
// anywhere drags the window.
class ExportProgressForm : public QWidget, public ExportProgress {
public:
    explicit ExportProgressForm(QWidget *parent = nullptr);

    void Start(int maximum, const QString &message, bool showBar, bool showCancel) override;
    void SetPosition(int position) override;
    void SetMin(int minimum) override;
    void SetMax(int maximum) override;
    void SetMessage(const QString &text) override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QLabel *message_;
    QProgressBar *bar_;
    QPushButton *cancel_;
    QPoint dragOffset_;
};

} // namespace reports
