#pragma once
// The IP-address field: four numeric parts of 0 to 255 separated by dots,
// typed like one field ('.' or a third digit moves to the next part,
// Backspace in an empty part goes back, a larger number becomes 255).
#include <QWidget>
#include <array>
#include <string>

class QLineEdit;

namespace vantrel::app {

class CIpAddressEdit : public QWidget {
  Q_OBJECT
 public:
  explicit CIpAddressEdit(QWidget* parent = nullptr);

  // The dotted address; empty while every part is blank, a blank part
  // among filled ones reads as 0.
  std::string Text() const;
  // Fills the parts from a dotted address; anything that is not one clears them.
  void SetText(const std::string& dotted);
  QLineEdit* Part(int index) const { return m_parts[static_cast<std::size_t>(index)]; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  std::array<QLineEdit*, 4> m_parts{};
};

}  // namespace vantrel::app
