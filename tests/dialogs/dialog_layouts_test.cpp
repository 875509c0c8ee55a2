#include "dialogs/dialog_layouts.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace zeseal::dialogs {
namespace {

struct LayoutCase {
    DialogKind kind;
    std::int16_t width, height;
    std::vector<std::int32_t> buttons;  // in layout order
    std::int32_t listView;              // 0 for none
};

class Layout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, ControlsFitTheDialogWithUniqueIdsAndItsButtons) {
    const DialogLayout& layout = LayoutOf(GetParam().kind);
    EXPECT_EQ(layout.kind, GetParam().kind);
    EXPECT_EQ(layout.width, GetParam().width);
    EXPECT_EQ(layout.height, GetParam().height);
    std::set<std::int32_t> ids;
    std::vector<std::int32_t> buttons;
    std::int32_t listView = 0;
    for (const ControlLayout& control : layout.controls) {
        EXPECT_GE(control.x, 0) << control.id;
        EXPECT_GE(control.y, 0) << control.id;
        EXPECT_LE(control.x + control.width, layout.width) << control.id;
        // A combo box's height includes its drop-down list.
        if (control.kind != ControlKind::kComboBox) {
            EXPECT_LE(control.y + control.height, layout.height) << control.id;
        }
        if (control.id != 0) {
            EXPECT_TRUE(ids.insert(control.id).second) << control.id;
        }
        if (control.kind == ControlKind::kPushButton ||
            control.kind == ControlKind::kDefaultPushButton) {
            buttons.push_back(control.id);
        }
        if (control.kind == ControlKind::kListView) listView = control.id;
    }
    EXPECT_EQ(buttons, GetParam().buttons);
    EXPECT_EQ(listView, GetParam().listView);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, Layout,
    ::testing::Values(LayoutCase{DialogKind::kChoosePrinter, 320, 236, {3, 1, 2}, 0},
                      LayoutCase{DialogKind::kContinueList, 320, 236, {1016, 1017}, 1020},
                      LayoutCase{DialogKind::kShowList, 320, 214, {1022}, 1021},
                      LayoutCase{DialogKind::kSelectPrinter, 320, 247, {1035, 1036}, 1037}));

struct CentreCase {
    ScreenRect owner;
    ScreenRect dialog;
    ScreenPoint origin;
};

class Centre : public ::testing::TestWithParam<CentreCase> {};

TEST_P(Centre, PutsTheDialogInTheMiddleOfItsOwner) {
    const ScreenPoint origin = CentreOnOwner(GetParam().owner, GetParam().dialog);
    EXPECT_EQ(origin.x, GetParam().origin.x);
    EXPECT_EQ(origin.y, GetParam().origin.y);
}

INSTANTIATE_TEST_SUITE_P(
    Owners, Centre,
    ::testing::Values(CentreCase{{0, 0, 1920, 1080}, {0, 0, 480, 384}, {720, 348}},
                      CentreCase{{100, 50, 401, 252}, {7, 9, 108, 110}, {200, 100}},
                      // A dialog larger than its owner sticks out on both sides.
                      CentreCase{{0, 0, 200, 100}, {0, 0, 401, 301}, {-100, -100}},
                      CentreCase{{-1280, 0, 0, 1024}, {0, 0, 640, 512}, {-960, 256}}));

}  // namespace
}  // namespace zeseal::dialogs
