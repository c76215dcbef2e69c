#include "app/buyer_list_model.h"

#include <QAbstractItemView>
#include <QTimer>

#include "app/gbk_qt.h"
#include "app/pictures.h"

namespace brivano {

BuyerListModel::BuyerListModel(const BuyerList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list) {
  for (ContactKind kind : kAllContactKinds)
    kindIcons_[static_cast<int>(kind)] = ContactKindIcon(kind);
}

int BuyerListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

QVariant BuyerListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  const ContactValue& item = list_[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole) return QStringFromGbk(item.value);
  if (role == Qt::DecorationRole) return kindIcons_[static_cast<int>(item.kind)];
  return {};
}

QVariant BuyerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole) {
    return QString(21, QLatin1Char(' ')) + QStringLiteral("买家数据显示区");
  }
  return {};
}

void BuyerListModel::BuyerListCleared() {
  beginResetModel();
  shown_ = 0;
  endResetModel();
}

void BuyerListModel::BuyerItemAppended(std::size_t) {
  if (flushQueued_) return;
  flushQueued_ = true;
  QTimer::singleShot(0, this, &BuyerListModel::Flush);
}

void BuyerListModel::Flush() {
  flushQueued_ = false;
  const int total = static_cast<int>(list_.size());
  if (total <= shown_) return;
  beginInsertRows({}, shown_, total - 1);
  shown_ = total;
  endInsertRows();
  if (view_) view_->scrollTo(index(total - 1), QAbstractItemView::EnsureVisible);
}

}  // namespace brivano
