#pragma once
// A one-line label made of text pieces, each with its own colour, weight,
// slant, underline and background, drawn side by side from the left.
#include <QColor>
#include <QFont>
#include <QString>
#include <QVector>
#include <QWidget>
#include <cstdint>

namespace vantrel::ui {

// One piece of a multi-colour label.
//
// style: bits 0-23 are the text colour as 0x00BBGGRR — red in the lowest byte,
//        green in the middle one, blue in the high one (so 0x0000FF is red and
//        0xFF0000 is blue); bit 24 bold, bit 25 underline, bit 26 italic.
// background: a colour in the same 0x00BBGGRR order, or kLabelBackground (-1)
//        for the label's own background.
struct ColorSegment {
  static constexpr std::int32_t kLabelBackground = -1;
  static constexpr std::uint32_t kColorMask = 0x00FFFFFFu;
  static constexpr std::uint32_t kBold = 1u << 24;
  static constexpr std::uint32_t kUnderline = 1u << 25;
  static constexpr std::uint32_t kItalic = 1u << 26;

  QString text;
  std::uint32_t style = 0;
  std::int32_t background = kLabelBackground;

  bool operator==(const ColorSegment&) const = default;

  // Conversions between QColor and the 0x00BBGGRR value.
  static std::uint32_t ColorValue(const QColor& color);
  static QColor FromColorValue(std::uint32_t value);
  static std::uint32_t MakeStyle(const QColor& textColor, bool bold = false, bool underline = false,
                                 bool italic = false);

  QColor TextColor() const { return FromColorValue(style); }
  bool Bold() const { return (style & kBold) != 0; }
  bool Underline() const { return (style & kUnderline) != 0; }
  bool Italic() const { return (style & kItalic) != 0; }
};

class CMultiColorStatic : public QWidget {
  Q_OBJECT
 public:
  explicit CMultiColorStatic(QWidget* parent = nullptr);

  // Replaces the segment at index, or appends it when index equals the count.
  // Refused (false) for a negative index, one beyond the count or an empty text.
  virtual bool SetSegment(int index, const ColorSegment& segment);
  // The segment at index; out of range an empty segment (text colour 0, the
  // label's background).
  virtual ColorSegment GetSegment(int index) const;
  // Appends a segment; false (nothing added) for an empty text.
  virtual bool AddSegment(const QString& text, std::uint32_t style,
                          std::int32_t background = ColorSegment::kLabelBackground);
  virtual bool AddSegment(const ColorSegment& segment);
  // False when the index is out of range.
  virtual bool RemoveSegment(int index);
  virtual void RemoveAll();

  int SegmentCount() const { return static_cast<int>(m_segments.size()); }

  // The label's own background (default the palette's button colour).
  void SetBackgroundColor(const QColor& color);
  QColor BackgroundColor() const { return m_background; }

  // With fit-height (the default) every segment's font is as high as the label.
  void SetFitHeight(bool fit);
  bool GetFitHeight() const { return m_fitHeight; }

  // The font a segment of that style is drawn with, and where it goes.
  QFont SegmentFont(std::uint32_t style) const;
  QRect SegmentRect(int index) const;

  QSize sizeHint() const override;

 Q_SIGNALS:
  // A left click on the label, at the place in the parent's coordinates. The
  // press itself is passed on to the parent as well.
  void clicked(QPoint inParentCoordinates);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QVector<ColorSegment> m_segments;
  QColor m_background;
  bool m_fitHeight = true;
};

}  // namespace vantrel::ui
