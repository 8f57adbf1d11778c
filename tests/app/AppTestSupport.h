#pragma once
// Shared set-up of the window tests: a settings store of each test's own, the
// frame or map window made for the test and removed after it, and helpers
// for the settings the windows read.

#include "app/FStart.h"
#include "app/FTolvane.h"
#include "platform/Registry.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace apptest {

inline const QString ProductKey = QStringLiteral("\\SOFTWARE\\Tolvane 2");

inline void setProductValue(const QString &name, const QString &value)
{
    platform::Registry::instance().writeString(platform::RegRoot::LocalMachine, ProductKey, name, value);
}

// Scripts one OK answer. Kept out of line: inlined into a test body the
// compiler's flow analysis warns about the script's variant.
[[gnu::noinline]] inline void replyOk(testsupport::ScriptedAnswers &answers)
{
    answers.reply(platform::mrOk);
}

// Copies the program's style libraries ("Symbols.glb", "Points.glb",
// "Lines.glb") into a folder.
inline void copyStyleLibraries(const QString &folder)
{
    for (const char *name : {"Symbols.glb", "Points.glb", "Lines.glb"}) {
        const QString target = QDir(folder).filePath(QLatin1String(name));
        QFile::remove(target);
        QFile::copy(QDir(QStringLiteral(TOLVANE_PROGRAM_DIR)).filePath(QLatin1String(name)), target);
    }
}

// Scripts the three messages of a frame made over a program folder without
// style libraries. Kept out of line (see replyOk).
[[gnu::noinline]] inline void replyMissingLibraries(testsupport::ScriptedAnswers &answers)
{
    for (int i = 0; i < 3; ++i)
        answers.reply(platform::mrOk);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousStore_ = platform::Registry::instance().storageFile();
        platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
        previousDir_ = QDir::currentPath();
        // The frame reads the style libraries of its program folder, which
        // is the current folder unless the store names another: the test's
        // folder, with the program's libraries in it.
        copyStyleLibraries(dir_.path());
        QDir::setCurrent(dir_.path());
    }
    void TearDown() override
    {
        delete frame_;
        frame_ = nullptr;
        delete map_;
        map_ = nullptr;
        QDir::setCurrent(previousDir_);
        platform::Registry::instance().setStorageFile(previousStore_);
    }

    // A map window of its own, without a frame.
    TTolvane &mapWindow()
    {
        if (!map_)
            map_ = new TTolvane();
        return *map_;
    }
    // The frame with its map window.
    TStart &frame()
    {
        if (!frame_) {
            frame_ = new TStart();
            frame_->EnsureMapWindow();
        }
        return *frame_;
    }

    testsupport::TempFolder dir_;

private:
    QString previousStore_;
    QString previousDir_;
    TTolvane *map_ = nullptr;
    TStart *frame_ = nullptr;
};

} // namespace apptest
