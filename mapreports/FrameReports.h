#pragma once
// The frame's report components for the whole run: the one report, the
// query "QuerySQL" and its report data set "frQuerySQL" (which templates
// name, as the coordinate list's does), and the variables templates read.
// The program installs it as the report engine the frame and the map window
// reach (reports/output/ReportEngine.h). Where the report's windows come from (the
// preview, progress windows) is the report's `Windows`.

#include "platform/db/Query.h"
#include "reports/model/DataSets.h"
#include "reports/model/ReportComponent.h"
#include "reports/output/ReportEngine.h"

namespace reports {

class FrameReportEngine : public ReportEngine {
public:
    FrameReportEngine();
    ~FrameReportEngine() override;

    bool LoadFromFile(const QString &fileName) override;
    void Clear() override;
    void ShowReport() override;
    void DesignReport() override;
    // Kept here and in the report library's variables, which templates read.
    void SetReportVariable(const QString &name, const QVariant &value) override;
    // Sets "QuerySQL" on the table and counts its rows; the query is closed
    // again, and the report that follows opens it while it reads it.
    // Raises the database engine's error.
    int QueryRowCount(const QString &folder, const QString &table) override;

    TfrReport &Report() { return report_; }
    platform::db::Query &QuerySQL() { return query_; }

private:
    platform::db::Query query_;
    DBDataSet frQuerySQL_;
    TfrReport report_;
};

} // namespace reports
