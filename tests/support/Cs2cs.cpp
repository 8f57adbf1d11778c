#include "support/Cs2cs.h"

#include <QProcess>
#include <QStandardPaths>

namespace testsupport {

bool haveCs2cs()
{
    return !QStandardPaths::findExecutable(QStringLiteral("cs2cs")).isEmpty();
}

std::vector<std::pair<double, double>> cs2cs(const QStringList &args,
                                             const std::vector<std::pair<double, double>> &points)
{
    QProcess p;
    p.start(QStringLiteral("cs2cs"), QStringList{QStringLiteral("-f"), QStringLiteral("%.10f")} + args);
    std::vector<std::pair<double, double>> out;
    if (!p.waitForStarted())
        return out;
    QByteArray input;
    for (const auto &[a, b] : points)
        input += QByteArray::number(a, 'f', 10) + ' ' + QByteArray::number(b, 'f', 10) + '\n';
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    for (const QByteArray &line : p.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 2)
            out.emplace_back(f[0].toDouble(), f[1].toDouble());
    }
    return out;
}

} // namespace testsupport
