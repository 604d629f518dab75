#include "app/searchable_list.h"

#include <QCompleter>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

namespace app {

SearchableList::SearchableList(const char* name, QWidget* parent) : QComboBox(parent) {
  setObjectName(QString::fromUtf8(name));
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setMinimumContentsLength(14);
  auto* completer = new QCompleter(model(), this);
  completer->setFilterMode(Qt::MatchContains);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  completer->setMaxVisibleItems(16);
  setCompleter(completer);
  // The Enter that picks an entry in the completer's popup reaches the box as well, where it
  // must not choose that entry a second time.
  connect(completer, qOverload<const QModelIndex&>(&QCompleter::activated), this, [this] {
    mChosenByCompleter = true;
    QTimer::singleShot(0, this, [this] { mChosenByCompleter = false; });
  });
  lineEdit()->setPlaceholderText(QStringLiteral("検索"));
  connect(lineEdit(), &QLineEdit::returnPressed, this, &SearchableList::chooseTyped);
  connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) { mRemembered = itemText(index); });
}

void SearchableList::setEntries(const QStringList& entries) {
  const QSignalBlocker quiet(this);
  clear();
  addItems(entries);
  setCurrentIndex(mRemembered.isEmpty() ? -1 : findText(mRemembered, Qt::MatchExactly));
  if (currentIndex() < 0) lineEdit()->clear();
}

void SearchableList::clearEntries() {
  const QSignalBlocker quiet(this);
  clear();
  showRemembered();
}

void SearchableList::forget() {
  mRemembered.clear();
  clearEntries();
}

void SearchableList::showRemembered() {
  lineEdit()->setText(mRemembered);
  lineEdit()->setCursorPosition(0);
}

void SearchableList::chooseTyped() {
  if (mChosenByCompleter) {
    mChosenByCompleter = false;
    return;
  }
  const QString typed = lineEdit()->text().trimmed();
  if (typed.isEmpty()) return;
  int index = findText(typed, Qt::MatchFixedString);
  if (index < 0) {
    const QList<int> holding = [&] {
      QList<int> rows;
      for (int row = 0; row < count() && rows.size() < 2; ++row)
        if (itemText(row).contains(typed, Qt::CaseInsensitive)) rows << row;
      return rows;
    }();
    if (holding.size() != 1) return;
    index = holding.front();
  }
  setCurrentIndex(index);
  emit activated(index);
}

}  // namespace app
