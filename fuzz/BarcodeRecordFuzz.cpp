// Feeds arbitrary bytes to the barcode object as a record read from a
// template (its 24-byte block) followed by the Windows-1251 text it shows:
// the record is read, the object drawn on a small picture, and the engine
// asked for the pattern of that text in every symbology. Nothing may crash
// or hang; the engine refuses what it cannot encode with its own error only.

#include "fuzz/FuzzSupport.h"
#include "platform/TextCodec.h"
#include "platform/gdi/Bitmap.h"
#include "reports/addins/Barcode.h"
#include "reports/addins/BarcodeView.h"
#include "reports/model/ReportLibrary.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

using namespace reports;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    if (size > 2048)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString text = platform::fromCp1251(bytes.mid(BarCodeParams::kSize));

    BarCodeView view;
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    try {
        view.LoadFromStream(in);
    } catch (const std::runtime_error &) {
        return 0; // cut short
    }
    view.Memo = QStringList{text};
    view.SetBounds(2, 2, 40, 30);
    library().State.DocumentMode = 1;
    platform::gdi::Bitmap picture(48, 40);
    view.Draw(picture.canvas());

    for (int type = 0; type <= kBarcodeTypeCount; ++type) {
        Barcode bc;
        bc.SetTyp(type);
        bc.SetText(text);
        bc.SetChecksum(size % 2);
        try {
            bc.Width();
        } catch (const BarcodeError &) {
        }
    }
    return 0;
}
