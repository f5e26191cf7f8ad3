#pragma once
// Qt models over the channel editor's view-models: the channel list (twenty
// columns) and the service list (four columns). The cells are computed when
// the view paints them, so a list of any length costs nothing until it is
// shown; after an editing operation the window calls Reset().
#include <QAbstractTableModel>
#include <QIcon>

#include "channels/ChannelView.h"
#include "channels/ServiceView.h"

namespace vantrel::ui {

class CChannelTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit CChannelTableModel(channels::CChannelView* view, QObject* parent = nullptr);

  void SetView(channels::CChannelView* view);
  channels::CChannelView* View() const { return m_view; }
  // The rows changed as a whole (fill, sort, move, delete).
  void Reset();
  // Only the texts of the visible rows changed (marks, lock, skip).
  void RefreshCells();

  // The row icon: TV or radio, numbered while the row carries a mark.
  QIcon RowIcon(std::size_t row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  channels::CChannelView* m_view;
  QIcon m_tv, m_radio, m_numberedTv, m_numberedRadio;
};

class CServiceTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit CServiceTableModel(channels::CServiceView* view, QObject* parent = nullptr);

  void SetView(channels::CServiceView* view);
  void Reset();
  QIcon RowIcon(std::size_t row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  channels::CServiceView* m_view;
  QIcon m_tv, m_radio;
};

}  // namespace vantrel::ui
