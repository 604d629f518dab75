// SearchableList: a drop-down list of identifiers (hundreds of them) in which the user types
// to find one. The typed text picks out the entries that hold it (anywhere, any case); a click
// on one of them, or Enter on a text that is an entry or is held by one entry only, chooses it
// as choosing it from the list does (the `activated` signal).
//
// It remembers the entry last chosen: refilled, the list makes that entry current again when
// it is there (without choosing it anew); emptied, it keeps its text in view.
//
// GUI thread only.
#pragma once

#include <QComboBox>
#include <QStringList>

namespace app {

class SearchableList : public QComboBox {
  Q_OBJECT

 public:
  SearchableList(const char* name, QWidget* parent);

  // Replaces the entries; the remembered entry becomes current when it is among them.
  void setEntries(const QStringList& entries);
  // Empties the list; the remembered entry's text stays in the box.
  void clearEntries();
  // Forgets the remembered entry and empties the box.
  void forget();
  const QString& remembered() const { return mRemembered; }

 private:
  void chooseTyped();
  void showRemembered();

  QString mRemembered;
  bool mChosenByCompleter = false;
};

}  // namespace app
