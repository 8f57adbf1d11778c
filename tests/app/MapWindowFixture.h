#pragma once
// Shared set-up of the tests of the map window's project, layer, layer-list
// and navigation commands: a map window of the test's own with its work
// folder in a temporary folder, a settings store of its own, and layer files
// built byte by byte at literal offsets (support/LayerBytes.h).

#include "app/FTolvane.h"
#include "app/LayerListRows.h"
#include "mapdata/MapFunctions.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "support/LayerBytes.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

// Texts in test messages as text.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace maptest {

// The hidden layer index of every row of a list.
inline std::vector<int> rowLayers(const QTreeWidget *list)
{
    std::vector<int> v;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        v.push_back(app::rowLayer(list->topLevelItem(i)));
    return v;
}

// Scripted answers, kept out of line: inlined into a test body the
// compiler's flow analysis warns about the script's variant (reply:
// support/ScriptedAnswers.h).
[[gnu::noinline]] inline void openFile(testsupport::ScriptedAnswers &answers, const QString &file)
{
    answers.openFile(file);
}
[[gnu::noinline]] inline void openFiles(testsupport::ScriptedAnswers &answers, const QStringList &files)
{
    answers.openFiles(files);
}
[[gnu::noinline]] inline void dialog(testsupport::ScriptedAnswers &answers,
                                     const testsupport::ScriptedAnswers::DialogHandler &handler)
{
    answers.dialog(handler);
}
[[gnu::noinline]] inline void cancelFile(testsupport::ScriptedAnswers &answers)
{
    answers.cancelFile();
}

class MapWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousStore_ = platform::Registry::instance().storageFile();
        platform::Registry::instance().setStorageFile(dir_.file(QStringLiteral("registry.reg")));
        previousDir_ = QDir::currentPath();
        work_ = dir_.file(QStringLiteral("work"));
        QDir().mkpath(work_);
        window_ = new TTolvane();
        map().SetWorkDir(work_);
        // A program folder of the test's own, with the layer templates.
        map().SetProgramDir(testsupport::copyProgramFiles(dir_.file(QStringLiteral("tolvane")), {"Default"}));
    }
    void TearDown() override
    {
        delete window_;
        window_ = nullptr;
        QDir::setCurrent(previousDir_);
        platform::Registry::instance().setStorageFile(previousStore_);
    }

    TTolvane &w() { return *window_; }
    TMapVyk &map() { return *window_->MapImage; }
    TMapLayer &layer(int i) { return map().Project().Layers[static_cast<size_t>(i)]; }
    // A folder of the test's temporary folder, made when missing.
    QString folder(const QString &name)
    {
        const QString p = dir_.file(name);
        QDir().mkpath(p);
        return p;
    }
    // Opens a layer file of the work folder as a new layer.
    int openLayer(const QString &name)
    {
        EXPECT_TRUE(w().OpenLayer(QDir(work_).filePath(name), -1, true)) << name.toStdString();
        return static_cast<int>(map().Project().Layers.size()) - 1;
    }
    // Forgets the stored views, so that the next redraw is seen in the
    // history (every redraw stores its view there).
    void forgetViews()
    {
        map().ZoomRing().Pos = 0;
        map().ZoomRing().Entries = {};
    }
    bool redrawn() const { return window_->MapImage->ZoomRing().Pos != 0; }

    testsupport::TempFolder dir_;
    QString work_;

private:
    QString previousStore_;
    QString previousDir_;
    TTolvane *window_ = nullptr;
};

} // namespace maptest
