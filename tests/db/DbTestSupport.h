#pragma once
// dBase fixtures built byte by byte with literal offsets (not with the writer
// under test), and small helpers for the engine's tests.

#include "platform/TextCodec.h"
#include "support/TestFiles.h"

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <vector>

namespace dbtest {

inline QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

struct FieldSpec {
    const char *name;
    char type;
    int length;
    int decimals;
};

// A cell: Windows-1251 text padded with blanks on the right (C, D, L) or on the left (N).
inline QByteArray left(const QString &text, int width)
{
    QByteArray b = platform::toCp1251(text);
    b = b.left(width);
    return b + QByteArray(width - b.size(), ' ');
}

inline QByteArray right(const QString &text, int width)
{
    QByteArray b = platform::toCp1251(text);
    b = b.left(width);
    return QByteArray(width - b.size(), ' ') + b;
}

// A record: the delete flag, then the cells as given.
inline QByteArray record(const std::vector<QByteArray> &cells, bool deleted = false)
{
    QByteArray r(1, deleted ? '*' : ' ');
    for (const QByteArray &c : cells)
        r += c;
    return r;
}

// A dBase III file: 32-byte header (version, date yy mm dd, record count,
// header length, record length), 32-byte descriptors, 0x0D, the records, 0x1A.
inline QByteArray dbfFile(const std::vector<FieldSpec> &fields, const std::vector<QByteArray> &records,
                          int yy = 106, int mm = 3, int dd = 1, bool endMark = true)
{
    const int n = static_cast<int>(fields.size());
    int recordLength = 1;
    for (const FieldSpec &f : fields)
        recordLength += f.length;
    QByteArray b(32 + 32 * n + 1, '\0');
    b[0] = 0x03;
    b[1] = static_cast<char>(yy);
    b[2] = static_cast<char>(mm);
    b[3] = static_cast<char>(dd);
    testsupport::putLE32(b, 4, static_cast<std::int32_t>(records.size()));
    testsupport::putLE16(b, 8, static_cast<std::int16_t>(32 * n + 33));
    testsupport::putLE16(b, 10, static_cast<std::int16_t>(recordLength));
    for (int i = 0; i < n; ++i) {
        const int at = 32 + 32 * i;
        const QByteArray name(fields[static_cast<size_t>(i)].name);
        for (int c = 0; c < name.size() && c < 11; ++c)
            b[at + c] = name[c];
        b[at + 11] = fields[static_cast<size_t>(i)].type;
        b[at + 16] = static_cast<char>(fields[static_cast<size_t>(i)].length);
        b[at + 17] = static_cast<char>(fields[static_cast<size_t>(i)].decimals);
    }
    b[32 + 32 * n] = 0x0D;
    for (const QByteArray &r : records)
        b += r;
    if (endMark)
        b += char(0x1A);
    return b;
}

inline int le32At(const QByteArray &b, int at)
{
    return static_cast<int>(static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8)
                            | (static_cast<quint8>(b[at + 2]) << 16) | (static_cast<quint8>(b[at + 3]) << 24));
}

// The street table most tests use (7 records, the fourth marked deleted):
// ID N(9,0), STREET C(30), HOUSE C(10), AREA N(12,2), DATEEDIT D(8), ACTIVE L(1).
inline std::vector<FieldSpec> streetFields()
{
    return {{"ID", 'N', 9, 0}, {"STREET", 'C', 30, 0}, {"HOUSE", 'C', 10, 0},
            {"AREA", 'N', 12, 2}, {"DATEEDIT", 'D', 8, 0}, {"ACTIVE", 'L', 1, 0}};
}

inline QByteArray streetRecord(int id, const char *street, const char *house, const char *area, const char *date,
                               char active, bool deleted = false)
{
    return record({right(QString::number(id), 9), left(u8(street), 30), left(u8(house), 10), right(u8(area), 12),
                   left(u8(date), 8), QByteArray(1, active)},
                  deleted);
}

inline QByteArray streetTable()
{
    return dbfFile(streetFields(),
                   {streetRecord(1, "Шевченка", "12", "100.50", "20240115", 'T'),
                    streetRecord(2, "Франка", "3а", "20.00", "", 'F'),
                    streetRecord(3, "ШЕВЧЕНКА", "14", "55.25", "20231201", ' '),
                    streetRecord(4, "Садова", "7", "1.00", "", 'T', true),
                    streetRecord(5, "Садова", "7", "300.00", "20200229", 't'),
                    streetRecord(6, "шевченка", "2", "0.75", "", 'f'),
                    streetRecord(7, "пров. \"Тихий\"", "5", "", "", '?')});
}

// A program on the search path, or empty.
inline QString program(const QString &name)
{
    return QStandardPaths::findExecutable(name);
}

// The Python of the system (where Debian's python3-dbfread lives), or empty
// when no Python on the machine can import dbfread.
inline QString pythonWithDbfread()
{
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"), program(QStringLiteral("python3"))}) {
        if (candidate.isEmpty())
            continue;
        QProcess p;
        p.start(candidate, {QStringLiteral("-c"), QStringLiteral("import dbfread")});
        if (p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return candidate;
    }
    return {};
}

// Runs a program; the standard output, or a null array when it failed.
inline QByteArray run(const QString &program, const QStringList &args, QString *errors = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        if (errors)
            *errors = QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    QByteArray out = p.readAllStandardOutput();
    if (out.isNull())
        out = QByteArray("");
    return out;
}

} // namespace dbtest
