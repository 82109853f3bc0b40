// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Widgets that tell assistive technology more than Qt's own interfaces for them do on Linux.
#pragma once

#include <QComboBox>
#include <QLabel>

namespace views {

// A drop-down list known by what it sets ("Level"), not by the item it shows. Qt on Linux names
// every QComboBox by its current text and leaves the rest to label relations, so three lists
// reading "1", "Blue" and "Blue" could not be told apart. The current item stays readable as the
// list's value and as its text, where screen readers look for it.
class NamedList : public QComboBox {
    Q_OBJECT
  public:
    // The name and, optionally, a description a screen reader reads with it.
    NamedList(const QString& name, const QString& description, QWidget* parent);
};

// Words the window draws itself, as a notification for assistive technology: it paints nothing,
// takes no focus and lets the mouse through, and Announce() makes screen readers read the new
// words at once (they read a notification each time it is shown).
class Announcement : public QLabel {
    Q_OBJECT
  public:
    explicit Announcement(QWidget* parent);
    void Announce(const QString& words);

  signals:
    // Each time screen readers are told to read the words.
    void announced(const QString& words);

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {}
};

}  // namespace views
