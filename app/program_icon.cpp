#include "app/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace app {

QIcon programIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(60, 120, 40), 2));
  painter.drawLine(16, 30, 16, 10);
  painter.drawLine(16, 20, 8, 13);
  painter.drawLine(16, 16, 24, 9);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(70, 170, 60));
  painter.drawEllipse(QPoint(8, 13), 4, 4);
  painter.drawEllipse(QPoint(24, 9), 4, 4);
  painter.setBrush(QColor(220, 40, 40));
  painter.drawEllipse(QPoint(16, 7), 4, 4);
  painter.setBrush(QColor(140, 100, 60));
  painter.drawRect(4, 29, 24, 3);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace app
