// Feeds arbitrary bytes as a report template stream (".frf") and, from the
// same bytes, as a template file (".frt") header; every object read is then
// written again. Reading must end, refuse what it cannot take with a message
// and leave a report that can be saved.

#include "FuzzSupport.h"
#include "platform/UserAnswers.h"
#include "reports/model/ReportComponent.h"
#include "reports/model/ReportLibrary.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

using namespace reports;

namespace {

struct Silent : platform::UnattendedAnswers {
    int messageDlg(const QString &, platform::MsgType, unsigned, const QString &) override { return platform::mrOk; }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzsupport::startApplication(argc, argv);
    static Silent silent;
    static platform::ScopedService<platform::UserAnswers> answers(silent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    TfrReport report;
    {
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        report.LoadFromStream(in);
    }
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    report.SaveToStream(buffer);
    if (out.isEmpty() || static_cast<quint8>(out[0]) != 25)
        std::abort();
    library().State = BuildState();
    return 0;
}
