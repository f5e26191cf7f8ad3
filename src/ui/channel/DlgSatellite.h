#pragma once
// The editor for the satellites of the channel list and their transponders.
// Every action works on the editor's list at once: New, Save and Delete
// change the records, and deleting a satellite or a transponder also deletes
// the services that use it (through the editor's operations, which keep its
// views in step). There is nothing to undo; Exit closes.
#include <QDialog>
#include <QTimer>
#include <string>

class QComboBox;
class QLineEdit;

namespace vantrel::channels {
class CChannelEditor;
struct Satellite;
struct Transponder;
}  // namespace vantrel::channels

namespace vantrel::ui {

class CReportList;

class CDlgSatellite : public QDialog {
  Q_OBJECT
 public:
  static constexpr int IDD = 10400;
  static constexpr int IDOK = 1;
  static constexpr int IDCANCEL = 2;  // "Exit"
  static constexpr int IDC_SAT_BAND = 10402;
  static constexpr int IDC_TP_FEC = 10403;
  static constexpr int IDC_TP_TSID = 10405;
  static constexpr int IDC_TP_SYMBOLRATE = 10407;
  static constexpr int IDC_SAT_NAME = 10408;
  static constexpr int IDC_TP_POL = 10409;
  static constexpr int IDC_TP_ONID = 10410;
  static constexpr int IDC_SAT_LONGITUDE = 10411;
  static constexpr int IDC_TP_FREQUENCY = 10414;
  static constexpr int IDC_TP_LIST = 10419;
  static constexpr int IDC_SAT_LIST = 10420;
  static constexpr int IDC_SAT_GROUP = 10422;
  static constexpr int IDC_SAT_NAME_LABEL = 10423;
  static constexpr int IDC_SAT_BAND_LABEL = 10425;
  static constexpr int IDC_SAT_LONGITUDE_LABEL = 10427;
  static constexpr int IDC_TP_GROUP = 10429;
  static constexpr int IDC_TP_FREQUENCY_LABEL = 10430;
  static constexpr int IDC_TP_SYMBOLRATE_LABEL = 10431;
  static constexpr int IDC_TP_TSID_LABEL = 10432;
  static constexpr int IDC_TP_ONID_LABEL = 10433;
  static constexpr int IDC_TP_POL_LABEL = 10434;
  static constexpr int IDC_TP_FEC_LABEL = 10435;
  static constexpr int IDC_SAT_NEW = 10437;
  static constexpr int IDC_SAT_SAVE = 10438;
  static constexpr int IDC_SAT_DELETE = 10439;
  static constexpr int IDC_TP_NEW = 10440;
  static constexpr int IDC_TP_SAVE = 10441;
  static constexpr int IDC_TP_DELETE = 10442;
  // The delay before the first satellite is shown.
  static constexpr int IDT_FIRST_SELECTION = 5101;
  static constexpr int kFirstSelectionDelayMs = 200;

  // Satellite list columns, transponder list columns.
  enum SatColumn : int { kSatName = 0, kSatBand = 1, kSatLongitude = 2 };
  enum TpColumn : int { kTpFreq = 0, kTpSymbolRate = 1, kTpTsid = 2, kTpOnid = 3, kTpPol = 4, kTpFec = 5 };

  explicit CDlgSatellite(channels::CChannelEditor& editor, QWidget* parent = nullptr);
  ~CDlgSatellite() override;

  // --- the buttons; each returns the index of the text it refused with
  // (0 when it did its work or was answered No).
  int SatelliteNew();
  int SatelliteSave();
  int SatelliteDelete();
  int TransponderNew();
  int TransponderSave();
  int TransponderDelete();

  // --- clicks: a row, or -1 outside every row
  void ClickSatelliteRow(int row);
  void ClickTransponderRow(int row);
  // A header click: sorts by the column, flipping the direction.
  void SortSatellites(int column);
  void SortTransponders(int column);

  // The row whose transponders are shown; -1 when none.
  int CurrentSatellite() const;
  channels::Satellite* CurrentSatelliteRecord() const { return m_current; }
  bool FirstSelectionPending() const { return m_firstSelection.isActive(); }
  CReportList* SatelliteList() const { return m_satList; }
  CReportList* TransponderList() const { return m_tpList; }

  // Numeric columns compare by length first, equal lengths as text; the
  // others as case-sensitive text.
  static bool LessLengthThenText(const QString& a, const QString& b);
  static bool LessText(const QString& a, const QString& b);

 private:
  struct SortState {
    int column = -1;
    bool ascending = false;  // flipped before each sort
  };

  void BuildControls();
  void FillSatellites();
  void OnFirstSelection();
  void ShowSatellite(channels::Satellite* satellite);
  void ShowTransponder(const channels::Transponder* transponder);
  void ClearTransponderFields();
  // The FEC item that shows a code: its name, or "UNDEFINED".
  int FecItem(int code) const;
  void SetSatelliteRow(int row, const channels::Satellite& satellite);
  void SetTransponderRow(int row, const channels::Transponder& transponder);
  void SortList(CReportList* list, SortState& state, int column, bool numeric);

  channels::CChannelEditor& m_editor;
  // The satellite whose transponders are shown. Kept as the record, not as a
  // row, so that sorting or deleting other rows cannot make the dialog work
  // on another satellite.
  channels::Satellite* m_current = nullptr;
  SortState m_satSort;
  SortState m_tpSort;
  QTimer m_firstSelection;

  CReportList* m_satList = nullptr;
  QLineEdit* m_satName = nullptr;
  QComboBox* m_satBand = nullptr;
  QLineEdit* m_satLongitude = nullptr;
  CReportList* m_tpList = nullptr;
  QLineEdit* m_tpFrequency = nullptr;
  QLineEdit* m_tpSymbolRate = nullptr;
  QLineEdit* m_tpTsid = nullptr;
  QLineEdit* m_tpOnid = nullptr;
  QComboBox* m_tpPol = nullptr;
  QComboBox* m_tpFec = nullptr;
};

}  // namespace vantrel::ui
