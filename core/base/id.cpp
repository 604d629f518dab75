#include "base/id.h"

#include <cstdio>

#include "base/text_io.h"

std::string mID::text() const {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%d-%d-%d", size, time, mark);
  return buffer;
}

bool mID::equals(const mID* other) const {
  if (!other) return false;
  if (other == this) return true;
  return size == other->size && time == other->time && mark == other->mark;
}

bool mID::before(const mID* x, const mID* y) {
  if (!x) return false;
  if (!y) return true;
  if (x->size != y->size) return x->size < y->size;
  if (x->time != y->time) return x->time < y->time;
  return x->mark >= y->mark;
}

void mID::write(std::ostream& out) const {
  out << "/*mID start*/" << vek::kEol << size << ' ' << time << ' ' << mark << vek::kEol
      << "/*mID end*/" << vek::kEol;
}

void mID::read(std::istream& in) {
  vek::skipLine(in);
  vek::readInt(in, size) && vek::readInt(in, time) && vek::readInt(in, mark);
  if (in && (size < 0 || time < 0)) vek::rejectValue(in, "the identifier " + text() + " holds a negative length or time");
  vek::skipLine(in);
}
