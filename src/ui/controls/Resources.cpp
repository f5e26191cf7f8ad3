#include "ui/controls/Resources.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// Q_INIT_RESOURCE names a function declared at global scope, so it must be
// expanded outside any namespace.
static void RegisterVantrelResources() { Q_INIT_RESOURCE(resources); }

namespace vantrel::ui {

void InitResources() { RegisterVantrelResources(); }

QString IconPath(int iconId) { return QStringLiteral(":/icons/%1.svg").arg(iconId); }

QIcon LoadSvgIcon(int iconId, QSize size) {
  if (iconId <= 0 || size.isEmpty()) return {};
  QSvgRenderer renderer(IconPath(iconId));
  if (!renderer.isValid()) return {};
  QIcon icon;
  // One pixmap for ordinary screens and one for high-density ones, so the
  // icon stays sharp wherever the window is shown.
  for (const qreal ratio : {qreal(1), qreal(2)}) {
    QPixmap pixmap(size * ratio);
    pixmap.fill(Qt::transparent);
    {
      QPainter painter(&pixmap);
      renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size * ratio)));
    }
    pixmap.setDevicePixelRatio(ratio);
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace vantrel::ui
