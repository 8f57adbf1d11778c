// Feeds arbitrary bytes to the metafile readers (enhanced metafiles and
// placeable Windows metafiles, told apart by their content). A picture read
// is played onto a small image and written in both forms, which must read
// again; a refused file must say why.
// Nothing may be read out of bounds, and no count in the file may make the
// reader allocate beyond what the bytes could hold.

#include "FuzzSupport.h"
#include "platform/gdi/Metafile.h"
#include "platform/gdi/PainterCanvas.h"

using namespace platform::gdi;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    // The reference device of the pictures read, whatever screen there is.
    static platform::ScopedService<ScreenMetrics> metrics(ScreenMetrics(DeviceMetrics{1000, 800, 250, 200, 96, 96}));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString error;
    const std::optional<Metafile> m = Metafile::fromBytes(bytes, &error);
    if (!m) {
        if (error.isEmpty())
            __builtin_trap();
        return 0;
    }
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        PainterCanvas canvas(image);
        m->play(canvas, Rect{0, 0, 48, 32});
    }
    for (const QByteArray &again : {m->toEmf(), m->toWmf()}) {
        const std::optional<Metafile> back = Metafile::fromBytes(again, &error);
        if (!back)
            __builtin_trap();
    }
    return 0;
}
