#include "ui/controls/ButtonST.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <algorithm>

#include "ui/controls/Resources.h"

namespace vantrel::ui {
namespace {

constexpr int kIconMargin = 3;  // icon left of the caption: distance from the left edge
constexpr int kFocusInset = 3;  // focus rectangle: distance from the edge

constexpr Qt::Alignment kCaptionAlignment = Qt::AlignCenter;
constexpr int kCaptionFlags = Qt::TextSingleLine | Qt::TextShowMnemonic;

// The pixmap with every visible pixel in one colour, keeping its alpha.
QPixmap Tinted(const QPixmap& source, const QColor& color) {
  QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const qreal ratio = image.devicePixelRatio();
  image.setDevicePixelRatio(1);
  {
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), color);
  }
  image.setDevicePixelRatio(ratio);
  return QPixmap::fromImage(image);
}

}  // namespace

CButtonST::CButtonST(QWidget* parent) : QAbstractButton(parent) {
  setMouseTracking(true);
  SetDefaultColors(false);
}

CButtonST::~CButtonST() = default;

// ---- settings ---------------------------------------------------------------

bool CButtonST::SetIcon(int hoverIconId, int normalIconId, QSize size) {
  const QIcon hover = LoadSvgIcon(hoverIconId, size);
  const QIcon normal = LoadSvgIcon(normalIconId, size);
  SetIcons(hover, normal, size);
  return (hoverIconId <= 0 || !hover.isNull()) && (normalIconId <= 0 || !normal.isNull());
}

void CButtonST::SetIcon(const QIcon& icon, QSize size) {
  if (size.isEmpty() && !icon.isNull()) {
    const QList<QSize> sizes = icon.availableSizes();
    size = sizes.isEmpty() ? icon.actualSize(QSize(32, 32)) : sizes.first();
  }
  SetIcons(icon, icon, size);
}

void CButtonST::SetIcons(const QIcon& hover, const QIcon& normal, QSize size) {
  m_hoverIcon = hover;
  m_normalIcon = normal;
  m_iconExtent = HasIcon() ? size : QSize();
  updateGeometry();
  update();
}

void CButtonST::SetColor(ColorIndex index, const QColor& color, bool repaint) {
  if (index < 0 || index >= kColorCount) return;
  m_colors[index] = color;
  if (repaint) update();
}

QColor CButtonST::GetColor(ColorIndex index) const {
  if (index < 0 || index >= kColorCount) return {};
  return m_colors[index];
}

void CButtonST::SetDefaultColors(bool repaint) {
  m_colors[BTNST_COLOR_BK_IN] = palette().color(QPalette::Button);
  m_colors[BTNST_COLOR_FG_IN] = palette().color(QPalette::ButtonText);
  m_colors[BTNST_COLOR_BK_OUT] = palette().color(QPalette::Button);
  m_colors[BTNST_COLOR_FG_OUT] = palette().color(QPalette::ButtonText);
  if (repaint) update();
}

void CButtonST::SetFlat(bool flat, bool repaint) {
  m_flat = flat;
  if (repaint) update();
}

void CButtonST::SetBorderOnHover(bool draw, bool repaint) {
  m_borderOnHover = draw;
  if (repaint) update();
}

void CButtonST::SetCutCorners(bool cut, bool repaint) {
  m_cutCorners = cut;
  if (repaint) update();
}

void CButtonST::SetIconPosition(int position, bool repaint) {
  if (position != ICON_LEFT && position != ICON_ABOVE) return;
  m_iconPosition = position;
  updateGeometry();
  if (repaint) update();
}

void CButtonST::SetShowCaption(bool show, bool repaint) {
  m_showCaption = show;
  updateGeometry();
  if (repaint) update();
}

void CButtonST::SetFocusRectWhenFlat(bool draw, bool repaint) {
  m_focusRectWhenFlat = draw;
  if (repaint) update();
}

void CButtonST::SetTransparent(bool transparent, bool repaint) {
  m_transparent = transparent;
  if (repaint) update();
}

void CButtonST::SetDefault(bool isDefault, bool repaint) {
  m_isDefault = isDefault;
  if (repaint) update();
}

void CButtonST::SetButtonCursor(const QCursor& cursor) { setCursor(cursor); }

void CButtonST::ClearButtonCursor() { unsetCursor(); }

void CButtonST::SetTooltipText(const QString& text) { setToolTip(text); }

// ---- state queries ----------------------------------------------------------

QColor CButtonST::CurrentBackgroundColor() const {
  if (m_transparent) return {};
  return (m_mouseOver || isDown()) ? m_colors[BTNST_COLOR_BK_IN] : m_colors[BTNST_COLOR_BK_OUT];
}

QColor CButtonST::CurrentTextColor() const {
  return (m_mouseOver || isDown()) ? m_colors[BTNST_COLOR_FG_IN] : m_colors[BTNST_COLOR_FG_OUT];
}

CButtonST::Border CButtonST::CurrentBorder() const {
  if (isDown()) {
    if (!m_flat) return Border::PressedFrame;
    return m_borderOnHover ? Border::SunkenThin : Border::None;
  }
  if (!m_flat) return Border::Raised3D;
  return (m_mouseOver && m_borderOnHover) ? Border::RaisedThin : Border::None;
}

bool CButtonST::UsesHoverIcon() const { return !isEnabled() || m_mouseOver || isDown(); }

bool CButtonST::DrawsFocusRect() const { return hasFocus() && (!m_flat || m_focusRectWhenFlat); }

bool CButtonST::ShowsCaption() const { return m_showCaption && !text().isEmpty(); }

QRect CButtonST::ContentRect() const {
  QRect area = rect();
  if (!m_flat && (hasFocus() || m_isDefault)) area.adjust(1, 1, -1, -1);
  return area;
}

QRect CButtonST::IconRect() const {
  if (!HasIcon() || m_iconExtent.isEmpty()) return {};
  const QRect area = ContentRect();
  const int width = m_iconExtent.width();
  const int height = m_iconExtent.height();
  const int centredX = area.left() + (area.width() - width) / 2;
  const int centredY = area.top() + (area.height() - height) / 2;
  if (!ShowsCaption()) return {centredX, centredY, width, height};
  if (m_iconPosition == ICON_LEFT) return {area.left() + kIconMargin, centredY, width, height};
  // Icon above the caption: the pair is centred as a block.
  const int block = height + fontMetrics().height();
  return {centredX, area.top() + std::max(0, (area.height() - block) / 2), width, height};
}

QRect CButtonST::CaptionRect() const {
  if (!ShowsCaption()) return {};
  const QRect area = ContentRect();
  const QRect icon = IconRect();
  if (icon.isNull()) return area;
  if (m_iconPosition == ICON_LEFT) {
    return QRect(QPoint(icon.right() + 1, area.top()), area.bottomRight());
  }
  return QRect(area.left(), icon.bottom() + 1, area.width(), fontMetrics().height());
}

QSize CButtonST::sizeHint() const {
  const QSize text = ShowsCaption() ? fontMetrics().size(kCaptionFlags, this->text()) : QSize();
  const QSize icon = HasIcon() ? m_iconExtent : QSize(0, 0);
  constexpr int kPadding = 8;
  if (m_iconPosition == ICON_ABOVE) {
    return {std::max(icon.width(), text.width()) + 2 * kPadding, icon.height() + text.height() + kPadding};
  }
  const int iconPart = icon.isEmpty() ? 0 : kIconMargin + icon.width() + kIconMargin;
  return {iconPart + text.width() + 2 * kPadding, std::max(icon.height(), text.height()) + kPadding};
}

QSize CButtonST::minimumSizeHint() const { return {8, 8}; }

// ---- hover tracking ---------------------------------------------------------

bool CButtonST::CanHover() const { return isEnabled() && isActiveWindow(); }

void CButtonST::SetMouseOver(bool over) {
  if (m_mouseOver == over) return;
  m_mouseOver = over;
  update();
}

void CButtonST::enterEvent(QEnterEvent* event) {
  QAbstractButton::enterEvent(event);
  if (CanHover()) SetMouseOver(true);
}

void CButtonST::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  SetMouseOver(false);
}

void CButtonST::mouseMoveEvent(QMouseEvent* event) {
  QAbstractButton::mouseMoveEvent(event);
  // A move can arrive while the mouse is already inside, for instance after
  // the window was activated under it.
  const bool inside = rect().contains(event->position().toPoint());
  SetMouseOver(inside && CanHover());
}

void CButtonST::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second click of a double click is a click of its own.
  mousePressEvent(event);
}

void CButtonST::focusOutEvent(QFocusEvent* event) {
  QAbstractButton::focusOutEvent(event);
  SetMouseOver(false);
}

bool CButtonST::event(QEvent* event) {
  // The window going inactive is passed down to its children as this event.
  if (event->type() == QEvent::WindowDeactivate) SetMouseOver(false);
  return QAbstractButton::event(event);
}

void CButtonST::changeEvent(QEvent* event) {
  QAbstractButton::changeEvent(event);
  if (event->type() == QEvent::EnabledChange && !isEnabled()) SetMouseOver(false);
}

// ---- drawing ----------------------------------------------------------------

void CButtonST::DrawThinEdge(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight,
                             bool cutCorners) {
  if (rect.width() < 2 || rect.height() < 2) return;
  // Corners: top-right and bottom-left belong to the bottom-right colour; with
  // cut corners none of the four corner pixels is drawn.
  const int c = cutCorners ? 1 : 0;
  const int l = rect.left();
  const int t = rect.top();
  const int r = rect.right();
  const int b = rect.bottom();
  painter.fillRect(QRect(QPoint(l + c, t), QPoint(r - 1, t)), topLeft);      // top
  painter.fillRect(QRect(QPoint(l, t + c), QPoint(l, b - 1)), topLeft);      // left
  painter.fillRect(QRect(QPoint(r, t + c), QPoint(r, b - c)), bottomRight);  // right
  painter.fillRect(QRect(QPoint(l + c, b), QPoint(r - c, b)), bottomRight);  // bottom
}

void CButtonST::DrawRaised3D(QPainter& painter, const QRect& rect, const QPalette& palette) {
  // Outer ring: highlight top-left, dark shadow bottom-right; inner ring: light
  // top-left, shadow bottom-right.
  DrawThinEdge(painter, rect, palette.color(QPalette::Light), palette.color(QPalette::Shadow), false);
  DrawThinEdge(painter, rect.adjusted(1, 1, -1, -1), palette.color(QPalette::Midlight), palette.color(QPalette::Dark),
               false);
}

void CButtonST::DrawEmbossedPixmap(QPainter& painter, const QPoint& at, const QPixmap& pixmap,
                                   const QPalette& palette) {
  painter.drawPixmap(at + QPoint(1, 1), Tinted(pixmap, palette.color(QPalette::Light)));
  painter.drawPixmap(at, Tinted(pixmap, palette.color(QPalette::Dark)));
}

const QIcon& CButtonST::IconToDraw() const {
  if (UsesHoverIcon()) return m_hoverIcon.isNull() ? m_normalIcon : m_hoverIcon;
  return m_normalIcon.isNull() ? m_hoverIcon : m_normalIcon;
}

QPixmap CButtonST::IconPixmap(const QIcon& icon) const { return icon.pixmap(m_iconExtent, devicePixelRatioF()); }

void CButtonST::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& pal = palette();
  QRect area = rect();

  // 1. A focused or default 3D button gets a black frame; the rest goes inside.
  if (area != ContentRect()) {
    DrawThinEdge(painter, area, Qt::black, Qt::black, false);
    area = ContentRect();
  }

  // 2. Background.
  if (!m_transparent) painter.fillRect(area, CurrentBackgroundColor());

  // 3. Border.
  switch (CurrentBorder()) {
    case Border::PressedFrame:
      DrawThinEdge(painter, area, pal.color(QPalette::Dark), pal.color(QPalette::Dark), false);
      break;
    case Border::SunkenThin:
      DrawThinEdge(painter, area, pal.color(QPalette::Dark), pal.color(QPalette::Light), m_cutCorners);
      break;
    case Border::Raised3D: DrawRaised3D(painter, area, pal); break;
    case Border::RaisedThin:
      DrawThinEdge(painter, area, pal.color(QPalette::Light), pal.color(QPalette::Dark), m_cutCorners);
      break;
    case Border::None: break;
  }

  const QPoint shift = isDown() ? QPoint(1, 1) : QPoint(0, 0);

  // 4. Icon.
  const QRect iconRect = IconRect();
  if (!iconRect.isNull()) {
    const QPixmap pixmap = IconPixmap(IconToDraw());
    if (!pixmap.isNull()) {
      if (isEnabled()) {
        painter.drawPixmap(iconRect.topLeft() + shift, pixmap);
      } else {
        DrawEmbossedPixmap(painter, iconRect.topLeft(), pixmap, pal);
      }
    }
  }

  // 5. Caption, on one line, centred in what the icon leaves.
  const QRect captionRect = CaptionRect();
  if (!captionRect.isNull()) {
    painter.setFont(FittingCaptionFont(font(), text(), captionRect.width()));
    if (isEnabled()) {
      painter.setPen(CurrentTextColor());
      painter.drawText(captionRect.translated(shift), kCaptionAlignment | kCaptionFlags, text());
    } else {
      painter.setPen(pal.color(QPalette::Light));
      painter.drawText(captionRect.translated(1, 1), kCaptionAlignment | kCaptionFlags, text());
      painter.setPen(pal.color(QPalette::Dark));
      painter.drawText(captionRect, kCaptionAlignment | kCaptionFlags, text());
    }
  }

  // 6. Focus rectangle.
  if (DrawsFocusRect()) {
    const QRect focus = rect().adjusted(kFocusInset, kFocusInset, -kFocusInset - 1, -kFocusInset - 1);
    if (focus.width() > 0 && focus.height() > 0) {
      painter.setPen(QPen(CurrentTextColor(), 1, Qt::DotLine));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(focus);
    }
  }
}

QFont FittingCaptionFont(const QFont& font, const QString& caption, int width) {
  QString shown = caption;
  shown.remove(QRegularExpression(QStringLiteral("&(?!&)")));
  QFont fitted = font;
  if (fitted.pointSizeF() <= 0) return fitted;  // a pixel-sized font is left as it is
  while (QFontMetrics(fitted).horizontalAdvance(shown) > width && fitted.pointSizeF() > 6.0) {
    fitted.setPointSizeF(std::max(6.0, fitted.pointSizeF() - 0.5));
  }
  return fitted;
}

}  // namespace vantrel::ui
