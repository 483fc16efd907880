// The dialogs' look: controls alike from window to window, fields that show their values whole.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "../../common/widget_pixels.h"
#include "app/sim_state.h"
#include "cab/loco_physics_form.h"
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

}  // namespace
