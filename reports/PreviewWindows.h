#pragma once
// How a built report reaches the preview window: the windows library installs
// its window (platform::ScopedService<reports::PreviewWindows>); the default
// shows nothing, so that a program without windows previews nothing.

#include "platform/Service.h"

#include <QString>

namespace reports {

class TfrReport;

class PreviewWindows {
public:
    virtual ~PreviewWindows() = default;
    // Shows the report's prepared pages under the caption (modal when the
    // report's ModalPreview is set).
    virtual void Show(TfrReport & /*report*/, const QString & /*caption*/) {}
};

} // namespace reports
