// mObject: the root of every simulation class. Its only operation is the virtual destructor,
// so any simulation object can be deleted through a root pointer by its one owner.
#pragma once

class mObject {
 public:
  virtual ~mObject() = default;
};
