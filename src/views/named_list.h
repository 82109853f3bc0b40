// A drop-down list that assistive technology knows by what it sets ("Level"), not by the item
// it shows. Qt on Linux names every QComboBox by its current text and leaves the rest to label
// relations, so three lists reading "1", "Blue" and "Blue" could not be told apart.
#pragma once

#include <QComboBox>

namespace views {

class NamedList : public QComboBox {
    Q_OBJECT
  public:
    // The name and, optionally, a description a screen reader reads with it.
    NamedList(const QString& name, const QString& description, QWidget* parent);
};

}  // namespace views
