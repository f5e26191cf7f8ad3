#pragma once
// A progress bar that draws itself: colour bands running from a start colour
// at the left edge to an end colour at the right edge, uncovered up to the
// position, with an optional percentage in the middle.
//
// The bar lives on the user-interface thread like any widget. Workers reach
// it through CDlgProgress, which publishes their values to it by timer.
#include <QColor>
#include <QWidget>
#include <string>

class QPainter;

namespace vantrel::ui {

class CGradientProgress : public QWidget {
  Q_OBJECT
 public:
  explicit CGradientProgress(QWidget* parent = nullptr);

  // The fields the drawing uses; each setter repaints.
  void SetRange(int lower, int upper);
  int GetLower() const { return m_lower; }
  int GetUpper() const { return m_upper; }
  // Returns the previous position.
  int SetPos(int position);
  int GetPos() const { return m_pos; }
  // Kept for owners that count in steps; the drawing does not use it.
  void SetStep(int step) { m_step = step; }
  int GetStep() const { return m_step; }

  void SetStartColor(const QColor& color);
  void SetEndColor(const QColor& color);
  void SetBkColor(const QColor& color);
  void SetTextColor(const QColor& color);
  void ShowPercent(bool show);
  QColor GetStartColor() const { return m_startColor; }
  QColor GetEndColor() const { return m_endColor; }
  QColor GetBkColor() const { return m_bkColor; }
  QColor GetTextColor() const { return m_textColor; }
  bool GetShowPercent() const { return m_showPercent; }

  // The text shown with the percentage on: "%5.2f %%" of
  // (position - lower) * 100 / (upper - lower), 0 when the range is empty.
  static std::string PercentText(int position, int lower, int upper);
  std::string PercentText() const;

  // Paints the bar into area of painter (used by paintEvent; tests call it
  // on an image).
  void Draw(QPainter& painter, const QRect& area) const;

  QSize sizeHint() const override { return {200, 20}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int m_lower = 0;
  int m_upper = 100;
  int m_step = 10;
  int m_pos = 0;
  QColor m_startColor{255, 0, 0};
  QColor m_endColor{0, 0, 255};
  QColor m_bkColor;  // the palette's button face, set at construction
  QColor m_textColor{255, 255, 255};
  bool m_showPercent = false;
};

}  // namespace vantrel::ui
