#pragma once
// Golden files of the exports' tests (tests/reports/exports): compared byte
// for byte, or written anew when TOLVANE_WRITE_GOLDEN is set.

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace exportfixture {

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Compares with the golden file, or writes it first when asked to.
inline void expectGolden(const QString &name, const QByteArray &bytes)
{
    const QString path = QStringLiteral(TOLVANE_SOURCE_DIR "/tests/reports/exports/") + name;
    if (qEnvironmentVariableIsSet("TOLVANE_WRITE_GOLDEN")) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly)) << path.toStdString();
        out.write(bytes);
    }
    const QByteArray golden = readFile(path);
    ASSERT_FALSE(golden.isEmpty()) << "missing golden file " << path.toStdString();
    EXPECT_EQ(bytes.toStdString(), golden.toStdString()) << name.toStdString();
}

} // namespace exportfixture
