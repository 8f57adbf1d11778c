// Feeds arbitrary bytes, as a cursor file (".cur"), to the cursor reader:
// the hotspot of the directory and the picture. A cursor made must have its
// hotspot inside its picture.

#include "FuzzSupport.h"
#include "platform/gdi/CursorFile.h"

#include <QPixmap>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<QCursor> cursor = platform::cursorFromBytes(bytes);
    if (cursor) {
        const QPixmap picture = cursor->pixmap();
        const QPoint hot = cursor->hotSpot();
        if (hot.x() < 0 || hot.y() < 0 || hot.x() >= picture.width() || hot.y() >= picture.height())
            __builtin_trap();
    }
    return 0;
}
