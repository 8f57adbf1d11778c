#pragma once
// Answers services for tests: one that answers from a script and records the
// questions, and one that fails the test on any question at all.

#include "platform/UserAnswers.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <variant>

namespace testsupport {

struct AskedMessage {
    QString text;
    platform::MsgType type;
    unsigned buttons;
};

class ScriptedAnswers : public platform::UserAnswers {
public:
    using DialogHandler = std::function<int(QDialog &)>;
    using Answer = std::variant<int, platform::FileDialogAnswer, QString, platform::FontChoice,
                                platform::PrinterChoice, DialogHandler>;

    ScriptedAnswers() : guard_(*this) {}

    // Answers are taken in order; a question whose answer is of another kind,
    // or that finds the script empty, fails the test and gets a cancel.
    ScriptedAnswers &reply(int modalResult) { script_.emplace_back(std::in_place_type<int>, modalResult); return *this; }
    ScriptedAnswers &openFile(const QString &file) { script_.push_back(platform::FileDialogAnswer{true, {file}, 1}); return *this; }
    ScriptedAnswers &openFiles(const QStringList &files) { script_.push_back(platform::FileDialogAnswer{true, files, 1}); return *this; }
    ScriptedAnswers &cancelFile() { script_.push_back(platform::FileDialogAnswer{}); return *this; }
    ScriptedAnswers &folder(const QString &dir) { script_.push_back(dir); return *this; }
    ScriptedAnswers &font(const platform::FontChoice &f) { script_.push_back(f); return *this; }
    ScriptedAnswers &printer(const platform::PrinterChoice &p) { script_.push_back(p); return *this; }
    // A modal window: the handler fills it in and returns its modal result.
    ScriptedAnswers &dialog(DialogHandler h) { script_.push_back(std::move(h)); return *this; }

    const std::vector<AskedMessage> &messages() const { return messages_; }
    const std::vector<platform::FileDialogRequest> &fileRequests() const { return fileRequests_; }
    bool exhausted() const { return script_.empty(); }

    int messageDlg(const QString &text, platform::MsgType type, unsigned buttons, const QString &caption) override;
    platform::FileDialogAnswer fileDialog(const platform::FileDialogRequest &request) override;
    QString selectDirectory(const QString &caption, const QString &start) override;
    bool chooseColor(int &color) override;
    bool chooseFont(platform::FontChoice &font) override;
    bool choosePrinter(platform::PrinterChoice &printer) override;
    int runModal(QDialog &dialog) override;

private:
    template <typename T> bool take(T &out, const char *what);

    std::deque<Answer> script_;
    std::vector<AskedMessage> messages_;
    std::vector<platform::FileDialogRequest> fileRequests_;
    platform::ScopedService<platform::UserAnswers> guard_;
};

// Installed by the test main: any question fails the test and is cancelled.
class UnexpectedAnswers : public platform::UserAnswers {
public:
    int messageDlg(const QString &text, platform::MsgType, unsigned, const QString &) override;
    platform::FileDialogAnswer fileDialog(const platform::FileDialogRequest &request) override;
    QString selectDirectory(const QString &caption, const QString &) override;
    bool chooseColor(int &) override;
    bool chooseFont(platform::FontChoice &) override;
    bool choosePrinter(platform::PrinterChoice &) override;
    int runModal(QDialog &dialog) override;
};

} // namespace testsupport
