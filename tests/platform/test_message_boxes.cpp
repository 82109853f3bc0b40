// The program's message boxes as real windows, offscreen: what answers "Exit?", and how stored
// text is shown.
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <functional>

#include "platform/qt_platform.h"
#include "support/drive_modal.h"

class TestMessageBoxes : public QObject {
    Q_OBJECT
  private slots:
    void exitIsAnsweredOnlyByYesOrNo() {
        platform::QtMessageBoxes boxes;
        bool yes = true;
        auto ask = [&] { yes = boxes.AskYesNo("Exit?", "Kelvo Snake"); };
        DriveModal<QMessageBox>(
            [](QMessageBox* box) {
                QTest::keyClick(box, Qt::Key_Escape);
                box->windowHandle()->close();
                QTest::qWait(50);
                QVERIFY(box->isVisible());
                QTest::keyClick(box, Qt::Key_N);
            },
            ask);
        QVERIFY(!yes);
        DriveModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); },
                                ask);
        QVERIFY(yes);
    }

    void storedTextIsShownAsItStands() {
        platform::QtMessageBoxes boxes;
        const QString text = QStringLiteral("HighScore is : <h1>9</h1>");
        DriveModal<QMessageBox>(
            [text](QMessageBox* box) {
                const QList<QLabel*> labels = box->findChildren<QLabel*>();
                const auto shown = std::find_if(labels.begin(), labels.end(), [&](QLabel* label) {
                    return label->text() == text;
                });
                QVERIFY(shown != labels.end());
                QCOMPARE((*shown)->textFormat(), Qt::PlainText);
                QTest::keyClick(box, Qt::Key_Return);
            },
            [&] { boxes.Inform(text.toStdString(), "Kelvo Snake"); });
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_message_boxes.moc"
