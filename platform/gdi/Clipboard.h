#pragma once
// The system clipboard as the program uses it: plain text only. The default
// service is the platform's clipboard; tests install one of their own
// (platform::ScopedService<platform::TextClipboard>).

#include "platform/Service.h"

#include <QString>

namespace platform {

class TextClipboard {
public:
    virtual ~TextClipboard() = default;
    // The text on the clipboard; empty when it holds no text.
    virtual QString text() = 0;
    // Replaces the clipboard's contents by the text.
    virtual void setText(const QString &text) = 0;
};

// A clipboard that only keeps the text in memory.
class MemoryClipboard : public TextClipboard {
public:
    QString text() override { return text_; }
    void setText(const QString &text) override { text_ = text; }
private:
    QString text_;
};

// The platform's clipboard (QGuiApplication::clipboard()); without a GUI
// application it holds nothing and takes nothing.
class SystemClipboard : public TextClipboard {
public:
    QString text() override;
    void setText(const QString &text) override;
};

// The default service: the platform's clipboard.
template <>
TextClipboard &Service<TextClipboard>::fallback();

// The service in use.
inline TextClipboard &clipboard()
{
    return Service<TextClipboard>::get();
}

} // namespace platform
