// The context-menu model: items added, inserted, removed and looked up, bad indexes included.
#include "browser/menu_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

using cef_detail::MenuModel;
using testing::ElementsAreArray;

constexpr int kSep = -1;  // how a separator shows in Ids()

// The command ids in menu order, separators as kSep; checks the types agree.
std::vector<int> Ids(MenuModel& model) {
    std::vector<int> ids;
    for (int i = 0; i < model.GetCount(); ++i) {
        const cef_menu_item_type_t type = model.GetTypeAt(i);
        EXPECT_NE(type, MENUITEMTYPE_NONE) << "index " << i;
        ids.push_back(type == MENUITEMTYPE_SEPARATOR ? kSep : model.GetCommandIdAt(i));
    }
    return ids;
}

struct Step {
    const char* what;
    std::function<bool(MenuModel&)> op;
    bool result;
    std::vector<int> ids;  // the menu afterwards
};

// One menu built and taken apart step by step; every step is checked against the whole menu.
TEST(MenuModel, OperationsChangeExactlyWhatTheySay) {
    const std::vector<Step> steps = {
        {"add 1", [](MenuModel& m) { return m.AddItem(1, "One"); }, true, {1}},
        {"add 2", [](MenuModel& m) { return m.AddItem(2, "Two"); }, true, {1, 2}},
        {"separator", [](MenuModel& m) { return m.AddSeparator(); }, true, {1, 2, kSep}},
        {"add 3", [](MenuModel& m) { return m.AddItem(3, "Three"); }, true, {1, 2, kSep, 3}},
        {"insert 4 at 0",
         [](MenuModel& m) { return m.InsertItemAt(0, 4, "Four"); },
         true,
         {4, 1, 2, kSep, 3}},
        {"insert 5 at 2",
         [](MenuModel& m) { return m.InsertItemAt(2, 5, "Five"); },
         true,
         {4, 1, 5, 2, kSep, 3}},
        {"insert 6 at the end",
         [](MenuModel& m) { return m.InsertItemAt(6, 6, "Six"); },
         true,
         {4, 1, 5, 2, kSep, 3, 6}},
        {"insert past the end",
         [](MenuModel& m) { return m.InsertItemAt(8, 7, "x"); },
         false,
         {4, 1, 5, 2, kSep, 3, 6}},
        {"insert at -1",
         [](MenuModel& m) { return m.InsertItemAt(-1, 7, "x"); },
         false,
         {4, 1, 5, 2, kSep, 3, 6}},
        {"insert at INT_MAX",
         [](MenuModel& m) { return m.InsertItemAt(INT_MAX, 7, "x"); },
         false,
         {4, 1, 5, 2, kSep, 3, 6}},
        {"insert at INT_MIN",
         [](MenuModel& m) { return m.InsertItemAt(INT_MIN, 7, "x"); },
         false,
         {4, 1, 5, 2, kSep, 3, 6}},
        {"remove 5", [](MenuModel& m) { return m.Remove(5); }, true, {4, 1, 2, kSep, 3, 6}},
        {"remove 5 again", [](MenuModel& m) { return m.Remove(5); }, false, {4, 1, 2, kSep, 3, 6}},
        {"remove the separator's id",
         [](MenuModel& m) { return m.Remove(kSep); },
         false,
         {4, 1, 2, kSep, 3, 6}},
        {"remove at 3 (separator)",
         [](MenuModel& m) { return m.RemoveAt(3); },
         true,
         {4, 1, 2, 3, 6}},
        {"remove at 0", [](MenuModel& m) { return m.RemoveAt(0); }, true, {1, 2, 3, 6}},
        {"remove at count", [](MenuModel& m) { return m.RemoveAt(4); }, false, {1, 2, 3, 6}},
        {"remove at -1", [](MenuModel& m) { return m.RemoveAt(-1); }, false, {1, 2, 3, 6}},
        {"remove at INT_MAX",
         [](MenuModel& m) { return m.RemoveAt(INT_MAX); },
         false,
         {1, 2, 3, 6}},
        {"remove last", [](MenuModel& m) { return m.RemoveAt(3); }, true, {1, 2, 3}},
        {"clear", [](MenuModel& m) { return m.Clear(); }, true, {}},
        {"clear empty", [](MenuModel& m) { return m.Clear(); }, true, {}},
        {"remove from empty", [](MenuModel& m) { return m.RemoveAt(0); }, false, {}},
        {"insert into empty", [](MenuModel& m) { return m.InsertItemAt(0, 9, "Nine"); }, true, {9}},
    };
    CefRefPtr<MenuModel> model = new MenuModel;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(step.op(*model), step.result);
        EXPECT_EQ(model->GetCount(), int(step.ids.size()));
        EXPECT_THAT(Ids(*model), ElementsAreArray(step.ids));
    }
}

TEST(MenuModel, LabelsAndIndexesFollowTheirItems) {
    CefRefPtr<MenuModel> model = new MenuModel;
    model->AddItem(10, "&Back");
    model->AddSeparator();
    model->AddItem(20, "\u00C4\u4E2D\U0001F600");  // non-ASCII, outside the BMP too
    model->InsertItemAt(1, 30, "Middle");

    EXPECT_EQ(model->GetIndexOf(10), 0);
    EXPECT_EQ(model->GetIndexOf(30), 1);
    EXPECT_EQ(model->GetIndexOf(20), 3);
    EXPECT_EQ(model->GetTypeAt(2), MENUITEMTYPE_SEPARATOR);
    EXPECT_EQ(model->GetLabel(10).ToString(), "&Back");
    EXPECT_EQ(model->GetLabelAt(1).ToString(), "Middle");
    EXPECT_EQ(model->GetLabel(20).ToString16(), u"\u00C4\u4E2D\U0001F600");
    EXPECT_TRUE(model->GetLabelAt(2).empty());  // the separator
    EXPECT_EQ(model->GetIndexOf(kSep), -1);     // separators are not commands
}

TEST(MenuModel, DuplicateIdsResolveToTheFirstItem) {
    CefRefPtr<MenuModel> model = new MenuModel;
    model->AddItem(7, "first");
    model->AddItem(7, "second");
    EXPECT_EQ(model->GetIndexOf(7), 0);
    EXPECT_EQ(model->GetLabel(7).ToString(), "first");
    EXPECT_TRUE(model->Remove(7));
    EXPECT_EQ(model->GetCount(), 1);
    EXPECT_EQ(model->GetLabel(7).ToString(), "second");
}

TEST(MenuModel, ItemsStartEnabledAndKeepTheirState) {
    CefRefPtr<MenuModel> model = new MenuModel;
    model->AddItem(1, "a");
    model->AddItem(2, "b");
    EXPECT_TRUE(model->IsEnabled(1));
    EXPECT_TRUE(model->SetEnabled(1, false));
    EXPECT_FALSE(model->IsEnabled(1));
    EXPECT_TRUE(model->IsEnabled(2));
    model->InsertItemAt(0, 3, "c");  // moving the item keeps its state
    EXPECT_FALSE(model->IsEnabled(1));
    EXPECT_TRUE(model->SetEnabled(1, true));
    EXPECT_TRUE(model->IsEnabled(1));
    EXPECT_FALSE(model->SetEnabled(99, true));
    EXPECT_FALSE(model->IsEnabled(99));
    EXPECT_FALSE(model->SetEnabled(kSep, true));
}

// Lookups with indexes or ids that name no item give the documented "nothing" answers.
TEST(MenuModel, BadIndexesAndIdsAnswerNothing) {
    const int bad_indexes[] = {-1, 2, 3, 100, INT_MAX, INT_MIN};
    const int absent_ids[] = {0, 99, kSep, INT_MAX, INT_MIN};
    for (bool empty : {true, false}) {
        CefRefPtr<MenuModel> model = new MenuModel;
        if (!empty) {
            model->AddItem(1, "a");
            model->AddSeparator();
        }
        const int count = model->GetCount();
        for (int index : bad_indexes) {
            if (index >= 0 && index < count) continue;
            SCOPED_TRACE("index " + std::to_string(index));
            EXPECT_EQ(model->GetCommandIdAt(index), -1);
            EXPECT_TRUE(model->GetLabelAt(index).empty());
            EXPECT_EQ(model->GetTypeAt(index), MENUITEMTYPE_NONE);
            EXPECT_FALSE(model->RemoveAt(index));
        }
        for (int id : absent_ids) {
            SCOPED_TRACE("id " + std::to_string(id));
            EXPECT_EQ(model->GetIndexOf(id), -1);
            EXPECT_TRUE(model->GetLabel(id).empty());
            EXPECT_FALSE(model->IsEnabled(id));
            EXPECT_FALSE(model->SetEnabled(id, false));
            EXPECT_FALSE(model->Remove(id));
        }
        EXPECT_EQ(model->GetCount(), count);  // nothing was lost on the way
    }
}

// The model is counted: the last reference deletes it (the leak checker sees any miss).
TEST(MenuModel, LastReferenceDeletesTheModel) {
    CefRefPtr<MenuModel> first = new MenuModel;
    first->AddItem(1, "a");
    EXPECT_TRUE(first->HasOneRef());
    {
        CefRefPtr<MenuModel> second = first;
        EXPECT_FALSE(first->HasOneRef());
    }
    EXPECT_TRUE(first->HasOneRef());
    first->AddRef();
    EXPECT_FALSE(first->Release());
    EXPECT_TRUE(first.get()->HasOneRef());
}

}  // namespace
