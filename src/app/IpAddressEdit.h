#pragma once
// The IP-address field: four numeric parts of 0 to 255 separated by dots,
// typed like one field ('.' or a third digit moves to the next part,
// Backspace in an empty part goes back, a larger number becomes 255). A
// dotted address pasted into a part fills that part and the ones after it.
#include <QWidget>
#include <array>
#include <string>

class QLineEdit;

namespace vantrel::app {

class CIpAddressEdit : public QWidget {
  Q_OBJECT
 public:
  explicit CIpAddressEdit(QWidget* parent = nullptr);

  // The dotted address; empty while every part is blank. A blank part among
  // filled ones stays blank ("10...7"), so an incomplete address never reads
  // as a complete one.
  std::string Text() const;
  // Fills the parts from a dotted address; anything that is not one clears them.
  void SetText(const std::string& dotted);
  QLineEdit* Part(int index) const { return m_parts[static_cast<std::size_t>(index)]; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  // Spreads the numbers of a pasted "a.b.c.d" (or its tail) over the parts from first on.
  void FillFrom(std::size_t first, const QString& dotted);

  std::array<QLineEdit*, 4> m_parts{};
};

// True for four numbers of 0 to 255, each of one to three digits, separated by dots.
bool IsCompleteIpAddress(const std::string& dotted);

}  // namespace vantrel::app
