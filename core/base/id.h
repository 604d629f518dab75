// mID: the identifier of a genome or an individual, three integers shown as "size-time-mark".
// Made by the gene pool from a genome's length, the place's time and the place's home mark;
// several identifiers may be equal. Plain value; owned by whatever it names.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "base/object.h"

class mID : public mObject {
 public:
  mID() = default;
  mID(int size, int time, int mark) : mark(mark), time(time), size(size) {}

  std::string text() const;  // "%d-%d-%d" of size, time, mark

  // False for none; true for the same object or equal numbers.
  bool equals(const mID* other) const;
  // Size first, then time (smaller first); on equal time, true when x's mark >= y's mark,
  // so equal identifiers answer true both ways. None sorts last.
  static bool before(const mID* x, const mID* y);

  void write(std::ostream& out) const;  // "/*mID start*/", "size time mark", "/*mID end*/"
  // Fails the stream for a negative length or time, which no identifier has.
  void read(std::istream& in);

  int mark = 0;
  int time = 0;
  int size = 0;
};
