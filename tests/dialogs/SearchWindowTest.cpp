// The search window over a map window stand-in: the search SQL run on the
// layer's table, the three request forms, refusals that change nothing, and
// requests over the local socket.

#include "dialogs/FFind.h"
#include "dialogs/SearchServer.h"
#include "platform/db/DataSetModel.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"

#include "DialogsTestSupport.h"
#include "support/ScriptedAnswers.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QProcess>
#include <QLineEdit>
#include <QTableView>
#include <QTreeWidget>
#include <QUuid>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using dbtest::u8;
using dialogtest::FakeMapWindow;

namespace {

class SearchWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        work_ = dir_.path();
        dialogtest::writeFile(dir_.file(QStringLiteral("parcels.dbf")), dialogtest::parcelsTable());
        dialogtest::writeFile(dir_.file(QStringLiteral("houses.dbf")), dialogtest::housesTable());
        host_.core.SetWorkDir(work_);
        parcels_ = host_.addLayer(QStringLiteral("parcels.shp"), u8("Ділянки"), QStringLiteral("NAME"),
                                  QStringLiteral("STREET"), QStringLiteral("HOUSE"));
        houses_ = host_.addLayer(QStringLiteral("houses.shp"), u8("Будинки"), QString(), QString(),
                                 QStringLiteral("HOUSE"));
        host_.addLayer(QStringLiteral("roads.shp"), u8("Дороги"), QString(), QString(), QString());
        for (int i = 0; i < 5; ++i)
            host_.boxes[{parcels_, i}] = {100.0 + 10 * i, 200.0 + 10 * i, 105.0 + 10 * i, 205.0 + 10 * i};
        host_.boxes[{houses_, 0}] = {500, 600, 510, 610};
        host_.boxes[{houses_, 1}] = {700, 800, 710, 810};
        find_ = FindTolvane();
    }
    void TearDown() override { FreeFindWindows(); }

    std::vector<std::pair<int, int>> selection() const
    {
        std::vector<std::pair<int, int>> v;
        for (const TSelObject &e : host_.core.Selection().Entries)
            v.emplace_back(e.Layer, e.Index);
        return v;
    }

    testsupport::TempFolder dir_;
    QString work_;
    FakeMapWindow host_;
    int parcels_ = 0, houses_ = 0;
    TFindTolvane *find_ = nullptr;
};

using Sel = std::vector<std::pair<int, int>>;

TEST_F(SearchWindowTest, SearchTextsBuildAndRunTheSql)
{
    find_->PrepareToShow();
    EXPECT_EQ(find_->FLayerIndex, parcels_);
    EXPECT_EQ(find_->MapQuery->recordCount(), 5);
    // The value lists hold the distinct values, sorted.
    ASSERT_EQ(find_->cbNameHouse->count(), 4);
    EXPECT_EQ(find_->cbNameHouse->itemText(0), u8("12"));

    find_->cbNameStreet->setEditText(u8("шевченка"));
    EXPECT_EQ(find_->MapMemo->toPlainText(),
              u8("Select *\nFrom \"parcels.Dbf\"\nWhere (STREET Like \"%шевченка%\")\nORDER BY STREET"));
    EXPECT_EQ(find_->MapQuery->recordCount(), 3);
    find_->BtnFindClick();
    const int first = find_->MapQuery->fieldByName(u"ID").asInteger() - 1;
    EXPECT_EQ(selection(), Sel({{parcels_, first}}));

    // "Найти далее" walks the rows and stays on the last one.
    host_.located.clear();
    find_->BtnNextClick();
    find_->BtnNextClick();
    find_->BtnNextClick();
    ASSERT_EQ(host_.located.size(), 3u);
    EXPECT_EQ(host_.located[1], host_.located[2]);
    EXPECT_TRUE(find_->MapQuery->eof() || find_->MapQuery->recNo() == 3);
}

TEST_F(SearchWindowTest, FieldFormSelectsAndCentres)
{
    struct Case {
        const char *request;
        int object;
    } cases[] = {
        {"layer=parcels,field=NAME,value=\"ліс\"", 2},
        // Integer fields compare by the digits alone.
        {"layer=PARCELS,field=ID,value=№4", 3},
        // A point becomes the decimal comma, and numbers compare as numbers.
        {"layer=parcels,field=AREA,value=300.0", 4},
    };
    for (const Case &c : cases) {
        host_.centred.clear();
        const dialogs::RequestReply reply = find_->HandleRequestText(u8(c.request));
        EXPECT_FALSE(reply.refused) << c.request;
        EXPECT_EQ(selection(), Sel({{parcels_, c.object}})) << c.request;
        ASSERT_EQ(host_.centred.size(), 1u) << c.request;
        EXPECT_DOUBLE_EQ(host_.centred[0].first, 102.5 + 10 * c.object);
        EXPECT_EQ(host_.status, u8("Найдено объектов - 1"));
    }
    // No such value: nothing selected, the view stays.
    host_.centred.clear();
    find_->HandleRequestText(u8("layer=parcels,field=NAME,value=Нема"));
    EXPECT_TRUE(selection().empty());
    EXPECT_TRUE(host_.centred.empty());
    EXPECT_EQ(host_.status, u8("Объекты не найдены !"));
}

TEST_F(SearchWindowTest, SqlFormSelectsEveryRowAndFits)
{
    find_->HandleRequestText(u8("select * from \"PARCELS.DBF\"\nwhere STREET like \"%шевченка%\""));
    EXPECT_EQ(selection(), Sel({{parcels_, 0}, {parcels_, 2}, {parcels_, 3}}));
    ASSERT_EQ(host_.fitted.size(), 1u);
    EXPECT_DOUBLE_EQ(host_.fitted[0].X1, 100);
    EXPECT_DOUBLE_EQ(host_.fitted[0].X2, 135);
    EXPECT_EQ(host_.status, u8("Найдено объектов - 3"));

    // A "from" line that names no layer runs nothing.
    const QString memo = find_->MapMemo->toPlainText();
    find_->HandleRequestText(u8("select * from \"other.dbf\""));
    EXPECT_TRUE(selection().empty());
    EXPECT_EQ(find_->MapMemo->toPlainText(), memo);
    EXPECT_EQ(host_.status, u8("Объекты не найдены !"));
}

TEST_F(SearchWindowTest, AddressFormListsHits)
{
    const dialogs::RequestReply reply = find_->HandleRequestText(u8(" ШЕВЧЕНКА, 14, кв. 2 ## Садова "));
    EXPECT_FALSE(reply.refused);
    QTreeWidget *list = FirstFind()->lvSeek;
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(0), u8("Ділянки"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), u8("ШЕВЧЕНКА, 14"));
    // The layer with only a house field lists the house alone.
    EXPECT_EQ(list->topLevelItem(1)->text(0), u8("Будинки"));
    EXPECT_EQ(list->topLevelItem(1)->text(1), u8("14"));
    EXPECT_EQ(list->topLevelItem(2)->text(1), u8("Садова, 14"));
    ASSERT_EQ(find_->FSeekResults.size(), 3u);
    EXPECT_EQ(find_->FSeekResults[0].MatchKind, 1);
    EXPECT_EQ(find_->FSeekResults[0].ObjectID, 3);
    EXPECT_EQ(find_->FSeekResults[1].MatchKind, 3);
    EXPECT_EQ(find_->cbNameStreet->currentText(), u8("Садова"));
    EXPECT_EQ(host_.status, u8("Найдено объектов - 3"));
    EXPECT_EQ(FirstFind()->height(), 210);
    // One object shown per item: two boxes fit the view.
    EXPECT_EQ(selection().size(), 2u);
    EXPECT_EQ(host_.fitted.size(), 1u);

    // Double click on a row shows its object.
    list->setCurrentItem(list->topLevelItem(1));
    host_.located.clear();
    FirstFind()->lvSeekDblClick();
    ASSERT_FALSE(host_.located.empty());
    EXPECT_EQ(host_.located.back(), std::make_pair(houses_, 0));

    // A second request clears the hits and the selection of the first.
    find_->HandleRequestText(u8("Нема такої"));
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_TRUE(find_->FSeekResults.empty());
    EXPECT_TRUE(selection().empty());
    EXPECT_EQ(host_.status, u8("Объекты не найдены !"));
    EXPECT_EQ(FirstFind()->height(), 48);
}

// The object shown for an item: the hits are walked from the last while no
// locate finds the typed address. "Шевченка, 1" lists the houses' "14" last,
// where no house "1" is found; the walk goes on to the parcels, whose kind
// fits street and house, and finds the street there.
TEST_F(SearchWindowTest, AddressWalkGoesOnUntilALocateSucceeds)
{
    struct Case {
        const char *request;
        int layer;
        std::vector<int> objects; // any of these
    } cases[] = {
        // The parcels' rows of "Шевченка" (ID 1) and "ШЕВЧЕНКА" (ID 3).
        {"Шевченка, 1", 0, {0, 2}},
        // The houses' own hit is found there: the walk stops at once.
        {"Садова, 14", 1, {0}},
        // No locate succeeds anywhere: the walk ends on the parcels, the
        // first hit, where the search has rows.
        {"Шевч, 1", 0, {0, 2}},
    };
    for (const Case &c : cases) {
        find_->HandleRequestText(u8(c.request));
        ASSERT_EQ(selection().size(), 1u) << c.request;
        EXPECT_EQ(selection()[0].first, c.layer) << c.request;
        EXPECT_NE(std::find(c.objects.begin(), c.objects.end(), selection()[0].second), c.objects.end())
            << c.request << ": " << selection()[0].second;
    }
}

TEST_F(SearchWindowTest, RefusedRequestsChangeNothing)
{
    find_->HandleRequestText(u8("layer=parcels,field=NAME,value=Сад"));
    const Sel before = selection();
    ASSERT_EQ(before.size(), 1u);
    const char *requests[] = {
        "Delete From \"parcels.dbf\"",
        "select * from \"parcels.dbf\"; delete from \"parcels.dbf\"",
        "update \"parcels.dbf\" set NAME = \"x\"",
        "   ",
        "select * from \"parcels.dbf",
    };
    QFile file(dir_.file(QStringLiteral("parcels.dbf")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    for (const char *r : requests) {
        const dialogs::RequestReply reply = find_->HandleRequestText(u8(r));
        EXPECT_TRUE(reply.refused) << r;
        EXPECT_FALSE(reply.text.isEmpty()) << r;
        EXPECT_EQ(host_.status, reply.text) << r;
        EXPECT_EQ(selection(), before) << r;
    }
    // An SQL error of the engine also leaves the selection as it was.
    const dialogs::RequestReply bad = find_->HandleRequestText(u8("select NOSUCH from \"parcels.dbf\""));
    EXPECT_TRUE(bad.refused);
    EXPECT_EQ(selection(), before);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
}

// Runs a sender on its own thread while this thread serves the socket.
dialogs::RequestReply sendOverSocket(const QString &server, const QByteArray &raw, bool framed)
{
    dialogs::RequestReply reply;
    std::atomic<bool> done = false;
    std::thread sender([&] {
        if (framed) {
            dialogs::sendSearchRequest(server, raw, reply, 10000);
        } else {
            QLocalSocket s;
            s.connectToServer(server);
            if (s.waitForConnected(5000)) {
                s.write(raw);
                s.waitForBytesWritten(5000);
                QByteArray in;
                while (s.waitForReadyRead(5000))
                    in += s.readAll();
                reply.refused = in.size() < 5 || in[4] != '\0';
                reply.text = QString::fromUtf8(in.mid(5));
            }
        }
        done = true;
    });
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    sender.join();
    return reply;
}

TEST_F(SearchWindowTest, RequestsOverTheLocalSocket)
{
    const QString name = QStringLiteral("TFindTolvane-test-") + QUuid::createUuid().toString(QUuid::Id128);
    ASSERT_TRUE(find_->StartRequestServer(name));
    // A second program of the user cannot take the name while this one runs.
    TFindTolvane other;
    EXPECT_FALSE(other.StartRequestServer(name));

    const dialogs::RequestReply ok =
        sendOverSocket(name, platform::toCp1251(u8("layer=parcels,field=NAME,value=\"Поле\"")), true);
    EXPECT_FALSE(ok.refused) << ok.text.toStdString();
    EXPECT_EQ(ok.text, u8("Найдено объектов - 1"));
    EXPECT_EQ(selection(), Sel({{parcels_, 4}}));

    // More than 64 KiB announced: refused from the length, nothing read or changed.
    QByteArray huge("\x01\x00\x01\x00", 4);
    huge += QByteArray(1000, 'a');
    const dialogs::RequestReply big = sendOverSocket(name, huge, false);
    EXPECT_TRUE(big.refused);
    EXPECT_EQ(selection(), Sel({{parcels_, 4}}));

    // A payload without its zero is read only as far as its length says.
    QByteArray exact("\x27\x00\x00\x00", 4);
    const QByteArray text = platform::toCp1251(u8("layer=parcels,field=NAME,value=Город"));
    exact[0] = static_cast<char>(text.size());
    exact += text + QByteArray("XXXXXXXXXXXX");
    const dialogs::RequestReply bounded = sendOverSocket(name, exact, false);
    EXPECT_FALSE(bounded.refused) << bounded.text.toStdString();
    EXPECT_EQ(selection(), Sel({{parcels_, 1}}));

    const dialogs::RequestReply writing = sendOverSocket(name, "Delete From \"parcels.dbf\"", true);
    EXPECT_TRUE(writing.refused);
    EXPECT_EQ(selection(), Sel({{parcels_, 1}}));
}

TEST_F(SearchWindowTest, SenderToolReachesTheRunningWindow)
{
    const QString name = QStringLiteral("TFindTolvane-test-") + QUuid::createUuid().toString(QUuid::Id128);
    ASSERT_TRUE(find_->StartRequestServer(name));
    struct Case {
        const char *request;
        int status;
        const char *output;
        Sel selected;
    } cases[] = {
        {"layer=parcels,field=STREET,value=\"Франка\"", 0, "Найдено объектов - 1", {{0, 1}}},
        // Refused: the selection of the last request stays.
        {"delete from \"parcels.dbf\"", 1, "Запрос поиска отклонён", {{0, 1}}},
        {"layer=parcels,field=NAME,value=Нема", 0, "Объекты не найдены !", {}},
    };
    for (const Case &c : cases) {
        QProcess tool;
        tool.start(QStringLiteral(TOLVANE_FIND_TOOL), {QStringLiteral("--server"), name, u8(c.request)});
        QElapsedTimer t;
        t.start();
        while (tool.state() != QProcess::NotRunning && t.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            tool.waitForFinished(10);
        }
        EXPECT_EQ(tool.exitCode(), c.status) << c.request;
        const QString out = QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError());
        EXPECT_TRUE(out.contains(u8(c.output))) << out.toStdString();
        EXPECT_EQ(selection(), c.selected) << c.request;
    }
}

// The two windows after an address request as a person sees them: the
// grid's rows, the hits listed in the quick-search box, nothing below them.
TEST_F(SearchWindowTest, Pictures)
{
    find_->HandleRequestText(u8("Шевченка#Садова,14"));
    find_->PrepareToShow();
    find_->cbNameHouse->setEditText(QString());
    find_->cbNameStreet->setEditText(u8("шевченка"));
    find_->resize(720, 420);
    const QString folder = testsupport::artefactFolder(QStringLiteral("dialogs"));
    const QImage window = dialogtest::picture(*find_);
    EXPECT_TRUE(window.save(folder + QStringLiteral("/search-window.png")));
    EXPECT_EQ(find_->windowTitle(), u8("Найти"));
    QTableView &grid = *find_->dbMapGrid;
    ASSERT_EQ(grid.model()->rowCount(), 3);
    const int street = find_->MapQuery->findField(u"STREET")->index();
    for (int r = 0; r < 3; ++r)
        EXPECT_GT(dialogtest::inkIn(window, dialogtest::cellIn(*find_, grid, grid.model()->index(r, street))), 20) << r;
    EXPECT_EQ(dialogtest::inkIn(window, dialogtest::placeIn(*find_, *grid.viewport())
                                            .adjusted(0, grid.rowViewportPosition(2) + grid.rowHeight(2) + 4, 0, 0)),
              0)
        << "no rows below the third";

    TFirstFind &quick = *FirstFind();
    quick.EditFind->setText(u8("Шевченка#Садова,14"));
    const QImage box = dialogtest::picture(quick);
    EXPECT_TRUE(box.save(folder + QStringLiteral("/quick-search.png")));
    EXPECT_EQ(quick.windowTitle(), u8("Быстрый поиск"));
    ASSERT_GE(quick.lvSeek->topLevelItemCount(), 2);
    for (int r = 0; r < quick.lvSeek->topLevelItemCount(); ++r)
        for (int c = 0; c < 2; ++c)
            EXPECT_GT(dialogtest::inkIn(box, dialogtest::cellIn(quick, *quick.lvSeek, quick.lvSeek->model()->index(r, c))), 10)
                << r << " " << c;
    EXPECT_GT(dialogtest::inkIn(box, dialogtest::placeIn(quick, *quick.EditFind)), 20);
}

// The grid writes into the table only while the layer may be edited.
TEST_F(SearchWindowTest, GridEditsOnlyAnEditableLayer)
{
    struct Case {
        const char *what;
        std::function<void(TMapLayer &)> make;
        bool writable;
    } cases[] = {
        {"editable", [](TMapLayer &) {}, true},
        {"not editable", [](TMapLayer &L) { L.Edited = false; }, false},
        {"opened read-only", [](TMapLayer &L) { L.ReadOnly = true; }, false},
    };
    for (const Case &c : cases) {
        TMapLayer &L = host_.core.Project().Layers[static_cast<size_t>(parcels_)];
        const TMapLayer saved = L;
        c.make(L);
        find_->CloseQuery();
        find_->PrepareToShow();
        const QModelIndex cell = find_->MapSource->index(0, 1);
        EXPECT_EQ(find_->MapSource->flags(cell).testFlag(Qt::ItemIsEditable), c.writable) << c.what;
        if (!c.writable) {
            testsupport::ScriptedAnswers answers;
            dialogtest::reply(answers, platform::mrOk);
            EXPECT_FALSE(find_->MapSource->setData(cell, u8("Змінено"))) << c.what;
        }
        L = saved;
    }
    platform::db::Table t;
    t.setDatabaseName(work_);
    t.setTableName(QStringLiteral("parcels.dbf"));
    t.open();
    EXPECT_EQ(t.fieldByName(u"NAME").asString(), u8("Сад"));
}

} // namespace
