// The report component's files: the template, the prepared report, template
// files and form storage. The file formats fill these in; until then a
// template keeps what is in memory.
#include "reports/ReportComponent.h"

#include <QFileInfo>

namespace reports {

void TfrReport::LoadFromStream(QIODevice &) {}
void TfrReport::SaveToStream(QIODevice &) {}

bool TfrReport::LoadFromFile(const QString &name)
{
    if (!QFileInfo::exists(name))
        return false;
    FileName = name;
    return true;
}

void TfrReport::SaveToFile(const QString &) {}
void TfrReport::SaveToFR3File(const QString &) {}
void TfrReport::LoadPreparedReport(const QString &)
{
    ResetReportInfo();
    CanRebuild = false;
}
void TfrReport::SavePreparedReport(const QString &) {}
void TfrReport::LoadTemplate(const QString &, QStringList *, QImage *, bool) {}
void TfrReport::SaveTemplate(const QString &, const QStringList &, const QImage *) {}
void TfrReport::WriteReportForm(QIODevice &) {}
void TfrReport::ReadReportForm(QIODevice &) {}
void TfrReport::Loaded() {}

} // namespace reports
