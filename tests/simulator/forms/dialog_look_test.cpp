// The dialogs' look: controls alike from window to window, fields that show their values whole.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../../common/widget_pixels.h"
#include "app/sim_state.h"
#include "cab/cab_item_browser.h"
#include "cab/cab_item_editors.h"
#include "cab/loco_physics_form.h"
#include "forms/options_form.h"
#include "forms/selection_forms.h"
#include "train/vehicle.h"
#include "train/yard_form.h"

namespace {

QRgb Face(QWidget* widget)
{
    return Commonest(ColourCounts(widget));
}

TEST(DialogLook, NewSituationControlsLookLikeTheRailYards)
{
    ResetSimState();
    TSel2Form selection;
    selection.show();
    TConsist empty;
    ClearConsist(empty);
    TYardForm1 yard("", empty);
    yard.show();
    EXPECT_EQ(Face(selection.RouteBox), Face(yard.TractionBox));
    EXPECT_EQ(Face(selection.OkButton), Face(yard.OkButton));
    EXPECT_EQ(Face(selection.Edit1), Face(yard.Edit1));
}

TEST(DialogLook, PhysicsFieldsShowTheirValuesWhole)
{
    TPhysicsKeys keys;
    keys.description = "Bo-Bo electric freight locomotive for heavy mineral trains";
    keys.model = "RUZ125 with a long engine model name";
    TPhysEditForm form;
    form.FillPhysEditForm(keys);
    form.show();
    for (QLineEdit* edit : {form.descp, form.engine, form.mass}) {
        SCOPED_TRACE(edit->text().toStdString());
        // A text that does not fit scrolls: its two ends are then less than its width apart.
        // (The line edit scrolls as it paints.)
        edit->end(false);
        edit->grab();
        const int end = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        edit->home(false);
        edit->grab();
        const int start = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
        EXPECT_GE(end - start, edit->fontMetrics().horizontalAdvance(edit->text()) - 1);
        EXPECT_EQ(edit->cursorPosition(), 0);
    }
}

// Every dialog, with its window frame, fits a 1024 x 768 screen.
TEST(DialogLook, EveryDialogFitsA1024By768Screen)
{
    ResetSimState();
    TConsist empty;
    ClearConsist(empty);
    const std::pair<const char*, std::function<std::unique_ptr<QDialog>()>> dialogs[] = {
        {"ControlEdit", [] { return std::make_unique<TConEditForm>(); }},
        {"GaugeEditForm", [] { return std::make_unique<TGaugeEditForm>(); }},
        {"Switch_Push", [] { return std::make_unique<TSwitchPushForm>(); }},
        {"SwitchTogForm", [] { return std::make_unique<TSwitchTogForm>(); }},
        {"LightForm", [] { return std::make_unique<TLightForm>(); }},
        {"cab item browser", [] { return std::make_unique<TCITbrowse>(); }},
        {"Loco Data from INI file", [] { return std::make_unique<TPhysEditForm>(); }},
        {"Simulator Options", [] { return std::make_unique<TOptionsForm>(); }},
        {"Build Train", [&] { return std::make_unique<TYardForm1>("", empty); }},
        {"Load situation", [] { return std::make_unique<TSelForm>(); }},
        {"New situation", [] { return std::make_unique<TSel2Form>(); }},
    };
    // Room for a title bar and borders.
    constexpr int frameWidth = 16;
    constexpr int frameHeight = 40;
    for (const auto& [name, make] : dialogs) {
        SCOPED_TRACE(name);
        const std::unique_ptr<QDialog> dialog = make();
        dialog->adjustSize();
        const QSize size = dialog->size().expandedTo(dialog->minimumSizeHint());
        EXPECT_LE(size.width() + frameWidth, 1024);
        EXPECT_LE(size.height() + frameHeight, 768);
    }
}

}  // namespace
