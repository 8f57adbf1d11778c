// The main of every test program: a QApplication on the offscreen platform, a
// settings store of its own under a temporary folder, and an answers service
// that fails the test on any question no test scripted.

#include "support/ScriptedAnswers.h"

#include "platform/Registry.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settings;
    platform::Registry::instance().setStorageFile(settings.filePath(QStringLiteral("registry.reg")));
    testsupport::UnexpectedAnswers unexpected;
    platform::ScopedService<platform::UserAnswers> guard(unexpected);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
