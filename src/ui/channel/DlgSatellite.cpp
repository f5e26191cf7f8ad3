#include "ui/channel/DlgSatellite.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "channels/ChannelEditor.h"
#include "channels/Fec.h"
#include "channels/SortCompare.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "core/WaitCursor.h"
#include "ui/channel/NumberEdit.h"
#include "ui/channel/ReportList.h"

namespace vantrel::ui {
namespace {

using channels::Satellite;
using channels::Transponder;

enum : int {
  kTextSave = 2,
  kTextDelete = 11,
  kTextSatelliteName = 15,
  kTextLongitude = 16,
  kTextFrequency = 17,
  kTextSymbolRate = 18,
  kTextPolarization = 19,
  kTextVertical = 30,
  kTextHorizontal = 31,
  kTextName = 47,
  kTextExit = 51,
  kTextSatAndTp = 69,
  kTextSatellite = 70,
  kTextTransponder = 71,
  kTextFillSatName = 143,
  kTextFillLongitude = 144,
  kTextFillFrequency = 145,
  kTextFillSymbolRate = 146,
  kTextSelectPolarization = 194,
  kTextDeleteSatellite = 198,
  kTextDeleteSatelliteChannels = 199,
  kTextDeleteTransponder = 200,
  kTextDeleteTransponderChannels = 201,
  kTextPol = 245,
  kTextFreq = 251,
  kTextSelectOneSatellite = 304,
  kTextFillTsid = 305,
  kTextFillOnid = 306,
  kTextSelectFec = 307,
  kTextNew = 340,
};

constexpr int kFirstNamedFec = 6;
constexpr int kLastNamedFec = 19;
constexpr int kHighestFecItem = 20;
// The transponder polarisation list.
constexpr int kPolVertical = 0;
constexpr int kPolHorizontal = 1;
// The satellite band list.
constexpr int kBandItemC = 0;
constexpr int kBandItemKu = 1;

QString Text(int index) { return QString::fromUtf8(GetText(index)); }

QLabel* MakeLabel(QWidget* parent, int id, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::number(id));
  return label;
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::number(id));
  button->setAutoDefault(false);
  return button;
}

QComboBox* MakeList(QWidget* parent, int id, const QStringList& items) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::number(id));
  list->addItems(items);
  return list;
}

QString BandText(int band) { return band == channels::kBandC ? QStringLiteral("C") : QStringLiteral("Ku"); }

QString FecText(int code) { return QString::fromUtf8(channels::FecCodeToName(code)); }

// Shows an input error and returns its text index.
int Refuse(int index) {
  ShowErrorText(GetText(index));
  return index;
}

}  // namespace

CDlgSatellite::CDlgSatellite(channels::CChannelEditor& editor, QWidget* parent) : QDialog(parent), m_editor(editor) {
  setObjectName(QString::number(IDD));
  setWindowTitle(Text(kTextSatAndTp));
  BuildControls();
  FillSatellites();

  m_firstSelection.setSingleShot(true);
  m_firstSelection.setInterval(kFirstSelectionDelayMs);
  connect(&m_firstSelection, &QTimer::timeout, this, &CDlgSatellite::OnFirstSelection);
  if (m_satList->RowCount() > 0) m_firstSelection.start();
}

CDlgSatellite::~CDlgSatellite() = default;

void CDlgSatellite::BuildControls() {
  // --- satellites
  auto* satGroup = new QGroupBox(Text(kTextSatellite), this);
  satGroup->setObjectName(QString::number(IDC_SAT_GROUP));
  m_satList = new CReportList(
      IDC_SAT_LIST, {{Text(kTextName), 50}, {QStringLiteral("Band"), 20}, {Text(kTextLongitude), 20}, {{}, 10}},
      satGroup);
  m_satName = MakeTextEdit(satGroup, IDC_SAT_NAME);
  m_satName->setMaxLength(static_cast<int>(channels::kSatNameSize) - 1);
  m_satBand = MakeList(satGroup, IDC_SAT_BAND, {QStringLiteral("C"), QStringLiteral("Ku")});
  m_satLongitude = MakeNumberEdit(satGroup, IDC_SAT_LONGITUDE);
  auto* satNew = MakeButton(satGroup, IDC_SAT_NEW, Text(kTextNew));
  auto* satSave = MakeButton(satGroup, IDC_SAT_SAVE, Text(kTextSave));
  auto* satDelete = MakeButton(satGroup, IDC_SAT_DELETE, Text(kTextDelete));

  auto* satFields = new QGridLayout;
  satFields->addWidget(MakeLabel(satGroup, IDC_SAT_NAME_LABEL, Text(kTextSatelliteName)), 0, 0);
  satFields->addWidget(m_satName, 0, 1);
  satFields->addWidget(MakeLabel(satGroup, IDC_SAT_BAND_LABEL, QStringLiteral("Band")), 1, 0);
  satFields->addWidget(m_satBand, 1, 1);
  satFields->addWidget(MakeLabel(satGroup, IDC_SAT_LONGITUDE_LABEL, Text(kTextLongitude)), 2, 0);
  satFields->addWidget(m_satLongitude, 2, 1);
  satFields->setRowStretch(3, 1);
  auto* satButtons = new QHBoxLayout;
  satButtons->addWidget(satNew);
  satButtons->addWidget(satSave);
  satButtons->addWidget(satDelete);
  satFields->addLayout(satButtons, 4, 0, 1, 2);
  satFields->setColumnMinimumWidth(1, 170);
  auto* satLayout = new QHBoxLayout(satGroup);
  satLayout->addWidget(m_satList, 2);
  satLayout->addLayout(satFields, 1);

  // --- transponders
  auto* tpGroup = new QGroupBox(Text(kTextTransponder), this);
  tpGroup->setObjectName(QString::number(IDC_TP_GROUP));
  // Six equal columns and a spare one would take 128 % of the width and cut
  // the FEC names short; the FEC column gets the room it needs instead.
  m_tpList = new CReportList(IDC_TP_LIST,
                             {{Text(kTextFreq), 14},
                              {Text(kTextSymbolRate), 16},
                              {QStringLiteral("Tsid"), 12},
                              {QStringLiteral("Oid"), 10},
                              {Text(kTextPol), 10},
                              {QStringLiteral("FEC"), 28},
                              {{}, 10}},
                             tpGroup);
  m_tpFrequency = MakeNumberEdit(tpGroup, IDC_TP_FREQUENCY);
  m_tpSymbolRate = MakeNumberEdit(tpGroup, IDC_TP_SYMBOLRATE);
  m_tpTsid = MakeNumberEdit(tpGroup, IDC_TP_TSID);
  m_tpOnid = MakeNumberEdit(tpGroup, IDC_TP_ONID);
  m_tpPol = MakeList(tpGroup, IDC_TP_POL, {Text(kTextVertical), Text(kTextHorizontal)});
  QStringList fecNames{FecText(0)};
  for (int code = kFirstNamedFec; code <= kLastNamedFec; ++code) fecNames << FecText(code);
  fecNames << QStringLiteral("UNDEFINED");
  m_tpFec = MakeList(tpGroup, IDC_TP_FEC, fecNames);
  auto* tpNew = MakeButton(tpGroup, IDC_TP_NEW, Text(kTextNew));
  auto* tpSave = MakeButton(tpGroup, IDC_TP_SAVE, Text(kTextSave));
  auto* tpDelete = MakeButton(tpGroup, IDC_TP_DELETE, Text(kTextDelete));

  auto* tpFields = new QGridLayout;
  const std::pair<QLabel*, QWidget*> rows[] = {
      {MakeLabel(tpGroup, IDC_TP_FREQUENCY_LABEL, Text(kTextFrequency)), m_tpFrequency},
      {MakeLabel(tpGroup, IDC_TP_SYMBOLRATE_LABEL, Text(kTextSymbolRate)), m_tpSymbolRate},
      {MakeLabel(tpGroup, IDC_TP_TSID_LABEL, QStringLiteral("Tsid")), m_tpTsid},
      {MakeLabel(tpGroup, IDC_TP_ONID_LABEL, QStringLiteral("Onid")), m_tpOnid},
      {MakeLabel(tpGroup, IDC_TP_POL_LABEL, Text(kTextPolarization)), m_tpPol},
  };
  int row = 0;
  for (const auto& [label, control] : rows) {
    tpFields->addWidget(label, row, 0);
    tpFields->addWidget(control, row++, 1);
  }
  // The FEC choice is kept (Save reads it) but not offered.
  QLabel* fecLabel = MakeLabel(tpGroup, IDC_TP_FEC_LABEL, QStringLiteral("FEC"));
  fecLabel->hide();
  m_tpFec->hide();
  tpFields->setRowStretch(row++, 1);
  auto* tpButtons = new QHBoxLayout;
  tpButtons->addWidget(tpNew);
  tpButtons->addWidget(tpSave);
  tpButtons->addWidget(tpDelete);
  tpFields->addLayout(tpButtons, row, 0, 1, 2);
  tpFields->setColumnMinimumWidth(1, 170);
  auto* tpLayout = new QHBoxLayout(tpGroup);
  tpLayout->addWidget(m_tpList, 2);
  tpLayout->addLayout(tpFields, 1);

  auto* exit = MakeButton(this, IDCANCEL, Text(kTextExit));
  connect(exit, &QPushButton::clicked, this, &QDialog::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(exit);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(satGroup, 1);
  layout->addWidget(tpGroup, 1);
  layout->addLayout(bottom);
  resize(880, 600);

  connect(satNew, &QPushButton::clicked, this, [this] { SatelliteNew(); });
  connect(satSave, &QPushButton::clicked, this, [this] { SatelliteSave(); });
  connect(satDelete, &QPushButton::clicked, this, [this] { SatelliteDelete(); });
  connect(tpNew, &QPushButton::clicked, this, [this] { TransponderNew(); });
  connect(tpSave, &QPushButton::clicked, this, [this] { TransponderSave(); });
  connect(tpDelete, &QPushButton::clicked, this, [this] { TransponderDelete(); });

  connect(m_satList, &CReportList::rowClicked, this, &CDlgSatellite::ClickSatelliteRow);
  connect(m_tpList, &CReportList::rowClicked, this, &CDlgSatellite::ClickTransponderRow);
  connect(m_satList, &CReportList::navigationReleased, this,
          [this] { ClickSatelliteRow(m_satList->FirstSelectedRow()); });
  connect(m_tpList, &CReportList::navigationReleased, this,
          [this] { ClickTransponderRow(m_tpList->FirstSelectedRow()); });
  connect(m_satList, &CReportList::deleteReleased, this, [this] { SatelliteDelete(); });
  connect(m_tpList, &CReportList::deleteReleased, this, [this] { TransponderDelete(); });
  connect(m_satList->header(), &QHeaderView::sectionClicked, this, &CDlgSatellite::SortSatellites);
  connect(m_tpList->header(), &QHeaderView::sectionClicked, this, &CDlgSatellite::SortTransponders);
}

void CDlgSatellite::FillSatellites() {
  for (const auto& satellite : m_editor.List().Satellites()) {
    auto* item = new QTreeWidgetItem(m_satList);
    CReportList::SetRecord(item, satellite.get());
    SetSatelliteRow(m_satList->RowOf(item), *satellite);
  }
  m_satList->SortRows(kSatName, &CDlgSatellite::LessText);
  m_satSort = {};
  m_tpSort = {};
}

void CDlgSatellite::OnFirstSelection() {
  m_firstSelection.stop();
  if (m_satList->RowCount() == 0) return;
  ShowSatellite(CReportList::RecordOf<Satellite>(m_satList->Row(0)));
  m_satList->SelectOnly(0);
  m_satList->setFocus();
}

int CDlgSatellite::CurrentSatellite() const {
  if (m_current == nullptr) return -1;
  for (int row = 0; row < m_satList->RowCount(); ++row)
    if (CReportList::RecordOf<Satellite>(m_satList->Row(row)) == m_current) return row;
  return -1;
}

void CDlgSatellite::SetSatelliteRow(int row, const Satellite& satellite) {
  QTreeWidgetItem* item = m_satList->Row(row);
  item->setText(kSatName, QString::fromStdString(satellite.SatName));
  item->setText(kSatBand, BandText(satellite.Band));
  item->setText(kSatLongitude, QString::number(satellite.Longitude));
}

void CDlgSatellite::SetTransponderRow(int row, const Transponder& transponder) {
  QTreeWidgetItem* item = m_tpList->Row(row);
  item->setText(kTpFreq, QString::number(transponder.Frequency));
  item->setText(kTpSymbolRate, QString::number(transponder.SymbolRate));
  item->setText(kTpTsid, QString::number(transponder.Tsid));
  item->setText(kTpOnid, QString::number(transponder.Onid));
  item->setText(kTpPol, transponder.Pol == 'H' ? QStringLiteral("H") : QStringLiteral("V"));
  item->setText(kTpFec, FecText(transponder.FEC));
}

void CDlgSatellite::ShowSatellite(Satellite* satellite) {
  m_current = satellite;
  m_tpList->clear();
  ClearTransponderFields();
  if (satellite == nullptr) {
    m_satName->clear();
    m_satBand->setCurrentIndex(-1);
    m_satLongitude->clear();
    return;
  }
  m_satName->setText(QString::fromStdString(satellite->SatName));
  m_satBand->setCurrentIndex(satellite->Band == channels::kBandC ? kBandItemC : kBandItemKu);
  m_satLongitude->setText(QString::number(satellite->Longitude));
  for (const auto& transponder : satellite->mTransponder) {
    auto* item = new QTreeWidgetItem(m_tpList);
    CReportList::SetRecord(item, transponder.get());
    SetTransponderRow(m_tpList->RowOf(item), *transponder);
  }
}

void CDlgSatellite::ClearTransponderFields() {
  m_tpFrequency->clear();
  m_tpSymbolRate->clear();
  m_tpTsid->clear();
  m_tpOnid->clear();
}

void CDlgSatellite::ShowTransponder(const Transponder* transponder) {
  if (transponder == nullptr) {
    ClearTransponderFields();
    return;
  }
  m_tpFrequency->setText(QString::number(transponder->Frequency));
  m_tpSymbolRate->setText(QString::number(transponder->SymbolRate));
  m_tpTsid->setText(QString::number(transponder->Tsid));
  m_tpOnid->setText(QString::number(transponder->Onid));
  m_tpPol->setCurrentIndex(transponder->Pol == 'H' ? kPolHorizontal : kPolVertical);
  const int fec = FecItem(transponder->FEC);
  if (fec >= 0) m_tpFec->setCurrentIndex(fec);
}

int CDlgSatellite::FecItem(int code) const {
  const QString fec = FecText(code);
  for (int i = 0; i < m_tpFec->count(); ++i) {
    if (m_tpFec->itemText(i).startsWith(fec)) return i;
  }
  return -1;
}

void CDlgSatellite::ClickSatelliteRow(int row) {
  ShowSatellite(row >= 0 ? CReportList::RecordOf<Satellite>(m_satList->Row(row)) : nullptr);
}

void CDlgSatellite::ClickTransponderRow(int row) {
  ShowTransponder(row >= 0 ? CReportList::RecordOf<Transponder>(m_tpList->Row(row)) : nullptr);
}

bool CDlgSatellite::LessLengthThenText(const QString& a, const QString& b) {
  return channels::CompareLengthThenText(a.toStdString(), b.toStdString()) < 0;
}

bool CDlgSatellite::LessText(const QString& a, const QString& b) {
  return channels::CompareText(a.toStdString(), b.toStdString()) < 0;
}

void CDlgSatellite::SortList(CReportList* list, SortState& state, int column, bool numeric) {
  state.column = column;
  state.ascending = !state.ascending;
  const CReportList::Less compare = numeric ? &CDlgSatellite::LessLengthThenText : &CDlgSatellite::LessText;
  if (state.ascending) {
    list->SortRows(column, compare);
  } else {
    list->SortRows(column, [&compare](const QString& a, const QString& b) { return compare(b, a); });
  }
}

void CDlgSatellite::SortSatellites(int column) {
  if (column < kSatName || column > kSatLongitude) return;
  SortList(m_satList, m_satSort, column, column == kSatLongitude);
}

void CDlgSatellite::SortTransponders(int column) {
  if (column < kTpFreq || column > kTpFec) return;
  SortList(m_tpList, m_tpSort, column, column <= kTpOnid);
}

int CDlgSatellite::SatelliteNew() {
  Satellite* satellite = m_editor.NewSatellite();
  if (satellite == nullptr) return 0;
  auto* item = new QTreeWidgetItem(m_satList);
  CReportList::SetRecord(item, satellite);
  const int row = m_satList->RowOf(item);
  SetSatelliteRow(row, *satellite);
  m_satList->SelectOnly(row);
  m_satList->setFocus();
  ShowSatellite(satellite);
  return 0;
}

int CDlgSatellite::SatelliteSave() {
  if (IsBlank(m_satName->text())) return Refuse(kTextFillSatName);
  if (IsBlank(m_satLongitude->text())) return Refuse(kTextFillLongitude);
  const std::vector<int> selected = m_satList->SelectedRows();
  if (selected.size() != 1) {
    ShowInfoText(GetText(kTextSelectOneSatellite));
    return kTextSelectOneSatellite;
  }
  Satellite* satellite = CReportList::RecordOf<Satellite>(m_satList->Row(selected.front()));
  satellite->SatName = channels::FitText(m_satName->text().toStdString(), channels::kSatNameSize);
  satellite->Band = m_satBand->currentIndex() == kBandItemC ? channels::kBandC : channels::kBandKu;
  satellite->Longitude = ParseDecimal(m_satLongitude->text());
  SetSatelliteRow(selected.front(), *satellite);
  m_editor.SetModified(true);
  return 0;
}

int CDlgSatellite::SatelliteDelete() {
  if (!AskConfirmText(std::string(GetText(kTextDeleteSatellite)) + GetText(kTextDeleteSatelliteChannels))) return 0;
  CWaitCursor wait;
  const std::vector<int> selected = m_satList->SelectedRows();
  for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
    std::unique_ptr<QTreeWidgetItem> item(m_satList->takeTopLevelItem(*row));
    auto* satellite = CReportList::RecordOf<Satellite>(item.get());
    m_editor.DeleteServicesOfSatellite(*satellite);
    // The transponder list and the fields must not keep showing a freed record.
    if (satellite == m_current) ShowSatellite(nullptr);
    m_editor.List().RemoveSatellite(satellite);
    m_editor.SetModified(true);
  }
  return 0;
}

int CDlgSatellite::TransponderNew() {
  if (m_current == nullptr) return 0;
  auto transponder = std::make_unique<Transponder>();
  transponder->SatIndex = m_current->SatIndex;
  Transponder* added = transponder.get();
  m_current->mTransponder.push_back(std::move(transponder));
  m_editor.SetModified(true);
  auto* item = new QTreeWidgetItem(m_tpList);
  CReportList::SetRecord(item, added);
  const int row = m_tpList->RowOf(item);
  SetTransponderRow(row, *added);
  m_tpList->SelectOnly(row);
  m_tpList->setFocus();
  ShowTransponder(added);
  return 0;
}

int CDlgSatellite::TransponderSave() {
  const std::pair<QLineEdit*, int> required[] = {
      {m_tpFrequency, kTextFillFrequency},
      {m_tpSymbolRate, kTextFillSymbolRate},
      {m_tpTsid, kTextFillTsid},
      {m_tpOnid, kTextFillOnid},
  };
  for (const auto& [edit, text] : required)
    if (IsBlank(edit->text())) return Refuse(text);
  const int pol = m_tpPol->currentIndex();
  if (pol != kPolVertical && pol != kPolHorizontal) return Refuse(kTextSelectPolarization);
  const int fec = m_tpFec->currentIndex();
  if (fec < 0 || fec > kHighestFecItem) return Refuse(kTextSelectFec);

  const std::vector<int> selected = m_tpList->SelectedRows();
  if (selected.size() != 1) {
    ShowInfoText(GetText(kTextSelectOneSatellite));
    return kTextSelectOneSatellite;
  }
  auto* transponder = CReportList::RecordOf<Transponder>(m_tpList->Row(selected.front()));
  transponder->Frequency = ParseDecimal(m_tpFrequency->text());
  transponder->SymbolRate = ParseDecimal(m_tpSymbolRate->text());
  transponder->Tsid = ParseDecimal(m_tpTsid->text());
  transponder->Onid = ParseDecimal(m_tpOnid->text());
  transponder->Pol = pol == kPolHorizontal ? 'H' : 'V';
  // A code without a name of its own shows as "UNDEFINED", which has no code:
  // while the choice still shows the stored code, the code stays.
  if (fec != FecItem(transponder->FEC))
    transponder->FEC = channels::FecNameToCode(m_tpFec->currentText().toStdString());
  SetTransponderRow(selected.front(), *transponder);
  m_editor.SetModified(true);
  return 0;
}

int CDlgSatellite::TransponderDelete() {
  if (!AskConfirmText(std::string(GetText(kTextDeleteTransponder)) + GetText(kTextDeleteTransponderChannels))) return 0;
  if (m_current == nullptr) return 0;
  CWaitCursor wait;
  const std::vector<int> selected = m_tpList->SelectedRows();
  auto& transponders = m_current->mTransponder;
  for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
    std::unique_ptr<QTreeWidgetItem> item(m_tpList->takeTopLevelItem(*row));
    auto* transponder = CReportList::RecordOf<Transponder>(item.get());
    m_editor.DeleteServicesOfTransponder(*m_current, *transponder);
    std::erase_if(transponders, [transponder](const auto& owned) { return owned.get() == transponder; });
    m_editor.SetModified(true);
  }
  if (!selected.empty()) ClearTransponderFields();
  return 0;
}

}  // namespace vantrel::ui
