#pragma once
// The folder a benchmark writes its tables into: $TOLVANE_BENCH_DIR when set
// (so that a script can run another program on the same files), else a
// temporary folder of the run.

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace bench {

inline const QString &benchFolder()
{
    static std::unique_ptr<QTemporaryDir> temp;
    static const QString folder = [] {
        const QString fromEnv = qEnvironmentVariable("TOLVANE_BENCH_DIR");
        if (!fromEnv.isEmpty())
            return fromEnv;
        temp = std::make_unique<QTemporaryDir>();
        return temp->path();
    }();
    return folder;
}

} // namespace bench
