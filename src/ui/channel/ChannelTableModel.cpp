#include "ui/channel/ChannelTableModel.h"

#include "channels/ChannelColumns.h"
#include "ui/channel/ChannelIcons.h"
#include "ui/controls/Resources.h"

namespace vantrel::ui {
namespace {

using channels::ChannelColumns;
using channels::MemberColumns;

constexpr QSize kRowIconSize(16, 16);

bool IsRadio(const channels::Service* service) {
  return service != nullptr && service->ServiceType == channels::kServiceTypeRadio;
}

QVariant Alignment(bool right) {
  return QVariant::fromValue(Qt::Alignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
}

}  // namespace

CChannelTableModel::CChannelTableModel(channels::CChannelView* view, QObject* parent)
    : QAbstractTableModel(parent),
      m_view(view),
      m_tv(LoadSvgIcon(kIconTvService, kRowIconSize)),
      m_radio(LoadSvgIcon(kIconRadioService, kRowIconSize)),
      m_numberedTv(LoadSvgIcon(kIconNumberedTv, kRowIconSize)),
      m_numberedRadio(LoadSvgIcon(kIconNumberedRadio, kRowIconSize)) {}

void CChannelTableModel::SetView(channels::CChannelView* view) {
  beginResetModel();
  m_view = view;
  endResetModel();
}

void CChannelTableModel::Reset() {
  beginResetModel();
  endResetModel();
}

void CChannelTableModel::RefreshCells() {
  if (rowCount() == 0) return;
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

QIcon CChannelTableModel::RowIcon(std::size_t row) const {
  if (m_view == nullptr || row >= m_view->RowCount()) return {};
  const bool radio = IsRadio(m_view->ServiceAt(row));
  if (m_view->Mark(row) != 0) return radio ? m_numberedRadio : m_numberedTv;
  return radio ? m_radio : m_tv;
}

int CChannelTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || m_view == nullptr ? 0 : static_cast<int>(m_view->RowCount());
}

int CChannelTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : channels::kChannelColumnCount;
}

QVariant CChannelTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || m_view == nullptr) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (row >= m_view->RowCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
      if (index.column() == channels::kColFiller) return {};
      return QString::fromStdString(m_view->CellText(row, index.column()));
    case Qt::DecorationRole: return index.column() == 0 ? QVariant(RowIcon(row)) : QVariant();
    case Qt::TextAlignmentRole:
      return Alignment(ChannelColumns()[static_cast<std::size_t>(index.column())].rightAligned);
    default: return {};
  }
}

QVariant CChannelTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= channels::kChannelColumnCount) return {};
  const auto& column = ChannelColumns()[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) return QString::fromStdString(channels::HeaderText(column));
  if (role == Qt::TextAlignmentRole) return Alignment(column.rightAligned);
  return {};
}

Qt::ItemFlags CChannelTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

CServiceTableModel::CServiceTableModel(channels::CServiceView* view, QObject* parent)
    : QAbstractTableModel(parent),
      m_view(view),
      m_tv(LoadSvgIcon(kIconTvService, kRowIconSize)),
      m_radio(LoadSvgIcon(kIconRadioService, kRowIconSize)) {}

void CServiceTableModel::SetView(channels::CServiceView* view) {
  beginResetModel();
  m_view = view;
  endResetModel();
}

void CServiceTableModel::Reset() {
  beginResetModel();
  endResetModel();
}

QIcon CServiceTableModel::RowIcon(std::size_t row) const {
  if (m_view == nullptr || row >= m_view->RowCount()) return {};
  return IsRadio(m_view->MemberAt(row)) ? m_radio : m_tv;
}

int CServiceTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || m_view == nullptr ? 0 : static_cast<int>(m_view->RowCount());
}

int CServiceTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : channels::kMemberColumnCount;
}

QVariant CServiceTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || m_view == nullptr) return {};
  const auto row = static_cast<std::size_t>(index.row());
  if (row >= m_view->RowCount()) return {};
  switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(m_view->CellText(row, index.column()));
    case Qt::DecorationRole: return index.column() == 0 ? QVariant(RowIcon(row)) : QVariant();
    case Qt::TextAlignmentRole:
      return Alignment(MemberColumns()[static_cast<std::size_t>(index.column())].rightAligned);
    default: return {};
  }
}

QVariant CServiceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= channels::kMemberColumnCount) return {};
  const auto& column = MemberColumns()[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) return QString::fromStdString(channels::HeaderText(column));
  if (role == Qt::TextAlignmentRole) return Alignment(column.rightAligned);
  return {};
}

Qt::ItemFlags CServiceTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

}  // namespace vantrel::ui
