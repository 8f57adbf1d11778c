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

// Copies the style libraries of the tests' program folder into a folder, so
// that a frame started on that folder finds them.
inline void copyStyleLibraries(const QString &folder)
{
    testsupport::copyProgramFiles(folder, {"Symbols.glb", "Points.glb", "Lines.glb"});
}

// Scripts one OK answer. Kept out of line: inlined into a test body the
// compiler's flow analysis warns about the script's variant.
[[gnu::noinline]] inline void replyOk(testsupport::ScriptedAnswers &answers)
{
    answers.reply(platform::mrOk);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousStore_ = platform::Registry::instance().storageFile();
        platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
        previousDir_ = QDir::currentPath();
        // A frame starts on a program folder of the test's own, with the
        // style libraries, cursors and layer templates.
        setProductValue(QStringLiteral("ProgramDirectory"), programDir());
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

    // The test's program folder: a copy of the tests' program folder
    // without the demo project.
    QString programDir()
    {
        const QString folder = dir_.file(QStringLiteral("tolvane"));
        if (!QDir(folder).exists())
            testsupport::copyProgramFiles(folder, {"Symbols.glb", "Points.glb", "Lines.glb", "cur", "Default"});
        return folder;
    }

    testsupport::TempFolder dir_;

private:
    QString previousStore_;
    QString previousDir_;
    TTolvane *map_ = nullptr;
    TStart *frame_ = nullptr;
};

} // namespace apptest
