// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What a screen reader finds in each window, read through Qt's accessibility interfaces
// offscreen: every control it can focus has a name, the pictures that act as buttons are push
// buttons whose Press acts, and the game's state is text that changes with it.
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <vector>

#include "assets/font.h"
#include "game/game_window.h"
#include "menu/menu_window.h"
#include "platform/qt_platform.h"
#include "settings/ini.h"
#include "start/start_window.h"
#include "support/drive_modal.h"
#include "support/rules_fixture.h"
#include "views/accessible_widgets.h"

namespace {

// Every accessible object below `root`, depth first.
std::vector<QAccessibleInterface*> Tree(QAccessibleInterface* root) {
    std::vector<QAccessibleInterface*> all;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        all.push_back(child);
        const auto below = Tree(child);
        all.insert(all.end(), below.begin(), below.end());
    }
    return all;
}

std::vector<QAccessibleInterface*> TreeOf(QWidget* window) {
    return Tree(QAccessible::queryAccessibleInterface(window));
}

QAccessibleInterface* Find(QWidget* window, QAccessible::Role role, const QString& name) {
    for (QAccessibleInterface* object : TreeOf(window)) {
        if (object->role() == role && object->text(QAccessible::Name) == name) {
            return object;
        }
    }
    return nullptr;
}

void ExpectNamedFocusables(QWidget* window) {
    for (QAccessibleInterface* object : TreeOf(window)) {
        if (object->state().focusable) {
            QVERIFY2(!object->text(QAccessible::Name).isEmpty(),
                     qPrintable(QStringLiteral("a focusable object without a name, role %1")
                                    .arg(object->role())));
        }
    }
}

void Press(QAccessibleInterface* button) {
    QVERIFY(button != nullptr);
    QVERIFY(button->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { assets::InstallGameFont(); }

    void theChoosersNextIsAButtonThatGoesOn() {
        RulesFixture<FrmStart> f;
        DriveModal<StartWindow>(
            [](StartWindow* w) {
                ExpectNamedFocusables(w);
                QAccessibleInterface* sizes =
                    Find(w, QAccessible::Grouping, QStringLiteral("Screen size"));
                QVERIFY(sizes != nullptr);
                QCOMPARE(sizes->childCount(), 3);
                QCOMPARE(sizes->child(2)->text(QAccessible::Name), QStringLiteral("1024 * 768"));
                QVERIFY(QAccessible::queryAccessibleInterface(w)
                            ->text(QAccessible::Description)
                            .contains(QStringLiteral("Enter goes on")));
                Press(Find(w, QAccessible::PushButton, QStringLiteral("Next!")));
            },
            [&f] { ShowStartModal(f.rules, f.fake.bundle); });
        QVERIFY(f.rules.nextChosen);
    }

    void theMenusPicturesAreButtonsAndHighScoreHasAKey() {
        RulesFixture<FrmMenu> f;
        f.shared.ResWidth = 800;
        f.shared.ResHeight = 600;
        DriveModal<MenuWindow>(
            [&f](MenuWindow* w) {
                ExpectNamedFocusables(w);
                // Each list is named by what it sets, labelled by its caption; never by its value.
                const std::pair<QComboBox*, const char*> lists[] = {
                    {w->cmblvl(), "Level"},
                    {w->cmbscolor(), "Snake colour"},
                    {w->cmbbcolor(), "Border colour"}};
                for (const auto& [list, name] : lists) {
                    QAccessibleInterface* object = QAccessible::queryAccessibleInterface(list);
                    QCOMPARE(object->text(QAccessible::Name), QString::fromLatin1(name));
                    QCOMPARE(object->text(QAccessible::Value), list->currentText());
                    QCOMPARE(object->relations(QAccessible::Label).size(), 1);
                }
                QCOMPARE(QAccessible::queryAccessibleInterface(w->cmblvl())
                             ->text(QAccessible::Description),
                         QStringLiteral("1 is the Easiest, 10 is the most Difficult."));
                // The hint is read once: as the list's description, not also as the window's.
                int hints = 0;
                for (QAccessibleInterface* object : TreeOf(w)) {
                    hints += object->text(QAccessible::Name).contains("1 is the Easiest") ? 1 : 0;
                }
                QCOMPARE(hints, 0);
                const QString keys =
                    QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
                QVERIFY2(keys.contains("Enter goes on") && keys.contains("Ctrl+H") &&
                             keys.contains("Esc quits"),
                         qPrintable(keys));
                // M says what it did; the screen shows nothing of it.
                QTest::keyClick(w->cmblvl(), Qt::Key_M);
                QVERIFY(Find(w, QAccessible::Notification, QStringLiteral("Music off")));
                QTest::keyClick(w->cmblvl(), Qt::Key_M);
                QVERIFY(Find(w, QAccessible::Notification, QStringLiteral("Music on")));
                // S, the sound cues for playing by ear: said, switched, and kept.
                QTest::keyClick(w->cmblvl(), Qt::Key_S);
                QVERIFY(f.fake.sound.cuesOn &&
                        Find(w, QAccessible::Notification, QStringLiteral("Sound cues on")));
                QCOMPARE(ReadIni(f.fake.SettingsFile(), "data", "cues", ""), std::string("1"));
                QCOMPARE(w->cmblvl()->currentText(), QStringLiteral("1"));
                Press(Find(w, QAccessible::PushButton, QStringLiteral("HighScore")));
                QTRY_COMPARE(f.fake.boxes.shown.size(), size_t{1});
                QTest::keyClick(w->cmblvl(), Qt::Key_H, Qt::ControlModifier);
                QCOMPARE(f.fake.boxes.shown.size(), size_t{2});
                Press(Find(w, QAccessible::PushButton, QStringLiteral("Next")));
            },
            [&f] { ShowMenuModal(f.rules, f.fake.bundle); });
        QTRY_VERIFY(f.rules.nextChosen);
    }

    void theGamesTextFollowsItsState() {
        RulesFixture<Sn> f;
        f.shared = fake::GameChoices(10);
        platform::QtTickCounter clock;
        platform::QtEventPump pump;
        platform::Platform bundle{clock,          pump,          f.fake.boxes, f.fake.sound,
                                  f.fake.process, f.fake.screen, f.fake.random};
        Sn rules{bundle, f.shared};
        DriveModal<GameWindow>(
            [&rules](GameWindow* w) {
                QAccessibleInterface* said = Find(w, QAccessible::Notification,
                                                  QStringLiteral("Press Spacebar TO Start . . ."));
                QVERIFY(said != nullptr);
                QVERIFY(QAccessible::queryAccessibleInterface(w)
                            ->text(QAccessible::Description)
                            .contains("S switches the sound cues for playing by ear"));
                // Screen readers read a notification when it is shown: once per change of the
                // words, not at every refresh.
                QSignalSpy timesShown(qobject_cast<views::Announcement*>(said->object()),
                                      &views::Announcement::announced);
                rules.controls.label(Label::lblspace).Visible = false;  // as Space does
                w->Refresh();
                rules.Pause();
                QCOMPARE(said->text(QAccessible::Name),
                         QStringLiteral("Paused\nPress Spacebar TO Start . . ."));
                QCOMPARE(timesShown.size(), 1);
                w->Refresh();
                QCOMPARE(timesShown.size(), 1);  // the same words are not said again
                rules.Elongate_Snake();          // as an apple does
                w->Refresh();
                QVERIFY(said->text(QAccessible::Name).endsWith("Score : 10   Snake Length : 8"));
                QCOMPARE(timesShown.size(), 2);
                rules.Game_Over();  // while the score's flash shows
                w->Refresh();
                QVERIFY(said->text(QAccessible::Name)
                            .endsWith("Your Score Is: 10\nCongrats! High Score\n Press F2 To "
                                      "Restart !"));
                QCOMPARE(timesShown.size(), 3);
                rules.controls.label(Label::lblscore).Visible = false;  // as the flash's timer does
                w->Refresh();
                QCOMPARE(timesShown.size(), 3);  // game over is said once
                QTest::keyClick(w, Qt::Key_F2);
            },
            [&] { ShowGameModal(rules, bundle); });
        QVERIFY(rules.restartPressed);
    }

    // Before any score is kept, the screen's blank after "High Score Is:" is read as "none".
    void aBlankHighScoreIsReadAsNone() {
        RulesFixture<Sn> f;
        f.shared = fake::GameChoices(10);
        DriveModal<GameWindow>(
            [&f](GameWindow* w) {
                f.rules.Game_Over();  // a score of 0, and none kept
                w->Refresh();
                QCOMPARE(f.rules.controls.label(Label::lblHigh).Caption,
                         std::string("High Score Is: "));
                bool said = false;
                for (QAccessibleInterface* object : TreeOf(w)) {
                    said = said || (object->role() == QAccessible::Notification &&
                                    object->text(QAccessible::Name)
                                        .contains("Your Score Is: 0\nHigh Score Is: none\n"));
                }
                QVERIFY(said);
                w->done(0);
            },
            [&f] { ShowGameModal(f.rules, f.fake.bundle); });
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
