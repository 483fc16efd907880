// Message boxes asked for by a worker thread go to the GUI thread; the worker never waits.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/qt_message_box.h"
#include "platform/msgbox.h"

namespace {

TEST(QtMessageBox, AWorkerPostsTheBoxAndAnswersAtOnce)
{
    int answer = 0;
    int yesNo = 0;
    // The GUI thread is busy joining: a worker that waited for it would never return.
    std::thread worker([&] {
        answer = QtMessageBox("Kestrovane", "from the tick\rsecond line", PLAT_ICON_NONE,
                              PLAT_BUTTONS_OK);
        yesNo = QtMessageBox("Kestrovane", "question", PLAT_ICON_QUESTION, PLAT_BUTTONS_YES_NO);
    });
    worker.join();
    EXPECT_EQ(answer, PLAT_ANSWER_OK);
    EXPECT_EQ(yesNo, PLAT_ANSWER_YES);

    // The boxes open on this thread once its events run; each is closed as it appears.
    QStringList shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->done(QMessageBox::Ok);
        }
    });
    closer.start(10);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (shown.size() < 2 && std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    // The second may open inside the first one's event loop: the order is not fixed.
    shown.sort();
    EXPECT_EQ(shown, QStringList({"from the tick\nsecond line", "question"}));
}

}  // namespace
