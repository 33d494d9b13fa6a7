// The location list's model: entry i is the number i + 1, for as many
// locations as the quest has. A model, not a widget per entry, so a quest of
// a hundred thousand locations opens as fast as one of ten.
#pragma once

#include <QAbstractListModel>

namespace editor {

class LocationListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    int Count() const { return count_; }
    // Holds the numbers 1 .. count from now on.
    void SetCount(int count);
    // Appends the next number, or drops the last one.
    void Append();
    void RemoveLast();

private:
    int count_ = 0;
};

} // namespace editor
