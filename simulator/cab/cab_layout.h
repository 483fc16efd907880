// The cab layout editor: right-click an item to select it, right-click the picture to drop it.
#pragma once
#include <QPoint>
#include <QRect>
#include <string>

#include "app/sim_hooks.h"

class QWidget;

// Editor mode for a model already chosen: menus, the model's cab, caption, message hook.
void EditCabLayout(const std::string& model);
// Removes the message hook and the item frame; nothing when not editing.
void LeaveEditorMode();

// The selected item (null when none) and whether it has been dropped since it was selected.
QWidget* SelectedCabItem();
bool SelectedCabItemPlaced();
void MarkSelectedCabItemPlaced();

// The editor's mouse handling, in cab picture coordinates.
void EditorRightButtonDown(QPoint pos);
void EditorRightButtonUp(QPoint pos);
void CabPictureMouseDown(QPoint pos, bool rightButton);
void CabPictureMouseMove(QPoint pos);

// Marks bounds, inflated by 5 pixels, with a yellow frame 3 pixels wide over the cab.
void DrawItemFrame(const QRect& bounds);
// The frame drawn last (empty when hidden).
QRect ItemFrameRect();
