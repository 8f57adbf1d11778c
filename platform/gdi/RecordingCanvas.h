#pragma once
// A canvas that keeps the list of calls it received, with their arguments, for
// tests that check what drawing code asked for. It measures text as the screen
// would and otherwise behaves like any canvas (state, mapping, conversions).

#include "platform/gdi/Canvas.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace platform::gdi {

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(const DeviceMetrics &metrics = screenMetrics());

    const std::vector<MetaRecord> &calls() const { return calls_; }
    // The calls as text, one line each ("Polygon (0,0) (141,51) ..."); a kind
    // selects only the calls of that record kind.
    QStringList log() const;
    std::vector<MetaRecord> callsOf(int type) const;
    void clear() { calls_.clear(); }

protected:
    void perform(const RecordView &record) override;

private:
    std::vector<MetaRecord> calls_;
};

// One record as a line of text.
QString describe(const MetaRecord &record);

} // namespace platform::gdi
