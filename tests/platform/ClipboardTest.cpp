#include "platform/gdi/Clipboard.h"

#include <gtest/gtest.h>

TEST(Clipboard, SystemClipboardAndScopedServices)
{
    // The platform's clipboard works within the process (offscreen too).
    platform::SystemClipboard system;
    system.setText(QStringLiteral("Tolvane Object\r\nПроба"));
    EXPECT_EQ(system.text(), QStringLiteral("Tolvane Object\r\nПроба"));

    platform::MemoryClipboard outer, inner;
    {
        platform::ScopedService<platform::TextClipboard> a(outer);
        platform::clipboard().setText(QStringLiteral("outer"));
        {
            platform::ScopedService<platform::TextClipboard> b(inner);
            platform::clipboard().setText(QStringLiteral("inner"));
        }
        EXPECT_EQ(platform::clipboard().text(), QStringLiteral("outer"));
    }
    EXPECT_EQ(inner.text(), QStringLiteral("inner"));
    // Back to the system's own.
    EXPECT_EQ(platform::clipboard().text(), QStringLiteral("Tolvane Object\r\nПроба"));
}
