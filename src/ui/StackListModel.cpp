#include "ui/StackListModel.h"

namespace {
constexpr Qt::ItemFlags ListItemFlags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

StackListModel::StackListModel(const StackCalc& stack, QObject* parent)
    : QAbstractListModel(parent), stack_(stack), rows_(EngineRows()) {}

int StackListModel::EngineRows() const {
    return stack_.Count();
}

int StackListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant StackListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const int row = index.row();
    // A row being removed may be gone from the engine already.
    return row < stack_.Count() ? QString::fromStdString(stack_.DisplayText(row)) : QString();
}

Qt::ItemFlags StackListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? ListItemFlags : Qt::NoItemFlags;
}

// Each notice is checked against the engine's count; one that does not fit what the model last
// announced (a notice missed or out of order) is answered by a reset rather than a wrong list.
void StackListModel::Inserted(int first, int count) {
    if (first < 0 || first > rows_ || rows_ + count != EngineRows()) return Reset();
    beginInsertRows({}, first, first + count - 1);
    rows_ += count;
    endInsertRows();
    emit entriesChanged();
}

void StackListModel::Removed(int first, int count) {
    if (first < 0 || first + count > rows_ || rows_ - count != EngineRows()) return Reset();
    beginRemoveRows({}, first, first + count - 1);
    rows_ -= count;
    endRemoveRows();
    emit entriesChanged();
}

void StackListModel::Changed(int first, int count) {
    if (rows_ != EngineRows() || first < 0 || first + count > rows_) return Reset();
    emit dataChanged(index(first), index(first + count - 1), {Qt::DisplayRole});
    emit entriesChanged();
}

void StackListModel::Reset() {
    beginResetModel();
    rows_ = EngineRows();
    endResetModel();
    emit entriesChanged();
}

// ---------------------------------------------------------------------------------------------

RegisterListModel::RegisterListModel(const StackCalc& stack, int index, Formatter format, QObject* parent)
    : QAbstractListModel(parent), stack_(stack), index_(index), format_(std::move(format)) {}

int RegisterListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant RegisterListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    return QString::fromStdString(format_(stack_.Register(index_)));
}

Qt::ItemFlags RegisterListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? ListItemFlags : Qt::NoItemFlags;
}

void RegisterListModel::Refresh() {
    emit dataChanged(index(0), index(0), {Qt::DisplayRole});
}
