// The file dialog as the platform shows it: the folder it starts in and the
// extension it adds, from the forms the callers pass.

#include "platform/ui/QtUserAnswers.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

TEST(QtFileDialog, TheExtensionAddedToATypedName)
{
    const std::pair<const char *, const char *> cases[] = {
        {"shp", "shp"}, {".tvp", "tvp"}, {"*.frf", "frf"}, {"*.wmf;*.emf;*.bmp;*.jpg", "wmf"}, {"*.*", ""}, {"", ""},
    };
    for (const auto &[given, suffix] : cases)
        EXPECT_EQ(platform::toQtSuffix(QString::fromUtf8(given)), QString::fromUtf8(suffix)) << given;
}

// A folder named with "\" (as the report commands once joined it) opens as
// that folder: Qt alone takes the text for the name of a file, which the
// dialog then answers with "file not found".
TEST(QtFileDialog, StartsInAFolderNamedWithBackslashes)
{
    testsupport::TempFolder dir;
    QDir().mkpath(dir.file(QStringLiteral("Reports")));
    platform::QtUserAnswers answers;
    platform::FileDialogRequest request;
    request.initialDir = dir.path() + QStringLiteral("\\Reports");
    request.defaultExt = QStringLiteral("*.frf");
    request.filter = QStringLiteral("Открытие отчёта (*.frf)|*.frf");
    QString shownDir, suffix, typed = QStringLiteral("not shown");
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        shownDir = d->directory().absolutePath();
        suffix = d->defaultSuffix();
        typed = d->selectedFiles().value(0);
        d->reject();
    });
    EXPECT_FALSE(answers.fileDialog(request).accepted);
    EXPECT_EQ(shownDir, QDir(dir.file(QStringLiteral("Reports"))).absolutePath());
    EXPECT_EQ(suffix, QStringLiteral("frf"));
    EXPECT_FALSE(typed.contains(u'\\')) << typed.toStdString();
}
