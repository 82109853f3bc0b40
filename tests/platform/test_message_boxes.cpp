// The program's message boxes as real windows, offscreen: what answers "Exit?", and how stored
// text is shown.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <functional>

#include "platform/qt_platform.h"

namespace {

// Runs `steps` against the box once it is up and active.
void WhenBoxIsUp(std::function<void(QMessageBox*)> steps) {
    QTimer::singleShot(0, [steps] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        box->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(box));
        steps(box);
        if (QTest::currentTestFailed()) {
            box->done(0);  // or the box would wait for ever
        }
    });
}

}  // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT
  private slots:
    void exitIsAnsweredOnlyByYesOrNo() {
        platform::QtMessageBoxes boxes;
        WhenBoxIsUp([](QMessageBox* box) {
            QTest::keyClick(box, Qt::Key_Escape);
            box->windowHandle()->close();
            QTest::qWait(50);
            QVERIFY(box->isVisible());
            QTest::keyClick(box, Qt::Key_N);
        });
        QVERIFY(!boxes.AskYesNo("Exit?", "Kelvo Snake"));
        WhenBoxIsUp([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
        QVERIFY(boxes.AskYesNo("Exit?", "Kelvo Snake"));
    }

    void storedTextIsShownAsItStands() {
        platform::QtMessageBoxes boxes;
        const QString text = QStringLiteral("HighScore is : <h1>9</h1>");
        WhenBoxIsUp([text](QMessageBox* box) {
            const QList<QLabel*> labels = box->findChildren<QLabel*>();
            const auto shown = std::find_if(labels.begin(), labels.end(),
                                            [&](QLabel* label) { return label->text() == text; });
            QVERIFY(shown != labels.end());
            QCOMPARE((*shown)->textFormat(), Qt::PlainText);
            QTest::keyClick(box, Qt::Key_Return);
        });
        boxes.Inform(text.toStdString(), "Kelvo Snake");
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_message_boxes.moc"
