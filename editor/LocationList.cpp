// The numbers 1 .. count as a list model.
#include "editor/LocationList.h"

namespace editor {

int LocationListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

QVariant LocationListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() < 0 || index.row() >= count_)
        return {};
    return QString::number(index.row() + 1);
}

void LocationListModel::SetCount(int count) {
    beginResetModel();
    count_ = count < 0 ? 0 : count;
    endResetModel();
}

void LocationListModel::Append() {
    beginInsertRows(QModelIndex(), count_, count_);
    ++count_;
    endInsertRows();
}

void LocationListModel::RemoveLast() {
    if (count_ == 0)
        return;
    beginRemoveRows(QModelIndex(), count_ - 1, count_ - 1);
    --count_;
    endRemoveRows();
}

} // namespace editor
