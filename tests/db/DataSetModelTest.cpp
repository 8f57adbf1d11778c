// The grid model over a data set: rows and captions, edits posted through
// the engine, the current row and marked rows, errors shown to the user.

// GCC 12 takes the script's std::variant for uninitialized when it is filled
// in this file (a false alarm of its flow analysis).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "DbTestSupport.h"

#include "platform/db/DataSetModel.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "support/ScriptedAnswers.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace platform::db;
using namespace dbtest;
using testsupport::TempFolder;

TEST(DataSetModel, ShowsEditsAndFollowsTheCurrentRecord)
{
    TempFolder dir;
    dir.write(QStringLiteral("streets.dbf"), streetTable());
    Query q;
    q.setDatabaseName(dir.path());
    q.setSqlText(QStringLiteral("Select ID, STREET, AREA From \"streets.dbf\" Order By ID"));
    q.open();
    q.field(1).setDisplayLabel(u8("Улица"));
    DataSetModel model(&q);
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), u8("Улица"));
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), u8("Франка"));
    EXPECT_TRUE(model.flags(model.index(1, 1)) & Qt::ItemIsEditable);

    QSignalSpy current(&model, &DataSetModel::currentRowChanged);
    model.setCurrentRow(3);
    EXPECT_EQ(q.fieldByName(u"ID").asInteger(), 5);
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current.at(0).at(0).toInt(), 3);
    q.first();
    EXPECT_EQ(model.currentRow(), 0);

    ASSERT_TRUE(model.setData(model.index(2, 1), u8("Нова")));
    EXPECT_EQ(model.data(model.index(2, 1)).toString(), u8("Нова"));
    EXPECT_EQ(q.recNo(), 3);

    // A value that does not fit: the user is told, nothing changes.
    {
        testsupport::ScriptedAnswers answers;
        answers.reply(platform::mrOk);
        EXPECT_FALSE(model.setData(model.index(0, 2), 1e15));
        ASSERT_EQ(answers.messages().size(), 1u);
        EXPECT_TRUE(answers.messages()[0].text.contains(QStringLiteral("AREA")));
    }
    EXPECT_EQ(q.state(), DataSetState::Browse);
    EXPECT_DOUBLE_EQ(model.data(model.index(0, 2)).toDouble(), 100.5);

    // Marked rows keep the order of marking.
    model.setMarked(4, true);
    model.setMarked(1, true);
    model.setMarked(4, true);
    EXPECT_TRUE(model.isMarked(1));
    EXPECT_FALSE(model.isMarked(2));
    ASSERT_EQ(model.markedBookmarks().size(), 2u);
    q.gotoBookmark(model.markedBookmarks()[0]);
    EXPECT_EQ(q.fieldByName(u"ID").asInteger(), 6);
    model.clearMarks();
    EXPECT_TRUE(model.markedBookmarks().empty());

    q.close();
    EXPECT_EQ(model.rowCount(), 0);
    Table t;
    t.setDatabaseName(dir.path());
    t.setTableName(QStringLiteral("streets.dbf"));
    t.open();
    t.setRecNo(3);
    EXPECT_EQ(t.fieldByName(u"STREET").asString(), u8("Нова"));
    // Over a dBase table the deleted record shows, marked.
    model.setDataSet(&t);
    EXPECT_EQ(model.rowCount(), 7);
    EXPECT_TRUE(model.data(model.index(3, 0), DataSetModel::DeletedRole).toBool());
}
