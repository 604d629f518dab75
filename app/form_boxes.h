// The read-only boxes and lists the views and the target dialog are built from. Each box gets
// an object name, so tests and tools can find it by the value it shows.
// GUI thread only.
#pragma once

#include <QComboBox>
#include <functional>
#include <string>

class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace app {

// A one-line read-only box named `name`.
QLineEdit* readOnlyBox(const char* name, QWidget* parent);
// A multi-line read-only box named `name`, in a fixed-pitch font, wrapping its lines when `wrap` is set.
QPlainTextEdit* readOnlyTextBox(const char* name, QWidget* parent, bool wrap = false);

void setBox(QLineEdit* box, const std::string& text);
// `text` may end its lines with CR LF, as reports and listings do.
void setTextBox(QPlainTextEdit* box, const std::string& text);

// Adds a label and a one-line box in `row` of `grid`, at column pair `column`.
QLineEdit* addBoxRow(QGridLayout* grid, int row, int column, const char* label, const char* name, QWidget* parent);

// A drop-down list that lets its owner refill it just before it opens.
class RefillingComboBox : public QComboBox {
 public:
  explicit RefillingComboBox(QWidget* parent = nullptr) : QComboBox(parent) {}
  void setBeforePopup(std::function<void()> refill) { mRefill = std::move(refill); }
  void showPopup() override;

 private:
  std::function<void()> mRefill;
};

}  // namespace app
