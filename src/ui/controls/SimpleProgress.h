#pragma once
// The one-line status strip above a folder view: the folder's icon, its path
// in blue, and the disk figures of that side ("Used" and "Total" with a green
// and a blue swatch), in megabytes or gigabytes. The owner sets the values;
// the controls are placed from the right edge on every resize.
#include <QIcon>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

namespace vantrel::ui {

class CButtonST;
class CGradientProgress;
class CMultiColorStatic;

class CSimpleProgress : public QWidget {
  Q_OBJECT
 public:
  static constexpr int IDD = 10800;
  static constexpr int IDC_STATUS = 10801;
  static constexpr int IDC_ICON = 10802;
  static constexpr int IDC_PATH = 10803;
  static constexpr int IDC_TOTAL = 10804;
  static constexpr int IDC_USED = 10805;
  static constexpr int IDC_USED_SWATCH = 10806;
  static constexpr int IDC_TOTAL_SWATCH = 10807;
  static constexpr int IDC_PROGRESS_BAR = 10202;
  static constexpr int IDCANCEL = 2;

  static constexpr int kHeight = 21;

  enum Unit { kMegabytes = 0, kGigabytes = 1 };

  explicit CSimpleProgress(QWidget* owner = nullptr);
  ~CSimpleProgress() override;

  // One blue segment with the text; an empty text clears the label.
  void SetPath(const QString& text);
  void SetIcon(const QIcon& icon);
  // Figures in mebibytes; unit kMegabytes or kGigabytes.
  void SetUnit(int unit);
  void SetFigures(int totalMiB, int usedMiB);
  int Unit() const { return m_unit; }
  int Total() const { return m_total; }
  int Used() const { return m_used; }

  // " : %dMB" or " : %.2fGB" of the value.
  static QString FigureText(int unit, int valueMiB);

  // Places and fills the controls.
  void Relayout();

  CButtonST* IconButton() const { return m_iconButton; }
  CMultiColorStatic* PathLabel() const { return m_path; }
  QLabel* UsedLabel() const { return m_usedLabel; }
  QLabel* TotalLabel() const { return m_totalLabel; }
  QWidget* UsedSwatch() const { return m_usedSwatch; }
  QWidget* TotalSwatch() const { return m_totalSwatch; }

  QSize sizeHint() const override { return {594, kHeight}; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  CButtonST* m_iconButton = nullptr;
  CMultiColorStatic* m_path = nullptr;
  QLabel* m_usedLabel = nullptr;
  QLabel* m_totalLabel = nullptr;
  QWidget* m_usedSwatch = nullptr;
  QWidget* m_totalSwatch = nullptr;
  // Kept hidden: the strip never shows a transfer itself.
  QLabel* m_status = nullptr;
  CGradientProgress* m_bar = nullptr;
  QPushButton* m_cancel = nullptr;
  QIcon m_icon;
  int m_unit = kMegabytes;
  int m_total = 0;
  int m_used = 0;
};

}  // namespace vantrel::ui
