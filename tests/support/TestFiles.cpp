#include "support/TestFiles.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <bit>
#include <gtest/gtest.h>

namespace testsupport {

TempFolder::TempFolder() { EXPECT_TRUE(dir_.isValid()); }

QString TempFolder::write(const QString &name, const QByteArray &data) const
{
    const QString p = file(name);
    QFile f(p);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << p.toStdString();
    f.write(data);
    return p;
}

QByteArray TempFolder::read(const QString &name) const
{
    QFile f(name.startsWith(u'/') ? name : file(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString programFolder()
{
    return QStringLiteral(TOLVANE_TEST_PROGRAM_DIR);
}

QString copyProgramFiles(const QString &folder, std::initializer_list<const char *> names)
{
    EXPECT_TRUE(QDir().mkpath(folder)) << folder.toStdString();
    const QDir from(programFolder());
    for (const char *name : names) {
        const QString source = from.filePath(QLatin1String(name));
        const QString target = QDir(folder).filePath(QLatin1String(name));
        const bool copied = QFileInfo(source).isDir() ? platform::copyFolder(source, target)
                                                      : QFile::copy(source, target);
        EXPECT_TRUE(copied) << source.toStdString();
    }
    return folder;
}

QString copyDemoProject(const QString &folder)
{
    EXPECT_TRUE(platform::copyFolder(QDir(programFolder()).filePath(QStringLiteral("Demo")), folder))
        << "the tests' demo project";
    return QDir(folder).filePath(QStringLiteral("demo.tvp"));
}

QString artefactFolder(const QString &sub)
{
    const QString dir = QStringLiteral(TOLVANE_TEST_ARTEFACTS "/") + sub;
    QDir().mkpath(dir);
    return dir;
}

static void ensure(QByteArray &b, qsizetype end)
{
    if (b.size() < end)
        b.resize(end, '\0');
}

void putLE32(QByteArray &b, qsizetype o, std::int32_t v)
{
    ensure(b, o + 4);
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        b[o + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

void putBE32(QByteArray &b, qsizetype o, std::int32_t v)
{
    ensure(b, o + 4);
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        b[o + i] = static_cast<char>((u >> (8 * (3 - i))) & 0xFF);
}

void putLE16(QByteArray &b, qsizetype o, std::int16_t v)
{
    ensure(b, o + 2);
    const auto u = static_cast<std::uint16_t>(v);
    b[o] = static_cast<char>(u & 0xFF);
    b[o + 1] = static_cast<char>(u >> 8);
}

void putLEDouble(QByteArray &b, qsizetype o, double v)
{
    ensure(b, o + 8);
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        b[o + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

} // namespace testsupport
