// Feeds arbitrary bytes as a prepared report (".frp"): the file's pages are
// read, each is unpacked into its objects and packed again, and the whole is
// written back. Reading must end and either refuse the file or give pages
// that unpack.

#include "FuzzSupport.h"
#include "reports/model/ReportComponent.h"
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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    TfrReport report;
    try {
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        report.EMFPages->LoadFromStream(in);
    } catch (const std::exception &) {
        if (report.EMFPages->Count() != 0)
            std::abort();
        return 0;
    }
    for (int i = 0; i < report.EMFPages->Count() && i < 16; ++i) {
        report.EMFPages->ObjectsToPage(i);
        report.EMFPages->PageToObjects(i);
    }
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    report.EMFPages->SaveToStream(buffer);
    library().State = BuildState();
    return 0;
}
