#pragma once
// The caption above a pane of the channel editor: an icon, a title in blue on
// white and a counter ("3/40") at the right edge.
#include <QIcon>
#include <QString>
#include <QWidget>

namespace vantrel::ui {

class CViewerStatus : public QWidget {
  Q_OBJECT
 public:
  CViewerStatus(int id, QWidget* parent = nullptr);

  void SetTitle(const QString& title);
  void SetCounter(const QString& counter);
  void SetIcon(const QIcon& icon);
  void Set(const QString& title, const QString& counter, const QIcon& icon);

  QString Title() const { return m_title; }
  QString Counter() const { return m_counter; }
  bool HasIcon() const { return !m_icon.isNull(); }
  qint64 IconKey() const { return m_icon.isNull() ? 0 : m_icon.cacheKey(); }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_title;
  QString m_counter;
  QIcon m_icon;
};

}  // namespace vantrel::ui
