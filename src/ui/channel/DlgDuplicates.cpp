#include "ui/channel/DlgDuplicates.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "channels/ListToolTexts.h"
#include "channels/Longitude.h"
#include "core/TextTable.h"

namespace vantrel::ui {
namespace {

using namespace vantrel::channels;

constexpr int kTextName = 47;
constexpr int kTextSatellite = 70;
constexpr int kTextChannelNo = 333;
constexpr int kTextRadio = 12;
constexpr int kTextTv = 13;

enum Column { kColKeep, kColNumber, kColName, kColSatellite, kColFavorites, kColumnCount };

QString T(int index) { return QString::fromUtf8(GetText(index)); }

constexpr int kGroupRole = Qt::UserRole;
constexpr int kIndexRole = Qt::UserRole + 1;

}  // namespace

CDlgDuplicates::CDlgDuplicates(CChannelEditor& editor, QWidget* parent) : QDialog(parent), m_editor(editor) {
  setObjectName(QString::number(IDD));
  setWindowTitle(T(kTextDuplicatesTitle));
  m_exact = new QRadioButton(T(kTextRuleExact), this);
  m_exact->setObjectName(QString::number(IDC_RULE_EXACT));
  m_loose = new QRadioButton(T(kTextRuleLoose), this);
  m_loose->setObjectName(QString::number(IDC_RULE_LOOSE));
  m_exact->setChecked(true);
  connect(m_exact, &QRadioButton::toggled, this, [this](bool on) {
    if (on) SetRule(DuplicateRule::Exact);
  });
  connect(m_loose, &QRadioButton::toggled, this, [this](bool on) {
    if (on) SetRule(DuplicateRule::Loose);
  });

  m_list = new QTreeWidget(this);
  m_list->setObjectName(QString::number(IDC_GROUP_LIST));
  m_list->setColumnCount(kColumnCount);
  m_list->setHeaderLabels(
      {T(kTextKeepColumn), T(kTextChannelNo), T(kTextName), T(kTextSatellite), T(kTextFavoritesColumn)});
  m_list->setSelectionMode(QAbstractItemView::NoSelection);
  m_list->header()->setStretchLastSection(false);
  m_list->header()->setSectionResizeMode(kColName, QHeaderView::Stretch);
  connect(m_list, &QTreeWidget::itemChanged, this, &CDlgDuplicates::OnItemChanged);

  m_delete = new QPushButton(T(kTextDeleteDuplicates), this);
  m_delete->setObjectName(QString::number(IDC_DELETE_DUPLICATES));
  connect(m_delete, &QPushButton::clicked, this, [this] { DeleteDuplicates(); });
  auto* close = new QPushButton(T(kTextClose), this);
  close->setObjectName(QString::number(IDC_CLOSE));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* rules = new QHBoxLayout;
  rules->addWidget(m_exact);
  rules->addWidget(m_loose);
  rules->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_delete);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(rules);
  layout->addWidget(m_list);
  layout->addLayout(buttons);
  resize(720, 480);
  SetRule(DuplicateRule::Exact);
}

void CDlgDuplicates::SetRule(DuplicateRule rule) {
  m_rule = rule;
  const QSignalBlocker blockExact(m_exact);
  const QSignalBlocker blockLoose(m_loose);
  (rule == DuplicateRule::Exact ? m_exact : m_loose)->setChecked(true);
  m_groups = FindDuplicates(m_editor.List(), rule);
  Fill();
}

void CDlgDuplicates::SetKeeper(std::size_t g, std::size_t index) {
  if (g >= m_groups.size() || index >= m_groups[g].services.size()) return;
  m_groups[g].keeper = index;
  // The ticks of that group, in place (this may run inside a tick's own signal).
  QTreeWidgetItem* top = m_list->topLevelItem(static_cast<int>(g));
  if (top == nullptr) return;
  const bool filling = m_filling;
  m_filling = true;
  top->setText(kColName, QString::fromStdString(m_groups[g].Keeper()->Name));
  for (int i = 0; i < top->childCount(); ++i) {
    top->child(i)->setCheckState(kColKeep, static_cast<std::size_t>(i) == index ? Qt::Checked : Qt::Unchecked);
  }
  m_filling = filling;
}

std::size_t CDlgDuplicates::DeleteDuplicates() {
  const std::size_t deleted = m_editor.DeleteDuplicates(m_groups);
  if (deleted > 0) {
    Q_EMIT listChanged();
    SetRule(m_rule);
  }
  return deleted;
}

void CDlgDuplicates::Fill() {
  m_filling = true;
  m_list->clear();
  ChannelList& list = m_editor.List();
  if (m_groups.empty()) {
    auto* none = new QTreeWidgetItem(m_list);
    none->setText(kColName, T(kTextNoDuplicates));
  }
  for (std::size_t g = 0; g < m_groups.size(); ++g) {
    const DuplicateGroup& group = m_groups[g];
    auto* top = new QTreeWidgetItem(m_list);
    top->setText(kColKeep, T(group.kind == ServiceKind::Tv ? kTextTv : kTextRadio));
    top->setText(kColName, QString::fromStdString(group.Keeper()->Name));
    for (std::size_t i = 0; i < group.services.size(); ++i) {
      const Service& s = *group.services[i];
      auto* row = new QTreeWidgetItem(top);
      row->setData(0, kGroupRole, static_cast<qulonglong>(g));
      row->setData(0, kIndexRole, static_cast<qulonglong>(i));
      row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      row->setCheckState(kColKeep, i == group.keeper ? Qt::Checked : Qt::Unchecked);
      row->setText(kColNumber, QString::number(s.ChannelNo));
      row->setText(kColName, QString::fromStdString(s.Name) + (s.IsHD ? QStringLiteral(" (HD)") : QString()));
      std::string satellite = list.GetSatelliteLabelByLongitude(s.Carrier.Longitude);
      if (satellite.empty()) satellite = FormatLongitude(s.Carrier.Longitude);
      row->setText(kColSatellite, QString::fromStdString(satellite));
      row->setText(kColFavorites, QString::number(FavoriteGroupCount(list, group.kind, s)));
    }
  }
  m_list->expandAll();
  for (int c = 0; c < kColumnCount; ++c) {
    if (c != kColName) m_list->resizeColumnToContents(c);
  }
  m_delete->setEnabled(!m_groups.empty());
  m_filling = false;
}

void CDlgDuplicates::OnItemChanged(QTreeWidgetItem* item, int column) {
  if (m_filling || column != kColKeep || item->parent() == nullptr) return;
  const auto g = static_cast<std::size_t>(item->data(0, kGroupRole).toULongLong());
  const auto index = static_cast<std::size_t>(item->data(0, kIndexRole).toULongLong());
  // Keeping is one per group: a tick moves the keeper, an untick puts the tick back.
  if (g >= m_groups.size()) return;
  SetKeeper(g, item->checkState(kColKeep) == Qt::Checked ? index : m_groups[g].keeper);
}

}  // namespace vantrel::ui
