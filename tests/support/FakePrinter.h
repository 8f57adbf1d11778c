#pragma once
// A printer backend for tests: printers, settings, capabilities, paper sizes
// and bins as the test sets them; what the report printer writes is kept.

#include "platform/Printing.h"

class FakePrinterBackend : public platform::PrinterBackend {
public:
    QStringList names;
    int selected = 0;
    bool busy = false;
    bool unreadable = false; // the settings cannot be read
    platform::DeviceMode mode;
    platform::PrinterCaps printerCaps;
    std::vector<platform::PrinterChoiceItem> papers;
    std::vector<platform::PrinterChoiceItem> binList;
    std::vector<platform::DeviceMode> written;
    int resets = 0;
    // What the driver's dialog answers (none: cancelled).
    std::optional<platform::DeviceMode> dialogChoice;

    QStringList printers() const override { return names; }
    int printerIndex() const override { return names.isEmpty() ? -1 : selected; }
    void setPrinterIndex(int index) override { selected = index; }
    QString deviceName() const override { return names.value(selected); }
    bool printing() const override { return busy; }
    std::optional<platform::DeviceMode> deviceMode() override
    {
        if (unreadable)
            return std::nullopt;
        return mode;
    }
    void setDeviceMode(const platform::DeviceMode &m) override
    {
        written.push_back(m);
        mode = m;
    }
    void resetDeviceMode() override { ++resets; }
    platform::PrinterCaps caps() const override { return printerCaps; }
    std::vector<platform::PrinterChoiceItem> paperSizes() const override { return papers; }
    std::vector<platform::PrinterChoiceItem> bins() const override { return binList; }
    bool editDeviceMode(platform::DeviceMode &m) override
    {
        if (!dialogChoice)
            return false;
        m = *dialogChoice;
        return true;
    }
};
