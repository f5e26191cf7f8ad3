#pragma once
// A check button drawn with pictures: one for "on", one for "off", or one
// plain picture for both. Hover tracking is that of CButtonST.
#include <QPixmap>

#include "ui/controls/ButtonST.h"

namespace vantrel::ui {

class CCheckST : public CButtonST {
  Q_OBJECT
 public:
  // The edge drawn around the button in its present state.
  enum class Edge { None, Sunken, Raised };

  explicit CCheckST(QWidget* parent = nullptr);

  void SetBitmaps(const QPixmap& on, const QPixmap& off, const QPixmap& plain = QPixmap());
  // With state pictures (the default) the on/off picture follows the state;
  // without, the plain picture is always shown.
  void SetUseStateBitmaps(bool use);
  bool GetUseStateBitmaps() const { return m_useStateBitmaps; }
  // A one-pixel raised edge while the button is neither pressed nor on.
  void SetRaisedEdge(bool raised);
  bool GetRaisedEdge() const { return m_raisedEdge; }

  // On/off state (default off). Clicking toggles it.
  void SetCheck(bool on) { setChecked(on); }
  bool GetCheck() const { return isChecked(); }

  Edge CurrentEdge() const;
  const QPixmap& CurrentBitmap() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap m_onBitmap;
  QPixmap m_offBitmap;
  QPixmap m_plainBitmap;
  bool m_useStateBitmaps = true;
  bool m_raisedEdge = false;
};

}  // namespace vantrel::ui
