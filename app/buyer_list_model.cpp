#include "app/buyer_list_model.h"

#include <QAbstractItemView>
#include <QTimer>

#include "app/gbk_qt.h"
#include "app/pictures.h"

namespace brivano {

BuyerListModel::BuyerListModel(const BuyerList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
  for (ContactKind kind : kAllContactKinds)
    kindIcons_[static_cast<int>(kind)] = ContactKindIcon(kind);
}

int BuyerListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_;
}

int BuyerListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant BuyerListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= shown_) return {};
  const ContactValue& item = list_[static_cast<std::size_t>(index.row())];
  if (index.column() == 1) {
    if (role != Qt::DisplayRole || !item.owner) return {};
    const ResultOwner& owner = *item.owner;
    const QString who = QStringFromGbk(owner.company.empty() ? owner.title : owner.company);
    if (owner.site.empty()) return who;
    return who + QStringLiteral("（") + QStringFromGbk(owner.site) + QStringLiteral("）");
  }
  if (role == Qt::DisplayRole) return QStringFromGbk(item.value);
  if (role == Qt::DecorationRole) return kindIcons_[static_cast<int>(item.kind)];
  return {};
}

QVariant BuyerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == 0) return QString(21, QLatin1Char(' ')) + QStringLiteral("买家数据显示区");
  if (section == 1) return QStringLiteral("公司或标题（网站）");
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
  if (view_) view_->scrollTo(index(total - 1, 0), QAbstractItemView::EnsureVisible);
}

}  // namespace brivano
