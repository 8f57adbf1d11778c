#include "reports/ui/ProgressForms.h"

#include "platform/UserAnswers.h"
#include "reports/model/ReportModel.h"
#include "reports/ui/FormHelpers.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace reports {

ProgressForm::ProgressForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frProgressForm"));
    setWindowTitle(QStringLiteral("Подготовка отчета"));
    setFixedSize(278, 106);
    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setGeometry(8, 12, 262, 16);
    label1_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label2_ = new QLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setGeometry(8, 32, 262, 16);
    label2_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("CancelB"));
    cancel_->setGeometry(100, 68, 78, 25);
    connect(cancel_, &QPushButton::clicked, this, &ProgressForm::cancel);
    centreOnScreen(*this);
}

int ProgressForm::ShowForReport(Report &report, const QString &caption, const QString &message,
                                const ProgressWork &work)
{
    setWindowTitle(caption);
    report_ = &report;
    work_ = work;
    result_ = 0;
    started_ = false;
    label1_->setText(message);
    label2_->clear();
    // The work starts from inside the modal wait, once the window is up.
    QTimer::singleShot(0, this, &ProgressForm::runWork);
    const int shown = platform::answers().runModal(*this);
    if (!started_) {
        report.Terminated = true;
        return platform::mrCancel;
    }
    return result_ != 0 ? result_ : shown;
}

void ProgressForm::runWork()
{
    if (started_ || !isVisible())
        return;
    started_ = true;
    if (work_)
        work_(*this);
    done(result_ != 0 ? result_ : platform::mrOk);
}

void ProgressForm::cancel()
{
    if (report_)
        report_->Terminated = true;
    result_ = platform::mrCancel;
    // Before the work started (or after it ended) nothing else closes the window.
    if (!started_)
        done(result_);
}

void ProgressForm::SetMessage(const QString &text)
{
    label1_->setText(text);
}

void ProgressForm::SetNote(const QString &text)
{
    label2_->setText(text);
}

void ProgressForm::ProcessEvents()
{
    QCoreApplication::processEvents();
}

ExportProgressForm::ExportProgressForm(QWidget *parent) : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frProgress"));
    setFixedSize(323, 109);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(0, 0, 323, 109);
    // Presses on the panel drag the window too.
    panel->setAttribute(Qt::WA_TransparentForMouseEvents);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("LMessage"));
    message_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    message_->setGeometry(12, 15, 299, 16);
    bar_ = new QProgressBar(this);
    bar_->setObjectName(QStringLiteral("Bar"));
    bar_->setGeometry(12, 40, 299, 18);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("CancelB"));
    cancel_->setGeometry(122, 72, 78, 25);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        terminated_ = true;
        close();
    });
    centreOnScreen(*this);
}

void ExportProgressForm::Start(int maximum, const QString &message, bool showBar, bool showCancel)
{
    cancel_->setVisible(showCancel);
    bar_->setVisible(showBar);
    message_->move(message_->x(), showBar ? 15 : 35);
    ExportProgress::Start(maximum, message, showBar, showCancel);
    show();
    QCoreApplication::processEvents();
}

void ExportProgressForm::SetPosition(int position)
{
    ExportProgress::SetPosition(position);
    bar_->setValue(std::clamp(position, bar_->minimum(), bar_->maximum()));
    raise();
    QCoreApplication::processEvents();
}

void ExportProgressForm::SetMin(int minimum)
{
    ExportProgress::SetMin(minimum);
    bar_->setMinimum(minimum);
}

void ExportProgressForm::SetMax(int maximum)
{
    ExportProgress::SetMax(maximum);
    bar_->setMaximum(maximum);
}

void ExportProgressForm::SetMessage(const QString &text)
{
    ExportProgress::SetMessage(text);
    message_->setText(text);
}

void ExportProgressForm::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void ExportProgressForm::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - dragOffset_);
}

} // namespace reports
