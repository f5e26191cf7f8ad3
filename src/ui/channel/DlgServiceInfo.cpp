#include "ui/channel/DlgServiceInfo.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "channels/ChannelEditor.h"
#include "channels/Fec.h"
#include "channels/Longitude.h"
#include "core/DiagLog.h"
#include "core/Format.h"
#include "core/Prompt.h"
#include "core/TextTable.h"
#include "ui/channel/NumberEdit.h"

namespace vantrel::ui {
namespace {

using channels::Service;

enum : int {
  kTextFrequency = 17,
  kTextSymbolRate = 18,
  kTextPolarization = 19,
  kTextChannelInfo = 20,
  kTextChannelName = 21,
  kTextChannelType = 22,
  kTextChannelNumber = 23,
  kTextSkip = 25,
  kTextVideoPid = 27,
  kTextAudioPid = 28,
  kTextPcrPid = 29,
  kTextVertical = 30,
  kTextHorizontal = 31,
  kTextLock = 35,
  kTextSatellite = 70,
  kTextBand = 73,
  kTextFillFrequency = 145,
  kTextFillSymbolRate = 146,
  kTextFillChannelName = 147,
  kTextChannelRange = 149,
  kTextFillVideoPid = 151,
  kTextFillAudioPid = 152,
  kTextFillPcrPid = 153,
  kTextScrambled = 186,
  kTextProvider = 249,
  kTextCancel = 272,
  kTextFillTsid = 305,
  kTextFillOnid = 306,
  kTextSelectSid = 308,
};

// The FEC choices: "Auto" (code 0), then the codes 6 to 19.
constexpr int kFirstNamedFec = 6;
constexpr int kLastNamedFec = 19;

QString Text(int index) { return QString::fromUtf8(GetText(index)); }

QLabel* MakeLabel(QWidget* parent, int id, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::number(id));
  return label;
}

QComboBox* MakeList(QWidget* parent, int id, const QStringList& items) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::number(id));
  list->addItems(items);
  return list;
}

QFrame* MakeSeparator(QWidget* parent, int id) {
  auto* line = new QFrame(parent);
  line->setObjectName(QString::number(id));
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

QString Number(int value) { return QString::number(value); }

int Index(bool set) { return set ? 1 : 0; }

// The items that show a stored code. Codes without an item of their own
// (FEC 1 to 5, no polarisation, no band) show the first or the default item.
int PolIndex(char pol) { return pol == 'H' ? 0 : 1; }
int FecIndex(int fec) { return fec >= kFirstNamedFec && fec <= kLastNamedFec ? fec - (kFirstNamedFec - 1) : 0; }
int BandIndex(int band) { return band == channels::kBandC ? 0 : 1; }

}  // namespace

CDlgServiceInfo::CDlgServiceInfo(const channels::ChannelList& list, int channelRows, QWidget* parent)
    : QDialog(parent), m_list(list), m_channelRows(channelRows) {
  setObjectName(QString::number(IDD));
  setWindowTitle(Text(kTextChannelInfo));
  BuildControls();
  FillControls();
}

CDlgServiceInfo::CDlgServiceInfo(channels::CChannelEditor& editor, QWidget* parent)
    : CDlgServiceInfo(editor.List(), static_cast<int>(editor.Channels().RowCount()), parent) {}

void CDlgServiceInfo::BuildControls() {
  auto* group = new QGroupBox(Text(kTextChannelInfo), this);
  group->setObjectName(QString::number(IDC_SVC_GROUP));
  auto* grid = new QGridLayout(group);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(6);

  m_number = MakeNumberEdit(group, IDC_SVC_NUMBER);
  m_name = MakeTextEdit(group, IDC_SVC_NAME);
  m_name->setMaxLength(static_cast<int>(channels::kServiceNameSize) - 1);
  m_satellite = MakeList(group, IDC_SVC_SATELLITE, {});
  m_provider = MakeTextEdit(group, IDC_SVC_PROVIDER);
  m_provider->setMaxLength(static_cast<int>(channels::kProviderNameSize) - 1);
  m_frequency = MakeNumberEdit(group, IDC_SVC_FREQUENCY);
  m_symbolRate = MakeNumberEdit(group, IDC_SVC_SYMBOLRATE);
  m_pol = MakeList(group, IDC_SVC_POL, {Text(kTextHorizontal), Text(kTextVertical)});
  QStringList fecNames{QString::fromUtf8(channels::FecCodeToName(0))};
  for (int code = kFirstNamedFec; code <= kLastNamedFec; ++code)
    fecNames << QString::fromUtf8(channels::FecCodeToName(code));
  m_fec = MakeList(group, IDC_SVC_FEC, fecNames);
  m_band = MakeList(group, IDC_SVC_BAND, {QStringLiteral("C"), QStringLiteral("Ku")});
  const QStringList falseTrue{QStringLiteral("false"), QStringLiteral("true")};
  m_type = MakeList(group, IDC_SVC_TYPE, {QStringLiteral("TV"), QStringLiteral("RADIO")});
  m_scrambled = MakeList(group, IDC_SVC_SCRAMBLED, falseTrue);
  m_lock = MakeList(group, IDC_SVC_LOCK, falseTrue);
  m_skip = MakeList(group, IDC_SVC_SKIP, falseTrue);
  m_hd = MakeList(group, IDC_SVC_HD, falseTrue);
  m_sid = MakeNumberEdit(group, IDC_SVC_SID);
  m_onid = MakeNumberEdit(group, IDC_SVC_ONID);
  m_tsid = MakeNumberEdit(group, IDC_SVC_TSID);
  m_vpid = MakeNumberEdit(group, IDC_SVC_VPID);
  m_apid = MakeNumberEdit(group, IDC_SVC_APID);
  m_pcrpid = MakeNumberEdit(group, IDC_SVC_PCRPID);
  // Type and scrambling come from the receiver's scan; they are shown only.
  m_type->setEnabled(false);
  m_scrambled->setEnabled(false);
  for (QComboBox* list : {m_pol, m_fec, m_band, m_type, m_scrambled}) {
    connect(list, &QComboBox::activated, this, [this, list] { m_chosen.insert(list); });
  }

  struct Field {
    int labelId;
    QString text;
    QWidget* control;
  };
  int row = 0;
  auto addRow = [&](const Field& left, const Field& right) {
    for (int side = 0; side < 2; ++side) {
      const Field& field = side == 0 ? left : right;
      if (field.control == nullptr) continue;
      QLabel* label = MakeLabel(group, field.labelId, field.text);
      label->setBuddy(field.control);
      grid->addWidget(label, row, side * 2);
      grid->addWidget(field.control, row, side * 2 + 1);
    }
    ++row;
  };
  int separator = IDC_SVC_SEPARATOR1;
  auto addSeparator = [&] { grid->addWidget(MakeSeparator(group, separator++), row++, 0, 1, 4); };

  addRow({IDC_SVC_NUMBER_LABEL, Text(kTextChannelNumber), m_number},
         {IDC_SVC_NAME_LABEL, Text(kTextChannelName), m_name});
  addRow({IDC_SVC_SATELLITE_LABEL, Text(kTextSatellite), m_satellite},
         {IDC_SVC_PROVIDER_LABEL, Text(kTextProvider), m_provider});
  addSeparator();
  addRow({IDC_SVC_FREQUENCY_LABEL, Text(kTextFrequency), m_frequency},
         {IDC_SVC_SYMBOLRATE_LABEL, Text(kTextSymbolRate), m_symbolRate});
  addRow({IDC_SVC_POL_LABEL, Text(kTextPolarization), m_pol}, {IDC_SVC_FEC_LABEL, QStringLiteral("FEC"), m_fec});
  addRow({IDC_SVC_BAND_LABEL, Text(kTextBand), m_band}, {0, {}, nullptr});
  addSeparator();
  addRow({IDC_SVC_TYPE_LABEL, Text(kTextChannelType), m_type},
         {IDC_SVC_SCRAMBLED_LABEL, Text(kTextScrambled), m_scrambled});
  addRow({IDC_SVC_LOCK_LABEL, Text(kTextLock), m_lock}, {IDC_SVC_SKIP_LABEL, Text(kTextSkip), m_skip});
  addRow({IDC_SVC_HD_LABEL, QStringLiteral("HD"), m_hd}, {0, {}, nullptr});
  addSeparator();
  addRow({IDC_SVC_SID_LABEL, QStringLiteral("Sid"), m_sid}, {IDC_SVC_ONID_LABEL, QStringLiteral("Oid"), m_onid});
  addRow({IDC_SVC_TSID_LABEL, QStringLiteral("Tsid"), m_tsid}, {IDC_SVC_VPID_LABEL, Text(kTextVideoPid), m_vpid});
  addRow({IDC_SVC_APID_LABEL, Text(kTextAudioPid), m_apid}, {IDC_SVC_PCRPID_LABEL, Text(kTextPcrPid), m_pcrpid});
  addSeparator();
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  grid->setColumnMinimumWidth(1, 170);
  grid->setColumnMinimumWidth(3, 170);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QString::number(IDOK));
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(Text(kTextCancel), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QString::number(IDCANCEL));
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgServiceInfo::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CDlgServiceInfo::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(buttons);
}

void CDlgServiceInfo::SetService(const Service& service) {
  m_service = service;
  FillControls();
}

void CDlgServiceInfo::FillControls() {
  const Service& s = m_service;
  m_number->setText(Number(s.ChannelNo));
  m_name->setText(QString::fromStdString(s.Name));
  m_provider->setText(QString::fromStdString(s.ProviderName));
  m_frequency->setText(Number(s.Carrier.Frequency));
  m_symbolRate->setText(Number(s.Carrier.SymbolRate));
  m_sid->setText(Number(s.Sid));
  m_onid->setText(Number(s.Onid));
  m_tsid->setText(Number(s.Tsid));
  m_vpid->setText(Number(s.Vpid));
  m_apid->setText(Number(s.Apid));
  m_pcrpid->setText(Number(s.PCRpid));

  m_type->setCurrentIndex(Index(s.ServiceType != 0));
  m_scrambled->setCurrentIndex(Index(s.Scrambled != 0));
  m_lock->setCurrentIndex(Index(s.Locked));
  m_skip->setCurrentIndex(Index(s.Skipped));
  m_hd->setCurrentIndex(Index(s.IsHD));
  m_pol->setCurrentIndex(PolIndex(s.Carrier.Pol));
  m_fec->setCurrentIndex(FecIndex(s.Carrier.FEC));
  m_band->setCurrentIndex(BandIndex(s.Carrier.Band));
  FillSatellites();
  m_chosen.clear();
}

bool CDlgServiceInfo::Untouched(const QComboBox* list, int storedIndex) const {
  return !m_chosen.contains(list) && list->currentIndex() == storedIndex;
}

void CDlgServiceInfo::FillSatellites() {
  // Each configured longitude once, in record order.
  std::vector<int> longitudes;
  for (const auto& configuration : m_list.Configurations()) {
    const int longitude = configuration.Longitude;
    if (std::find(longitudes.begin(), longitudes.end(), longitude) == longitudes.end()) longitudes.push_back(longitude);
  }
  LogMessage("Configured Satellite size=%d", static_cast<int>(longitudes.size()));

  m_satellite->clear();
  const int own = m_service.Carrier.Longitude;
  if (longitudes.empty()) {
    m_satellite->addItem(QString::fromStdString(m_list.GetSatelliteLabelByLongitude(own)), own);
    m_satellite->setCurrentIndex(0);
    return;
  }
  for (const int longitude : longitudes)
    m_satellite->addItem(QString::fromStdString(m_list.GetSatelliteLabelByLongitude(longitude)), longitude);
  int selected = m_satellite->findData(own);
  if (selected < 0) {
    // No configuration for the service's own satellite: it is offered last
    // and shown, so that the service stays where it is unless another is chosen.
    m_satellite->addItem(QString::fromStdString(m_list.GetSatelliteLabelByLongitude(own)), own);
    selected = m_satellite->count() - 1;
  }
  m_satellite->setCurrentIndex(selected);
}

int CDlgServiceInfo::Validate(std::string* message) {
  auto fail = [message](int index, const std::string& text) {
    if (message) *message = text;
    return index;
  };
  Service& s = m_service;

  s.ChannelNo = ParseDecimal(m_number->text());
  if (s.ChannelNo < 1 || s.ChannelNo > m_channelRows)
    return fail(kTextChannelRange, Format(GetText(kTextChannelRange), m_channelRows));

  s.Name = channels::FitText(m_name->text().toStdString(), channels::kServiceNameSize);
  if (s.Name.empty()) return fail(kTextFillChannelName, GetText(kTextFillChannelName));

  s.Carrier.Frequency = ParseDecimal(m_frequency->text());
  if (IsBlank(m_frequency->text()) || s.Carrier.Frequency < 0)
    return fail(kTextFillFrequency, GetText(kTextFillFrequency));

  // A choice the user left as it opened keeps the stored value, also where
  // the list has no item of its own for it.
  if (!Untouched(m_type, Index(s.ServiceType != 0)))
    s.ServiceType = static_cast<std::uint8_t>(m_type->currentIndex() > 0 ? 1 : 0);
  if (!Untouched(m_scrambled, Index(s.Scrambled != 0)))
    s.Scrambled = static_cast<std::int8_t>(m_scrambled->currentIndex() > 0 ? 1 : 0);
  s.Locked = m_lock->currentIndex() > 0;
  s.Skipped = m_skip->currentIndex() > 0;
  s.IsHD = m_hd->currentIndex() > 0;

  struct NumberField {
    QLineEdit* edit;
    int* target;
    int textIndex;
  };
  const NumberField fields[] = {
      {m_sid, &s.Sid, kTextSelectSid},
      {m_onid, &s.Onid, kTextFillOnid},
      {m_tsid, &s.Tsid, kTextFillTsid},
      {m_vpid, &s.Vpid, kTextFillVideoPid},
      {m_apid, &s.Apid, kTextFillAudioPid},
      {m_pcrpid, &s.PCRpid, kTextFillPcrPid},
      {m_symbolRate, &s.Carrier.SymbolRate, kTextFillSymbolRate},
  };
  for (const NumberField& field : fields) {
    *field.target = ParseDecimal(field.edit->text());
    if (IsBlank(field.edit->text()) || *field.target < 0) return fail(field.textIndex, GetText(field.textIndex));
  }

  if (!Untouched(m_pol, PolIndex(s.Carrier.Pol))) s.Carrier.Pol = m_pol->currentIndex() > 0 ? 'V' : 'H';
  if (!Untouched(m_fec, FecIndex(s.Carrier.FEC)))
    s.Carrier.FEC = channels::FecNameToCode(m_fec->currentText().toStdString());
  // The service's own satellite keeps its longitude as stored. A configured
  // longitude without a satellite record has an empty label with nothing to
  // read: the service keeps the longitude it had.
  const std::string label = m_satellite->currentText().toStdString();
  if (!label.empty() && m_satellite->currentData().toInt() != s.Carrier.Longitude)
    s.Carrier.Longitude = channels::ParseLongitudeLabel(label);
  LogMessage("LONGITUDE=%d", s.Carrier.Longitude);
  s.ProviderName = channels::FitText(m_provider->text().toStdString(), channels::kProviderNameSize);
  if (!Untouched(m_band, BandIndex(s.Carrier.Band)))
    s.Carrier.Band = m_band->currentIndex() == 0 ? channels::kBandC : channels::kBandKu;
  return 0;
}

void CDlgServiceInfo::accept() {
  std::string message;
  if (Validate(&message) != 0) {
    ShowErrorText(message);
    return;
  }
  QDialog::accept();
}

}  // namespace vantrel::ui
