#pragma once
// A push button that draws itself: a flat, coloured look with an optional
// icon left of or above the caption, and hover colours while the mouse rests
// over it.
#include <QAbstractButton>
#include <QColor>
#include <QIcon>
#include <QSize>

class QPainter;

namespace vantrel::ui {

class CButtonST : public QAbstractButton {
  Q_OBJECT
 public:
  // The four colours of the button. "IN" colours are used while the mouse is
  // over the button or it is pressed, "OUT" colours otherwise.
  enum ColorIndex {
    BTNST_COLOR_BK_IN = 0,   // background, hovered or pressed
    BTNST_COLOR_FG_IN = 1,   // caption, hovered or pressed
    BTNST_COLOR_BK_OUT = 2,  // background, normal
    BTNST_COLOR_FG_OUT = 3,  // caption, normal
  };
  static constexpr int kColorCount = 4;

  // Where the icon goes relative to the caption.
  enum IconPosition { ICON_LEFT = 0, ICON_ABOVE = 1 };

  // The border the button would draw in its present state.
  enum class Border { None, Raised3D, PressedFrame, RaisedThin, SunkenThin };

  explicit CButtonST(QWidget* parent = nullptr);
  ~CButtonST() override;

  // Icons by resource number (":/icons/<id>.svg"), rendered at the given
  // size; 0 means no icon. The hover icon is shown while hovered, pressed or
  // disabled. False when a non-zero number could not be loaded.
  bool SetIcon(int hoverIconId, int normalIconId, QSize size);
  // One icon for both states; the size defaults to the icon's first size.
  void SetIcon(const QIcon& icon, QSize size = QSize());
  void SetIcons(const QIcon& hover, const QIcon& normal, QSize size);
  bool HasIcon() const { return !m_hoverIcon.isNull() || !m_normalIcon.isNull(); }
  QSize GetIconSize() const { return m_iconExtent; }

  // Sets one of the four colours; an invalid index is ignored.
  void SetColor(ColorIndex index, const QColor& color, bool repaint = true);
  QColor GetColor(ColorIndex index) const;
  // Back to the palette's button and button-text colours.
  void SetDefaultColors(bool repaint = true);

  void SetFlat(bool flat, bool repaint = true);
  bool IsFlat() const { return m_flat; }
  void SetBorderOnHover(bool draw, bool repaint = true);
  bool GetBorderOnHover() const { return m_borderOnHover; }
  void SetCutCorners(bool cut, bool repaint = true);
  bool GetCutCorners() const { return m_cutCorners; }
  // ICON_LEFT or ICON_ABOVE; other values are ignored.
  void SetIconPosition(int position, bool repaint = true);
  int GetIconPosition() const { return m_iconPosition; }
  void SetShowCaption(bool show, bool repaint = true);
  bool GetShowCaption() const { return m_showCaption; }
  void SetFocusRectWhenFlat(bool draw, bool repaint = true);
  bool GetFocusRectWhenFlat() const { return m_focusRectWhenFlat; }
  // A transparent button lets the parent's background show through instead of
  // filling its own background colour.
  void SetTransparent(bool transparent, bool repaint = true);
  bool GetTransparent() const { return m_transparent; }
  // A default button gets a black frame when it is not flat.
  void SetDefault(bool isDefault, bool repaint = true);
  bool IsDefault() const { return m_isDefault; }

  // The cursor shown over the button; ClearButtonCursor restores the parent's.
  void SetButtonCursor(const QCursor& cursor);
  void ClearButtonCursor();
  // The tooltip; an empty text removes it.
  void SetTooltipText(const QString& text);

  bool IsMouseOver() const { return m_mouseOver; }

  // What the next paint uses, for callers that need the state without pixels.
  // The background is invalid for a transparent button.
  QColor CurrentBackgroundColor() const;
  QColor CurrentTextColor() const;
  Border CurrentBorder() const;
  bool UsesHoverIcon() const;
  bool DrawsFocusRect() const;
  // The area inside the default/focus frame of step one.
  QRect ContentRect() const;
  // Where the icon and caption go when not pressed (a pressed button draws
  // both one pixel right and down). Empty when there is no icon/caption.
  QRect IconRect() const;
  QRect CaptionRect() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

  // Hover state shared with the buttons derived from this one.
  void SetMouseOver(bool over);
  bool CanHover() const;
  bool ShowsCaption() const;

  // Drawing pieces shared with derived buttons.
  static void DrawThinEdge(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight,
                           bool cutCorners);
  static void DrawRaised3D(QPainter& painter, const QRect& rect, const QPalette& palette);
  // Draws a pixmap the way a disabled control shows it: a light copy one
  // pixel right and down, then a dark copy at the place.
  static void DrawEmbossedPixmap(QPainter& painter, const QPoint& at, const QPixmap& pixmap, const QPalette& palette);

 private:
  QPixmap IconPixmap(const QIcon& icon) const;
  const QIcon& IconToDraw() const;

  bool m_flat = true;
  bool m_borderOnHover = true;
  bool m_cutCorners = false;
  int m_iconPosition = ICON_LEFT;
  bool m_showCaption = true;
  bool m_focusRectWhenFlat = false;
  bool m_transparent = false;
  bool m_mouseOver = false;
  bool m_isDefault = false;
  QColor m_colors[kColorCount];
  QIcon m_hoverIcon;
  QIcon m_normalIcon;
  QSize m_iconExtent;
};

// The button's font, made smaller step by step (not below 6 points) until the
// caption, "&" mnemonics aside, fits the width: a translated caption longer
// than the button then stays whole instead of losing both ends.
QFont FittingCaptionFont(const QFont& font, const QString& caption, int width);

}  // namespace vantrel::ui
