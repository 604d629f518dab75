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

// The widest texts the boxes show, by kind of value: a box is made wide enough for its kind's
// sample, so no number is ever cut short (a form smaller than its boxes scrolls instead).
namespace widest {
inline constexpr const char* kReal = "-1234567890.1234567890";  // "%.10lf"
inline constexpr const char* kInt = "-2147483648";
inline constexpr const char* kId = "12345-1234567-1234";
inline constexpr const char* kPoint = "-1234.123456 -1234.123456 -1234.123456";  // "%lf %lf %lf"
}  // namespace widest

// A one-line read-only box named `name`.
QLineEdit* readOnlyBox(const char* name, QWidget* parent);
// Makes `box` at least wide enough to show `sample` whole.
void fitWidthTo(QLineEdit* box, const char* sample);
// Empties every one-line and multi-line box of `form`.
void clearBoxes(QWidget* form);
// A multi-line read-only box named `name`, in a fixed-pitch font, wrapping its lines when `wrap` is set.
QPlainTextEdit* readOnlyTextBox(const char* name, QWidget* parent, bool wrap = false);

void setBox(QLineEdit* box, const std::string& text);
// `text` may end its lines with CR LF, as reports and listings do.
void setTextBox(QPlainTextEdit* box, const std::string& text);

// Adds a label and a one-line box in `row` of `grid`, at column pair `column`; the box is wide
// enough for `sample` (one of `widest`) when one is given.
QLineEdit* addBoxRow(QGridLayout* grid, int row, int column, const char* label, const char* name, QWidget* parent,
                     const char* sample = nullptr);

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
