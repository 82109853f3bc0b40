// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's message boxes as real windows, offscreen: what answers "Exit?", and how stored
// text is shown.
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
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
                // At once: a key pressed right after the answer goes to the window behind.
                QVERIFY(!box->isVisible());
            },
            ask);
        QVERIFY(!yes);
        DriveModal<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); },
                                ask);
        QVERIFY(yes);
    }

    // Where the window system places windows as it likes (Wayland), the box stands inside the
    // window that asked, in its middle, and the window's controls wait for the answer.
    void insideTheWindowTheBoxStandsInItsMiddle() {
        QDialog window;
        window.resize(640, 480);
        auto* control = new QPushButton(QStringLiteral("control"), &window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        platform::QtMessageBoxes boxes(true);
        QTimer::singleShot(0, [&window, control] {
            auto* box = window.findChild<QMessageBox*>();
            QVERIFY(box != nullptr && box->isVisible() && !box->isWindow());
            QVERIFY((box->geometry().center() - window.rect().center()).manhattanLength() <= 2);
            QVERIFY(!control->isEnabled());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);  // still no answer
            QVERIFY(box->isVisible());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_N);
        });
        control->setFocus();
        QVERIFY(!boxes.AskYesNo("Exit?", "Kelvo Snake"));
        QVERIFY(control->isEnabled());
        QCOMPARE(QApplication::focusWidget(), control);  // the focus where it was
        QVERIFY(window.findChild<QMessageBox*>() == nullptr);
    }

    // Before any score is kept, the box's blank after the colon is read as "none".
    void aBlankHighScoreIsReadAsNone() {
        platform::QtMessageBoxes boxes;
        DriveModal<QMessageBox>(
            [](QMessageBox* box) {
                auto* words = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
                QVERIFY(words != nullptr);
                QCOMPARE(words->text(), QStringLiteral("HighScore is : "));
                QCOMPARE(QAccessible::queryAccessibleInterface(words)->text(QAccessible::Name),
                         QStringLiteral("HighScore is : none"));
                QTest::keyClick(box, Qt::Key_Return);
            },
            [&] { boxes.Inform("HighScore is : ", "Kelvo Snake"); });
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
                QCOMPARE((*shown)->accessibleName(), (*shown)->text());
                QTest::keyClick(box, Qt::Key_Return);
            },
            [&] { boxes.Inform(text.toStdString(), "Kelvo Snake"); });
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_message_boxes.moc"
