// The buyer list view's model: a window onto the core's list, the value in
// the first column and whose it is (the company or the result's title, with
// its site) in the second. Appends that arrive during one tick are announced
// to the view together, once control is back in the event loop, so that a
// page of items at a million rows costs one insertion and one scroll.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <array>

#include "base/buyer_list.h"

class QAbstractItemView;

namespace brivano {

class BuyerListModel : public QAbstractTableModel, public BuyerListObserver {
  Q_OBJECT

 public:
  BuyerListModel(const BuyerList& list, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void BuyerListCleared() override;
  void BuyerItemAppended(std::size_t index) override;

  // The view to keep scrolled to the newest item.
  void SetView(QAbstractItemView* view) { view_ = view; }
  // Announces pending appends now (tests and the end of a tick).
  void Flush();

 private:
  const BuyerList& list_;
  int shown_ = 0;  // rows the view knows of
  bool flushQueued_ = false;
  QAbstractItemView* view_ = nullptr;
  std::array<QIcon, 4> kindIcons_;
};

}  // namespace brivano
