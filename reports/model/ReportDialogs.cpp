#include "reports/model/ReportDialogs.h"

namespace reports {

namespace {

// The modal progress without a window: nothing to show, nobody to cancel.
class HeadlessProgressWindow : public ProgressWindow {
public:
    void SetMessage(const QString &) override {}
    void SetNote(const QString &) override {}
    void ProcessEvents() override {}
    void SetVisible(bool) override {}
    void SetModalResult(int result) override { result_ = result; }
    int ModalResult() const override { return result_; }

private:
    int result_ = 0;
};

} // namespace

void ExportProgress::Start(int maximum, const QString &message, bool, bool)
{
    terminated_ = false;
    SetPosition(min_);
    SetMax(maximum);
    SetMessage(message);
}

DisplayFormat DisplayFormat::fromWord(int word)
{
    const auto bits = static_cast<unsigned>(word);
    return {static_cast<int>((bits >> 24) & 0x0F), static_cast<int>((bits >> 16) & 0xFF),
            static_cast<int>((bits >> 8) & 0xFF), QChar(static_cast<char16_t>(bits & 0xFF))};
}

int DisplayFormat::toWord() const
{
    // The separator is kept as one byte; a character beyond that keeps the
    // comma rather than a cut code that means another character.
    const unsigned separator = Separator.unicode() < 0x100 && !Separator.isNull() ? Separator.unicode() : u',';
    return static_cast<int>((static_cast<unsigned>(Category & 0x0F) << 24) |
                            (static_cast<unsigned>(Type & 0xFF) << 16) |
                            (static_cast<unsigned>(Digits & 0xFF) << 8) | separator);
}

int ReportDialogs::ShowForReport(Report &, const QString &, const QString &, const ProgressWork &work)
{
    HeadlessProgressWindow window;
    if (work)
        work(window);
    return window.ModalResult() == 0 ? 1 : window.ModalResult();
}

std::unique_ptr<ExportProgress> ReportDialogs::NewExportProgress()
{
    return std::make_unique<ExportProgress>();
}

bool ReportDialogs::AskPassword(QString &, const QString &)
{
    return false;
}

bool ReportDialogs::EditDisplayFormat(int &, QString &)
{
    return false;
}

bool ReportDialogs::InputQuery(const QString &, const QString &, QString &)
{
    return false;
}

} // namespace reports
