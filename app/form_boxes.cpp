#include "app/form_boxes.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include "app/strings.h"

namespace app {

QLineEdit* readOnlyBox(const char* name, QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setReadOnly(true);
  return box;
}

QPlainTextEdit* readOnlyTextBox(const char* name, QWidget* parent, bool wrap) {
  auto* box = new QPlainTextEdit(parent);
  box->setObjectName(QString::fromUtf8(name));
  box->setReadOnly(true);
  box->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  // Body texts are one long word: break them anywhere.
  if (wrap) {
    box->setWordWrapMode(QTextOption::WrapAnywhere);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return box;
}

void fitWidthTo(QLineEdit* box, const char* sample) {
  QStyleOptionFrame option;
  option.initFrom(box);
  option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
  const QMargins margins = box->textMargins();
  // The line edit keeps a margin of two pixels either side of its text.
  const int text = box->fontMetrics().horizontalAdvance(QString::fromUtf8(sample)) + 4 + margins.left() + margins.right();
  const QSize size = box->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, box->fontMetrics().height()), box);
  box->setMinimumWidth(size.width());
}

void clearBoxes(QWidget* form) {
  for (QLineEdit* box : form->findChildren<QLineEdit*>())
    if (box->isReadOnly()) box->clear();
  for (QPlainTextEdit* box : form->findChildren<QPlainTextEdit*>()) box->clear();
}

void setBox(QLineEdit* box, const std::string& text) {
  box->setText(qText(text));
  box->setCursorPosition(0);
}

void setTextBox(QPlainTextEdit* box, const std::string& text) { box->setPlainText(qLines(text)); }

QLineEdit* addBoxRow(QGridLayout* grid, int row, int column, const char* label, const char* name, QWidget* parent,
                     const char* sample) {
  QLineEdit* box = readOnlyBox(name, parent);
  if (sample) fitWidthTo(box, sample);
  grid->addWidget(new QLabel(QString::fromUtf8(label), parent), row, column * 2);
  grid->addWidget(box, row, column * 2 + 1);
  return box;
}

void RefillingComboBox::showPopup() {
  if (mRefill) mRefill();
  QComboBox::showPopup();
}

}  // namespace app
