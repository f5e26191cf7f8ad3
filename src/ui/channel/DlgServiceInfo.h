#pragma once
// The properties of one TV or radio service: the editor hands in a copy of
// the service, the user edits it, and on OK the editor takes the copy back.
// The dialog changes nothing but its copy; the channel list is only read
// (its configurations and satellites give the satellite choices).
#include <QDialog>
#include <QSet>
#include <string>

#include "channels/ChannelList.h"

class QComboBox;
class QLineEdit;

namespace vantrel::channels {
class CChannelEditor;
}

namespace vantrel::ui {

class CDlgServiceInfo : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDD = 10300;
  static constexpr int IDOK = 1;
  static constexpr int IDCANCEL = 2;
  static constexpr int IDC_SVC_HD = 10301;
  static constexpr int IDC_SVC_SCRAMBLED = 10302;
  static constexpr int IDC_SVC_VPID = 10303;
  static constexpr int IDC_SVC_TSID = 10304;
  static constexpr int IDC_SVC_SKIP = 10305;
  static constexpr int IDC_SVC_SID = 10306;
  static constexpr int IDC_SVC_TYPE = 10307;
  static constexpr int IDC_SVC_NAME = 10308;
  static constexpr int IDC_SVC_POL = 10309;
  static constexpr int IDC_SVC_PCRPID = 10310;
  static constexpr int IDC_SVC_ONID = 10311;
  static constexpr int IDC_SVC_FREQUENCY = 10312;
  static constexpr int IDC_SVC_LOCK = 10313;
  static constexpr int IDC_SVC_NUMBER = 10314;
  static constexpr int IDC_SVC_APID = 10315;
  static constexpr int IDC_SVC_GROUP = 10316;
  static constexpr int IDC_SVC_NUMBER_LABEL = 10317;
  static constexpr int IDC_SVC_NAME_LABEL = 10318;
  static constexpr int IDC_SVC_POL_LABEL = 10319;
  static constexpr int IDC_SVC_FREQUENCY_LABEL = 10320;
  static constexpr int IDC_SVC_TYPE_LABEL = 10321;
  static constexpr int IDC_SVC_SCRAMBLED_LABEL = 10322;
  static constexpr int IDC_SVC_LOCK_LABEL = 10323;
  static constexpr int IDC_SVC_SKIP_LABEL = 10324;
  static constexpr int IDC_SVC_SID_LABEL = 10325;
  static constexpr int IDC_SVC_ONID_LABEL = 10326;
  static constexpr int IDC_SVC_TSID_LABEL = 10327;
  static constexpr int IDC_SVC_VPID_LABEL = 10328;
  static constexpr int IDC_SVC_APID_LABEL = 10329;
  static constexpr int IDC_SVC_PCRPID_LABEL = 10330;
  static constexpr int IDC_SVC_HD_LABEL = 10331;
  static constexpr int IDC_SVC_SEPARATOR1 = 10332;  // ..10335
  static constexpr int IDC_SVC_FEC_LABEL = 10336;
  static constexpr int IDC_SVC_FEC = 10337;
  static constexpr int IDC_SVC_SYMBOLRATE = 10338;
  static constexpr int IDC_SVC_SYMBOLRATE_LABEL = 10339;
  static constexpr int IDC_SVC_SATELLITE_LABEL = 10340;
  static constexpr int IDC_SVC_SATELLITE = 10341;
  static constexpr int IDC_SVC_PROVIDER = 10342;
  static constexpr int IDC_SVC_PROVIDER_LABEL = 10343;
  static constexpr int IDC_SVC_BAND_LABEL = 10344;
  static constexpr int IDC_SVC_BAND = 10345;

  // The editor always opens the dialog to edit an existing service.
  static constexpr int kModeEdit = 1;

  // list: the editor's channel list; channelRows: the number of rows of its
  // channel list view (the highest channel number accepted).
  CDlgServiceInfo(const channels::ChannelList& list, int channelRows, QWidget* parent = nullptr);
  // The editor's list and the row count of its channel list.
  explicit CDlgServiceInfo(channels::CChannelEditor& editor, QWidget* parent = nullptr);

  void SetMode(int mode) { m_mode = mode; }
  int GetMode() const { return m_mode; }
  // Copies the service in and fills the controls from it.
  void SetService(const channels::Service& service);
  // The copy, edited after OK.
  const channels::Service& GetService() const { return m_service; }

  // Reads the controls into the copy in the order the checks go; stops at
  // the first failure and returns its text index (0 when all passed), with
  // the finished message in *message.
  int Validate(std::string* message = nullptr);

 public Q_SLOTS:
  // Closes only after Validate passed; otherwise shows the message
  // (caption "ERROR") and stays open.
  void accept() override;

 private:
  void BuildControls();
  void FillControls();
  void FillSatellites();
  // True when the user has not chosen in the list and it still shows the
  // item of the stored value.
  bool Untouched(const QComboBox* list, int storedIndex) const;

  const channels::ChannelList& m_list;
  int m_channelRows;
  int m_mode = kModeEdit;
  channels::Service m_service;
  // The lists the user chose an item in since the service was filled in.
  QSet<const QComboBox*> m_chosen;

  QLineEdit* m_number = nullptr;
  QLineEdit* m_name = nullptr;
  QComboBox* m_satellite = nullptr;
  QLineEdit* m_provider = nullptr;
  QLineEdit* m_frequency = nullptr;
  QLineEdit* m_symbolRate = nullptr;
  QComboBox* m_pol = nullptr;
  QComboBox* m_fec = nullptr;
  QComboBox* m_band = nullptr;
  QComboBox* m_type = nullptr;
  QComboBox* m_scrambled = nullptr;
  QComboBox* m_lock = nullptr;
  QComboBox* m_skip = nullptr;
  QComboBox* m_hd = nullptr;
  QLineEdit* m_sid = nullptr;
  QLineEdit* m_onid = nullptr;
  QLineEdit* m_tsid = nullptr;
  QLineEdit* m_vpid = nullptr;
  QLineEdit* m_apid = nullptr;
  QLineEdit* m_pcrpid = nullptr;
};

}  // namespace vantrel::ui
