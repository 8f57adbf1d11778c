// The search commands of the map window and the search window on the map
// window's own layers: "Найти..." for the layer kinds it serves, the quick
// search, a request that selects and centres an object through the window's
// locating, and the closing of the search's query before a layer is touched.

#include "CommandFixtures.h"

#include "dialogs/FFind.h"
#include "platform/db/Query.h"
#include "platform/ui/FormClass.h"

#include <QLabel>
#include <QStatusBar>

using namespace cmdtest;

namespace {

class SearchCommands : public CommandTest {};

TEST_F(SearchCommands, FindOpensForItsLayerKindsAndRequestsSelect)
{
    const int lines = addLayer(QStringLiteral("lines"), twoLines(), 2,
                               namedTable({QByteArray("first"), QByteArray("second")}));
    layer(lines).FieldNameObject = QStringLiteral("NAME");
    testsupport::ScriptedAnswers answers;
    int shown = 0;
    maptest::dialog(answers, [&](QDialog &d) {
        ++shown;
        auto *find = dynamic_cast<TFindTolvane *>(&d);
        EXPECT_NE(find, nullptr);
        if (find) {
            find->PrepareToShow();
            EXPECT_EQ(find->FLayerIndex, lines);
            EXPECT_EQ(find->MapQuery->recordCount(), 2);
        }
        return int(platform::mrCancel);
    });
    w().N35->trigger();
    EXPECT_EQ(shown, 1);
    // A cadastral layer kind is not searched.
    layer(lines).MapType = 2;
    w().N35->trigger();
    EXPECT_EQ(shown, 1);
    layer(lines).MapType = 0;

    forgetViews();
    const dialogs::RequestReply reply =
        FindTolvane()->HandleRequestText(QStringLiteral("layer=lines,field=NAME,value=SECOND"));
    EXPECT_FALSE(reply.refused) << reply.text.toStdString();
    ASSERT_EQ(map().Selection().Entries.size(), 1u);
    EXPECT_EQ(map().Selection().Entries[0].Layer, lines);
    EXPECT_EQ(map().Selection().Entries[0].Index, 1);
    EXPECT_TRUE(redrawn());
    const TSelObject &e = map().Selection().Entries[0];
    EXPECT_DOUBLE_EQ(map().View().CenterX, e.XMin + (e.XMax - e.XMin) / 2);
    EXPECT_EQ(platform::statusPanels(w().MapStatusBar)[5]->text(), QString::fromUtf8("Найдено объектов - 1"));

    // The map window closes the search's query before it touches a layer.
    EXPECT_TRUE(FindTolvane()->MapQuery->active());
    w().CloseAttributeQueries();
    EXPECT_FALSE(FindTolvane()->MapQuery->active());
}

TEST_F(SearchCommands, QuickSearchOpensModally)
{
    testsupport::ScriptedAnswers answers;
    bool asked = false;
    maptest::dialog(answers, [&](QDialog &d) {
        asked = dynamic_cast<TFirstFind *>(&d) != nullptr;
        return int(platform::mrCancel);
    });
    w().N121->trigger();
    EXPECT_TRUE(asked);
    // "Продолжить поиск" without a result does nothing.
    w().N57->trigger();
    EXPECT_TRUE(map().Selection().Entries.empty());
}

} // namespace
