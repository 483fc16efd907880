// The cab layout editor: right-click an item to select it, right-click the picture to drop it.
#include "cab/cab_layout.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include <mutex>

#include "app/main_window.h"
#include "app/sim_state.h"
#include "cab/cab_items.h"
#include "cab/clock_control.h"
#include "cab/traction_model.h"

namespace {

// Drawn over the cab: the selected item's frame and, while it is carried, its outline at
// the pointer.
class TItemFrame : public QWidget {
public:
    explicit TItemFrame(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(parent->rect());
    }
    QRect frame;
    QRect outline;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (!frame.isNull()) {
            p.setPen(QPen(QColor(255, 255, 0), 3));
            p.setBrush(Qt::NoBrush);
            p.drawRect(frame);
        }
        if (!outline.isNull()) {
            p.setPen(QPen(Qt::white, 1, Qt::DotLine));
            p.drawRect(outline.adjusted(0, 0, -1, -1));
        }
    }
};

// The application's message hook while the editor runs.
class TEditorMessageHandler : public QObject {
protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QEvent::Type lastType_ = QEvent::None;
    QPointF lastGlobal_;
    quint64 lastStamp_ = 0;
};

QPointer<TItemFrame> Frame;
QPointer<QWidget> Candidate;
QPointer<QWidget> Selected;
bool Placed = true;
TEditorMessageHandler* Handler = nullptr;

QWidget* Cab()
{
    return CabParent();
}

// Any control on the cab but the picture, clocks, the 3D panel and the memo can be moved.
bool Selectable(const QWidget* w)
{
    if (!w || w == Cab() || qobject_cast<const TClock*>(w))
        return false;
    return !VaruRor || (w != VaruRor->ThreeDPanel && w != VaruRor->InfoMemo);
}

// The cab's own control under pos, else the cab picture itself.
QWidget* ControlAt(QPoint pos)
{
    QWidget* cab = Cab();
    QWidget* w = cab->childAt(pos);
    while (w && w->parentWidget() != cab)
        w = w->parentWidget();
    return w ? w : cab;
}

TItemFrame* FrameWidget()
{
    if (!Frame && Cab())
        Frame = new TItemFrame(Cab());
    return Frame;
}

void ShowFrame(const QRect& frame, const QRect& outline)
{
    TItemFrame* f = FrameWidget();
    if (!f)
        return;
    f->frame = frame;
    f->outline = outline;
    f->raise();
    f->show();
    f->update();
}

bool EditorActive()
{
    std::lock_guard guard(SimLock);
    return SimState.editorMode;
}

bool TEditorMessageHandler::eventFilter(QObject* object, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseMove)
        return false;
    auto* widget = qobject_cast<QWidget*>(object);
    QWidget* cab = Cab();
    if (!widget || !cab || widget->window() != cab->window())
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pos = cab->mapFromGlobal(mouse->globalPosition()).toPoint();
    // An unhandled mouse event travels up to the parents: act on its first delivery only.
    const bool repeat = type == lastType_ && mouse->globalPosition() == lastGlobal_ &&
                        mouse->timestamp() == lastStamp_;
    lastType_ = type;
    lastGlobal_ = mouse->globalPosition();
    lastStamp_ = mouse->timestamp();
    if (!repeat && mouse->button() == Qt::RightButton) {
        if (type == QEvent::MouseButtonPress)
            EditorRightButtonDown(pos);
        else if (type == QEvent::MouseButtonRelease)
            EditorRightButtonUp(pos);
    }
    if (widget == cab && ControlAt(pos) == cab) {
        if (type == QEvent::MouseButtonPress)
            CabPictureMouseDown(pos, mouse->button() == Qt::RightButton);
        else if (type == QEvent::MouseMove)
            CabPictureMouseMove(pos);
    }
    return false;
}

}  // namespace

void EnterEditorMode()
{
    {
        std::lock_guard guard(SimLock);
        SimState.editorMode = true;
    }
    const std::string model = SelectTractionFile();
    if (model.empty())
        return;
    {
        std::lock_guard guard(SimLock);
        SimState.paths.traction = TractionModelBase(model);
    }
    ShowPhysicsForm();
    EditCabLayout(model);
}

void EditCabLayout(const std::string& model)
{
    {
        std::lock_guard guard(SimLock);
        SimState.editorMode = true;
    }
    if (VaruRor) {
        VaruRor->Button1->show();
        VaruRor->CIT_menu->menuAction()->setEnabled(true);
        VaruRor->CabLayout1->setEnabled(true);
        VaruRor->LoadSituation1->setEnabled(false);
        VaruRor->NewSituation2->setEnabled(false);
        VaruRor->SelectTrain1->setEnabled(false);
    }
    LoadTractionModel(model);
    if (VaruRor) {
        VaruRor->setWindowTitle(QString::fromLatin1("Editor mode: " + model));
        VaruRor->ThreeDPanel->setText("To relocatate cab item, do \"Right-Click\" ");
    }
    RefreshInfoBox();
    Selected = Candidate = nullptr;
    Placed = true;
    if (!Handler && qApp) {
        Handler = new TEditorMessageHandler;
        qApp->installEventFilter(Handler);
    }
    if (Cab())
        Cab()->setMouseTracking(true);
}

void LeaveEditorMode()
{
    if (Handler) {
        qApp->removeEventFilter(Handler);
        delete Handler;
        Handler = nullptr;
    }
    if (Cab())
        Cab()->setMouseTracking(false);
    delete Frame.data();
    Selected = Candidate = nullptr;
    Placed = true;
}

QWidget* SelectedCabItem()
{
    return Selected;
}

bool SelectedCabItemPlaced()
{
    return Placed;
}

void MarkSelectedCabItemPlaced()
{
    Placed = true;
}

void EditorRightButtonDown(QPoint pos)
{
    if (Cab())
        Candidate = ControlAt(pos);
}

void EditorRightButtonUp(QPoint pos)
{
    if (!Cab())
        return;
    QWidget* under = ControlAt(pos);
    if (!Candidate || under != Candidate || !Selectable(Candidate)) {
        Candidate = nullptr;
        return;
    }
    Selected = Candidate.data();
    Candidate = nullptr;
    Cab()->update();
    DrawItemFrame(Selected->geometry());
    Placed = false;
}

void CabPictureMouseDown(QPoint pos, bool rightButton)
{
    if (!EditorActive())
        return;
    if (VaruRor) {
        std::string model;
        {
            std::lock_guard guard(SimLock);
            model = SimState.tractionModel;
        }
        VaruRor->setWindowTitle(QString::fromLatin1(model + ": Edit mode - Mouse  top: " +
                                                    std::to_string(pos.y()) + " left: " +
                                                    std::to_string(pos.x())));
    }
    if (!rightButton || !Selected || Placed)
        return;
    Selected->move(pos);
    Cab()->update();
    DrawItemFrame(Selected->geometry());
    SaveItemPosition(Selected->objectName().toStdString(), pos.x(), pos.y());
    Placed = true;
}

void CabPictureMouseMove(QPoint pos)
{
    if (!Selected || Placed || !EditorActive())
        return;
    const QRect bounds = Selected->geometry();
    ShowFrame(bounds.adjusted(-5, -5, 5, 5), QRect(pos, bounds.size()));
}

void DrawItemFrame(const QRect& bounds)
{
    ShowFrame(bounds.adjusted(-5, -5, 5, 5), QRect());
}

QRect ItemFrameRect()
{
    return Frame && !Frame->isHidden() ? Frame->frame : QRect();
}
